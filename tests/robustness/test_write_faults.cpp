// The disk misbehaving while the copy is written: permissions, size limit,
// the directory or the name changing between naming and writing, the process
// killed mid-write. The source must stay as it was, nothing partial may be
// left, and a run that survives shows IDS_MSG_FAILED.
#include "Support.h"
#include "fixtures/FixtureMaker.h"

#include <QTemporaryDir>
#include <QtTest>
#include <dirent.h>
#include <sys/resource.h>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

namespace {

enum class Fault {
    MadeReadOnly,        // the directory loses its write permission
    SizeLimit,           // RLIMIT_FSIZE is hit part way through
    DirectoryRenamed,    // the folder is moved away
    DirectoryReplaced,   // ... and a file takes its name
    DirectoryLinkGone,   // the source was reached through a link that is removed
    FileAppears,         // a file takes the chosen name
    DanglingLinkAppears, // a link to nowhere takes it: its target must not be created
    LinkToFileAppears,   // a link to someone's file: that file must not change
    DirectoryAppears,
    FifoAppears,
};

const QByteArray kIntruder = "someone else's file\n";

std::string path(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class WriteFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void faults_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("directory made read-only before writing") << Fault::MadeReadOnly;
        QTest::newRow("file size limit hit mid-write") << Fault::SizeLimit;
        QTest::newRow("directory moved away before writing") << Fault::DirectoryRenamed;
        QTest::newRow("directory replaced by a file") << Fault::DirectoryReplaced;
        QTest::newRow("linked directory removed") << Fault::DirectoryLinkGone;
        QTest::newRow("file appears at the name") << Fault::FileAppears;
        QTest::newRow("dangling link appears at the name") << Fault::DanglingLinkAppears;
        QTest::newRow("link to a file appears at the name") << Fault::LinkToFileAppears;
        QTest::newRow("directory appears at the name") << Fault::DirectoryAppears;
        QTest::newRow("named pipe appears at the name") << Fault::FifoAppears;
    }

    void faults() {
        QFETCH(Fault, fault);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        // Others may pass through, for a child that runs as nobody.
        QVERIFY(::chmod(path(root.path()).c_str(), 0755) == 0);
        QVERIFY(QDir(root.path()).mkdir("docs"));
        const QString docs = root.filePath("docs");
        const QString source = docs + "/scan.pdf";
        fx::Fixture fixture;
        fixture.pages = 3;
        // Large enough that the size limit falls inside the copy.
        fixture.imageBytesPerPage = fault == Fault::SizeLimit ? 200000 : 0;
        fx::makeFixture(fixture, path(source));
        QVERIFY(::chmod(path(source).c_str(), 0644) == 0);
        const QByteArray sourceBefore = readFile(source);

        QString opened = source; // the path the user opened
        QString copy = docs + "/scan_copy.pdf";
        if (fault == Fault::DirectoryLinkGone) {
            QVERIFY(QFile::link(docs, root.filePath("linked")));
            opened = root.filePath("linked/scan.pdf");
            copy = root.filePath("linked/scan_copy.pdf");
        }
        const QString elsewhere = root.filePath("elsewhere");
        if (fault == Fault::LinkToFileAppears) {
            QVERIFY(writeFile(elsewhere, kIntruder));
        }

        const bool inChildProcess = fault == Fault::MadeReadOnly || fault == Fault::SizeLimit;
        if (fault == Fault::MadeReadOnly && ::geteuid() == 0) {
            const auto ids = nobody();
            if (!ids) {
                QSKIP("running as root and there is no user nobody to drop to");
            }
            // The child, as nobody, owns the folder so it can take its own write access.
            QVERIFY(::chown(path(docs).c_str(), ids->first, ids->second) == 0);
        }

        const auto beforeWrite = [&](const std::string& copyPath) {
            const auto dir = path(docs);
            switch (fault) {
            case Fault::MadeReadOnly:
                ::chmod(dir.c_str(), 0555);
                break;
            case Fault::DirectoryRenamed:
                ::rename(dir.c_str(), path(root.filePath("moved")).c_str());
                break;
            case Fault::DirectoryReplaced:
                ::rename(dir.c_str(), path(root.filePath("moved")).c_str());
                writeFile(docs, kIntruder);
                break;
            case Fault::DirectoryLinkGone:
                ::unlink(path(root.filePath("linked")).c_str());
                break;
            case Fault::FileAppears:
                writeFile(QFile::decodeName(copyPath.c_str()), kIntruder);
                break;
            case Fault::DanglingLinkAppears:
            case Fault::LinkToFileAppears:
                ::symlink(path(elsewhere).c_str(), copyPath.c_str());
                break;
            case Fault::DirectoryAppears:
                ::mkdir(copyPath.c_str(), 0755);
                break;
            case Fault::FifoAppears:
                ::mkfifo(copyPath.c_str(), 0644);
                break;
            case Fault::SizeLimit:
                break;
            }
        };
        const auto run = [&]() {
            Harness h;
            h.beforeWrite = beforeWrite;
            h.run(path(opened), "user");
            return h.alertKeys();
        };

        std::vector<std::string> alerts;
        if (inChildProcess) {
            const auto text = inChild([&]() -> std::string {
                if (fault == Fault::SizeLimit) {
                    // write(2) then fails with EFBIG instead of the signal ending us.
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit small{64 * 1024, 64 * 1024};
                    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
                        return "setrlimit failed";
                    }
                } else if (!dropPrivileges()) {
                    return "could not drop privileges";
                }
                return joined(run());
            });
            QVERIFY2(text, "the child did not end normally");
            QCOMPARE(QString::fromStdString(*text), QString("IDS_MSG_FAILED\n"));
        } else {
            alerts = run();
            QCOMPARE(alerts, std::vector<std::string>{"IDS_MSG_FAILED"});
        }
        ::chmod(path(docs).c_str(), 0755);

