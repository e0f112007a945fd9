// The qpdf document adapter against real PDFs written by the fixture maker.
#include "StderrCapture.h"
#include "fixtures/FixtureMaker.h"
#include "platform/FileKey.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/CopyCheck.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qpdf/QuietQpdf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pdfunlock;
using namespace pdfunlock::fixtures;

using MaybeAttributes = std::optional<DocumentAttributes>;
// A wrapper: Qt's meta type would want an operator< the attribute values lack.
struct Attributes {
    MaybeAttributes value;
};
using Links = std::vector<std::pair<int, int>>;
using Labels = std::vector<std::string>;
// How the pages reach the copy: the whole source at once, or one by one.
enum class CopyPath { Whole, AfterAPage, PageMissing };
Q_DECLARE_METATYPE(CopyPath)
Q_DECLARE_METATYPE(Fixture)
Q_DECLARE_METATYPE(Security)
Q_DECLARE_METATYPE(Attributes)
Q_DECLARE_METATYPE(Labels)

namespace {

Fixture fixture(Security security, std::string user = "user", std::string owner = "owner",
                int pages = 3) {
    Fixture f;
    f.security = security;
    f.userPassword = std::move(user);
    f.ownerPassword = std::move(owner);
    f.pages = pages;
    return f;
}

std::string make(const QTemporaryDir& dir, const char* name, const Fixture& f) {
    const auto path = dir.filePath(name).toStdString();
    makeFixture(f, path);
    return path;
}

QByteArray contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void truncateTo(const std::string& path, qint64 size) {
    QFile file(QString::fromStdString(path));
    QVERIFY(file.resize(size));
}

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

using Permission = bool (PDFDocument::*)() const;
struct Flag {
    const char* name;
    bool Permissions::*deny;
    Permission allows;
};
const Flag flags[] = {
    {"print", &Permissions::print, &PDFDocument::allowsPrinting},
    {"extract", &Permissions::extract, &PDFDocument::allowsCopying},
    {"annotate", &Permissions::annotate, &PDFDocument::allowsCommenting},
    {"forms", &Permissions::fillForms, &PDFDocument::allowsFormFieldEntry},
    {"modify", &Permissions::modify, &PDFDocument::allowsDocumentChanges},
    {"assemble", &Permissions::assemble, &PDFDocument::allowsDocumentAssembly},
    {"accessibility", &Permissions::accessibility, &PDFDocument::allowsContentAccessibility},
};

std::vector<bool> permissionsOf(const PDFDocument& document) {
    std::vector<bool> result;
    for (const auto& flag : flags) {
        result.push_back((document.*flag.allows)());
    }
    return result;
}

// The backwards copy the removal workflow performs.
void copyPattern(PDFDocument& source, PDFDocument& destination) {
    const int n = source.pageCount();
    const int d = destination.pageCount();
    for (int i = n - 1; i >= 0; --i) {
        destination.insertPage(source.pageAtIndex(i), d);
    }
}

// Rewrites the fixture's links as named destinations: a /Dest name through the
// catalog's /Dests and a GoTo string through the /Names /Dests tree.
void nameDestinations(const std::string& in, const std::string& out) {
    QPDF pdf;
    makeQuiet(pdf);
    pdf.processFile(in.c_str());
    auto dests = QPDFObjectHandle::newDictionary();
    auto names = QPDFObjectHandle::newArray();
    int n = 0;
    auto pages = pdf.getAllPages();
    for (auto& page : pages) {
        for (auto& annot : page.getKey("/Annots").aitems()) {
            const auto key = "d" + std::to_string(n++);
            if (annot.hasKey("/Dest")) {
                dests.replaceKey("/" + key, annot.getKey("/Dest"));
                annot.replaceKey("/Dest", QPDFObjectHandle::newName("/" + key));
            } else {
                auto action = annot.getKey("/A");
                names.appendItem(QPDFObjectHandle::newString(key));
                names.appendItem(action.getKey("/D"));
                action.replaceKey("/D", QPDFObjectHandle::newString(key));
            }
        }
    }
    auto root = pdf.getRoot();
    root.replaceKey("/Dests", pdf.makeIndirectObject(dests));
    root.replaceKey("/Names",
                    QPDFObjectHandle::newDictionary(
                        {{"/Dests", pdf.makeIndirectObject(
                                        QPDFObjectHandle::newDictionary({{"/Names", names}}))}}));
    QPDFWriter writer(pdf, out.c_str());
    writer.write();
}

// Every page drawn in grey by an independent renderer, pdftoppm or mutool.
std::vector<QByteArray> render(const QString& tool, const std::string& path,
                               const QString& password) {
    QTemporaryDir out;
    QStringList arguments;
    if (tool == "pdftoppm") {
        arguments = {"-r",
                     "36",
                     "-gray",
                     "-upw",
                     password,
                     QString::fromStdString(path),
                     out.filePath("page")};
    } else {
        arguments = {"draw",
                     "-q",
                     "-r",
                     "36",
                     "-c",
                     "gray",
                     "-p",
                     password,
                     "-o",
                     out.filePath("page-%d.pgm"),
                     QString::fromStdString(path)};
    }
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    std::map<int, QByteArray> pages; // by page number: pdftoppm pads it, mutool does not
    for (const auto& name : QDir(out.path()).entryList(QDir::Files)) {
        QFile file(out.filePath(name));
        file.open(QIODevice::ReadOnly);
        pages[name.section('-', -1).section('.', 0, 0).toInt()] = file.readAll();
    }
    std::vector<QByteArray> result;
    for (auto& [number, pixels] : pages) {
        result.push_back(pixels);
    }
    return result;
}

} // namespace

