// A folder others can write to: each way another local user could turn the
// batch against its user, tried in-process by changing names between the
// job's steps (links, swapped folders, planted copies, two runs at once, a
// tree deeper than PATH_MAX, a source written to while it is read).
#include "Harness.h"
#include "batch/BatchInputs.h"
#include "batch/BatchRun.h"
#include "fixtures/FixtureMaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace pdfunlock;
using namespace pdfunlock::testing;
namespace fx = pdfunlock::fixtures;

namespace {

const std::string kPassword = "pw";

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void makeScan(const QString& path, int imageBytes = 0) {
    fx::Fixture scan;
    scan.userPassword = kPassword;
    scan.pages = 2;
    scan.imageBytesPerPage = imageBytes;
    fx::makeFixture(scan, local(path));
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The real file system, as a user of another id would see it.
struct OtherUser : PosixFileSystem {
    unsigned runningUserId() const override { return ::geteuid() + 1; }
};

// The job's services over the real qpdf service, seen through a spy for its hooks.
struct Job {
    QpdfDocumentService real;
    SpyService pdf{real};
    PosixFileSystem own;
    OtherUser other;
    FileSystem* files = &own;
    FakeLog log;
    RemovalServices services() { return {pdf, *files, log}; }

    // The batch's one file named `name` under the folder `root`.
    std::optional<BatchItem> walked(const QString& root, const QString& name) {
        for (auto& item : collectInputs({local(root)}, services()).items) {
            if (QString::fromStdString(item.path).endsWith('/' + name)) {
                return item;
            }
        }
        return std::nullopt;
    }
    FileOutcome run(const FileSource& source, bool again = false) {
        return unlockFile(source, {kPassword}, services(), FileJobOptions{again, true, nullptr});
    }
};

// Removes a tree by descriptor, however deep.
void removeTree(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        const HeldFolder folder(Descriptor(fd), name);
        for (const Entry& entry : folder.entries().value_or(std::vector<Entry>{})) {
            if (entry.kind == EntryKind::Folder) {
                removeTree(fd, entry.name.c_str());
            } else {
                ::unlinkat(fd, entry.name.c_str(), 0);
            }
        }
    }
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

} // namespace

class SharedFolderTest : public QObject {
    Q_OBJECT

private slots:
    // The copy's mode and group are the opened source's, whatever file its
    // name holds by the time the copy is written.
    void modeAndGroupFromTheDescriptor() {
        QTemporaryDir dir;
        const QString source = dir.filePath("salary.pdf");
        const QString theirs = dir.filePath("theirs.pdf");
        makeScan(source);
        makeScan(theirs);
        QVERIFY(::chmod(local(source).c_str(), 0640) == 0);
        QVERIFY(::chmod(local(theirs).c_str(), 0666) == 0);
        // A setgid folder of a group that is not the source's, when there is one.
        std::vector<gid_t> groups(static_cast<std::size_t>(::getgroups(0, nullptr)) + 1);
        groups.resize(static_cast<std::size_t>(::getgroups(int(groups.size()), groups.data())));
        groups.push_back(::getegid());
        const gid_t sourceGroup = ::getegid();
        std::optional<gid_t> folderGroup;
        for (const gid_t group : groups) {
            if (group != sourceGroup) {
                folderGroup = group;
            }
        }
        if (!folderGroup && ::geteuid() == 0) {
            folderGroup = sourceGroup + 1;
        }
        if (folderGroup) {
            QVERIFY(::chown(local(dir.path()).c_str(), static_cast<uid_t>(-1), *folderGroup) == 0);
            QVERIFY(::chmod(local(dir.path()).c_str(), 02777) == 0);
        }

        Job job;
        const auto item = job.walked(dir.path(), "salary.pdf");
        QVERIFY(item);
        bool swapped = false;
        job.pdf.afterOpen = [&] {
            if (!swapped) {
                swapped = ::rename(local(theirs).c_str(), local(source).c_str()) == 0;
            }
        };
        const mode_t mask = ::umask(0);
        const FileOutcome outcome = job.run(*item);
        ::umask(mask);
        QVERIFY(swapped);
        QCOMPARE(outcomeRow(outcome.reason).code, std::string_view("copied"));
        struct stat copy {};
        QVERIFY(::stat(local(dir.filePath("salary_copy.pdf")).c_str(), &copy) == 0);
        QCOMPARE(int(copy.st_mode & 0707), 0600);
        // The source's group, or none of the group's bits.
        QCOMPARE(int(copy.st_mode & 070), copy.st_gid == sourceGroup ? 040 : 0);
    }

