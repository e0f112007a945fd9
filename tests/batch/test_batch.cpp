// Many files with one password: which files a batch takes, and pdfunlock-cli
// from outside (password, outcomes, exit status, stop signals, re-runs, many
// files under a low descriptor limit). The job on each file is the window's
// and is tested there.
#include "ChildProcess.h"
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
// share their /ID), "t:name" a text file, "e:name" an empty file, "x:name"
// a locked scan cut in half, "d:name" a folder,
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
        } else if (kind == "t" || kind == "e") {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(kind == "t" ? "not a PDF\n" : "");
        } else if (kind == "x") {
            fx::makeFixture(fixture, path.toStdString());
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.resize(file.size() / 2);
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

// How the command is started besides its arguments.
struct Start {
    rlim_t limitFiles = 0;     // a descriptor limit, when set
    rlim_t limitTasks = 0;     // a limit on threads, when set
    bool asNobody = false;     // as an ordinary user, whom folder modes bind
    QStringList environment{}; // "NAME=value" added
    QString program = cli;
};

// The command with `args`, `input` on its standard input, in a session of its
// own (no terminal to ask on).
Run runCli(const QStringList& args, const QByteArray& input = {}, const Start& how = {}) {
    QProcess process;
    // Only system calls in the child: the user is looked up here.
    const auto ids = how.asNobody && ::geteuid() == 0 ? testing::nobody() : std::nullopt;
    const rlim_t files = how.limitFiles;
    const rlim_t tasks = how.limitTasks;
    process.setChildProcessModifier([ids, files, tasks] {
        ::setsid();
        if (files > 0) {
            const rlimit limit{files, files};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        if (tasks > 0) {
            // Root ignores the limit: a user id of its own, with no other task.
            constexpr uid_t spare = 47291;
            const rlimit limit{tasks, tasks};
            if (::setrlimit(RLIMIT_NPROC, &limit) != 0 || ::setgroups(0, nullptr) != 0 ||
                ::setgid(spare) != 0 || ::setuid(spare) != 0) {
                ::_exit(99);
            }
        }
        if (ids && (::setgroups(0, nullptr) != 0 || ::setgid(ids->second) != 0 ||
                    ::setuid(ids->first) != 0)) {
            ::_exit(99);
        }
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& setting : how.environment) {
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    process.setProcessEnvironment(environment);
    process.start(how.program, args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(300000);
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// source (relative to `root`) -> "<reason>[ <detail>] <copy's name or ->" from --json lines.
std::map<QString, QString> outcomes(const Run& run, const QString& root) {
    std::map<QString, QString> byFile;
    for (const auto& line : run.out) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        const QString copy = object["copy"].isNull()
                                 ? QStringLiteral("-")
                                 : QFileInfo(object["copy"].toString()).fileName();
        byFile[QDir(root).relativeFilePath(object["source"].toString())] =
            object["reason"].toString() +
            (object.contains("detail") ? ' ' + object["detail"].toString() : QString()) + ' ' +
            copy;
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
        makeTree(mixed_.path(),
                 {"ok.pdf", "sub/deep/ok2.PDF", "sub/with space.pdf", "u:plain.pdf", "t:fake.pdf",
                  "t:notes.txt", "d:empty", "e:scanning.pdf", "x:cut.pdf", "l:gone.pdf>nowhere"});
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
            << QStringList{"alink.pdf link-not-followed", "outside.pdf link-not-followed",
                           "sublink link-not-followed"};
        QTest::newRow("named twice, and inside a named folder")
            << QStringList{"a.pdf", "b.pdf"} << QStringList{"a.pdf", ".", "a.pdf", "./b.pdf"}
            << QStringList{"a.pdf", "b.pdf"} << QStringList{} << QStringList{};
        QTest::newRow("named: a file of any name, a missing one, links to a file and a folder")
            << QStringList{"t:notes.txt", "sub/s.pdf", "l:sublink>sub", "t.pdf",
                           "l:tlink.pdf>t.pdf"}
            << QStringList{"notes.txt", "gone.pdf", "gone.pdf", "tlink.pdf", "sublink"}
            << QStringList{"notes.txt", "tlink.pdf", "sublink/s.pdf"} << QStringList{}
            << QStringList{"gone.pdf not-found"};
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
        for (const auto& [path, outcome] : inputs.skipped) {
            reported << shown(path) + ' ' + QString::fromLatin1(outcomeRow(outcome.reason).code);
        }
        QCOMPARE(taken, items);
        QCOMPARE(copies, earlierCopies);
        QCOMPARE(reported, skipped);
    }

    // One folder holding every kind of file, with the one password: each
    // says why it was not copied, by a code a script can rely on.
    void mixedFolder_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("outcome"); // "<reason>[ <detail>] <copy's name or ->"
        QTest::newRow("locked scan") << "ok.pdf"
                                     << "copied ok_copy.pdf";
        QTest::newRow("in a subfolder, upper case") << "sub/deep/ok2.PDF"
                                                    << "copied ok2_copy.PDF";
        QTest::newRow("name with a space") << "sub/with space.pdf"
                                           << "copied with space_copy.pdf";
        QTest::newRow("another password") << "other.pdf"
                                          << "wrong-password -";
        QTest::newRow("not protected") << "plain.pdf"
                                       << "not-protected -";
        QTest::newRow("not from Tessivon") << "acme.pdf"
                                           << "refused-origin -";
        QTest::newRow("printing refused") << "restricted.pdf"
                                          << "refused-permission print -";
        QTest::newRow("text named .pdf") << "fake.pdf"
                                         << "damaged -";
        QTest::newRow("half-written scan") << "scanning.pdf"
                                           << "empty -";
        QTest::newRow("cut in half") << "cut.pdf"
                                     << "damaged -";
        QTest::newRow("link named .pdf") << "gone.pdf"
                                         << "link-not-followed -";
    }
    void mixedFolder() {
        QFETCH(QString, file);
        QFETCH(QString, outcome);
        const auto byFile = outcomes(firstRun_, mixed_.path());
        QCOMPARE(byFile.size(), std::size_t(11));
        QCOMPARE(byFile.at(file), outcome);
        QCOMPARE(firstRun_.exitCode, 1);
        QVERIFY(firstRun_.err.contains("Unprotected copies saved: 3 of 11 files."));
    }

    // A second run copies nothing again and takes no copy for a source.
    void secondRunChangesNothing() {
        const QStringList before = allFiles(mixed_.path());
        const Run again = runCli({"--json", "--password-stdin", mixed_.path()}, "pw\n");
        QCOMPARE(allFiles(mixed_.path()), before);
        QCOMPARE(again.exitCode, 1);
        const auto byFile = outcomes(again, mixed_.path());
        QCOMPARE(byFile.size(), std::size_t(11));
        QCOMPARE(byFile.at("ok.pdf"), QString("copied-before ok_copy.pdf"));
        QCOMPARE(byFile.at("other.pdf"), QString("wrong-password -"));

        // --again makes the next free name.
        const Run forced =
            runCli({"--json", "--password-stdin", "--again", mixed_.filePath("ok.pdf")}, "pw\n");
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(outcomes(forced, mixed_.path()).at("ok.pdf"), QString("copied ok_copy1.pdf"));
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
        QTest::newRow("one needs attention")
            << QStringList{"a.pdf", "x:b.pdf"} << stdinArgs << QByteArray("pw\n") << 1 << "";
        QTest::newRow("others left alone by design")
            << QStringList{"a.pdf", "u:b.pdf"} << stdinArgs << QByteArray("pw\n") << 3 << "";
        QTest::newRow("a folder without PDF") << QStringList{"t:a.txt"} << stdinArgs
                                              << QByteArray("pw\n") << 0 << "No PDF was found.";
        QTest::newRow("a named path missing")
            << one << QStringList{"--password-stdin", "DIR/a.pdf", "DIR/gone.pdf"}
            << QByteArray("pw\n") << 2 << "gone.pdf";
        QTest::newRow("output folder missing")
            << one << QStringList{"--password-stdin", "-o", "DIR/none", "DIR"} << QByteArray("pw\n")
            << 2 << "DIR/none";
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
        says.replace("DIR", dir.path());
        const Run run = runCli(args, input);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
    }

    // Copies under -o: a walked folder's layout kept, a named file's copy in
    // the folder itself, the folder never walked though it lies in the tree,
    // and a source tree the user cannot write to only read. Run again with
    // -q, nothing needs saying.
    void outputFolder() {
        QTemporaryDir dir;
        makeTree(dir.path(),
                 {"in/a.pdf", "in/sub/deep/b.pdf", "u:in/plain.pdf", "d:in/out", "top.pdf"});
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("in/out")).constData(), 0777) == 0);
        for (const auto& name : allFiles(dir.path())) {
            if (!name.startsWith("in/out")) {
                const bool folder = QFileInfo(dir.filePath(name)).isDir();
                QVERIFY(::chmod(QFile::encodeName(dir.filePath(name)).constData(),
                                folder ? 0555 : 0444) == 0);
            }
        }
        const QStringList sources = allFiles(dir.path());
        const QStringList args{
            "--json",           "--password-stdin",     "-o", dir.filePath("in/out"),
            dir.filePath("in"), dir.filePath("top.pdf")};
        const Run run = runCli(args, "pw\n", {.asNobody = true});
        QVERIFY2(run.exitCode == 3, qPrintable(run.err));
        QCOMPARE(outcomes(run, dir.path()),
                 (std::map<QString, QString>{{"in/a.pdf", "copied a_copy.pdf"},
                                             {"in/sub/deep/b.pdf", "copied b_copy.pdf"},
                                             {"in/plain.pdf", "not-protected -"},
                                             {"top.pdf", "copied top_copy.pdf"}}));
        QStringList expected = sources;
        expected << "in/out/a_copy.pdf"
                 << "in/out/sub"
                 << "in/out/sub/deep"
                 << "in/out/sub/deep/b_copy.pdf"
                 << "in/out/top_copy.pdf";
        expected.sort();
        QCOMPARE(allFiles(dir.path()), expected);
        QCOMPARE(
            fx::readPageLabels(dir.filePath("in/out/sub/deep/b_copy.pdf").toStdString()).size(),
            std::size_t(1));

        const Run quiet = runCli(QStringList{"-q"} + args.mid(1), "pw\n", {.asNobody = true});
        QCOMPARE(quiet.exitCode, 3);
        QCOMPARE(quiet.out, QStringList());
        QCOMPARE(quiet.err, QString());
        QCOMPARE(allFiles(dir.path()), expected);
    }

    // A keyring: each file opens with its sender's password, and says which
    // entry (its line) did; a list too long to be a keyring is refused.
    void passwordList() {
        QTemporaryDir dir;
        fx::Fixture scan;
        scan.security = fx::Security::AES_256;
        for (const auto& [name, password] :
             {std::pair{"bank.pdf", "bank pw"}, {"insurer.pdf", "Versicherung"}, {"x.pdf", "?"}}) {
            scan.userPassword = password;
            fx::makeFixture(scan, dir.filePath(name).toStdString());
        }
        QFile list(dir.filePath("keyring"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("wrong\n\nVersicherung\r\nbank pw\n");
        list.close();
        const Run run =
            runCli({"--json", "--password-list", list.fileName(), dir.filePath("bank.pdf"),
                    dir.filePath("insurer.pdf"), dir.filePath("x.pdf")});
        QCOMPARE(run.exitCode, 1);
        std::map<QString, QString> entries;
        for (const auto& line : run.out) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            entries[QFileInfo(object["source"].toString()).fileName()] =
                object["reason"].toString() + ' ' + object["password_entry"].toVariant().toString();
        }
        QCOMPARE(entries, (std::map<QString, QString>{{"bank.pdf", "copied 4"},
                                                      {"insurer.pdf", "copied 3"},
                                                      {"x.pdf", "wrong-password "}}));
        QVERIFY(!run.out.join('\n').contains("Versicherung"));

        QVERIFY(list.open(QIODevice::WriteOnly));
        for (int i = 0; i < 33; ++i) {
            list.write(QByteArray::number(i) + '\n');
        }
        list.close();
        const Run tooMany = runCli({"--password-list", list.fileName(), dir.path()});
        QCOMPARE(tooMany.exitCode, 2);
        QVERIFY2(tooMany.err.contains("more than 32 passwords"), qPrintable(tooMany.err));
    }

    // The JSON's exact names fed back NUL-separated, one holding a newline.
    void filesFromJson() {
        QTemporaryDir dir;
        makeTree(dir.path(), {"a\nb.pdf", "c.pdf"});
        const Run wrong = runCli({"--json", "--password-stdin", dir.path()}, "nope\n");
        QCOMPARE(wrong.out.size(), 2);
        QByteArray names;
        for (const auto& line : wrong.out) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            QCOMPARE(object["reason"].toString(), QString("wrong-password"));
            names += QByteArray::fromBase64(object["source_base64"].toString().toLatin1()) + '\0';
        }
        QFile password(dir.filePath("pw.txt"));
        QVERIFY(password.open(QIODevice::WriteOnly));
        password.write("pw\n");
        password.close();
        const Run again = runCli(
            {"--json", "--password-file", password.fileName(), "--files-from", "-", "-0"}, names);
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(outcomes(again, dir.path()),
                 (std::map<QString, QString>{{"a\nb.pdf", "copied a\nb_copy.pdf"},
                                             {"c.pdf", "copied c_copy.pdf"}}));
    }

    // The pre-consume recipe as a document-management system runs it: the
    // working file unlocked in place, a foreign one passed on as it is, a
    // wrong password stopping the document; nothing left beside it.
    void preConsumeRecipe_data() {
        QTest::addColumn<QString>("file"); // as makeTree makes it
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("unlocked");
        QTest::newRow("locked scan") << "scan.pdf" << 0 << true;
        QTest::newRow("not protected") << "u:scan.pdf" << 0 << false;
        QTest::newRow("half-written") << "e:scan.pdf" << 1 << false;
    }
    void preConsumeRecipe() {
        QFETCH(QString, file);
        QFETCH(int, status);
        QFETCH(bool, unlocked);
        QTemporaryDir dir;
        makeTree(dir.path(), {file});
        QFile keyring(dir.filePath("keyring"));
        QVERIFY(keyring.open(QIODevice::WriteOnly));
        keyring.write("other\npw\n");
        keyring.close();
        const QString work = dir.filePath("scan.pdf");
        QFile original(work);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();
        original.close();
        const Run run = runCli({}, {},
                               {.environment = {"DOCUMENT_WORKING_PATH=" + work,
                                                "PDFUNLOCK_PASSWORD_LIST=" + keyring.fileName(),
                                                "PDFUNLOCK_CLI=" + cli},
                                .program = QStringLiteral(PDFUNLOCK_PRE_CONSUME)});
        QCOMPARE(run.exitCode, status);
        QCOMPARE(allFiles(dir.path()), (QStringList{"keyring", "scan.pdf"}));
        QFile after(work);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll() == bytes, !unlocked);
        if (unlocked) {
            QpdfDocumentService pdf;
            const auto document = pdf.initWithURL(work.toStdString());
            QVERIFY(document && !document->isLocked() && document->pageCount() == 1);
        }
    }

    // --help and usage errors in the user's language.
    void localizedHelp() {
        const Start german{
            .environment = {"LANG=de_DE.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="}};
        const Run help = runCli({"--help"}, {}, german);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.first().startsWith("Aufruf: pdfunlock-cli"),
                 qPrintable(help.out.first()));
        QVERIFY(help.out.join('\n').contains("höchstens 32"));
        const Run wrong = runCli({"--bogus"}, {}, german);
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY2(wrong.err.contains("unbekannte Option --bogus"), qPrintable(wrong.err));
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

    // A stop signal: no file starts after it, the summary says so in one
    // line (JSON still has a line for every file), and every copy there is
    // whole.
    void stopSignal_data() {
        QTest::addColumn<int>("signo");
        QTest::addColumn<bool>("json");
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM, JSON") << SIGTERM << true;
    }
    void stopSignal() {
        QFETCH(int, signo);
        QFETCH(bool, json);
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
        process.start(cli, QStringList{"-j", "1", "--password-stdin", dir.path()} +
                               (json ? QStringList{"--json"} : QStringList()));
        process.write("pw\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForReadyRead(60000));
        ::kill(pid_t(process.processId()), signo);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signo);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(err.count("were not processed"), 1);
        const QStringList lines =
            QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);

        const QStringList copies = QDir(dir.path()).entryList({"*_copy.pdf"}, QDir::Files);
        QVERIFY(copies.size() >= 1 && copies.size() < files);
        QCOMPARE(lines.size(), json ? files : copies.size());
        QCOMPARE(lines.filter("not-started").size(), json ? files - copies.size() : 0);
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
#if defined(__SANITIZE_ADDRESS__)
        if (tasks == 1) {
            // The leak check at exit starts a thread of its own.
            QSKIP("the sanitizers need a thread of their own at exit");
        }
#endif
        QTemporaryDir dir;
        fx::Fixture scan;
        scan.security = fx::Security::AES_256;
        scan.userPassword = kPassword;
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) {
            fx::makeFixture(scan, dir.filePath(name).toStdString());
            ::chmod(dir.filePath(name).toLocal8Bit().constData(), 0644);
        }
        ::chmod(dir.path().toLocal8Bit().constData(), 0777);
        Start how;
        how.limitTasks = static_cast<rlim_t>(tasks);
        const Run run = runCli({"-j", "4", "--json", "--password-stdin", dir.path()}, "pw\n", how);
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
        const Run run =
            runCli({"-j", "4", "--password-stdin", dir.path()}, "pw\n", {.limitFiles = 48});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.size(), files);
        QCOMPARE(allFiles(dir.path()).filter("_copy.pdf").size(), files);

#if !defined(__SANITIZE_ADDRESS__)
        // Too few to hold a file open twice: each file says so, none is
        // refused as something it is not. (Not under the sanitizers: their
        // own checks need descriptors then.)
        const Run starved =
            runCli({"--json", "-j", "2", "--again", "--password-stdin", dir.filePath("a")}, "pw\n",
                   {.limitFiles = 8});
        QCOMPARE(starved.exitCode, 1);
        QStringList reasons;
        for (const auto& line : starved.out) {
            reasons << QJsonDocument::fromJson(line.toUtf8()).object()["reason"].toString();
        }
        reasons.removeDuplicates();
        QCOMPARE(reasons, QStringList{"too-many-open-files"});
#endif
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "test_batch.moc"