class TestPdfDocument : public QObject {
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void unlocking_data();
    void unlocking();
    void nonAsciiPasswords_data();
    void nonAsciiPasswords();
    void derivationsWithKnownPassword_data();
    void derivationsWithKnownPassword();
    void permissions_data();
    void permissions();
    void readingAttributes_data();
    void readingAttributes();
    void settingAttributes_data();
    void settingAttributes();
    void versionsWhileLocked_data();
    void versionsWhileLocked();
    void unusableFiles_data();
    void unusableFiles();
    void damagedFiles_data();
    void damagedFiles();
    void documentURL();
    void copyOrder_data();
    void copyOrder();
    void copyVersion_data();
    void copyVersion();
    void copiedLinks_data();
    void copiedLinks();
    void copiedDocumentParts_data();
    void copiedDocumentParts();
    void writeRefusals_data();
    void writeRefusals();
    void writtenFile_data();
    void writtenFile();
    void sameCopyWhateverTheThreads_data();
    void sameCopyWhateverTheThreads();
    void handWrittenCopies_data();
    void handWrittenCopies();
    void copyCheck_data();
    void copyCheck();
    void copyIdentifiers_data();
    void copyIdentifiers();
    void qpdfStaysOffStderr();

private:
    QpdfDocumentService service_;
    // Decrypts on a second thread whatever the size, so small files take that way too.
    QpdfDocumentService parallel_{0, false};
    // qpdf's writer for every object, on one thread: what the other ways must match.
    QpdfDocumentService writerOnly_{-1, false};
};

void TestPdfDocument::opening_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<bool>("locked");
    QTest::newRow("unencrypted") << fixture(Security::None) << false;
    QTest::newRow("R6 user password") << fixture(Security::AES_256) << true;
    QTest::newRow("R6 empty user password") << fixture(Security::AES_256, "") << false;
    QTest::newRow("R3 empty user password") << fixture(Security::RC4_128, "") << false;
    QTest::newRow("R2 empty user password") << fixture(Security::RC4_40, "") << false;
    // qpdf matches the empty text as the owner password here, not as the user's.
    QTest::newRow("R6 empty owner password only") << fixture(Security::AES_256, "user", "") << true;
}

void TestPdfDocument::opening() {
    QFETCH(Fixture, file);
    QFETCH(bool, locked);
    QTemporaryDir dir;
    auto document = service_.initWithURL(make(dir, "in.pdf", file));
    QVERIFY(document);
    QCOMPARE(document->isLocked(), locked);
    QVERIFY(!document->isDamaged());
    if (locked) {
        QCOMPARE(document->pageCount(), 0);
        QVERIFY(!document->pageAtIndex(0));
        QVERIFY(!document->documentAttributes());
        QCOMPARE(permissionsOf(*document), std::vector<bool>(7, false));
    } else {
        QCOMPARE(document->pageCount(), 3);
        QVERIFY(document->pageAtIndex(2));
        QVERIFY(!document->pageAtIndex(3));
        QVERIFY(!document->pageAtIndex(-1));
        QVERIFY(document->documentAttributes());
        QVERIFY(document->unlockWithPassword("anything: not locked"));
    }
}

void TestPdfDocument::unlocking_data() {
    QTest::addColumn<Security>("security");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<bool>("unlocks");
    for (const auto& [name, security] : encryptionKinds) {
        QTest::addRow("%s user", name) << security << QByteArray("user") << true;
        QTest::addRow("%s owner", name) << security << QByteArray("owner") << true;
        QTest::addRow("%s wrong", name) << security << QByteArray("User") << false;
        QTest::addRow("%s empty", name) << security << QByteArray() << false;
    }
}

void TestPdfDocument::unlocking() {
    QFETCH(Security, security);
    QFETCH(QByteArray, password);
    QFETCH(bool, unlocks);
    QTemporaryDir dir;
    auto document = service_.initWithURL(make(dir, "in.pdf", fixture(security)));
    QVERIFY(document && document->isLocked());

    // A failed attempt first: it must leave the document as it was.
    QVERIFY(!document->unlockWithPassword("not it"));
    QVERIFY(document->isLocked());
    QCOMPARE(document->pageCount(), 0);

    QCOMPARE(document->unlockWithPassword(password.toStdString()), unlocks);
    QCOMPARE(document->isLocked(), !unlocks);
    QCOMPARE(document->pageCount(), unlocks ? 3 : 0);
    if (unlocks) {
        QVERIFY(document->pageAtIndex(0));
        const auto attributes = document->documentAttributes();
        QVERIFY(attributes);
        QCOMPARE(attributes->at(PDFDocumentCreatorAttribute),
                 AttributeValue(std::string("Tessivon Scan")));

        auto copy = parallel_.init();
        copyPattern(*document, *copy);
        const auto out = dir.filePath("out.pdf").toStdString();
        QVERIFY(copy->writeToFile(out));
        QCOMPARE(readPageLabels(out), (Labels{"Page 1", "Page 2", "Page 3"}));
    }
}

void TestPdfDocument::nonAsciiPasswords_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("unlocks");
    // Keys derived for the whole job: one for the empty password at the
    // launch check, one for the wrong try, then one per form tried.
    QTest::addColumn<int>("derivations");
    auto f = [](Security security, bool raw) {
        auto result = fixture(security, "Grüße", "Schlüssel");
        result.rawPasswordBytes = raw;
        return result;
    };
    // The UTF-8 form first, then PDFDocEncoding.
    QTest::newRow("R3 PDFDocEncoding user")
        << f(Security::RC4_128, false) << QByteArray("Grüße") << true << 4;
    QTest::newRow("R3 PDFDocEncoding owner")
        << f(Security::RC4_128, false) << QByteArray("Schlüssel") << true << 4;
    QTest::newRow("R4 PDFDocEncoding user")
        << f(Security::AES_128, false) << QByteArray("Grüße") << true << 4;
    QTest::newRow("R3 raw UTF-8 user")
        << f(Security::RC4_128, true) << QByteArray("Grüße") << true << 3;
    QTest::newRow("R6 UTF-8 user")
        << f(Security::AES_256, false) << QByteArray("Grüße") << true << 3;
    QTest::newRow("R6 UTF-8 owner")
        << f(Security::AES_256, false) << QByteArray("Schlüssel") << true << 3;
    // AES-256 compares the SASLprep form: the ordinal indicator becomes "a",
    // the soft hyphen goes, the Roman numeral four becomes "IV". It is tried
    // last, after the typed text and its Latin-1 form.
    QTest::newRow("R6 SASLprep user")
        << fixture(Security::AES_256, "SaSLprep") << QByteArray("S\u00aaSL\u00adprep") << true << 5;
    QTest::newRow("R6 SASLprep owner")
        << fixture(Security::AES_256, "user", "IV") << QByteArray("\u2163") << true << 4;
    QTest::newRow("R4 has no SASLprep form") << fixture(Security::AES_128, "SaSLprep")
                                             << QByteArray("S\u00aaSL\u00adprep") << false << 4;
}

