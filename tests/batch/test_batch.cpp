// Many files with one password: which files a batch takes, and pdfunlock-cli
// from outside (password, outcomes, exit status, stop signals, re-runs, many
// files under a low descriptor limit). The job on each file is the window's
// and is tested there.
#include "Fakes.h"
#include "batch/BatchInputs.h"
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
#include <csignal>
#include <grp.h>
#include <map>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pdfunlock;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

const QString cli = QStringLiteral(PDFUNLOCK_CLI);
const std::string kPassword = "pw";

// A tree from lines: "name" a locked scan (password "pw"), "u:name" an
// unprotected PDF, "c:name" an unprotected copy of a locked scan as the job
// writes it (it names the same document as every locked scan: the fixtures
// share their /ID), "t:name" a text file, "d:name" a folder,
// "l:name>target" a symbolic link, "p:name" a pipe.
void makeTree(const QString& root, const QStringList& entries) {
    for (const auto& entry : entries) {
        const QString kind = entry.contains(':') ? entry.section(':', 0, 0) : QString();
        const QString name = entry.contains(':') ? entry.section(':', 1) : entry;
        const QString path = root + '/' + name.section('>', 0, 0);
        QDir().mkpath(QFileInfo(path).path());
        fx::Fixture fixture;
        fixture.userPassword = kPassword;
        if (kind == "d") {
            QDir().mkpath(path);
        } else if (kind == "l") {
            QFile::link(name.section('>', 1), path);
        } else if (kind == "p") {
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        } else if (kind == "c") {
            fx::makeFixture(fixture, path.toStdString() + ".locked");
            QpdfDocumentService pdf;
            const auto scan = pdf.initWithURL(path.toStdString() + ".locked");
            QVERIFY(scan && scan->unlockWithPassword(kPassword) &&
                    scan->writeToFile(path.toStdString()));
            QFile::remove(path + ".locked");
        } else if (kind == "t") {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write("not a PDF\n");
        } else {
            fixture.security = kind == "u" ? fx::Security::None : fx::Security::AES_256;
            fx::makeFixture(fixture, path.toStdString());
        }
    }
}

struct Run {
    int exitCode = -1;
    QStringList out; // lines of standard output
    QString err;
};

// The command with `args`, `input` on its standard input, in a session of its
// own (no terminal to ask on) and under `limitFiles` descriptors when set;
// with `limitTasks`, as a user id of its own (root ignores the limit) that
// may have that many threads.
Run runCli(const QStringList& args, const QByteArray& input = {}, rlim_t limitFiles = 0,
           rlim_t limitTasks = 0) {
    QProcess process;
    process.setChildProcessModifier([limitFiles, limitTasks] {
        ::setsid();
        if (limitFiles > 0) {
            const rlimit limit{limitFiles, limitFiles};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        if (limitTasks > 0) {
            constexpr uid_t spare = 47291;
            const rlimit limit{limitTasks, limitTasks};
            if (::setrlimit(RLIMIT_NPROC, &limit) != 0 || ::setgroups(0, nullptr) != 0 ||
                ::setgid(spare) != 0 || ::setuid(spare) != 0) {
                ::_exit(99);
            }
        }
    });
    process.start(cli, args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(300000);
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// source (relative to `root`) -> "<result> <copy's name or ->" from --json lines.
std::map<QString, QString> outcomes(const Run& run, const QString& root) {
    std::map<QString, QString> byFile;
    for (const auto& line : run.out) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        const QString copy = object["copy"].isNull()
                                 ? QStringLiteral("-")
                                 : QFileInfo(object["copy"].toString()).fileName();
        byFile[QDir(root).relativeFilePath(object["source"].toString())] =
            object["result"].toString() + ' ' + copy;
    }
    return byFile;
}

QStringList allFiles(const QString& root) {
    QStringList names;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        names << QDir(root).relativeFilePath(it.next());
    }
    names.sort();
    return names;
}

} // namespace

class BatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir mixed_;
    Run firstRun_;

private slots:
    void initTestCase() {
        QVERIFY(mixed_.isValid());
        makeTree(mixed_.path(), {"ok.pdf", "sub/deep/ok2.PDF", "sub/with space.pdf", "u:plain.pdf",
                                 "t:fake.pdf", "t:notes.txt", "d:empty"});
        fx::Fixture other;
        other.userPassword = "another";
        fx::makeFixture(other, mixed_.filePath("other.pdf").toStdString());
        other.userPassword = kPassword;
        other.creator = fx::Text{"Acme Scan"};
        fx::makeFixture(other, mixed_.filePath("acme.pdf").toStdString());
        other.creator = fx::Text{"Tessivon Scan"};
        other.permissions.print = false;
        fx::makeFixture(other, mixed_.filePath("restricted.pdf").toStdString());
        firstRun_ = runCli({"--json", "--password-stdin", mixed_.path()}, "pw\n");
    }

    // Which files a batch takes from the named paths.
    void inputs_data() {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("named");
        // "<path>" or "<path> < <earlier copy>", relative to the tree.
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("earlierCopies");
        QTest::addColumn<QStringList>("skipped"); // "<path> <reason>"

        QTest::newRow("folder: *.pdf in any case, subfolders after files")
            << QStringList{"b.pdf",       "A.PDF",     "c.Pdf",          "t:notes.txt",
                           "t:x.pdf.txt", "sub/d.pdf", "sub/deep/e.pdf", "u:.hidden.pdf"}
            << QStringList{"."}
            << QStringList{".hidden.pdf", "A.PDF", "b.pdf", "c.Pdf", "sub/d.pdf", "sub/deep/e.pdf"}
            << QStringList{} << QStringList{};
        QTest::newRow("links: none followed, each reported; a pipe left out")
            << QStringList{"a.pdf",         "l:alink.pdf>a.pdf", "l:outside.pdf>/nonexistent.pdf",
                           "sub/s.pdf",     "l:sublink>sub",     "p:pipe.pdf",
                           "l:notes>a.pdf", "c:alink_copy.pdf"}
            << QStringList{"."} << QStringList{"a.pdf", "sub/s.pdf"}
            << QStringList{"alink_copy.pdf"}
            << QStringList{"alink.pdf IDS_BATCH_LINK_SKIPPED", "outside.pdf IDS_BATCH_LINK_SKIPPED",
                           "sublink IDS_BATCH_LINK_SKIPPED"};
        QTest::newRow("named twice, and inside a named folder")
            << QStringList{"a.pdf", "b.pdf"} << QStringList{"a.pdf", ".", "a.pdf", "./b.pdf"}
            << QStringList{"a.pdf", "b.pdf"} << QStringList{} << QStringList{};
        QTest::newRow("named: a file of any name, a missing one, links to a file and a folder")
            << QStringList{"t:notes.txt", "sub/s.pdf", "l:sublink>sub", "t.pdf",
                           "l:tlink.pdf>t.pdf"}
            << QStringList{"notes.txt", "gone.pdf", "gone.pdf", "tlink.pdf", "sublink"}
            << QStringList{"notes.txt", "gone.pdf", "tlink.pdf", "sublink/s.pdf"} << QStringList{}
            << QStringList{};
        QTest::newRow("copies of an earlier run")
            << QStringList{"a.pdf",          "c:a_copy.pdf",      "b.pdf",         "b_copy.pdf",
                           "c.pdf",          "c:c_copy.pdf",      "c:c_copy2.pdf", "d.pdf",
                           "u:d_copy01.pdf", "u:orphan_copy.pdf", "e.PDF",         "u:e_copy.pdf",
                           "f.pdf",          "u:f_copy.pdf"}
            << QStringList{"."}
            << QStringList{"a.pdf < a_copy.pdf",
                           "b.pdf",
                           "b_copy.pdf",
                           "c.pdf < c_copy.pdf",
                           "d.pdf",
                           "d_copy01.pdf",
                           "e.PDF",
                           "e_copy.pdf",
                           "f.pdf",
                           "orphan_copy.pdf"}
            << QStringList{"a_copy.pdf", "c_copy.pdf", "c_copy2.pdf", "f_copy.pdf"}
            << QStringList{};
        QTest::newRow("a named source finds its copy beside it")
            << QStringList{"a.pdf", "c:a_copy1.pdf"} << QStringList{"a.pdf"}
            << QStringList{"a.pdf < a_copy1.pdf"} << QStringList{} << QStringList{};
    }
    void inputs() {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, named);
        QFETCH(QStringList, items);
        QFETCH(QStringList, earlierCopies);
        QFETCH(QStringList, skipped);

        QTemporaryDir dir;
        makeTree(dir.path(), tree);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        std::vector<std::string> paths;
        for (const auto& name : named) {
            paths.push_back(name.toStdString());
        }
        QpdfDocumentService pdf;
        PosixFileSystem files;
        testing::FakeLog log;
        const BatchInputs inputs = collectInputs(paths, RemovalServices{pdf, files, log});
        QDir::setCurrent(previous);

        const auto shown = [](const std::string& path) {
            return QDir::cleanPath(QString::fromStdString(path));
        };
        QStringList taken;
        for (const auto& item : inputs.items) {
            taken << shown(item.path) +
                         (item.earlierCopy ? " < " + QFileInfo(shown(*item.earlierCopy)).fileName()
                                           : QString());
        }
        QStringList copies;
        for (const auto& copy : inputs.earlierCopies) {
            copies << shown(copy);
        }
        QStringList reported;
        for (const auto& [path, reason] : inputs.skipped) {
            reported << shown(path) + ' ' + QString::fromLatin1(rawValue(reason));
        }
        QCOMPARE(taken, items);
        QCOMPARE(copies, earlierCopies);
        QCOMPARE(reported, skipped);
    }

    // One folder holding every kind of file, with the one password.
    void mixedFolder_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("locked scan") << "ok.pdf"
                                     << "IDS_MSG_COMPLETE ok_copy.pdf";
        QTest::newRow("in a subfolder, upper case") << "sub/deep/ok2.PDF"
                                                    << "IDS_MSG_COMPLETE ok2_copy.PDF";
        QTest::newRow("name with a space") << "sub/with space.pdf"
                                           << "IDS_MSG_COMPLETE with space_copy.pdf";
        QTest::newRow("another password") << "other.pdf"
                                          << "IDS_MSG_INVALIDPWD -";
        QTest::newRow("not protected") << "plain.pdf"
                                       << "IDS_MSG_NO_PWD -";
        QTest::newRow("not from Tessivon") << "acme.pdf"
                                           << "IDS_MSG_NO_TESSIVON -";
        QTest::newRow("printing refused") << "restricted.pdf"
                                          << "IDS_MSG_NO_TESSIVON -";
        QTest::newRow("text named .pdf") << "fake.pdf"
                                         << "IDS_MSG_NO_TESSIVON -";
    }
    void mixedFolder() {
        QFETCH(QString, file);
        QFETCH(QString, outcome);
        const auto byFile = outcomes(firstRun_, mixed_.path());
        QCOMPARE(byFile.size(), std::size_t(8));
        QCOMPARE(byFile.at(file), outcome);
        QCOMPARE(firstRun_.exitCode, 1);
        QVERIFY(firstRun_.err.contains("Unprotected copies saved: 3 of 8 files."));
    }

    // A second run copies nothing again and takes no copy for a source.
    void secondRunChangesNothing() {
        const QStringList before = allFiles(mixed_.path());
        const Run again = runCli({"--json", "--password-stdin", mixed_.path()}, "pw\n");
        QCOMPARE(allFiles(mixed_.path()), before);
        QCOMPARE(again.exitCode, 1);
        const auto byFile = outcomes(again, mixed_.path());
        QCOMPARE(byFile.size(), std::size_t(8));
        QCOMPARE(byFile.at("ok.pdf"), QString("IDS_BATCH_COPY_THERE ok_copy.pdf"));
        QCOMPARE(byFile.at("other.pdf"), QString("IDS_MSG_INVALIDPWD -"));

        // --again makes the next free name.
        const Run forced =
            runCli({"--json", "--password-stdin", "--again", mixed_.filePath("ok.pdf")}, "pw\n");
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(outcomes(forced, mixed_.path()).at("ok.pdf"),
                 QString("IDS_MSG_COMPLETE ok_copy1.pdf"));
    }

    void exitStatus_data() {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("args"); // "DIR" stands for the tree
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says"); // on standard error

        const QStringList one{"a.pdf"};
        const QStringList stdinArgs{"--password-stdin", "DIR"};
        QTest::newRow("every file copied") << one << stdinArgs << QByteArray("pw\n") << 0 << "";
        QTest::newRow("one refused")
            << QStringList{"a.pdf", "u:b.pdf"} << stdinArgs << QByteArray("pw\n") << 1 << "";
        QTest::newRow("a folder without PDF") << QStringList{"t:a.txt"} << stdinArgs
                                              << QByteArray("pw\n") << 2 << "No PDF was found.";
        QTest::newRow("no path") << one << QStringList{"--password-stdin"} << QByteArray("pw\n")
                                 << 2 << "no PATH given";
        QTest::newRow("unknown option")
            << one << QStringList{"--pasword-stdin", "DIR"} << QByteArray() << 2 << "--pasword";
        QTest::newRow("no number of jobs")
            << one << QStringList{"-j", "0", "DIR"} << QByteArray() << 2 << "-j needs";
        QTest::newRow("no terminal and no option")
            << one << QStringList{"DIR"} << QByteArray("pw\n") << 2 << "no terminal";
        QTest::newRow("empty standard input")
            << one << stdinArgs << QByteArray() << 2 << "no password";
        QTest::newRow("password line over the limit")
            << one << stdinArgs << QByteArray(5000, 'x') + "\n"
            << 2 << "longer than 4096 bytes";
        QTest::newRow("password file without end")
            << one << QStringList{"--password-file", "/dev/zero", "DIR"} << QByteArray() << 2
            << "longer than 4096 bytes";
        QTest::newRow("two password options")
            << one << QStringList{"--password-stdin", "--password-file", "x", "DIR"} << QByteArray()
            << 2 << "exclude";
        QTest::newRow("-- ends the options")
            << QStringList{"--json.pdf"} << QStringList{"--password-stdin", "--", "DIR/--json.pdf"}
            << QByteArray("pw\n") << 0 << "";
    }
    void exitStatus() {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, says);
        QTemporaryDir dir;
        makeTree(dir.path(), tree);
        args.replaceInStrings("DIR", dir.path());
        const Run run = runCli(args, input);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
    }

    // The password, however it comes, is taken as it is: only the line ending goes.
    void password_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QString>("documentPassword");
        QTest::newRow("stdin") << "stdin" << QByteArray("pw\nmore\n") << "pw";
        QTest::newRow("stdin, blanks kept") << "stdin" << QByteArray(" p w \n") << " p w ";
        QTest::newRow("stdin, no line ending") << "stdin" << QByteArray("pw") << "pw";
        QTest::newRow("stdin, UTF-8") << "stdin" << QByteArray("pässwörd\n") << "pässwörd";
        QTest::newRow("file, CRLF") << "file" << QByteArray("pw\r\nmore\r\n") << "pw";
        QTest::newRow("file, tab kept") << "file" << QByteArray("p\tw\n") << "p\tw";
        QTest::newRow("terminal") << "terminal" << QByteArray("s3cret PW\n") << "s3cret PW";
    }
    void password() {
        QFETCH(QString, way);
        QFETCH(QByteArray, given);
        QFETCH(QString, documentPassword);
        QTemporaryDir dir;
        fx::Fixture fixture;
        fixture.userPassword = documentPassword.toStdString();
        fixture.ownerPassword = "owner of " + fixture.userPassword;
        fx::makeFixture(fixture, dir.filePath("a.pdf").toStdString());

        int status = -1;
        if (way == "terminal") {
            // A terminal of its own: the prompt, no echo of what is typed.
            int master = -1;
            const QByteArray program = QFile::encodeName(cli);
            const QByteArray target = QFile::encodeName(dir.filePath("a.pdf"));
            const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
            QVERIFY(pid >= 0);
            if (pid == 0) {
                ::execl(program.constData(), program.constData(), target.constData(), nullptr);
                ::_exit(127);
            }
            QByteArray screen;
            char buffer[4096];
            while (!screen.contains("Password")) {
                const ssize_t got = ::read(master, buffer, sizeof buffer);
                QVERIFY(got > 0);
                screen.append(buffer, got);
            }
            QVERIFY(::write(master, given.constData(), size_t(given.size())) == given.size());
            for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;) {
                screen.append(buffer, got);
            }
            ::close(master);
            int wstatus = 0;
            ::waitpid(pid, &wstatus, 0);
            status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
            QVERIFY2(!screen.contains(given.trimmed()), screen.constData());
        } else if (way == "file") {
            QFile file(dir.filePath("password.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(given);
            file.close();
            status = runCli({"--password-file", file.fileName(), dir.filePath("a.pdf")}).exitCode;
        } else {
            status = runCli({"--password-stdin", dir.filePath("a.pdf")}, given).exitCode;
        }
        QCOMPARE(status, 0);
        QVERIFY(QFile::exists(dir.filePath("a_copy.pdf")));
    }

    // Ctrl-Z at the prompt in an interactive shell, then fg: what was typed
    // before the stop never reaches the shell, after fg the prompt is shown
    // again with the echo off, and the stopped program allows no core dump.
    void promptAcrossStop() {
        const QByteArray secret = "Zq7-stop-secret";
        QTemporaryDir dir;
        fx::Fixture fixture;
        fixture.userPassword = secret.toStdString();
        fx::makeFixture(fixture, dir.filePath("a.pdf").toStdString());
        int master = -1;
        const pid_t shell = ::forkpty(&master, nullptr, nullptr, nullptr);
        QVERIFY(shell >= 0);
        if (shell == 0) {
            ::setenv("PS1", "sh$ ", 1);
            ::setenv("TERM", "dumb", 1);
            ::execl("/bin/bash", "bash", "--norc", "--noprofile", "-i", nullptr);
            ::_exit(127);
        }
        QByteArray screen;
        // Reads on until `text` has appeared `times` times.
        const auto until = [&](const QByteArray& text, int times = 1) {
            char buffer[4096];
            while (screen.count(text) < times) {
                pollfd ready{master, POLLIN, 0};
                if (::poll(&ready, 1, 60000) <= 0) {
                    return false;
                }
                const ssize_t got = ::read(master, buffer, sizeof buffer);
                if (got <= 0) {
                    return false;
                }
                screen.append(buffer, got);
            }
            return true;
        };
        const auto type = [&](const QByteArray& text) {
            return ::write(master, text.constData(), size_t(text.size())) == text.size();
        };
        QVERIFY(until("sh$ "));
        QVERIFY(type("'" + QFile::encodeName(cli) + "' '" +
                     QFile::encodeName(dir.filePath("a.pdf")) + "'\n"));
        QVERIFY(until("Password"));
        QVERIFY(type("Zq7-half") && type("\x1a"));
        QVERIFY(until("Stopped"));
        QVERIFY(type("grep core /proc/$(jobs -p)/limits; fg\n"));
        QVERIFY2(until("Password", 2), screen.constData());
        QVERIFY(type(secret + "\n"));
        QVERIFY2(until("1 of 1"), screen.constData());
        QVERIFY(type("exit\n"));
        ::waitpid(shell, nullptr, 0);
        ::close(master);
        QVERIFY2(!screen.contains("Zq7-"), screen.constData());
        QVERIFY2(QRegularExpression("Max core file size +0 +0 ").match(screen).hasMatch(),
                 screen.constData());
        QVERIFY(QFile::exists(dir.filePath("a_copy.pdf")));
    }

    // A stop signal: no file starts after it, the summary says so, and every
    // copy there is whole.
    void stopSignal_data() {
        QTest::addColumn<int>("signo");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }
    void stopSignal() {
        QFETCH(int, signo);
        QTemporaryDir dir;
        fx::Fixture scan;
        scan.userPassword = kPassword;
        scan.pages = 4;
        scan.imageBytesPerPage = 512 * 1024;
        const QString first = dir.filePath("scan00.pdf");
        fx::makeFixture(scan, first.toStdString());
        constexpr int files = 40;
        for (int i = 1; i < files; ++i) {
            QVERIFY(
                QFile::copy(first, dir.filePath(QString("scan%1.pdf").arg(i, 2, 10, QChar('0')))));
        }
        QProcess process;
        process.start(cli, {"-j", "1", "--password-stdin", dir.path()});
        process.write("pw\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForReadyRead(60000));
        ::kill(pid_t(process.processId()), signo);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signo);
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains("were not processed"));
        // Still one line per file: the ones never started say so.
        const QStringList lines =
            QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), files);

        const QStringList copies = QDir(dir.path()).entryList({"*_copy.pdf"}, QDir::Files);
        QVERIFY(copies.size() >= 1 && copies.size() < files);
        QCOMPARE(lines.filter("the batch was cancelled").size(), files - copies.size());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 files + copies.size());
        for (const auto& copy : copies) {
            QCOMPARE(fx::readPageLabels(dir.filePath(copy).toStdString()).size(), std::size_t(4));
        }
    }

    // A process that may start few threads or none still does every file.
    void fewThreads_data() {
        QTest::addColumn<int>("tasks");
        QTest::newRow("no thread") << 1;
        QTest::newRow("one thread") << 2;
        QTest::newRow("two threads") << 3;
    }
    void fewThreads() {
        if (::geteuid() != 0) {
            QSKIP("needs root to run as a user id of its own");
        }
        QFETCH(int, tasks);
        QTemporaryDir dir;
        fx::Fixture scan;
        scan.security = fx::Security::AES_256;
        scan.userPassword = kPassword;
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) {
            fx::makeFixture(scan, dir.filePath(name).toStdString());
            ::chmod(dir.filePath(name).toLocal8Bit().constData(), 0644);
        }
        ::chmod(dir.path().toLocal8Bit().constData(), 0777);
        const Run run = runCli({"-j", "4", "--json", "--password-stdin", dir.path()}, "pw\n", 0,
                               static_cast<rlim_t>(tasks));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.size(), 3);
        QCOMPARE(allFiles(dir.path()).filter("_copy.pdf").size(), 3);
    }

    // Each job lets go of its files: many files under a low descriptor limit.
    void manyFilesLowDescriptorLimit() {
        QTemporaryDir dir;
        fx::Fixture small;
        small.userPassword = kPassword;
        const QString first = dir.filePath("a/s0.pdf");
        QDir().mkpath(dir.filePath("a"));
        fx::makeFixture(small, first.toStdString());
        constexpr int files = 600;
        for (int i = 1; i < files; ++i) {
            const QString folder = dir.filePath(QString("%1").arg(QChar('a' + i % 5)));
            QDir().mkpath(folder);
            QVERIFY(QFile::copy(first, folder + QString("/s%1.pdf").arg(i)));
        }
        const Run run = runCli({"-j", "4", "--password-stdin", dir.path()}, "pw\n", 48);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.size(), files);
        QCOMPARE(allFiles(dir.path()).filter("_copy.pdf").size(), files);
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "test_batch.moc"
