// The password's way in: a first line read in bounded blocks, and a process
// that keeps what it holds out of core dumps. The prompt on a terminal is
// tried from outside in test_batch.
#include "ChildProcess.h"
#include "platform/Secrets.h"
#include "platform/Terminal.h"

#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace pdfunlock;

namespace {

// "text:<line>", "too long" or "nothing".
std::string shown(const PasswordLine& line) {
    return line.tooLong ? "too long" : line.text ? "text:" + *line.text : "nothing";
}

} // namespace

class TerminalTest : public QObject {
    Q_OBJECT

private slots:
    void firstLine_data() {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QString>("way"); // "file", "stdin" (a regular file) or "pipe"
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("left"); // what stdin still holds after it
        const QByteArray longest(int(kLongestPasswordLine), 'x');
        QTest::newRow("file, rest untouched") << QByteArray("pw\nmore\n") << "file"
                                              << "text:pw" << QByteArray();
        QTest::newRow("stdin, rest left") << QByteArray("pw\r\nmore\n") << "stdin"
                                          << "text:pw" << QByteArray("more\n");
        QTest::newRow("pipe, rest left") << QByteArray("p w\nmore") << "pipe"
                                         << "text:p w" << QByteArray("more");
        QTest::newRow("empty line") << QByteArray("\nmore") << "stdin"
                                    << "text:" << QByteArray("more");
        QTest::newRow("nothing") << QByteArray() << "file"
                                 << "nothing" << QByteArray();
        QTest::newRow("longest, CRLF") << longest + "\r\n"
                                       << "file"
                                       << "text:" + QString::fromLatin1(longest) << QByteArray();
        QTest::newRow("one byte more") << longest + "y\n"
                                       << "file"
                                       << "too long" << QByteArray();
        QTest::newRow("one byte more, stdin") << longest + "y"
                                              << "stdin"
                                              << "too long" << QByteArray();
        QTest::newRow("one byte more, pipe") << longest + "yz"
                                             << "pipe"
                                             << "too long" << QByteArray();
    }
    void firstLine() {
        QFETCH(QByteArray, given);
        QFETCH(QString, way);
        QFETCH(QString, expected);
        QFETCH(QByteArray, left);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("password"));
        QFile file(dir.filePath("password"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(given);
        file.close();
        if (way == "file") {
            QCOMPARE(QString::fromStdString(shown(readFirstLineOfFile(path.toStdString()))),
                     expected);
            return;
        }
        int fds[2] = {::open(path.constData(), O_RDONLY), -1};
        if (way == "pipe") {
            ::close(fds[0]);
            QVERIFY(::pipe(fds) == 0);
            QVERIFY(::write(fds[1], given.constData(), size_t(given.size())) == given.size());
            ::close(fds[1]);
        }
        QCOMPARE(QString::fromStdString(shown(readFirstLine(fds[0]))), expected);
        QByteArray rest(64, '\0');
        const ssize_t got = ::read(fds[0], rest.data(), size_t(rest.size()));
        ::close(fds[0]);
        if (!left.isEmpty()) {
            QCOMPARE(rest.left(int(got)), left);
        }
    }

    // Devices without end: refused at the limit, not read on.
    void endlessInput() {
        const int fd = ::open("/dev/zero", O_RDONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(QString::fromStdString(shown(readFirstLine(fd))), QString("too long"));
        ::close(fd);
        QCOMPARE(QString::fromStdString(shown(readFirstLineOfFile("/dev/zero"))),
                 QString("too long"));
    }

    void noCoreDump() {
        const auto seen = testing::inChild([] {
            const bool kept = keepSecretsOutOfCoreDumps();
            rlimit limit{};
            ::getrlimit(RLIMIT_CORE, &limit);
            return std::to_string(kept) + " " + std::to_string(::prctl(PR_GET_DUMPABLE)) + " " +
                   std::to_string(limit.rlim_cur) + " " + std::to_string(limit.rlim_max);
        });
        QCOMPARE(QString::fromStdString(seen.value_or("child failed")), QString("1 0 0 0"));
    }
};

QTEST_GUILESS_MAIN(TerminalTest)
#include "test_terminal.moc"
