// NoReplaceSaveFile on its own: each way the folder or the system can refuse a
// new file, told apart by its error, with nothing left behind.
#include "ChildProcess.h"
#include "platform/NoReplaceSaveFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
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
        QTest::newRow("written") << Fault::None << 0;
        QTest::newRow("name taken just before the commit")
            << Fault::NameTakenBeforeCommit << EEXIST;
        QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << EACCES;
        QTest::newRow("file size limit") << Fault::FileSizeLimit << EFBIG;
        QTest::newRow("folder gone before the commit") << Fault::FolderGone << ENOENT;
    }

    void save() {
        QFETCH(Fault, fault);
        QFETCH(int, error);
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
    }
};

QTEST_MAIN(SaveFileTest)
#include "test_save_file.moc"
