// pdfunlock-cli --watch from outside: files arriving by write and close, by
// rename, during the start-up walk, in two bursts, in a new sub-folder, by
// polling; the copies it writes never taken; a folder gone; SIGTERM with a
// file under way. Short settle times throughout.
#include "Fakes.h"
#include "batch/FolderWatch.h"
#include "fixtures/FixtureMaker.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace fx = pdfunlock::fixtures;
using namespace pdfunlock;

namespace {

const QString cli = QStringLiteral(PDFUNLOCK_CLI);

QByteArray fixtureBytes(const std::string& creator, int imageBytes = 0,
                        const std::string& password = "pw") {
    QTemporaryDir dir;
    fx::Fixture fixture;
    fixture.userPassword = password;
    fixture.creator = fx::Text{creator};
    fixture.pages = imageBytes > 0 ? 8 : 1;
    fixture.imageBytesPerPage = imageBytes;
    const QString path = dir.filePath("f.pdf");
    fx::makeFixture(fixture, path.toStdString());
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The watcher has the file open: its job is under way.
bool holdsOpen(qint64 pid, const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const auto& fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        if (fd.symLinkTarget() == target) {
            return true;
        }
    }
    return false;
}

// The system's events, of which some are lost on demand: while `dropping`,
// none is given; `lost` then says so once.
class LosingEvents final : public FolderEvents {
public:
    std::optional<FolderWatchId> add(const std::shared_ptr<FoundFolder>& folder) override {
        return inner_->add(folder);
    }
    void remove(int watch) override { inner_->remove(watch); }
    std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) override {
        auto events = inner_->wait(timeout);
        if (lost.exchange(false)) {
            dropping = false;
            return {{FolderEvent::Kind::Lost, -1, {}}};
        }
        return dropping ? std::vector<FolderEvent>{} : events;
    }
    void wake() override { inner_->wake(); }

    std::atomic<bool> dropping{false};
    std::atomic<bool> lost{false};

private:
    std::unique_ptr<FolderEvents> inner_ = systemFolderEvents(std::chrono::seconds(5));
};

// The watch's lines as "<name> <reason>", sorted.
class Lines final : public WatchListener {
public:
    void fileDone(const FileResult& result) override {
        std::lock_guard lock(mutex_);
        lines_ << QString::fromStdString(std::filesystem::path(result.source).filename().string() +
                                         ' ' + std::string(outcomeRow(result.outcome.reason).code));
    }
    void skipped(const SkippedPath&) override {}
    void notice(IDS_KEY, const std::vector<std::string>&) override {}
    std::size_t count() {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(lines_.size());
    }
    QStringList all() {
        std::lock_guard lock(mutex_);
        QStringList sorted = lines_;
        sorted.sort();
        return sorted;
    }

private:
    std::mutex mutex_;
    QStringList lines_;
};

} // namespace

class WatchTest : public QObject {
    Q_OBJECT

