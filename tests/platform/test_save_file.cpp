// NoReplaceSaveFile on its own: each way the folder or the system can refuse a
// new file, told apart by its error, with nothing left behind.
#include "ChildProcess.h"
#include "platform/NoReplaceSaveFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pdfunlock;

namespace {

enum class Fault {
    None,
    NameTakenBeforeCommit, // someone else's file appears at the path
    ReadOnlyFolder,
    FileSizeLimit,
    FolderGone, // removed between open and commit
};

const QByteArray kTheirs = "someone else's file\n";

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

// Writes `size` bytes in small pieces, as qpdf's writer does, and commits.
std::error_code saveInPieces(const std::string& path, size_t size,
                             const std::function<void()>& midway) {
    NoReplaceSaveFile file(path, 0644);
    if (auto error = file.open()) {
        return error;
    }
    const std::vector<unsigned char> piece(1000, 'x');
    for (size_t done = 0; done < size; done += piece.size()) {
        file.write(piece.data(), std::min(piece.size(), size - done));
    }
    if (midway) {
        midway();
    }
    return file.commit();
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class SaveFileTest : public QObject {
    Q_OBJECT

private slots:
    void save_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("hiddenOnly"); // as on a file system without unnamed files
        for (const bool hidden : {false, true}) {
            const auto row = [hidden](const char* name) -> QTestData& {
                return QTest::newRow(
                    (std::string(name) + (hidden ? ", hidden temporary" : "")).c_str());
            };
            row("written") << Fault::None << 0 << hidden;
            row("name taken just before the commit")
                << Fault::NameTakenBeforeCommit << EEXIST << hidden;
            row("read-only folder") << Fault::ReadOnlyFolder << EACCES << hidden;
            row("file size limit") << Fault::FileSizeLimit << EFBIG << hidden;
            row("folder gone before the commit") << Fault::FolderGone << ENOENT << hidden;
        }
    }

    void save() {
        QFETCH(Fault, fault);
        QFETCH(int, error);
        QFETCH(bool, hiddenOnly);
        useHiddenTemporariesOnly(hiddenOnly);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkdir("docs"));
        const QString dir = root.filePath("docs");
        const std::string path = QFile::encodeName(dir + "/out.pdf").toStdString();
        const size_t size = 3 * 1024 * 1024; // past the write buffer, in many writes

        std::function<void()> midway;
        if (fault == Fault::NameTakenBeforeCommit) {
            midway = [&] {
                QFile theirs(dir + "/out.pdf");
                QVERIFY(theirs.open(QIODevice::WriteOnly) && theirs.write(kTheirs) > 0);
            };
        } else if (fault == Fault::FolderGone) {
            midway = [&] { QVERIFY(QDir(dir).removeRecursively()); };
        }

        std::error_code result;
        if (fault == Fault::ReadOnlyFolder || fault == Fault::FileSizeLimit) {
            // In a child: root ignores folder modes, and the limit must not
            // reach the test itself.
            QVERIFY(::chmod(root.path().toLocal8Bit().constData(), 0755) == 0);
            if (fault == Fault::ReadOnlyFolder) {
                QVERIFY(::chmod(QFile::encodeName(dir).constData(), 0555) == 0);
                if (::geteuid() == 0 && !testing::nobody()) {
                    QSKIP("running as root and there is no user nobody to drop to");
                }
            }
            const auto code = testing::inChild([&] {
                if (fault == Fault::ReadOnlyFolder && !testing::dropPrivileges()) {
                    return std::string("no drop");
                }
                if (fault == Fault::FileSizeLimit) {
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit small{1024 * 1024, 1024 * 1024};
                    ::setrlimit(RLIMIT_FSIZE, &small);
                }
                return std::to_string(saveInPieces(path, size, {}).value());
            });
            QVERIFY(code);
            result = {std::stoi(*code), std::generic_category()};
        } else {
            result = saveInPieces(path, size, midway);
        }

        QCOMPARE(result.value(), error);
        const QStringList left = QDir(dir).exists() ? entries(dir) : QStringList();
        if (fault == Fault::None) {
            QCOMPARE(left, QStringList{"out.pdf"});
            QCOMPARE(QFileInfo(dir + "/out.pdf").size(), qint64(size));
        } else if (fault == Fault::NameTakenBeforeCommit) {
            QCOMPARE(left, QStringList{"out.pdf"});
            QFile theirs(dir + "/out.pdf");
            QVERIFY(theirs.open(QIODevice::ReadOnly));
            QCOMPARE(theirs.readAll(), kTheirs);
        } else {
            QCOMPARE(left, QStringList());
        }
        useHiddenTemporariesOnly(false);
    }

    // What a killed run left is removed by the next save through a hidden
    // temporary there: only this user's own files of the pattern, and not one
    // that a run still writing holds locked.
    void staleTemporariesRemoved() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto file = [&](const QString& name) {
            QFile made(dir.filePath(name));
            QVERIFY(made.open(QIODevice::WriteOnly) && made.write("%PDF-1.7 partial") > 0);
        };
        file(".pdfunlock-Stale1");
        file(".pdfunlock-Held01");
        file(".pdfunlock-longer1");
        QVERIFY(QFile::link(dir.filePath(".pdfunlock-Held01"), dir.filePath(".pdfunlock-Link01")));
        const int held = ::open(QFile::encodeName(dir.filePath(".pdfunlock-Held01")).constData(),
                                O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);

        useHiddenTemporariesOnly(true);
        const auto saved =
            saveInPieces(QFile::encodeName(dir.filePath("out.pdf")).toStdString(), 10, {});
        useHiddenTemporariesOnly(false);
        ::close(held);

        QCOMPARE(saved.value(), 0);
        QCOMPARE(entries(dir.path()), (QStringList{".pdfunlock-Held01", ".pdfunlock-Link01",
                                                   ".pdfunlock-longer1", "out.pdf"}));
    }
};

QTEST_MAIN(SaveFileTest)
#include "test_save_file.moc"
