#include "platform/Paths.h"
#include "platform/PosixFileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace pdfunlock;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::optional<std::string>)

namespace {

// Restores the working directory however a test ends.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path) : previous_(QDir::currentPath()) {
        ok_ = QDir::setCurrent(path);
    }
    ~CurrentDirectory() { QDir::setCurrent(previous_); }
    bool ok() const { return ok_; }

private:
    QString previous_;
    bool ok_ = false;
};

} // namespace

class PathsTest : public QObject {
    Q_OBJECT

private slots:
    // How one path splits into directory, name, base name and extension.
    void components_data() {
        QTest::addColumn<std::string>("path");
        QTest::addColumn<std::string>("directory");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("withoutExtension");
        QTest::addColumn<std::string>("extension");

        auto row = [](const char* tag, std::string path, std::string directory, std::string name,
                      std::string withoutExtension, std::string extension) {
            QTest::newRow(tag) << path << directory << name << withoutExtension << extension;
        };
        row("absolute", "/a/b/c.pdf", "/a/b", "c.pdf", "/a/b/c", "pdf");
        row("trailing separator", "/docs/scan.pdf/", "/docs", "scan.pdf", "/docs/scan", "pdf");
        row("trailing separators", "/docs/scan.pdf///", "/docs", "scan.pdf", "/docs/scan", "pdf");
        row("doubled separator", "/docs//scan.pdf", "/docs", "scan.pdf", "/docs/scan", "pdf");
        row("bare file name", "x.pdf", "", "x.pdf", "x", "pdf");
        row("relative", "docs/x.pdf", "docs", "x.pdf", "docs/x", "pdf");
        row("in the root", "/x.pdf", "/", "x.pdf", "/x", "pdf");
        row("root", "/", "/", "/", "/", "");
        row("only separators", "///", "/", "/", "/", "");
        row("empty", "", "", "", "", "");
        row("leading dot", "/docs/.hidden", "/docs", ".hidden", "/docs/.hidden", "");
        row("leading dot and extension", "/docs/.hidden.pdf", "/docs", ".hidden.pdf",
            "/docs/.hidden", "pdf");
        row("double extension", "/docs/report.final.PDF", "/docs", "report.final.PDF",
            "/docs/report.final", "PDF");
        row("no extension", "/docs/scan", "/docs", "scan", "/docs/scan", "");
        row("dot in a directory only", "/my.docs/scan", "/my.docs", "scan", "/my.docs/scan", "");
        row("trailing dot", "/docs/scan.", "/docs", "scan.", "/docs/scan", "");
        row("two dots", "/docs/scan..pdf", "/docs", "scan..pdf", "/docs/scan.", "pdf");
        row("parent reference", "/docs/..", "/docs", "..", "/docs/..", "");
        row("blank in name", "/my docs/a b.pdf", "/my docs", "a b.pdf", "/my docs/a b", "pdf");
        row("non-ASCII", "/Ablage/Übersicht.pdf", "/Ablage", "Übersicht.pdf", "/Ablage/Übersicht",
            "pdf");
    }
    void components() {
        QFETCH(std::string, path);
        QFETCH(std::string, directory);
        QFETCH(std::string, name);
        QFETCH(std::string, withoutExtension);
        QFETCH(std::string, extension);

        QCOMPARE(paths::stringByDeletingLastPathComponent(path), directory);
        QCOMPARE(paths::lastPathComponent(path), name);
        QCOMPARE(paths::stringByDeletingPathExtension(path), withoutExtension);
        QCOMPARE(paths::pathExtension(path), extension);
    }

    void appendComponent_data() {
        QTest::addColumn<std::string>("path");
        QTest::addColumn<std::string>("component");
        QTest::addColumn<std::string>("joined");

        QTest::newRow("plain") << std::string("/docs") << std::string("a.pdf")
                               << std::string("/docs/a.pdf");
        QTest::newRow("separator on both sides")
            << std::string("/docs/") << std::string("/a.pdf") << std::string("/docs/a.pdf");
        QTest::newRow("root") << std::string("/") << std::string("a.pdf") << std::string("/a.pdf");
        QTest::newRow("empty directory")
            << std::string("") << std::string("a.pdf") << std::string("a.pdf");
        QTest::newRow("empty component")
            << std::string("/docs/") << std::string("") << std::string("/docs");
        QTest::newRow("component with trailing separator")
            << std::string("/docs") << std::string("sub/") << std::string("/docs/sub");
    }
    void appendComponent() {
        QFETCH(std::string, path);
        QFETCH(std::string, component);
        QFETCH(std::string, joined);
        QCOMPARE(paths::stringByAppendingPathComponent(path, component), joined);
    }

    void appendExtension_data() {
        QTest::addColumn<std::string>("path");
        QTest::addColumn<std::string>("extension");
        QTest::addColumn<std::optional<std::string>>("result");

        using Result = std::optional<std::string>;
        QTest::newRow("plain") << std::string("/docs/a") << std::string("pdf")
                               << Result("/docs/a.pdf");
        QTest::newRow("keeps an existing extension")
            << std::string("/docs/a.old") << std::string("pdf") << Result("/docs/a.old.pdf");
        QTest::newRow("trailing separator ignored")
            << std::string("/docs/a/") << std::string("pdf") << Result("/docs/a.pdf");
        QTest::newRow("bare name") << std::string("a") << std::string("PDF") << Result("a.PDF");
        QTest::newRow("empty extension")
            << std::string("/docs/a") << std::string("") << Result(std::nullopt);
        QTest::newRow("empty path")
            << std::string("") << std::string("pdf") << Result(std::nullopt);
        QTest::newRow("root") << std::string("/") << std::string("pdf") << Result(std::nullopt);
        QTest::newRow("separator in extension")
            << std::string("/docs/a") << std::string("p/df") << Result(std::nullopt);
    }
    void appendExtension() {
        QFETCH(std::string, path);
        QFETCH(std::string, extension);
        QFETCH(std::optional<std::string>, result);
        QCOMPARE(paths::stringByAppendingPathExtension(path, extension), result);
    }