void TestPdfDocument::nonAsciiPasswords() {
    QFETCH(Fixture, file);
    QFETCH(QByteArray, typed);
    QFETCH(bool, unlocks);
    QFETCH(int, derivations);
    QTemporaryDir dir;
    const auto before = fileKeyDerivations();
    auto document = service_.initWithURL(make(dir, "in.pdf", file));
    QVERIFY(document && document->isLocked());
    QVERIFY(!document->unlockWithPassword("Grusse"));
    QCOMPARE(document->unlockWithPassword(typed.toStdString()), unlocks);
    QCOMPARE(document->pageCount(), unlocks ? 3 : 0);
    if (unlocks) {
        // Nothing later derives again: the copy, its second thread, the check of it.
        QCOMPARE(permissionsOf(*document), std::vector<bool>(7, true));
        auto copy = parallel_.init();
        copyPattern(*document, *copy);
        const auto out = dir.filePath("out.pdf").toStdString();
        QVERIFY(copy->writeToFile(out));
        QVERIFY(service_.initWithURL(out));
    }
    QCOMPARE(fileKeyDerivations() - before, static_cast<unsigned long long>(derivations));
}

void TestPdfDocument::derivationsWithKnownPassword_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<QByteArray>("password"); // known before the launch check
    QTest::addColumn<bool>("locked");         // by the launch check
    QTest::addColumn<bool>("unlocks");
    // A form that is the user password answers the launch check too; else
    // the empty password is derived as well.
    QTest::addColumn<int>("derivations");
    QTest::newRow("R6 user") << fixture(Security::AES_256) << QByteArray("user") << true << true
                             << 1;
    QTest::newRow("R6 owner") << fixture(Security::AES_256) << QByteArray("owner") << true << true
                              << 2;
    QTest::newRow("R6 wrong") << fixture(Security::AES_256) << QByteArray("nope") << true << false
                              << 2;
    QTest::newRow("R6 SASLprep user") << fixture(Security::AES_256, "SaSLprep")
                                      << QByteArray("S\u00aaSL\u00adprep") << true << true << 3;
    QTest::newRow("R3 user") << fixture(Security::RC4_128) << QByteArray("user") << true << true
                             << 1;
    QTest::newRow("R4 empty user, owner typed")
        << fixture(Security::AES_128, "") << QByteArray("owner") << false << true << 2;
    // Its SASLprep form is the empty password, tried last: the document opens
    // without one, and that key is not derived again.
    QTest::newRow("R6 empty user, soft hyphen typed")
        << fixture(Security::AES_256, "") << QByteArray("\u00ad") << false << true << 3;
}

void TestPdfDocument::derivationsWithKnownPassword() {
    QFETCH(Fixture, file);
    QFETCH(QByteArray, password);
    QFETCH(bool, locked);
    QFETCH(bool, unlocks);
    QFETCH(int, derivations);
    QTemporaryDir dir;
    const auto path = make(dir, "in.pdf", file);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    const auto before = fileKeyDerivations();
    auto document = service_.initWithDescriptorForPassword(fd, path, password.toStdString());
    ::close(fd);
    QVERIFY(document && document->permanentIdentifier());
    QCOMPARE(fileKeyDerivations() - before, 0ULL); // none before the identifier is read
    QCOMPARE(document->isLocked(), locked);
    QCOMPARE(document->unlockWithPassword(password.toStdString()), unlocks);
    QCOMPARE(fileKeyDerivations() - before, static_cast<unsigned long long>(derivations));
}

void TestPdfDocument::permissions_data() {
    QTest::addColumn<Security>("security");
    QTest::addColumn<int>("denied");
    for (int i = 0; i < 7; ++i) {
        QTest::addRow("R3 no %s", flags[i].name) << Security::RC4_128 << i;
        // qpdf always grants accessibility from R4 on, as PDF 2.0 asks.
        if (std::string(flags[i].name) != "accessibility") {
            QTest::addRow("R6 no %s", flags[i].name) << Security::AES_256 << i;
        }
    }
}

void TestPdfDocument::permissions() {
    QFETCH(Security, security);
    QFETCH(int, denied);
    QTemporaryDir dir;
    auto file = fixture(security);
    file.permissions.*flags[denied].deny = false;
    const auto path = make(dir, "in.pdf", file);

    auto asUser = service_.initWithURL(path);
    QVERIFY(asUser && asUser->unlockWithPassword("user"));
    auto expected = std::vector<bool>(7, true);
    expected[static_cast<size_t>(denied)] = false;
    QCOMPARE(permissionsOf(*asUser), expected);

    auto asOwner = service_.initWithURL(path);
    QVERIFY(asOwner && asOwner->unlockWithPassword("owner"));
    QCOMPARE(permissionsOf(*asOwner), std::vector<bool>(7, true));

    auto unencrypted = service_.initWithURL(make(dir, "plain.pdf", fixture(Security::None)));
    QVERIFY(unencrypted);
    QCOMPARE(permissionsOf(*unencrypted), std::vector<bool>(7, true));
}

void TestPdfDocument::readingAttributes_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<Attributes>("expected");
    auto base = fixture(Security::AES_256);
    auto f = base;
    f.noInfoDictionary = true;
    QTest::newRow("no /Info") << f << Attributes{};
    f = base;
    f.creator = Absent{};
    QTest::newRow("empty /Info") << f << Attributes{DocumentAttributes{}};
    f = base;
    f.creator = 42LL;
    f.producer = Text{"Tessivon PDF Engine 3.1"};
    QTest::newRow("Creator as a number")
        << f
        << Attributes{DocumentAttributes{{"Creator", 42LL},
                                         {"Producer", std::string("Tessivon PDF Engine 3.1")}}};
    f = base;
    f.creator = Utf16Text{"Scan ✓ 日本"};
    f.title = Utf16Text{"plain"};
    QTest::newRow("UTF-16 texts") << f
                                  << Attributes{
                                         DocumentAttributes{{"Creator", std::string("Scan ✓ 日本")},
                                                            {"Title", std::string("plain")}}};
    f = base;
    f.creator = Text{"Grüße"};
    QTest::newRow("PDFDocEncoding text")
        << f << Attributes{DocumentAttributes{{"Creator", std::string("Grüße")}}};
}