    // The source's folder swapped for a link to a private folder, at each step
    // of the job: nothing is read from or written into the private folder,
    // the copy goes into the folder found, and the path reported is the copy's.
    void folderSwappedForALink_data() {
        QTest::addColumn<QString>("when");
        QTest::newRow("between the walk and the job") << "walked";
        QTest::newRow("after the source's open") << "opened";
        QTest::newRow("after the copy is written") << "written";
    }
    void folderSwappedForALink() {
        QFETCH(QString, when);
        QTemporaryDir root;
        const QString shared = root.filePath("shared");
        const QString privateDir = root.filePath("private");
        QVERIFY(QDir().mkpath(shared + "/sub") && QDir().mkpath(privateDir));
        makeScan(shared + "/sub/x.pdf");
        makeScan(privateDir + "/x.pdf");
        QVERIFY(writeText(privateDir + "/x_copy.pdf", "keep me"));
        const auto swap = [&] {
            return QDir().rename(shared + "/sub", shared + "/moved") &&
                   QFile::link(privateDir, shared + "/sub");
        };

        Job job;
        const auto item = job.walked(shared, "x.pdf");
        QVERIFY(item);
        // The same folder as found but not kept open: looked up again, the
        // link in its place is not it.
        const auto top = FoundFolder::named(local(shared));
        QVERIFY(top);
        const auto entry = top->hold()->entry("sub");
        QVERIFY(entry);
        const auto found = top->subfolder("sub", entry->identity);
        bool swapped = false;
        if (when == "walked") {
            swapped = swap();
            QVERIFY(!found->hold());
        }
        job.pdf.afterOpen = [&] {
            if (when == "opened" && !swapped) {
                swapped = swap();
            }
        };
        job.pdf.wrapNew = [&](std::shared_ptr<PDFDocument> document) {
            auto spy = std::make_shared<SpyDocument>(document);
            spy->afterWrite = [&] {
                if (when == "written" && !swapped) {
                    swapped = swap();
                }
            };
            return std::static_pointer_cast<PDFDocument>(spy);
        };
        const FileOutcome result = job.run(*item);
        QVERIFY(swapped);
        QCOMPARE(outcomeRow(result.reason).code, std::string_view("copied"));
        QCOMPARE(QDir(privateDir).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"x.pdf", "x_copy.pdf"}));
        QCOMPARE(contents(privateDir + "/x_copy.pdf"), QByteArray("keep me"));
        const QString copy = QFileInfo(shared + "/moved/x_copy.pdf").canonicalFilePath();
        QVERIFY(result.copyPath);
        QCOMPARE(QFileInfo(QString::fromStdString(*result.copyPath)).canonicalFilePath(), copy);
        QCOMPARE(fx::readPageLabels(local(copy)).size(), std::size_t(2));
    }

    // What holds a copy's name counts as the earlier copy only when it is the
    // user's own regular file naming the same document.
    void plantedCopies_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("outcome"); // "<result> <copy's name>"
        QTest::newRow("the user's own copy") << "own"
                                             << "copied-before a_copy.pdf";
        QTest::newRow("a copy of another owner") << "other owner"
                                                 << "copied-name-held a_copy1.pdf";
        QTest::newRow("a link to the user's own copy") << "link"
                                                       << "copied-name-held a_copy1.pdf";
        QTest::newRow("the user's unprotected PDF of another document") << "other document"
                                                                        << "copied a_copy1.pdf";
    }
    void plantedCopies() {
        QFETCH(QString, planted);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        makeScan(dir.filePath("a.pdf"));
        Job job;
        // A copy as the job makes it, moved aside when a link is to stand for it.
        const auto item = job.walked(dir.path(), "a.pdf");
        QVERIFY(item);
        if (planted == "other document") {
            fx::Fixture unprotected;
            unprotected.security = fx::Security::None;
            fx::makeFixture(unprotected, local(dir.filePath("a_copy.pdf")));
        } else {
            QCOMPARE(outcomeRow(job.run(*item).reason).code, std::string_view("copied"));
        }
        if (planted == "link") {
            QVERIFY(QFile::rename(dir.filePath("a_copy.pdf"), dir.filePath("mine.pdf.bak")));
            QVERIFY(QFile::link(dir.filePath("mine.pdf.bak"), dir.filePath("a_copy.pdf")));
        }
        if (planted == "other owner") {
            job.files = &job.other;
        }
        const FileOutcome result = job.run(*item);
        QCOMPARE(QString::fromLatin1(outcomeRow(result.reason).code.data()) + ' ' +
                     QFileInfo(QString::fromStdString(result.copyPath.value_or(""))).fileName(),
                 outcome);
    }

    // Two runs on one folder at once: every file copied once, the other run
    // finding that copy; no duplicate, no failure.
    void twoRunsAtOnce() {
        QTemporaryDir dir;
        constexpr int files = 12;
        for (int i = 0; i < files; ++i) {
            makeScan(dir.filePath(QString("s%1.pdf").arg(i, 2, 10, QChar('0'))), 100000);
        }
        std::map<std::string, int> results;
        std::mutex mutex;
        const auto run = [&] {
            Job job;
            auto inputs = collectInputs({local(dir.path())}, job.services());
            runBatch(std::move(inputs.items), {kPassword}, BatchOptions{2, false, false, {}},
                     BatchServices{job.real, job.own, job.log}, [&](const FileResult& result) {
                         std::lock_guard lock(mutex);
                         ++results[std::string(outcomeRow(result.outcome.reason).code)];
                     });
        };
        std::thread first(run);
        std::thread second(run);
        first.join();
        second.join();
        QCOMPARE(results,
                 (std::map<std::string, int>{{"copied-before", files}, {"copied", files}}));
        QCOMPARE(QDir(dir.path()).entryList({"*_copy*"}, QDir::Files).size(), files);
        QCOMPARE(QDir(dir.path()).entryList({"*_copy1*"}, QDir::Files).size(), 0);
    }

    // A tree deeper than PATH_MAX is walked and copied in by descriptor; a
    // link down there is reported, not followed.
    void deeperThanPathMax() {
        QTemporaryDir root;
        const int top = ::open(local(root.path()).c_str(), O_RDONLY | O_DIRECTORY);
        QVERIFY(top >= 0);
        int fd = ::dup(top);
        constexpr int levels = PATH_MAX / 3 + 100; // "dd/" each
        for (int level = 0; level < levels; ++level) {
            QVERIFY(::mkdirat(fd, "dd", 0755) == 0);
            const int next = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            QVERIFY(fd >= 0);
        }
        makeScan(root.filePath("deep.pdf"));
        QVERIFY(::renameat(top, "deep.pdf", fd, "deep.pdf") == 0);
        QVERIFY(::symlinkat("deep.pdf", fd, "link.pdf") == 0);

        Job job;
        const BatchInputs inputs = collectInputs({local(root.path())}, job.services());
        QCOMPARE(inputs.items.size(), std::size_t(1));
        QVERIFY(inputs.items.front().path.size() > PATH_MAX);
        QCOMPARE(inputs.skipped.size(), std::size_t(1));
        QCOMPARE(outcomeRow(inputs.skipped.front().outcome.reason).code,
                 std::string_view("link-not-followed"));
        const FileOutcome outcome = job.run(inputs.items.front());
        QCOMPARE(outcomeRow(outcome.reason).code, std::string_view("copied"));
        struct stat copy {};
        QVERIFY(::fstatat(fd, "deep_copy.pdf", &copy, AT_SYMLINK_NOFOLLOW) == 0);
        QVERIFY(S_ISREG(copy.st_mode) && copy.st_size > 0);
        ::close(fd);
        removeTree(top, "dd");
        ::close(top);
    }

    // A source written to while it is read is not copied, in the batch and in
    // the window (whose alert stays that of a failed write).
    void sourceWrittenWhileRead_data() {
        QTest::addColumn<bool>("window");
        QTest::newRow("batch") << false;
        QTest::newRow("window") << true;
    }
    void sourceWrittenWhileRead() {
        QFETCH(bool, window);
        QTemporaryDir dir;
        const QString source = dir.filePath("scan.pdf");
        makeScan(source, 50000);
        const QByteArray before = contents(source);
        // Same size, other bytes, in place: a scanner rewriting its file.
        const auto overwrite = [&] {
            const int fd = ::open(local(source).c_str(), O_WRONLY);
            const bool done = fd >= 0 && ::pwrite(fd, "XXXXXXXX", 8, before.size() / 2) == 8;
            ::close(fd);
            return done;
        };
        bool written = false;
        const auto wrap = [&](std::shared_ptr<PDFDocument> document) {
            auto spy = std::make_shared<SpyDocument>(document);
            spy->afterWrite = [&] { written = overwrite(); };
            return std::static_pointer_cast<PDFDocument>(spy);
        };
        if (window) {
            DelegateHarness<> h;
            h.pdf.wrapNew = wrap;
            h.launch(local(source));
            h.press(kPassword);
            QCOMPARE(h.alerts.shown.back().text, std::string("text:IDS_MSG_FAILED"));
        } else {
            Job job;
            job.pdf.wrapNew = wrap;
            const auto item = job.walked(dir.path(), "scan.pdf");
            QVERIFY(item);
            QCOMPARE(outcomeRow(job.run(*item).reason).code,
                     std::string_view("changed-while-read"));
        }
        QVERIFY(written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"scan.pdf"});
    }
};

QTEST_GUILESS_MAIN(SharedFolderTest)
#include "test_shared_folder.moc"
