// Our key derivation against qpdf's, on files qpdf's writer encrypted: the
// same key, the same answer to which password matched and the same
// permissions, for every cipher and revision and every form a password takes.
#include "fixtures/FixtureMaker.h"
#include "platform/FileKey.h"
#include "platform/Saslprep.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/KeyedOpen.h"
#include "platform/qpdf/QuietQpdf.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QUtil.hh>

using namespace pdfunlock;
using namespace pdfunlock::fixtures;

Q_DECLARE_METATYPE(Fixture)

namespace {

bool isAes256(Security security) {
    return security == Security::AES_256 || security == Security::AES_256_R5;
}

// The bytes the handler compares for a password typed as UTF-8 text: PDFDocEncoding
// before AES-256 (as the fixture maker writes them), UTF-8 from it on.
QByteArray handlerForm(Security security, const std::string& utf8) {
    std::string pdfDoc;
    if (isAes256(security) || !QUtil::utf8_to_pdf_doc(utf8, pdfDoc)) {
        return QByteArray::fromStdString(utf8);
    }
    return QByteArray::fromStdString(pdfDoc);
}

// The creator and the first page's content as the document reads them: text
// that a wrong key would garble.
std::string readBack(QPDF& pdf) {
    std::string text = pdf.getTrailer().getKey("/Info").getKey("/Creator").getUTF8Value() + "|";
    Pl_String contents("contents", nullptr, text);
    QPDFPageDocumentHelper(pdf).getAllPages().at(0).pipeContents(&contents);
    return text;
}

using Permission = bool (QPDF::*)();
constexpr Permission permissions[] = {
    &QPDF::allowPrintLowRes,   &QPDF::allowExtractAll,  &QPDF::allowModifyAnnotation,
    &QPDF::allowModifyForm,    &QPDF::allowModifyOther, &QPDF::allowModifyAssembly,
    &QPDF::allowAccessibility,
};

} // namespace

class TestFileKey : public QObject {
    Q_OBJECT

private slots:
    void sameAsQpdf_data();
    void sameAsQpdf();
    void damagedPerms();
};

void TestFileKey::sameAsQpdf_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<QByteArray>("form"); // the bytes tried, as PasswordForms makes them
    QTest::addColumn<QString>("matches");
    std::vector<EncryptionKind> kinds(std::begin(encryptionKinds), std::end(encryptionKinds));
    kinds.insert(kinds.end(), std::begin(olderEncryptionKinds), std::end(olderEncryptionKinds));
    for (const auto& [name, security] : kinds) {
        auto f = [security = security](std::string user, std::string owner) {
            Fixture fixture;
            fixture.security = security;
            fixture.userPassword = std::move(user);
            fixture.ownerPassword = std::move(owner);
            return fixture;
        };
        auto row = [name = name](const char* what) -> QTestData& {
            return QTest::addRow("%s %s", name, what);
        };
        const Fixture plain = f("user", "owner");
        row("user") << plain << QByteArray("user") << "user";
        row("owner") << plain << QByteArray("owner") << "owner";
        row("wrong") << plain << QByteArray("User") << "none";
        row("empty, not the password") << plain << QByteArray() << "none";
        row("empty user password") << f("", "owner") << QByteArray() << "user";

        const Fixture latin = f("Grüße", "Schlüssel");
        row("Latin-1 user") << latin << handlerForm(security, "Grüße") << "user";
        row("Latin-1 owner") << latin << handlerForm(security, "Schlüssel") << "owner";
        // The other encoding of the same text is another password.
        const QByteArray other =
            isAes256(security) ? handlerForm(Security::RC4_128, "Grüße") : QByteArray("Grüße");
        row("Latin-1 in the other encoding") << latin << other << "none";

        // Readers grant everything to the owner: with a permission withheld,
        // a password that is both must be found to be both.
        Fixture restricted = plain;
        restricted.permissions.print = false;
        row("user, print withheld") << restricted << QByteArray("user") << "user";
        row("owner, print withheld") << restricted << QByteArray("owner") << "owner";
        Fixture same = f("same", "same");
        same.permissions.modify = false;
        row("user and owner alike, changes withheld") << same << QByteArray("same") << "user+owner";

        // Only as much of a typed password counts as the handler reads.
        const std::string longest(isAes256(security) ? 127 : 32, 'x');
        row("typed longer than read")
            << f(longest, "owner") << QByteArray::fromStdString(longest + "tail") << "user";

        if (security != Security::RC4_40 && security != Security::RC4_128) {
            Fixture clearMetadata = plain;
            clearMetadata.encryptMetadata = false;
            row("metadata in the clear") << clearMetadata << QByteArray("user") << "user";
        }
        if (isAes256(security)) {
            // Half-width katakana: SASLprep gives the full-width word set as the password.
            std::string prepared;
            QVERIFY(saslprep("ﾊﾟｽﾜｰﾄﾞ", prepared));
            const Fixture japanese = f("パスワード", "owner");
            row("SASLprep form") << japanese << QByteArray::fromStdString(prepared) << "user";
            row("SASLprep form not made") << japanese << QByteArray("ﾊﾟｽﾜｰﾄﾞ") << "none";
        }
    }
}