void TestPdfDocument::readingAttributes() {
    QFETCH(Fixture, file);
    QFETCH(Attributes, expected);
    QTemporaryDir dir;
    auto document = service_.initWithURL(make(dir, "in.pdf", file));
    QVERIFY(document && document->unlockWithPassword("user"));
    QCOMPARE(document->documentAttributes(), expected.value);
}

void TestPdfDocument::settingAttributes_data() {
    QTest::addColumn<Attributes>("attributes");
    QTest::newRow("Unicode text") << Attributes{DocumentAttributes{
        {"Creator", std::string("Grüße — 日本語 ✓")}, {"Producer", std::string("plain ASCII")}}};
    QTest::newRow("every kind") << Attributes{DocumentAttributes{
        {"Count", 7LL},
        {"Ratio", 2.5},
        {"Trapped", PDFName{"True"}},
        {"Flag", false},
        {"Other", PDFOtherValue{"[ 1 (two) /Three ]"}},
    }};
    QTest::newRow("empty") << Attributes{DocumentAttributes{}};
    QTest::newRow("removed") << Attributes{};
}

void TestPdfDocument::settingAttributes() {
    QFETCH(Attributes, attributes);
    QTemporaryDir dir;
    auto document = service_.initWithURL(make(dir, "in.pdf", fixture(Security::AES_256)));
    QVERIFY(document && document->unlockWithPassword("user"));
    document->setDocumentAttributes(attributes.value);
    QCOMPARE(document->documentAttributes(), attributes.value);

    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(document->writeToFile(out));
    auto written = service_.initWithURL(out);
    QVERIFY(written);
    QCOMPARE(written->documentAttributes(), attributes.value);
}

void TestPdfDocument::versionsWhileLocked_data() {
    QTest::addColumn<Security>("security");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::newRow("1.4 R3") << Security::RC4_128 << QByteArray("1.4") << 1 << 4;
    QTest::newRow("1.6 R4") << Security::AES_128 << QByteArray("1.6") << 1 << 6;
    QTest::newRow("1.7 R6") << Security::AES_256 << QByteArray("1.7") << 1 << 7;
    QTest::newRow("2.0 R6") << Security::AES_256 << QByteArray("2.0") << 2 << 0;
}

void TestPdfDocument::versionsWhileLocked() {
    QFETCH(Security, security);
    QFETCH(QByteArray, version);
    QFETCH(int, major);
    QFETCH(int, minor);
    QTemporaryDir dir;
    auto file = fixture(security);
    file.pdfVersion = version.toStdString();
    auto document = service_.initWithURL(make(dir, "in.pdf", file));
    QVERIFY(document && document->isLocked());
    QCOMPARE(document->majorVersion(), major);
    QCOMPARE(document->minorVersion(), minor);
    QVERIFY(document->unlockWithPassword("user"));
    QCOMPARE(document->majorVersion(), major);
    QCOMPARE(document->minorVersion(), minor);
}

void TestPdfDocument::unusableFiles_data() {
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("text named .pdf") << QByteArray("Meeting notes, not a PDF.\n") << false;
    QTest::newRow("header only") << QByteArray("%PDF-1.7\n%\xe2\xe3\xcf\xd3\n") << false;
    QTest::newRow("unreadable") << QByteArray("%PDF-1.7\n") << true;
}

void TestPdfDocument::unusableFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, unreadable);
    if (unreadable && ::geteuid() == 0) {
        QSKIP("root reads files whatever their mode");
    }
    QTemporaryDir dir;
    const auto path = dir.filePath("in.pdf");
    if (!bytes.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        if (unreadable) {
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        }
    }
    QVERIFY(!service_.initWithURL(path.toStdString()));
    QVERIFY(!service_.initWithURL(""));
}

void TestPdfDocument::damagedFiles_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<int>("cut"); // bytes removed from the end
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("locked");
    QTest::newRow("intact") << fixture(Security::None) << 0 << true << false;
    // Losing "startxref" makes qpdf rebuild the cross-reference table.
    QTest::newRow("startxref cut") << fixture(Security::None) << 10 << true << false;
    QTest::newRow("startxref cut, encrypted") << fixture(Security::AES_256) << 10 << true << true;
    // qpdf 11.3 recovers only with a trailer dictionary: an xref stream, or
    // half the file, leaves it none.
    auto streams = fixture(Security::None);
    streams.objectStreams = true;
    QTest::newRow("startxref cut, xref stream") << streams << 10 << false << false;
    QTest::newRow("second half cut") << fixture(Security::None) << -2 << false << false;
}

void TestPdfDocument::damagedFiles() {
    QFETCH(Fixture, file);
    QFETCH(int, cut);
    QFETCH(bool, opens);
    QFETCH(bool, locked);
    QTemporaryDir dir;
    const auto path = make(dir, "in.pdf", file);
    const auto size = QFileInfo(QString::fromStdString(path)).size();
    truncateTo(path, cut < 0 ? size / -cut : size - cut);

    auto document = service_.initWithURL(path);
    QCOMPARE(bool(document), opens);
    if (!document) {
        return;
    }
    QCOMPARE(document->isLocked(), locked);
    QVERIFY(!locked || document->unlockWithPassword("user"));
    QCOMPARE(document->isDamaged(), cut != 0);
    QCOMPARE(document->pageCount(), 3);
    QCOMPARE(readPageLabels(path, "user"), (Labels{"Page 1", "Page 2", "Page 3"}));
}