        // Nothing new beside the source, wherever it now is.
        const bool moved = fault == Fault::DirectoryRenamed || fault == Fault::DirectoryReplaced;
        const QString sourceNow = moved ? root.filePath("moved/scan.pdf") : source;
        QCOMPARE(readFile(sourceNow), sourceBefore);
        QStringList expected{"scan.pdf"};
        switch (fault) {
        case Fault::FileAppears:
        case Fault::DanglingLinkAppears:
        case Fault::LinkToFileAppears:
        case Fault::DirectoryAppears:
        case Fault::FifoAppears:
            expected.append("scan_copy.pdf");
            break;
        default:
            break;
        }
        QCOMPARE(entries(QFileInfo(sourceNow).path()), expected);

        // Whatever took the name is as it was.
        const QFileInfo atName(copy);
        switch (fault) {
        case Fault::FileAppears:
            QCOMPARE(readFile(copy), kIntruder);
            break;
        case Fault::DanglingLinkAppears:
            QVERIFY(atName.isSymLink());
            QVERIFY(!QFileInfo::exists(elsewhere));
            break;
        case Fault::LinkToFileAppears:
            QVERIFY(atName.isSymLink());
            QCOMPARE(readFile(elsewhere), kIntruder);
            break;
        case Fault::DirectoryAppears:
            QVERIFY(atName.isDir() && entries(copy).isEmpty());
            break;
        case Fault::FifoAppears: {
            struct stat info {};
            QVERIFY(::lstat(path(copy).c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
            break;
        }
        case Fault::DirectoryReplaced:
            QCOMPARE(readFile(docs), kIntruder);
            break;
        case Fault::DirectoryRenamed:
        case Fault::DirectoryLinkGone:
            QVERIFY(!atName.exists() && !atName.isSymLink());
            break;
        default:
            break;
        }
    }

    // SIGKILL at different points of a large write. With O_TMPFILE the
    // unfinished copy has no name, so nothing can be left behind; a copy
    // that does appear was linked whole.
    void killedDuringWrite_data() {
        QTest::addColumn<qint64>("killAt"); // bytes of the unnamed copy written
        QTest::newRow("as the copy is opened") << qint64(0);
        QTest::newRow("after 1 MB") << qint64(1) * 1024 * 1024;
        QTest::newRow("after 8 MB") << qint64(8) * 1024 * 1024;
        QTest::newRow("after 14 MB") << qint64(14) * 1024 * 1024;
        QTest::newRow("once the copy has its name") << kOnceNamed;
        QTest::newRow("not killed") << kNever;
    }

    void killedDuringWrite() {
        QFETCH(qint64, killAt);
#ifndef __linux__
        QSKIP("finds the unnamed copy through /proc");
#endif
        if (bigSource_.isEmpty()) {
            QVERIFY(bigDir_.isValid());
            fx::Fixture fixture;
            fixture.pages = 4;
            fixture.imageBytesPerPage = 4 * 1024 * 1024;
            const auto made = bigDir_.filePath("big.pdf");
            fx::makeFixture(fixture, path(made));
            bigSource_ = readFile(made);
            QVERIFY(bigSource_.size() > 15 * 1024 * 1024);
        }

        // A kill aimed mid-write can come late on a busy machine; try again
        // until one lands before the copy is named.
        for (int attempt = 1;; ++attempt) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString canonical = QDir(dir.path()).canonicalPath();
            const QString source = canonical + "/scan.pdf";
            const QString copy = canonical + "/scan_copy.pdf";
            QVERIFY(writeFile(source, bigSource_));

            std::fflush(nullptr);
            const pid_t pid = ::fork();
            QVERIFY(pid >= 0);
            if (pid == 0) {
                Harness h;
                h.run(path(source), "user");
                ::_exit(h.alertKeys() == std::vector<std::string>{"IDS_MSG_COMPLETE"} ? 0 : 1);
            }
            bool killed = false;
            int status = 0;
            for (;;) {
                if (::waitpid(pid, &status, WNOHANG) == pid) {
                    break;
                }
                const auto unnamed = unnamedFileSize(pid, canonical);
                const bool now = killAt == kOnceNamed ? QFileInfo::exists(copy)
                                 : killAt == kNever   ? false
                                                      : unnamed && *unnamed >= killAt;
                if (now) {
                    ::kill(pid, SIGKILL);
                    ::waitpid(pid, &status, 0);
                    killed = true;
                    break;
                }
                ::usleep(100);
            }

            QCOMPARE(readFile(source), bigSource_);
            const QStringList left = entries(canonical);
            const bool copied = left.contains("scan_copy.pdf");
            QVERIFY2(left == QStringList{"scan.pdf"} ||
                         left == (QStringList{"scan.pdf", "scan_copy.pdf"}),
                     qPrintable(left.join(", ")));
            if (copied) {
                const auto view = popplerView(copy);
                QVERIFY2(view && !view->encrypted && view->pages == 4, "a partial copy");
            }
            if (killAt == kNever) {
                QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                QVERIFY(copied);
                return;
            }
            if (killAt == kOnceNamed) {
                QVERIFY(killed && copied);
                return;
            }
            if (killed && !copied) {
                return; // landed mid-write and left nothing
            }
            QVERIFY2(attempt < 5, "no kill landed before the copy was complete");
        }
    }

private:
    static constexpr qint64 kOnceNamed = -2;
    static constexpr qint64 kNever = -1;

    // Size of a file the process has open in `dir` that has no name there
    // (O_TMPFILE shows as "#<inode> (deleted)"), or of a named temporary.
    static std::optional<qint64> unnamedFileSize(pid_t pid, const QString& dir) {
        const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
        DIR* listing = ::opendir(fds.c_str());
        if (!listing) {
            return std::nullopt;
        }
        std::optional<qint64> size;
        const std::string prefix = path(dir) + "/";
        while (const dirent* entry = ::readdir(listing)) {
            const std::string fd = fds + "/" + entry->d_name;
            char target[4096];
            const ssize_t length = ::readlink(fd.c_str(), target, sizeof target - 1);
            if (length <= 0) {
                continue;
            }
            const std::string name(target, static_cast<size_t>(length));
            const bool unnamed = name.find(" (deleted)") != std::string::npos ||
                                 name.find("/.pdfunlock-") != std::string::npos;
            struct stat info {};
            if (name.rfind(prefix, 0) == 0 && unnamed && ::stat(fd.c_str(), &info) == 0) {
                size = info.st_size;
            }
        }
        ::closedir(listing);
        return size;
    }

    QTemporaryDir bigDir_;
    QByteArray bigSource_;
};

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "test_write_faults.moc"
