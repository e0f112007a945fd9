// Files that work against their reader: a source cut short while it is read,
// and streams that inflate far beyond what the document needs. Each job ends
// by itself, refuses the file and leaves nothing behind.
#include "Support.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/BlockInputSource.h"

#include <QTemporaryDir>
#include <QtTest>
#include <qpdf/QPDF.hh>
#include <unistd.h>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

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
};

QTEST_GUILESS_MAIN(HostileInputsTest)
#include "test_hostile_inputs.moc"