void TestPdfDocument::documentURL() {
    QTemporaryDir dir;
    make(dir, "relative.pdf", fixture(Security::None));
    const auto previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto document = service_.initWithURL("relative.pdf");
    QVERIFY(QDir::setCurrent(previous));

    QVERIFY(document);
    const auto url = document->documentURL();
    QVERIFY(url);
    const std::filesystem::path opened(*url);
    QVERIFY(opened.is_absolute());
    QCOMPARE(opened.filename().string(), std::string("relative.pdf"));
    QVERIFY(std::filesystem::equivalent(opened, dir.filePath("relative.pdf").toStdString()));

    const auto absolute = dir.filePath("relative.pdf").toStdString();
    QCOMPARE(service_.initWithURL(absolute)->documentURL(), std::optional(absolute));
    QCOMPARE(service_.init()->documentURL(), std::optional<std::string>());
}

void TestPdfDocument::copyOrder_data() {
    QTest::addColumn<int>("destinationPages"); // -1: a new document
    QTest::addColumn<int>("insertAt");         // -1: the copy pattern's end
    QTest::addColumn<Labels>("expected");
    QTest::newRow("into a new document") << -1 << -1 << Labels{"A1", "A2", "A3", "A4", "A5"};
    QTest::newRow("after existing pages")
        << 2 << -1 << Labels{"B1", "B2", "A1", "A2", "A3", "A4", "A5"};
    QTest::newRow("between existing pages")
        << 2 << 1 << Labels{"B1", "A1", "A2", "A3", "A4", "A5", "B2"};
    QTest::newRow("before existing pages")
        << 2 << 0 << Labels{"A1", "A2", "A3", "A4", "A5", "B1", "B2"};
}

void TestPdfDocument::copyOrder() {
    QFETCH(int, destinationPages);
    QFETCH(int, insertAt);
    QFETCH(Labels, expected);
    QTemporaryDir dir;
    auto a = fixture(Security::AES_256, "user", "owner", 5);
    a.labelPrefix = "A";
    auto source = service_.initWithURL(make(dir, "a.pdf", a));
    QVERIFY(source && source->unlockWithPassword("user"));
    std::shared_ptr<PDFDocument> destination;
    if (destinationPages < 0) {
        destination = service_.init();
    } else {
        auto b = fixture(Security::None, "", "", destinationPages);
        b.labelPrefix = "B";
        destination = service_.initWithURL(make(dir, "b.pdf", b));
    }
    QVERIFY(destination);

    const int d = insertAt < 0 ? destination->pageCount() : insertAt;
    for (int i = source->pageCount() - 1; i >= 0; --i) {
        destination->insertPage(source->pageAtIndex(i), d);
        QCOMPARE(destination->pageCount(), std::max(destinationPages, 0) + source->pageCount() - i);
    }
    QVERIFY(destination->pageAtIndex(int(expected.size()) - 1));
    QVERIFY(!destination->pageAtIndex(int(expected.size())));

    // The source goes away before the write: the copy must keep what it needs.
    source.reset();
    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(destination->writeToFile(out));
    QCOMPARE(readPageLabels(out), expected);
    QCOMPARE(destination->pageCount(), int(expected.size()));
}

void TestPdfDocument::copyVersion_data() {
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::newRow("below qpdf's 1.3") << QStringList{"1.2"} << 1 << 3;
    QTest::newRow("1.4") << QStringList{"1.4"} << 1 << 4;
    QTest::newRow("2.0") << QStringList{"2.0"} << 2 << 0;
    QTest::newRow("the highest of 1.4, 2.0, 1.7") << QStringList{"1.4", "2.0", "1.7"} << 2 << 0;
}

void TestPdfDocument::copyVersion() {
    QFETCH(QStringList, sources);
    QFETCH(int, major);
    QFETCH(int, minor);
    QTemporaryDir dir;
    auto destination = service_.init();
    for (const auto& version : sources) {
        auto f = fixture(Security::None, "", "", 1);
        f.pdfVersion = version.toStdString();
        const auto path = dir.filePath(version + ".pdf").toStdString();
        makeFixture(f, path);
        auto source = service_.initWithURL(path);
        QVERIFY(source);
        copyPattern(*source, *destination);
    }
    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(destination->writeToFile(out));
    auto written = service_.initWithURL(out);
    QVERIFY(written);
    QCOMPARE(written->pageCount(), int(sources.size()));
    QCOMPARE(std::pair(written->majorVersion(), written->minorVersion()), std::pair(major, minor));
}

void TestPdfDocument::copiedLinks_data() {
    QTest::addColumn<Security>("security");
    QTest::addColumn<bool>("named");
    QTest::newRow("explicit destinations") << Security::None << false;
    QTest::newRow("explicit destinations, encrypted source") << Security::AES_256 << false;
    QTest::newRow("named destinations") << Security::None << true;
}

void TestPdfDocument::copiedLinks() {
    QFETCH(Security, security);
    QFETCH(bool, named);
    QTemporaryDir dir;
    auto f = fixture(security, "user", "owner", 4);
    f.links = {{0, 3, false}, {3, 0, false}, {1, 2, true}, {2, 1, true}, {2, 2, false}};
    auto path = make(dir, "in.pdf", f);
    const Links expected{{0, 3}, {1, 2}, {2, 1}, {2, 2}, {3, 0}};
    QCOMPARE(readLinks(path, "user"), expected);
    if (named) {
        const auto namedPath = dir.filePath("named.pdf").toStdString();
        nameDestinations(path, namedPath);
        path = namedPath;
        // The file now links by name only.
        QCOMPARE(readLinks(path, {}, false), (Links{{0, -1}, {1, -1}, {2, -1}, {2, -1}, {3, -1}}));
        QCOMPARE(readLinks(path), expected);
    }

    auto source = service_.initWithURL(path);
    QVERIFY(source && source->unlockWithPassword("user"));
    auto destination = service_.init();
    copyPattern(*source, *destination);
    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(destination->writeToFile(out));
    QCOMPARE(readLinks(out), expected);
}

