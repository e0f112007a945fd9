// The typed passwords, wrong and right, never reach the log, standard error or
// the disk, and the job's own copy of the typed text is cleared once the
// document has answered.
#include "StderrCapture.h"
#include "Support.h"
#include "fixtures/FixtureMaker.h"
#include "platform/Secrets.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>
#include <qpdf/QUtil.hh>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(fx::Security)
Q_DECLARE_METATYPE(std::string)

namespace {

// The byte forms a password could take on its way out.
std::vector<QByteArray> forms(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    std::vector<QByteArray> result{QByteArray::fromStdString(utf8)};
    std::string pdfDoc;
    if (QUtil::utf8_to_pdf_doc(utf8, pdfDoc)) {
        result.push_back(QByteArray::fromStdString(pdfDoc));
    }
    QByteArray utf16be, utf16le;
    for (const QChar c : text) {
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    }
    result.push_back(utf16be);
    result.push_back(utf16le);
    return result;
}

// The held document, reporting whether the text it was handed to unlock with
// had been cleared by the time the job asked its next question.
class WipeWatch : public SpyDocument {
public:
    using SpyDocument::SpyDocument;
    bool unlockWithPassword(const std::string& password) override {
        handed_ = &password;
        typedSize_ = password.size();
        return SpyDocument::unlockWithPassword(password);
    }
    bool allowsPrinting() const override {
        if (handed_ && !checked_) {
            checked_ = true;
            // Still the job's own string: it lives until the job returns.
            cleared_ = handed_->empty();
            const char* bytes = handed_->data();
            for (size_t i = 0; cleared_ && i < typedSize_; ++i) {
                cleared_ = bytes[i] == '\0';
            }
        }
        return SpyDocument::allowsPrinting();
    }
    bool checked() const { return checked_; }
    bool cleared() const { return cleared_; }

private:
    const std::string* handed_ = nullptr;
    size_t typedSize_ = 0;
    mutable bool checked_ = false;
    mutable bool cleared_ = false;
};

} // namespace

class PasswordHygieneTest : public QObject {
    Q_OBJECT

private slots:
    void neverLeaves_data() {
        QTest::addColumn<fx::Security>("security");
        QTest::addColumn<bool>("asOwner");
        QTest::addColumn<std::string>("secret");
        for (const auto& [name, security] : fx::encryptionKinds) {
            for (const bool asOwner : {false, true}) {
                for (const std::string secret :
                     {"Zq7-pdfunlock-SECRET-3141", "Grüße-Geheimnis-2718"}) {
                    const std::string title = std::string(name) + (asOwner ? " owner " : " user ") +
                                              (secret[0] == 'Z' ? "ASCII" : "non-ASCII");
                    QTest::newRow(title.c_str()) << security << asOwner << secret;
                }
            }
        }
    }

    void neverLeaves() {
        QFETCH(fx::Security, security);
        QFETCH(bool, asOwner);
        QFETCH(std::string, secret);
        const std::string guess = "Wr0ng-Guess-" + secret;

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath("scan.pdf");
        fx::Fixture fixture;
        fixture.security = security;
        fixture.pages = 2;
        fixture.userPassword = asOwner ? "user-other" : secret;
        fixture.ownerPassword = asOwner ? secret : "owner-other";
        fx::makeFixture(fixture, source.toStdString());

        Harness h;
        testing::StderrCapture capture;
        h.launch(source.toStdString());
        h.press(guess);
        h.press(secret);
        const QByteArray errors = QByteArray::fromStdString(capture.take());
        QCOMPARE(h.alertKeys(),
                 (std::vector<std::string>{"IDS_MSG_INVALIDPWD", "IDS_MSG_COMPLETE"}));

        // The fixed log lines, standard error and every file written.
        QByteArray logged;
        for (const auto& line : h.log.lines) {
            logged += QByteArray::fromStdString(line) + '\n';
        }
        QStringList written;
        for (QDirIterator files(dir.path(), QDir::Files | QDir::Hidden | QDir::System,
                                QDirIterator::Subdirectories);
             files.hasNext();) {
            const QString file = files.next();
            if (file != source) {
                written << file;
            }
        }
        QCOMPARE(written, QStringList{dir.filePath("scan_copy.pdf")});
        for (const auto& typed : {secret, guess}) {
            for (const auto& form : forms(typed)) {
                QVERIFY2(!logged.contains(form), "in the log");
                QVERIFY2(!errors.contains(form), "on standard error");
                for (const auto& file : written) {
                    QVERIFY2(!readFile(file).contains(form), qPrintable(file));
                }
            }
        }
    }

    // The job's copy of the typed text is zeroed before the job goes on; the
    // field itself keeps the text for another try.
    void typedTextCleared_data() {
        QTest::addColumn<std::string>("typed");
        QTest::newRow("short") << std::string("user");
        QTest::newRow("longer than the short-string buffer")
            << std::string("user-password-long-enough-for-the-heap");
    }

    void typedTextCleared() {
        QFETCH(std::string, typed);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath("scan.pdf");
        fx::Fixture fixture;
        fixture.userPassword = typed;
        fx::makeFixture(fixture, source.toStdString());

        Harness h;
        std::shared_ptr<WipeWatch> watch;
        h.pdf.wrapFirstOpened = [&watch](std::shared_ptr<PDFDocument> document) {
            watch = std::make_shared<WipeWatch>(std::move(document));
            return std::static_pointer_cast<PDFDocument>(watch);
        };
        h.run(source.toStdString(), typed);
        QCOMPARE(h.alertKeys(), std::vector<std::string>{"IDS_MSG_COMPLETE"});
        QVERIFY(watch && watch->checked());
        QVERIFY(watch->cleared());
        QCOMPARE(h.pwd.text, typed);

        // Handed on by moving: what the string left behind keeps in its own
        // buffer is zeroed too.
        std::string held = typed;
        const std::string taken = std::move(held);
        wipe(held);
        const std::string_view buffer(held.data(), held.capacity());
        QVERIFY(buffer.find(typed.substr(1)) == std::string_view::npos);
    }
};

QTEST_GUILESS_MAIN(PasswordHygieneTest)
#include "test_password_hygiene.moc"
