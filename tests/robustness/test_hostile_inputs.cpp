// Files that work against their reader: a source cut short while it is read,
// and streams that inflate far beyond what the document needs. Each job ends
// by itself, refuses the file and leaves nothing behind.
#include "Support.h"
#include "fixtures/FixtureMaker.h"
#include "fixtures/InflationBombs.h"
#include "platform/qpdf/BlockInputSource.h"

#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <qpdf/QPDF.hh>
#include <sys/resource.h>
#include <unistd.h>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(fx::Bomb)

namespace {

// What the job showed and what the folder holds after it, from a child that
// ends within `seconds` or is stopped: a hang fails the test, not the run.
std::optional<std::string> jobInChild(const std::function<std::string()>& job, int seconds = 60) {
    return inChild([&] {
        ::alarm(static_cast<unsigned>(seconds));
        return job();
    });
}

std::string outcome(const Harness& h, const QString& dir) {
    std::string text;
    for (const auto& key : h.alertKeys()) {
        text += key + ";";
    }
    for (const auto& name : testing::directoryEntries(QFile::encodeName(dir).toStdString())) {
        text += " " + name;
    }
    return text;
}

} // namespace

class HostileInputsTest : public QObject {
    Q_OBJECT

private slots:
    // qpdf reads through a source that keeps the size seen at its open: cut
    // right after it, qpdf finds no table at the end and scans the file
    // for objects up to that size. The read at the real end is an error.
    void sourceCutWhileParsed_data() {
        QTest::addColumn<int>("keepDivisor"); // 0: nothing kept
        QTest::newRow("to half") << 2;
        QTest::newRow("to nothing") << 0;
    }
    void sourceCutWhileParsed() {
        QFETCH(int, keepDivisor);
        QTemporaryDir dir;
        const std::string path = dir.filePath("scan.pdf").toStdString();
        fx::Fixture scan;
        scan.pages = 6;
        scan.imageBytesPerPage = 200 * 1000;
        fx::makeFixture(scan, path);
        const auto seen = jobInChild([&] {
            auto file = OpenFile::open(path);
            auto source = std::make_shared<BlockInputSource>(file);
            ::truncate(path.c_str(),
                       keepDivisor ? QFileInfo(dir.filePath("scan.pdf")).size() / keepDivisor : 0);
            QPDF pdf;
            pdf.setSuppressWarnings(true);
            try {
                pdf.processInputSource(source, "user");
            } catch (const std::exception&) {
                return std::string(file->shortened() ? "refused as cut" : "refused");
            }
            return std::string("opened");
        });
        QVERIFY2(seen, "the parse did not end");
        QCOMPARE(QString::fromStdString(*seen), QString("refused as cut"));
    }

    // Cut right before the copy is written, the images qpdf reads for it are
    // gone: qpdf takes that for damage and would write what it has.
    void sourceCutBeforeWrite_data() {
        QTest::addColumn<int>("keepDivisor");
        QTest::newRow("to half") << 2;
        QTest::newRow("to nothing") << 0;
    }
    void sourceCutBeforeWrite() {
        QFETCH(int, keepDivisor);
        QTemporaryDir dir;
        const QString source = dir.filePath("scan.pdf");
        fx::Fixture scan;
        scan.pages = 6;
        scan.imageBytesPerPage = 200 * 1000;
        fx::makeFixture(scan, source.toStdString());
        const QByteArray path = QFile::encodeName(source);
        const off_t size = keepDivisor ? QFileInfo(source).size() / keepDivisor : 0;
        const auto seen = jobInChild([&] {
            Harness h;
            h.beforeWrite = [&](const std::string&) { ::truncate(path.constData(), size); };
            h.run(path.toStdString(), "user");
            return outcome(h, dir.path());
        });
        QVERIFY2(seen, "the job did not end");
        QCOMPARE(QString::fromStdString(*seen), QString("IDS_MSG_FAILED; scan.pdf"));
    }

    // A locked file whose cross-reference stream, whose object stream (only
    // the password reaches it) or the object stream of whose encryption
    // dictionary (read before any password) inflates to 200 MiB beside what
    // it holds: refused as damaged, whatever the password, while the job's
    // peak stays far below what inflating it takes.
    void inflationBomb_data() {
        QTest::addColumn<fx::Bomb>("bomb");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("shown");
        QTest::newRow("table, right password") << fx::Bomb::CrossReferenceStream << "user"
                                               << "IDS_MSG_NO_TESSIVON;";
        QTest::newRow("table, wrong password") << fx::Bomb::CrossReferenceStream << "wrong"
                                               << "IDS_MSG_NO_TESSIVON;";
        QTest::newRow("object stream, right password") << fx::Bomb::ObjectStream << "user"
                                                       << "IDS_MSG_NO_TESSIVON;";
        QTest::newRow("encryption dictionary in an object stream")
            << fx::Bomb::EncryptionDictionary << "user"
            << "IDS_MSG_NO_TESSIVON;";
    }
    void inflationBomb() {
        QFETCH(fx::Bomb, bomb);
        QFETCH(QString, password);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString source = dir.filePath("bomb.pdf");
        fx::Fixture fixture;
        fixture.objectStreams = true;
        fixture.pages = 3;
        fixture.security =
            bomb == fx::Bomb::EncryptionDictionary ? fx::Security::None : fixture.security;
        fx::makeFixture(fixture, source.toStdString());
        fx::appendInflationBomb(source.toStdString(), fixture.userPassword, bomb, 200ull << 20);
        const auto seen = jobInChild([&] {
            // The child starts with this process's peak: from its own size on.
            std::ofstream("/proc/self/clear_refs") << "5";
            rusage before{};
            ::getrusage(RUSAGE_SELF, &before);
            Harness h;
            h.run(QFile::encodeName(source).toStdString(), password.toStdString());
            rusage after{};
            ::getrusage(RUSAGE_SELF, &after);
            return outcome(h, dir.path()) + " " +
                   std::to_string((after.ru_maxrss - before.ru_maxrss) / 1024);
        });
        QVERIFY2(seen, "the job did not end");
        const QStringList parts = QString::fromStdString(*seen).split(' ');
        QCOMPARE(parts.mid(0, parts.size() - 1).join(' '), shown + " bomb.pdf");
        // Inflated, the bomb alone would take 200 MiB, and qpdf keeps what it
        // parses of it besides.
        QVERIFY2(parts.last().toInt() < 100,
                 qPrintable("peak MiB beyond the start: " + parts.last()));
    }
};

QTEST_GUILESS_MAIN(HostileInputsTest)
#include "test_hostile_inputs.moc"