void TestPdfDocument::copiedDocumentParts_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<CopyPath>("path");
    QTest::addColumn<QStringList>("catalog"); // besides /Pages and /Type
    auto f = [](auto change) {
        auto result = fixture(Security::AES_256);
        change(result);
        return result;
    };
    const QStringList tags{"/Lang", "/MarkInfo", "/StructTreeRoot"};
    const std::tuple<const char*, Fixture, QStringList> files[] = {
        {"layer off by default", f([](Fixture& x) { x.hiddenLayer = true; }), {"/OCProperties"}},
        {"form drawn by the reader",
         f([](Fixture& x) { x.form = Form::ValuesOnly; }),
         {"/AcroForm"}},
        {"form with appearances",
         f([](Fixture& x) { x.form = Form::WithAppearances; }),
         {"/AcroForm"}},
        {"tagged", f([](Fixture& x) { x.tagged = true; }), tags},
    };
    for (const auto& [name, file, catalog] : files) {
        QTest::addRow("%s, whole", name) << file << CopyPath::Whole << catalog;
        // Page by page the structure would point at missing pages: it stays behind.
        auto pageByPage = catalog;
        for (const auto& key : tags) {
            pageByPage.removeAll(key);
        }
        QTest::addRow("%s, after a page", name) << file << CopyPath::AfterAPage << pageByPage;
        QTest::addRow("%s, page missing", name) << file << CopyPath::PageMissing << pageByPage;
    }
}

void TestPdfDocument::copiedDocumentParts() {
    QFETCH(Fixture, file);
    QFETCH(CopyPath, path);
    QFETCH(QStringList, catalog);
    QTemporaryDir dir;
    const auto in = make(dir, "in.pdf", file);
    auto source = service_.initWithURL(in);
    QVERIFY(source && source->unlockWithPassword("user"));
    auto destination = service_.init();
    if (path == CopyPath::AfterAPage) {
        auto b = fixture(Security::None, "", "", 1);
        b.labelPrefix = "B";
        b.hiddenLayer = file.hiddenLayer; // then the source's layers join its own
        destination = service_.initWithURL(make(dir, "b.pdf", b));
    }
    const int d = destination->pageCount();
    for (int i = source->pageCount() - 1; i >= 0; --i) {
        if (path != CopyPath::PageMissing || i != 1) {
            destination->insertPage(source->pageAtIndex(i), d);
        }
    }
    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(destination->writeToFile(out));

    // Every copied page looks as in the source, to both renderers.
    const auto sourceLabels = readPageLabels(in, "user");
    const auto copyLabels = readPageLabels(out);
    for (const QString tool : {"pdftoppm", "mutool"}) {
        const auto before = render(tool, in, "user");
        const auto after = render(tool, out, "");
        QCOMPARE(before.size(), sourceLabels.size());
        QCOMPARE(after.size(), copyLabels.size());
        for (size_t i = 0; i < copyLabels.size(); ++i) {
            const auto from = std::find(sourceLabels.begin(), sourceLabels.end(), copyLabels[i]);
            if (from != sourceLabels.end()) {
                QVERIFY2(after[i] == before[size_t(from - sourceLabels.begin())],
                         qPrintable(tool + " differs on " + QString::fromStdString(copyLabels[i])));
            }
        }
    }
    // The fields of the copied pages are still in the form, with their values.
    std::vector<std::string> fields;
    for (const auto& field : readFormFields(in, "user")) {
        const auto label = field.substr(0, field.find(':'));
        if (std::count(copyLabels.begin(), copyLabels.end(), label)) {
            fields.push_back(field);
        }
    }
    QCOMPARE(fields.empty(), file.form == Form::None);
    QCOMPARE(readFormFields(out), fields);
    QStringList keys;
    for (const auto& key : readCatalogKeys(out)) {
        if (key != "/Pages" && key != "/Type") {
            keys << QString::fromStdString(key);
        }
    }
    QCOMPARE(keys, catalog);
}

void TestPdfDocument::writeRefusals_data() {
    QTest::addColumn<QByteArray>("situation");
    QTest::newRow("file exists") << QByteArray("exists");
    QTest::newRow("directory exists") << QByteArray("directory");
    QTest::newRow("no such directory") << QByteArray("missing");
    QTest::newRow("unwritable directory") << QByteArray("unwritable");
    QTest::newRow("file size limit mid-write") << QByteArray("limit");
}

