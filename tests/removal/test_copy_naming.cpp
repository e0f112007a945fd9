#include "Fakes.h"
#include "platform/PosixFileSystem.h"
#include "removal/CopyFileNaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace pdfunlock;
using namespace pdfunlock::testing;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

class CopyNamingTest : public QObject {
    Q_OBJECT

private slots:
    // Name shapes against a fake directory listing.
    void namesFromListing_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << "/docs/scan.pdf" << QStringList{} << "/docs/scan_copy.pdf";
        QTest::newRow("plain taken")
            << "/docs/scan.pdf" << QStringList{"/docs/scan_copy.pdf"} << "/docs/scan_copy1.pdf";
        QTest::newRow("lowest gap wins")
            << "/docs/scan.pdf"
            << QStringList{"/docs/scan_copy.pdf", "/docs/scan_copy1.pdf", "/docs/scan_copy3.pdf"}
            << "/docs/scan_copy2.pdf";
        QTest::newRow("number is not the extension's")
            << "/docs/scan.pdf" << QStringList{"/docs/scan_copy.pdf", "/docs/scan_copy.1.pdf"}
            << "/docs/scan_copy1.pdf";
        QTest::newRow("only last extension removed")
            << "/docs/report.final.PDF" << QStringList{} << "/docs/report.final_copy.PDF";
        QTest::newRow("copy of a copy")
            << "/docs/scan_copy.pdf" << QStringList{} << "/docs/scan_copy_copy.pdf";
        QTest::newRow("double extension")
            << "/docs/archive.tar.pdf" << QStringList{"/docs/archive.tar_copy.pdf"}
            << "/docs/archive.tar_copy1.pdf";
        QTest::newRow("no extension") << "/docs/scan" << QStringList{} << "/docs/scan_copy";
        QTest::newRow("no extension, taken")
            << "/docs/scan" << QStringList{"/docs/scan_copy"} << "/docs/scan_copy1";
        QTest::newRow("trailing separator")
            << "/docs/scan.pdf/" << QStringList{} << "/docs/scan_copy.pdf";
        QTest::newRow("bare file name") << "scan.pdf" << QStringList{} << "scan_copy.pdf";
        QTest::newRow("leading dot name") << "/docs/.scan" << QStringList{} << "/docs/.scan_copy";
        QTest::newRow("file at root") << "/scan.pdf" << QStringList{} << "/scan_copy.pdf";
        QTest::newRow("blanks in names")
            << "/my docs/a scan.pdf" << QStringList{} << "/my docs/a scan_copy.pdf";
    }
    void namesFromListing() {
        QFETCH(QString, source);
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        FakeFileSystem files;
        for (const auto& p : present) {
            files.existing.insert(p.toStdString());
        }
        FakeLog log;
        const auto result = getCopyFilePath(source.toStdString(), files, log);
        QVERIFY(result.has_value());
        QCOMPARE(q(*result), expected);
        QVERIFY(log.lines.empty());
        // Nothing changed in between: the same answer again.
        QCOMPARE(q(getCopyFilePath(source.toStdString(), files, log).value_or("")), expected);
    }

    void emptyPathIsLoggedAndGivesNothing() {
        FakeFileSystem files;
        FakeLog log;
        QVERIFY(!getCopyFilePath("", files, log).has_value());
        QCOMPARE(log.lines, std::vector<std::string>{"filePath is empty."});
        QCOMPARE(files.existenceTests, 0L);
    }

    // The last numbered name, and nothing beyond it.
    void fullDirectory_data() {
        QTest::addColumn<int>("takenUpTo"); // plain name and 1..takenUpTo taken
        QTest::addColumn<QString>("expected");
        QTest::newRow("last free number") << 99998 << "/docs/scan_copy99999.pdf";
        QTest::newRow("every name taken") << 99999 << "";
    }
    void fullDirectory() {
        QFETCH(int, takenUpTo);
        QFETCH(QString, expected);
        FakeFileSystem files;
        files.existsIf = [takenUpTo](const std::string& path) {
            if (path == "/docs/scan_copy.pdf" || path == "/docs/scan_copy100000.pdf") {
                return true;
            }
            const std::string prefix = "/docs/scan_copy";
            const std::string number = path.substr(prefix.size(), path.size() - prefix.size() -
                                                                      std::string(".pdf").size());
            return std::stoi(number) <= takenUpTo;
        };
        FakeLog log;
        const auto result = getCopyFilePath("/docs/scan.pdf", files, log);
        QCOMPARE(q(result.value_or("")), expected);
        if (expected.isEmpty()) {
            QCOMPARE(log.lines, std::vector<std::string>{"pdf file path is full."});
        } else {
            QVERIFY(log.lines.empty());
        }
        // One existence test per candidate: the plain name and each number tried.
        QCOMPARE(files.existenceTests, 1L + std::min(takenUpTo + 1, 99999));
    }

    // The same rules on a real directory, where a directory also takes a name.
    void namesOnRealDirectory_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("directories");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QStringList{} << QStringList{} << "scan_copy.pdf";
        QTest::newRow("gap") << QStringList{"scan_copy.pdf", "scan_copy1.pdf", "scan_copy3.pdf"}
                             << QStringList{} << "scan_copy2.pdf";
        QTest::newRow("directory takes the name")
            << QStringList{} << QStringList{"scan_copy.pdf"} << "scan_copy1.pdf";
    }
    void namesOnRealDirectory() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, directories);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile source(dir.filePath("scan.pdf"));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.close();
        for (const auto& f : files) {
            QFile file(dir.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        for (const auto& d : directories) {
            QVERIFY(QDir(dir.path()).mkdir(d));
        }
        const auto before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        PosixFileSystem realFiles;
        FakeLog log;
        const auto result = getCopyFilePath(dir.filePath("scan.pdf").toStdString(), realFiles, log);
        QCOMPARE(q(result.value_or("")), dir.filePath(expected));
        // Naming only looks: nothing was created.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
};

QTEST_APPLESS_MAIN(CopyNamingTest)
#include "test_copy_naming.moc"