void TestFileKey::sameAsQpdf() {
    QFETCH(Fixture, file);
    QFETCH(QByteArray, form);
    QFETCH(QString, matches);
    QTemporaryDir dir;
    const std::string path = dir.filePath("in.pdf").toStdString();
    makeFixture(file, path);
    const std::string password = form.toStdString();

    auto theirs = quietQpdf();
    bool opened = true;
    try {
        theirs->processFile(path.c_str(), password.c_str());
    } catch (const QPDFExc& e) {
        QCOMPARE(e.getErrorCode(), qpdf_e_password);
        opened = false;
    }

    // The values come from a document that refused its password, as they do
    // at the launch checks.
    auto refused = quietQpdf();
    QVERIFY_THROWS_EXCEPTION(QPDFExc, refused->processFile(path.c_str(), "not any password"));
    const auto security = standardSecurity(*refused);
    QVERIFY(security);
    const auto ours = deriveFileKey(*security, password);

    QString matched = "none";
    if (ours) {
        matched = ours->user && ours->owner ? "user+owner" : ours->user ? "user" : "owner";
    }
    QCOMPARE(matched, matches);
    QCOMPARE(bool(ours), opened);
    // Whether the document opens without asking: a question for the user password alone.
    QCOMPARE(bool(deriveFileKey(*security, password, true)),
             opened && theirs->userPasswordMatched());
    if (!ours) {
        return;
    }
    QCOMPARE(ours->bytes, theirs->getEncryptionKey());
    QCOMPARE(ours->user, theirs->userPasswordMatched());
    QVERIFY(ours->permsValid);

    // Opened with the key alone, the document reads as qpdf read it with the
    // password, warns no more and grants the same.
    auto keyed = openWithFileKey(OpenFile::open(path), *ours);
    QCOMPARE(keyed->numWarnings(), theirs->numWarnings());
    const std::string text = readBack(*keyed);
    QCOMPARE(text, readBack(*theirs));
    QVERIFY(text.starts_with("Tessivon Scan|") && text.find("(Page 1)") != std::string::npos);
    for (const Permission permission : permissions) {
        QCOMPARE(allows(*keyed, *ours, permission),
                 theirs->ownerPasswordMatched() || ((*theirs).*permission)());
    }
}

// A /Perms that does not decrypt to /P: qpdf warns and reads on with the key
// it derived; so does a document opened with ours.
void TestFileKey::damagedPerms() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("in.pdf").toStdString();
    makeFixture(Fixture{}, path);
    QFile pdf(QString::fromStdString(path));
    QVERIFY(pdf.open(QIODevice::ReadWrite));
    QByteArray bytes = pdf.readAll();
    const qsizetype perms = bytes.indexOf("/Perms <");
    QVERIFY(perms > 0);
    char& digit = bytes[perms + 8];
    digit = digit == '0' ? '1' : '0';
    QVERIFY(pdf.seek(0) && pdf.write(bytes) == bytes.size());
    pdf.close();

    auto theirs = quietQpdf();
    theirs->processFile(path.c_str(), "user");
    QCOMPARE(theirs->numWarnings(), size_t(1));
    auto refused = quietQpdf();
    QVERIFY_THROWS_EXCEPTION(QPDFExc, refused->processFile(path.c_str(), ""));
    const auto ours = deriveFileKey(*standardSecurity(*refused), "user");
    QVERIFY(ours && !ours->permsValid);
    QCOMPARE(ours->bytes, theirs->getEncryptionKey());
    QCOMPARE(openWithFileKey(OpenFile::open(path), *ours)->numWarnings(), size_t(1));
}

QTEST_GUILESS_MAIN(TestFileKey)
#include "test_file_key.moc"