void TestPdfDocument::writeRefusals() {
    QFETCH(QByteArray, situation);
    if (situation == "unwritable" && ::geteuid() == 0) {
        QSKIP("root writes whatever the directory's mode");
    }
    QTemporaryDir sources;
    auto f = fixture(Security::AES_256);
    f.imageBytesPerPage = 100000;
    auto document = service_.initWithURL(make(sources, "in.pdf", f));
    QVERIFY(document && document->unlockWithPassword("user"));

    QTemporaryDir dir;
    auto target = dir.filePath("out.pdf");
    const QByteArray existing = "already here";
    if (situation == "exists") {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size());
    } else if (situation == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("out.pdf"));
    } else if (situation == "missing") {
        target = dir.filePath("no/out.pdf");
    } else if (situation == "unwritable") {
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const auto before = entries(dir);

    rlimit saved{};
    auto savedSignal = SIG_DFL;
    if (situation == "limit") {
        // write(2) then fails with EFBIG instead of raising SIGXFSZ.
        savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    const bool written = document->writeToFile(target.toStdString(), 0644);
    if (situation == "limit") {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedSignal);
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QVERIFY(!written);
    QCOMPARE(entries(dir), before);
    if (situation == "exists") {
        QCOMPARE(contents(target.toStdString()), existing);
    }
}

void TestPdfDocument::writtenFile_data() {
    QTest::addColumn<int>("permissions");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("mode");
    QTest::newRow("0600") << 0600 << 022 << 0600;
    QTest::newRow("0644") << 0644 << 022 << 0644;
    QTest::newRow("0666 less umask 027") << 0666 << 027 << 0640;
    QTest::newRow("execute bits dropped") << 0777 << 0 << 0666;
}

void TestPdfDocument::writtenFile() {
    QFETCH(int, permissions);
    QFETCH(int, mask);
    QFETCH(int, mode);
    QTemporaryDir dir;
    auto source = service_.initWithURL(make(dir, "in.pdf", fixture(Security::RC4_128)));
    QVERIFY(source && source->unlockWithPassword("user"));
    const auto out = dir.filePath("out.pdf").toStdString();

    const mode_t previous = ::umask(static_cast<mode_t>(mask));
    const bool written = source->writeToFile(out, static_cast<unsigned>(permissions));
    ::umask(previous);
    QVERIFY(written);

    struct stat info {};
    QCOMPARE(::stat(out.c_str(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    QPDF check;
    makeQuiet(check);
    check.processFile(out.c_str());
    QVERIFY(!check.isEncrypted());
    auto reopened = service_.initWithURL(out);
    QVERIFY(reopened && !reopened->isLocked());
    QCOMPARE(readPageLabels(out), (Labels{"Page 1", "Page 2", "Page 3"}));
    QCOMPARE(entries(dir), (QStringList{"in.pdf", "out.pdf"}));
}

void TestPdfDocument::sameCopyWhateverTheThreads_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<bool>("reversed"); // page by page instead of the whole source
    const std::pair<const char*, Security> handlers[] = {
        {"R2", Security::RC4_40},
        {"R3", Security::RC4_128},
        {"R4", Security::AES_128},
        {"R6", Security::AES_256},
    };
    for (const auto& [name, security] : handlers) {
        auto f = fixture(security);
        f.imageBytesPerPage = 20000;
        QTest::addRow("%s", name) << f << false;
        f.staleTable = true;
        QTest::addRow("%s, an entry one byte off, an image's newer body unlisted", name)
            << f << false;
        f.staleTable = false;
        f.objectStreams = true;
        QTest::addRow("%s object streams", name) << f << false;
    }
    auto streams = fixture(Security::AES_256);
    streams.objectStreams = true;
    streams.imageBytesPerPage = 20000;
    QTest::newRow("R6 object streams, page by page") << streams << true;
    streams.pages = 4;
    streams.links = {{0, 3, false}, {3, 1, true}};
    streams.form = Form::WithAppearances;
    streams.hiddenLayer = true;
    streams.tagged = true;
    streams.title = Text{"Kept out"};
    QTest::newRow("R6 object streams, links, form, layer, structure") << streams << false;
    auto updated = fixture(Security::AES_128);
    updated.objectStreams = true;
    updated.pages = 130;
    updated.textLines = 5;
    updated.fonts = 4;
    updated.incrementalUpdates = 2;
    QTest::newRow("R4 object streams, long pages, fonts, two updates") << updated << false;
}

// The copy is the same, byte for byte, on one thread or two and from one
// unlock to the next, keeps the source's permanent identifier, and every
// image's dictionary describes its data.
void TestPdfDocument::sameCopyWhateverTheThreads() {
    QFETCH(Fixture, file);
    QFETCH(bool, reversed);
    QTemporaryDir dir;
    const auto in = make(dir, "in.pdf", file);
    std::vector<QByteArray> copies;
    // Object streams carried across as they are give the same document, in
    // other bytes: compared object by object, and byte for byte between two
    // such copies.
    QpdfDocumentService passing{-1, true};
    for (auto* service : {&writerOnly_, &parallel_, &parallel_, &writerOnly_, &passing, &passing}) {
        auto source = service->initWithURL(in);
        QVERIFY(source && source->unlockWithPassword("user"));
        auto copy = service->init();
        for (int i = 0; i < source->pageCount(); ++i) {
            copy->insertPage(source->pageAtIndex(i), reversed ? 0 : i);
        }
        const auto out = dir.filePath(QString("out%1.pdf").arg(copies.size())).toStdString();
        QVERIFY(copy->writeToFile(out));
        copies.push_back(contents(out));
        if (service == &passing) {
            QCOMPARE(fixtures::documentDifference(dir.filePath("out0.pdf").toStdString(), out),
                     std::string());
            QCOMPARE(copies.back(), copies.at(4));
            // Taken whenever there are object streams to carry.
            QCOMPARE(copies.back() != copies.front(), file.objectStreams && !reversed);
        } else {
            QCOMPARE(copies.back(), copies.front());
        }
    }

    QPDF source, copy;
    for (auto* pdf : {&source, &copy}) {
        makeQuiet(*pdf);
    }
    source.processFile(in.c_str(), "user");
    copy.processFile(dir.filePath("out0.pdf").toStdString().c_str());
    QCOMPARE(copy.getTrailer().getKey("/ID").getArrayItem(0).unparse(),
             source.getTrailer().getKey("/ID").getArrayItem(0).unparse());
    for (auto page :
         file.imageBytesPerPage > 0 ? copy.getAllPages() : std::vector<QPDFObjectHandle>{}) {
        auto image = page.getKey("/Resources").getKey("/XObject").getKey("/Im1");
        const auto pixels = image.getStreamData(qpdf_dl_all)->getSize();
        const auto width = image.getDict().getKey("/Width").getIntValue();
        const auto height = image.getDict().getKey("/Height").getIntValue();
        QCOMPARE(static_cast<long long>(pixels), width * height * 3);
    }
}

void TestPdfDocument::handWrittenCopies_data() {
    QTest::addColumn<Fixture>("file");
    QTest::addColumn<long long>("parallelFrom");
    QTest::addColumn<bool>("passObjectStreams");
    for (const auto& [layout, kind] : handWrittenLayouts) {
        for (const auto& [cipher, security] : encryptionKinds) {
            auto f = fixture(security);
            f.layout = kind;
            QTest::addRow("%s, %s, one thread", layout, cipher) << f << -1LL << true;
            QTest::addRow("%s, %s, two threads", layout, cipher) << f << 0LL << true;
            // qpdf's writer, with the streams it copies as read decrypted in bulk.
            QTest::addRow("%s, %s, writer", layout, cipher) << f << -1LL << false;
        }
    }
}

// Files laid out as other writers lay them out: the copy holds what
// qpdf --decrypt writes, object for object from the page tree on.
void TestPdfDocument::handWrittenCopies() {
    QFETCH(Fixture, file);
    QFETCH(long long, parallelFrom);
    QFETCH(bool, passObjectStreams);
    QTemporaryDir dir;
    const auto in = make(dir, "in.pdf", file);
    const auto expected = dir.filePath("expected.pdf").toStdString();
    {
        QPDF pdf;
        makeQuiet(pdf);
        pdf.processFile(in.c_str(), "user");
        QPDFWriter writer(pdf, expected.c_str());
        writer.setPreserveEncryption(false);
        writer.write();
    }
    QpdfDocumentService service(parallelFrom, passObjectStreams);
    auto source = service.initWithURL(in);
    QVERIFY(source && source->unlockWithPassword("user"));
    auto copy = service.init();
    copyPattern(*source, *copy);
    const auto out = dir.filePath("out.pdf").toStdString();
    QVERIFY(copy->writeToFile(out));
    QCOMPARE(QString::fromStdString(pageTreeDifference(expected, out)), QString());
}

void TestPdfDocument::copyCheck_data() {
    QTest::addColumn<QByteArray>("from"); // replaced by as many bytes: every offset holds
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("kept");
    QTest::newRow("as written") << QByteArray() << QByteArray() << true;
    QTest::newRow("a reference to no object")
        << QByteArray("/Annots [ 11 0 R ]") << QByteArray("/Annots [ 11 9 R ]") << false;
    QTest::newRow("a resource under another name")
        << QByteArray("/Font <<") << QByteArray("/Fant <<") << false;
    QTest::newRow("a second body of an object")
        << QByteArray("\n1 0 obj") << QByteArray("\n2 0 obj") << false;
}

// The check every copy passes, on a file laid out as a copy that carries
// object streams across is (original numbers, loose bodies in the clear),
// against the pages of the file as it was.
void TestPdfDocument::copyCheck() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    auto f = fixture(Security::None);
    f.layout = Layout::LowerReferences;
    const auto path = make(dir, "copy.pdf", f);
    QPDF original;
    makeQuiet(original);
    original.processFile(path.c_str());
    auto bytes = contents(path);
    QVERIFY(from.isEmpty() || bytes.contains(from));
    bytes.replace(from, to);
    const auto planted = dir.filePath("planted.pdf");
    QFile file(planted);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const int fd = ::open(QFile::encodeName(planted).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    const auto copy =
        checkedCopy(OpenFile::adopt(fd, planted.toStdString()), original.getAllPages(), nullptr);
    ::close(fd); // the copy's file holds a descriptor of its own
    QCOMPARE(copy != nullptr, kept);
}

void TestPdfDocument::copyIdentifiers_data() {
    QTest::addColumn<Fixture>("first");
    QTest::addColumn<Fixture>("second");
    QTest::addColumn<bool>("same"); // second /ID elements
    const auto base = fixture(Security::AES_256);
    auto longer = base;
    longer.pages = 4;
    auto updated = base;
    updated.objectStreams = true;
    auto laterVersion = updated;
    laterVersion.incrementalUpdates = 1;
    auto handWritten = base;
    handWritten.layout = Layout::Hybrid;
    auto otherPassword = base;
    otherPassword.userPassword = "resu";
    QTest::newRow("one document twice") << base << base << true;
    QTest::newRow("two documents") << base << longer << false;
    QTest::newRow("a document and its next version") << updated << laterVersion << false;
    QTest::newRow("two layouts") << handWritten << base << false;
    QTest::newRow("the same pages under other keys") << base << otherPassword << false;
}

// The copy keeps its source's permanent identifier, and gets a second /ID
// element of its own: the same for the same source, another for another.
void TestPdfDocument::copyIdentifiers() {
    QFETCH(Fixture, first);
    QFETCH(Fixture, second);
    QFETCH(bool, same);
    QTemporaryDir dir;
    std::vector<std::pair<QPDFObjectHandle, QPDFObjectHandle>> identifiers; // source's, copy's
    std::vector<std::shared_ptr<QPDF>> held;
    for (const auto& f : {first, second}) {
        const auto n = identifiers.size();
        const auto in = make(dir, n ? "b.pdf" : "a.pdf", f);
        auto source = service_.initWithURL(in);
        QVERIFY(source && source->unlockWithPassword(f.userPassword));
        auto copy = service_.init();
        copyPattern(*source, *copy);
        const auto out = dir.filePath(QString("copy%1.pdf").arg(n)).toStdString();
        QVERIFY(copy->writeToFile(out));
        for (const auto& [path, password] : {std::pair{in, f.userPassword}, {out, std::string()}}) {
            held.push_back(std::make_shared<QPDF>());
            makeQuiet(*held.back());
            held.back()->processFile(path.c_str(), password.c_str());
        }
        identifiers.emplace_back(held[held.size() - 2]->getTrailer().getKey("/ID"),
                                 held.back()->getTrailer().getKey("/ID"));
    }
    for (auto& [source, copy] : identifiers) {
        QCOMPARE(copy.getArrayItem(0).getStringValue(), source.getArrayItem(0).getStringValue());
        QVERIFY(copy.getArrayItem(1).getStringValue() != source.getArrayItem(1).getStringValue());
    }
    QCOMPARE(identifiers[0].second.getArrayItem(1).getStringValue() ==
                 identifiers[1].second.getArrayItem(1).getStringValue(),
             same);
}

void TestPdfDocument::qpdfStaysOffStderr() {
    QTemporaryDir dir;
    const auto plain = make(dir, "plain.pdf", fixture(Security::None));
    const auto encrypted = make(dir, "encrypted.pdf", fixture(Security::AES_256));
    for (const auto& path : {plain, encrypted}) {
        truncateTo(path, QFileInfo(QString::fromStdString(path)).size() - 10);
    }

    testing::StderrCapture capture;
    auto damaged = service_.initWithURL(plain);
    auto locked = service_.initWithURL(encrypted);
    const bool wrongRefused = locked && !locked->unlockWithPassword("wrong");
    const bool unlocked = locked && locked->unlockWithPassword("user");
    auto copy = service_.init();
    if (damaged) {
        copyPattern(*damaged, *copy);
    }
    const bool written = copy->writeToFile(dir.filePath("out.pdf").toStdString());
    const auto text = capture.take();

    QVERIFY(damaged && damaged->isDamaged());
    QVERIFY(wrongRefused && unlocked && locked->isDamaged());
    QVERIFY(written);
    QCOMPARE(text, std::string());
}

QTEST_GUILESS_MAIN(TestPdfDocument)
#include "test_pdf_document.moc"
