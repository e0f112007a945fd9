#include "Harness.h"
#include "fixtures/FixtureMaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace pdfunlock;
using namespace pdfunlock::testing;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(std::vector<std::string>)

using Harness = DelegateHarness<>;

class LaunchChecksTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        fx::Fixture locked;
        fx::makeFixture(locked, dir_.filePath("locked17.pdf").toStdString());
        locked.pdfVersion = "1.4";
        locked.security = fx::Security::RC4_128;
        fx::makeFixture(locked, dir_.filePath("locked14.pdf").toStdString());
        locked.pdfVersion = "2.0";
        locked.security = fx::Security::AES_256;
        fx::makeFixture(locked, dir_.filePath("locked20.pdf").toStdString());

        fx::Fixture open;
        open.security = fx::Security::None;
        fx::makeFixture(open, dir_.filePath("plain.pdf").toStdString());
        open.pdfVersion = "1.4";
        fx::makeFixture(open, dir_.filePath("plain14.pdf").toStdString());
        open.pdfVersion = "1.7";
        open.security = fx::Security::AES_256;
        open.userPassword = "";
        fx::makeFixture(open, dir_.filePath("emptyuser.pdf").toStdString());

        write("notes.pdf", "These are notes, not a PDF.\n");
        write("empty.pdf", "");
        QVERIFY(QFile::link(dir_.filePath("gone.pdf"), dir_.filePath("dangling.pdf")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir_.filePath("pipe.pdf")).constData(), 0600), 0);
        QVERIFY(QFile::link(dir_.filePath("locked14.pdf"), dir_.filePath("link14.pdf")));
    }

    // Every way a launch can end, by what the user opened.
    void launch_data() {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("alert"); // key of the one critical alert, or empty
        QTest::addColumn<std::vector<std::string>>("logged");
        // The version queries made of the opened document, in order.
        QTest::addColumn<std::vector<std::string>>("versionQueries");

        const std::vector<std::string> none;
        const std::vector<std::string> missing{"pdf is not exists."};
        const std::vector<std::string> not17{"pdf version is not 1.7"};
        const std::vector<std::string> both{"majorVersion", "minorVersion"};
        QTest::newRow("nothing opened") << QStringList{} << "IDS_MSG_STARTUP" << none << none;
        QTest::newRow("two documents")
            << QStringList{"locked17.pdf", "locked14.pdf"} << "IDS_MSG_MULTIFILES" << none << none;
        QTest::newRow("missing file")
            << QStringList{"gone.pdf"} << "IDS_MSG_NO_TESSIVON" << missing << none;
        QTest::newRow("link to nowhere")
            << QStringList{"dangling.pdf"} << "IDS_MSG_NO_TESSIVON" << missing << none;
        QTest::newRow("text named .pdf")
            << QStringList{"notes.pdf"} << "IDS_MSG_NO_TESSIVON" << none << none;
        QTest::newRow("empty file")
            << QStringList{"empty.pdf"} << "IDS_MSG_NO_TESSIVON" << none << none;
        QTest::newRow("a directory") << QStringList{"."} << "IDS_MSG_NO_TESSIVON" << none << none;
        // Opening must not wait for a writer.
        QTest::newRow("a pipe named .pdf")
            << QStringList{"pipe.pdf"} << "IDS_MSG_NO_TESSIVON" << none << none;
        QTest::newRow("not encrypted")
            << QStringList{"plain.pdf"} << "IDS_MSG_NO_PWD" << none << none;
        // The version is looked at only once the document is known to be locked.
        QTest::newRow("not encrypted 1.4")
            << QStringList{"plain14.pdf"} << "IDS_MSG_NO_PWD" << none << none;
        QTest::newRow("empty user password")
            << QStringList{"emptyuser.pdf"} << "IDS_MSG_NO_PWD" << none << none;
        QTest::newRow("locked 1.7") << QStringList{"locked17.pdf"} << "" << none << both;
        QTest::newRow("locked 1.4") << QStringList{"locked14.pdf"} << "" << not17 << both;
        QTest::newRow("locked 1.4 through a link")
            << QStringList{"link14.pdf"} << "" << not17 << both;
        // The minor version is read only for major version 1.
        QTest::newRow("locked 2.0") << QStringList{"locked20.pdf"} << "" << none
                                    << std::vector<std::string>{"majorVersion"};
    }
    void launch() {
        QFETCH(QStringList, opened);
        QFETCH(QString, alert);
        QFETCH(std::vector<std::string>, logged);
        QFETCH(std::vector<std::string>, versionQueries);

        Harness h;
        std::shared_ptr<SpyDocument> spy;
        h.pdf.wrapFirstOpened = [&spy](std::shared_ptr<PDFDocument> document) {
            spy = std::make_shared<SpyDocument>(document);
            return spy;
        };
        h.pwd.text = "typed before";
        std::vector<std::string> paths;
        for (const auto& name : opened) {
            paths.push_back(dir_.filePath(name).toStdString());
        }
        h.delegate.openFiles(paths);
        h.delegate.applicationDidFinishLaunching();

        QCOMPARE(h.log.lines, logged);
        std::vector<std::string> asked;
        for (const auto& call : spy ? spy->calls : std::vector<std::string>{}) {
            if (call == "majorVersion" || call == "minorVersion") {
                asked.push_back(call);
            }
        }
        QCOMPARE(asked, versionQueries);
        QCOMPARE(h.pwd.text, std::string("typed before"));
        if (alert.isEmpty()) {
            QVERIFY(h.alerts.shown.empty());
            QVERIFY(h.delegate.workingPdfDoc());
            QVERIFY(h.delegate.workingPdfDoc()->isLocked());
            QCOMPARE(h.pwdInfo.text, std::string("text:IDS_PWD"));
            QCOMPARE(h.window.events, std::vector<std::string>{"front"});
            QCOMPARE(h.window.representedFilename, paths.front());
            QCOMPARE(h.application.terminations, 0);
        } else {
            QCOMPARE(h.alerts.shown,
                     (std::vector<Alert>{{AlertStyle::Critical, "text:" + alert.toStdString()}}));
            QVERIFY(!h.delegate.workingPdfDoc());
            QVERIFY(h.window.events.empty());
            QVERIFY(h.window.representedFilename.empty());
            QVERIFY(h.pwdInfo.text.empty());
            // Nothing left on screen: the application ends after the alert.
            QCOMPARE(h.application.terminations, 1);
        }
        // Several paths stay as delivered.
        QCOMPARE(h.delegate.pdfPaths(), paths);
    }

    void relativePathOpens() {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path()));
        Harness h;
        h.delegate.openFiles({"locked17.pdf"});
        h.delegate.applicationDidFinishLaunching();
        QDir::setCurrent(previous);
        QVERIFY(h.alerts.shown.empty());
        QVERIFY(h.delegate.workingPdfDoc());
        QCOMPARE(QString::fromStdString(h.delegate.workingPdfDoc()->documentURL().value_or("")),
                 dir_.filePath("locked17.pdf"));
    }

    // Open-documents events before and after launching.
    void openFilesOrder_data() {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("held");
        QTest::newRow("first list wins")
            << QStringList{"locked17.pdf"} << QStringList{"locked14.pdf"} << "locked17.pdf";
        QTest::newRow("empty list is replaced")
            << QStringList{} << QStringList{"locked14.pdf"} << "locked14.pdf";
    }
    void openFilesOrder() {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, held);
        Harness h;
        for (const auto* list : {&first, &second}) {
            std::vector<std::string> paths;
            for (const auto& name : *list) {
                paths.push_back(dir_.filePath(name).toStdString());
            }
            h.delegate.openFiles(paths);
        }
        h.delegate.applicationDidFinishLaunching();
        QVERIFY(h.delegate.workingPdfDoc());
        QCOMPARE(QString::fromStdString(h.delegate.workingPdfDoc()->documentURL().value_or("")),
                 dir_.filePath(held));
    }

    void laterDocumentIsIgnored() {
        Harness h;
        h.delegate.openFiles({dir_.filePath("locked17.pdf").toStdString()});
        h.delegate.applicationDidFinishLaunching();
        const auto document = h.delegate.workingPdfDoc();
        h.delegate.openFiles({dir_.filePath("locked14.pdf").toStdString()});
        QCOMPARE(h.delegate.workingPdfDoc(), document);
        QCOMPARE(h.delegate.pdfPaths().size(), std::size_t{1});
        QVERIFY(h.alerts.shown.empty());
    }

    void closeButtonClosesWindow() {
        Harness h;
        h.delegate.openFiles({dir_.filePath("locked17.pdf").toStdString()});
        h.delegate.applicationDidFinishLaunching();
        h.delegate.onClose();
        QCOMPARE(h.window.events, (std::vector<std::string>{"front", "close"}));
        QVERIFY(h.delegate.applicationShouldTerminateAfterLastWindowClosed());
    }
};

QTEST_APPLESS_MAIN(LaunchChecksTest)
#include "test_launch_checks.moc"