    QByteArray locked_ = fixtureBytes("Tessivon Scan");
    QByteArray foreign_ = fixtureBytes("Acme Scan");
    QByteArray large_ = fixtureBytes("Tessivon Scan", 8 << 20); // a job that takes a while
    QByteArray otherPassword_ = fixtureBytes("Tessivon Scan", 0, "other");

private slots:
    void arrivals_data() {
        // "ROOT" stands for the watched folder; "ROOT/archive" is made first.
        QTest::addColumn<QStringList>("options");
        // Done in order once the watch has copied ready.pdf, which is there
        // from the start ("early": right after it starts instead):
        // "write N" (written and closed), "move N" (renamed in from outside),
        // "bursts N" (half, a pause shorter than the settle time, the rest),
        // "link N" (a hard link to a scan outside: made, never closed here),
        // "foreign N", "wrong N" (another password), "large N", "mkdir N",
        // "rmroot", "lock N" (written, then locked by us: another run has
        // it), "term when N is open", "unlock".
        QTest::addColumn<QStringList>("steps");
        // Every line the watch prints: "<source> <reason> <copy or ->", the
        // paths relative to the watched folder, sorted.
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("exitCode");

        const QString ok = QStringLiteral(" copied ");
        QTest::newRow("write and close, rename in")
            << QStringList{} << QStringList{"write a.pdf", "move b.pdf"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "b.pdf" + ok + "b_copy.pdf",
                           "ready.pdf" + ok + "ready_copy.pdf"}
            << 0;
        QTest::newRow("arrivals during the start-up walk")
            << QStringList{} << QStringList{"early", "write a.pdf", "move b.pdf", "write c.pdf"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "b.pdf" + ok + "b_copy.pdf",
                           "c.pdf" + ok + "c_copy.pdf", "ready.pdf" + ok + "ready_copy.pdf"}
            << 0;
        QTest::newRow("a hard link: no close, taken after a longer wait")
            << QStringList{} << QStringList{"link a.pdf"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "ready.pdf" + ok + "ready_copy.pdf"} << 0;
        QTest::newRow("two bursts: taken once, after the second")
            << QStringList{} << QStringList{"bursts a.pdf"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "ready.pdf" + ok + "ready_copy.pdf"} << 0;
        QTest::newRow("a new sub-folder, a foreign PDF")
            << QStringList{} << QStringList{"mkdir sub", "write sub/a.pdf", "foreign x.pdf"}
            << QStringList{"ready.pdf" + ok + "ready_copy.pdf", "sub/a.pdf" + ok + "sub/a_copy.pdf",
                           "x.pdf refused-origin -"}
            << 0;
        QTest::newRow("the output folder inside the watched one: no loop")
            << QStringList{"-o", "ROOT/archive"}
            << QStringList{"write a.pdf", "mkdir sub", "write sub/b.pdf"}
            << QStringList{"a.pdf" + ok + "archive/a_copy.pdf",
                           "ready.pdf" + ok + "archive/ready_copy.pdf",
                           "sub/b.pdf" + ok + "archive/sub/b_copy.pdf"}
            << 0;
        QTest::newRow("-q: only what needs attention")
            << QStringList{"-q"} << QStringList{"write a.pdf", "foreign x.pdf", "wrong w.pdf"}
            << QStringList{"w.pdf wrong-password -"} << 0;
        QTest::newRow("polling, forced")
            << QStringList{"--poll", "0.2"}
            << QStringList{"write a.pdf", "mkdir sub", "move sub/b.pdf"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "ready.pdf" + ok + "ready_copy.pdf",
                           "sub/b.pdf" + ok + "sub/b_copy.pdf"}
            << 0;
        QTest::newRow("the watched folder removed")
            << QStringList{} << QStringList{"rmroot"}
            << QStringList{"ready.pdf" + ok + "ready_copy.pdf"} << 1;
        QTest::newRow("SIGTERM with a file under way: it finishes")
            << QStringList{} << QStringList{"large a.pdf", "term when a.pdf is open"}
            << QStringList{"a.pdf" + ok + "a_copy.pdf", "ready.pdf" + ok + "ready_copy.pdf"} << 0;
        QTest::newRow("SIGTERM while another run has the file: not started")
            << QStringList{} << QStringList{"lock a.pdf", "term when a.pdf is open", "unlock"}
            << QStringList{"a.pdf not-started -", "ready.pdf" + ok + "ready_copy.pdf"} << 0;
    }