    // The copy's name is built from these operations: directory, base name plus
    // "_copy", then the original extension.
    void copyName_data() {
        QTest::addColumn<std::string>("original");
        QTest::addColumn<std::string>("copy");
        QTest::newRow("plain") << std::string("/docs/scan.pdf")
                               << std::string("/docs/scan_copy.pdf");
        QTest::newRow("double extension")
            << std::string("/docs/report.final.PDF") << std::string("/docs/report.final_copy.PDF");
        QTest::newRow("copy of a copy")
            << std::string("/docs/scan_copy.pdf") << std::string("/docs/scan_copy_copy.pdf");
        QTest::newRow("in the root") << std::string("/scan.pdf") << std::string("/scan_copy.pdf");
        QTest::newRow("bare name") << std::string("scan.pdf") << std::string("scan_copy.pdf");
        QTest::newRow("trailing separator")
            << std::string("/docs/scan.pdf/") << std::string("/docs/scan_copy.pdf");
    }
    void copyName() {
        QFETCH(std::string, original);
        QFETCH(std::string, copy);
        const auto base =
            paths::lastPathComponent(paths::stringByDeletingPathExtension(original)) + "_copy";
        const auto withoutExtension = paths::stringByAppendingPathComponent(
            paths::stringByDeletingLastPathComponent(original), base);
        const auto named =
            paths::stringByAppendingPathExtension(withoutExtension, paths::pathExtension(original));
        QCOMPARE(named, std::optional<std::string>(copy));
    }

    void absolutePath_data() {
        QTest::addColumn<std::string>("path");
        QTest::addColumn<std::string>("relativeToCurrent"); // empty: unchanged

        QTest::newRow("bare name") << std::string("x.pdf") << std::string("/x.pdf");
        QTest::newRow("dot prefix") << std::string("./x.pdf") << std::string("/./x.pdf");
        QTest::newRow("through a symbolic link")
            << std::string("link/x.pdf") << std::string("/link/x.pdf");
        QTest::newRow("parent kept")
            << std::string("link/../x.pdf") << std::string("/link/../x.pdf");
        QTest::newRow("trailing separator") << std::string("sub/") << std::string("/sub/");
        QTest::newRow("already absolute") << std::string("/docs/x.pdf") << std::string();
        QTest::newRow("empty") << std::string() << std::string();
    }
    void absolutePath() {
        QFETCH(std::string, path);
        QFETCH(std::string, relativeToCurrent);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("target"));
        QVERIFY(QFile::link(dir.filePath("target"), dir.filePath("link")));
        CurrentDirectory current(dir.path());
        QVERIFY(current.ok());

        // As the system reports it: the temporary directory may itself be behind a link.
        const std::string expected = relativeToCurrent.empty()
                                         ? path
                                         : QDir::currentPath().toStdString() + relativeToCurrent;
        QCOMPARE(paths::absolutePath(path), expected);
    }

    // What the copy's naming and cleanup ask of the file system.
    void fileSystem_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<bool>("removable");

        QTest::newRow("file") << "file" << true << true << true;
        QTest::newRow("directory") << "directory" << true << true << false;
        QTest::newRow("dangling symbolic link") << "dangling" << false << true << true;
        QTest::newRow("link to a file") << "link" << true << true << true;
        QTest::newRow("nothing") << "nothing" << false << false << false;
    }
    void fileSystem() {
        QFETCH(QString, kind);
        QFETCH(bool, exists);
        QFETCH(bool, taken);
        QFETCH(bool, removable);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString item = dir.filePath("item");
        if (kind == "file") {
            QFile file(item);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == "directory") {
            QVERIFY(QDir(dir.path()).mkdir("item"));
        } else if (kind == "dangling") {
            QVERIFY(QFile::link(dir.filePath("nowhere"), item));
        } else if (kind == "link") {
            QFile target(dir.filePath("target"));
            QVERIFY(target.open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(target.fileName(), item));
        }

        PosixFileSystem files;
        const std::string path = item.toStdString();
        QCOMPARE(files.fileExistsAtPath(path), exists);
        QCOMPARE(files.isNameTaken(path), taken);
        QCOMPARE(files.removeItemAtPath(path), removable);
        QCOMPARE(files.isNameTaken(path), taken && !removable);
    }

    void permissions_data() {
        QTest::addColumn<unsigned>("mode");
        QTest::newRow("0600") << 0600u;
        QTest::newRow("0644") << 0644u;
        QTest::newRow("setgid 2750") << 02750u;
        QTest::newRow("0000") << 0000u;
    }
    void permissions() {
        QFETCH(unsigned, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = dir.filePath("file").toStdString();
        {
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(::chmod(path.c_str(), static_cast<mode_t>(mode)), 0);
        QCOMPARE(PosixFileSystem().permissionsAtPath(path), std::optional<unsigned>(mode));
        QCOMPARE(PosixFileSystem().permissionsAtPath(path + ".missing"), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(PathsTest)
#include "test_paths.moc"