    void arrivals() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, lines);
        QFETCH(int, exitCode);
        QTemporaryDir top;
        const QString root = top.filePath("in");
        QDir().mkpath(root);
        writeFile(root + "/ready.pdf", locked_);
        writeFile(top.filePath("pw"), "pw\n");
        QFile::setPermissions(top.filePath("pw"), QFile::ReadOwner | QFile::WriteOwner);
        options.replaceInStrings("ROOT", root);
        if (options.contains(root + "/archive")) {
            QDir().mkpath(root + "/archive");
        }
        const auto readyCopied = [&] {
            QDirIterator it(root, {"ready_copy.pdf"}, QDir::Files, QDirIterator::Subdirectories);
            return it.hasNext();
        };

        QProcess watch;
        watch.start(cli, QStringList{"--watch", "--json", "--settle", "0.4", "--password-file",
                                     top.filePath("pw")} +
                             options + QStringList{root});
        QVERIFY(watch.waitForStarted());
        QByteArray out;
        const auto linesSoFar = [&] {
            watch.waitForReadyRead(50);
            out += watch.readAllStandardOutput();
            return out.count('\n');
        };
        if (!steps.contains("early")) {
            QTRY_VERIFY_WITH_TIMEOUT(readyCopied(), 20000);
        }
        int lockFd = -1;
        for (const QString& step : steps) {
            const QString name = step.section(' ', 1, 1);
            const QString path = root + '/' + name;
            if (step.startsWith("write ")) {
                writeFile(path, locked_);
            } else if (step.startsWith("move ")) {
                writeFile(top.filePath("outside.tmp"), locked_);
                QVERIFY(QFile::rename(top.filePath("outside.tmp"), path));
            } else if (step.startsWith("link ")) {
                writeFile(top.filePath("outside.pdf"), locked_);
                QCOMPARE(::link(QFile::encodeName(top.filePath("outside.pdf")).constData(),
                                QFile::encodeName(path).constData()),
                         0);
            } else if (step.startsWith("foreign ")) {
                writeFile(path, foreign_);
            } else if (step.startsWith("wrong ")) {
                writeFile(path, otherPassword_);
            } else if (step.startsWith("large ")) {
                writeFile(path, large_);
            } else if (step.startsWith("bursts ")) {
                writeFile(path, locked_.left(locked_.size() / 2));
                QTest::qWait(200);
                QFile file(path);
                QVERIFY(file.open(QIODevice::Append));
                file.write(locked_.mid(locked_.size() / 2));
            } else if (step.startsWith("mkdir ")) {
                QVERIFY(QDir().mkpath(path));
            } else if (step == "rmroot") {
                // Once its job is over: its copy shows before the job's last checks.
                QTRY_VERIFY_WITH_TIMEOUT(linesSoFar() >= 1, 20000);
                QVERIFY(QDir(root).removeRecursively());
            } else if (step.startsWith("lock ")) {
                writeFile(path, locked_);
                lockFd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
                QVERIFY(lockFd >= 0 && ::flock(lockFd, LOCK_EX) == 0);
            } else if (step.startsWith("term when ")) {
                const QString open = root + '/' + step.section(' ', 2, 2);
                QTRY_VERIFY_WITH_TIMEOUT(holdsOpen(watch.processId(), open), 20000);
                ::kill(pid_t(watch.processId()), SIGTERM);
                QTest::qWait(300); // the signal taken before another run lets go
            } else if (step == "unlock") {
                ::close(lockFd);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            linesSoFar() >= lines.size() || watch.state() == QProcess::NotRunning, 30000);
        QTest::qWait(1500); // a line too many would come now
        if (watch.state() == QProcess::Running) {
            ::kill(pid_t(watch.processId()), SIGTERM);
        }
        QVERIFY(watch.state() == QProcess::NotRunning || watch.waitForFinished(30000));
        out += watch.readAllStandardOutput();

        QStringList seen;
        for (const auto& line : out.split('\n')) {
            if (line.isEmpty()) {
                continue;
            }
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            const QString copy = object["copy"].isNull()
                                     ? QStringLiteral("-")
                                     : QDir(root).relativeFilePath(object["copy"].toString());
            seen << QDir(root).relativeFilePath(object["source"].toString()) + ' ' +
                        object["reason"].toString() + ' ' + copy;
        }
        seen.sort();
        QCOMPARE(seen, lines);
        QCOMPARE(watch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(watch.exitCode(), exitCode);
        // A copy of a copy would have come from a copy taken as a source.
        QDirIterator all(top.path(), QDirIterator::Subdirectories);
        while (all.hasNext()) {
            QVERIFY2(!all.next().contains("_copy_copy"), qPrintable(all.filePath()));
        }
    }

    // Events lost (the queue ran over): every folder is listed again; a file
    // whose events were lost is copied, one copied before is no news.
    void eventsLost() {
        QTemporaryDir top;
        writeFile(top.filePath("ready.pdf"), locked_);
        LosingEvents events;
        Lines lines;
        QpdfDocumentService pdf;
        PosixFileSystem files;
        testing::FakeLog log;
        const BatchServices services{pdf, files, log};
        FolderWatch watch(
            {std::chrono::milliseconds(300), 1, nullptr}, events, RemovalServices{pdf, files, log},
            [&](BatchItem item, BatchRun::OnFinished onFinished) {
                auto run = std::make_unique<BatchRun>(
                    std::vector<BatchItem>{std::move(item)}, std::vector<std::string>{"pw"},
                    BatchOptions{1, false, false, {}}, services, std::move(onFinished));
                run->start();
                return run;
            },
            lines);
        QVERIFY(watch.start({top.path().toStdString()}));
        std::thread loop([&] { watch.run(); });
        // Stopped and joined however the test ends.
        const auto join = [&](void*) {
            watch.stop();
            loop.join();
        };
        const std::unique_ptr<void, decltype(join)> joined(&loop, join);
        QTRY_COMPARE_WITH_TIMEOUT(lines.count(), std::size_t(1), 20000);
        events.dropping = true;
        writeFile(top.filePath("a.pdf"), locked_);
        QTest::qWait(500);
        events.lost = true;
        events.wake();
        QTRY_COMPARE_WITH_TIMEOUT(lines.count(), std::size_t(2), 20000);
        QTest::qWait(1000); // a line too many would come now
        QCOMPARE(lines.all(), (QStringList{"a.pdf copied", "ready.pdf copied"}));
    }

    // A restart finds the copies of the run before: nothing is copied twice.
    void restart() {
        QTemporaryDir top;
        writeFile(top.filePath("a.pdf"), locked_);
        writeFile(top.filePath("pw"), "pw\n");
        QFile::setPermissions(top.filePath("pw"), QFile::ReadOwner | QFile::WriteOwner);
        QStringList results;
        for (int run = 0; run < 2; ++run) {
            QProcess watch;
            watch.start(cli, {"--watch", "--json", "--settle", "0.2", "--password-file",
                              top.filePath("pw"), top.path()});
            QTRY_VERIFY_WITH_TIMEOUT(watch.canReadLine() || watch.waitForReadyRead(50), 20000);
            ::kill(pid_t(watch.processId()), SIGTERM);
            QVERIFY(watch.waitForFinished(30000));
            results << QJsonDocument::fromJson(watch.readAllStandardOutput())
                           .object()["reason"]
                           .toString();
        }
        QCOMPARE(results, (QStringList{"copied", "copied-before"}));
        QCOMPARE(QDir(top.path()).entryList({"a_copy*"}), QStringList{"a_copy.pdf"});
    }

    // A password file others may read is refused before anything is watched.
    void passwordFileOpenToOthers() {
        QTemporaryDir top;
        writeFile(top.filePath("pw"), "pw\n");
        QFile::setPermissions(top.filePath("pw"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QProcess watch;
        watch.start(cli, {"--watch", "--password-file", top.filePath("pw"), top.path()});
        QVERIFY(watch.waitForFinished(30000));
        QCOMPARE(watch.exitCode(), 2);
        QVERIFY(watch.readAllStandardError().contains("chmod 600"));
    }
};

QTEST_GUILESS_MAIN(WatchTest)
#include "test_watch.moc"
