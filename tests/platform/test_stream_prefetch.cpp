// The read-ahead of a large copy on its own: the queue with fake readers, and
// the predicted write order against the order qpdf's writer really asks in.
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/PrefetchQueue.h"
#include "platform/qpdf/QuietQpdf.h"
#include "platform/qpdf/WholeDocumentWriter.h"
#include "platform/qpdf/WriteOrder.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <qpdf/Pl_Discard.hh>
#include <set>
#include <stdexcept>
#include <thread>

using namespace pdfunlock;
using namespace pdfunlock::fixtures;

using Indices = std::vector<int>;
Q_DECLARE_METATYPE(Indices)
Q_DECLARE_METATYPE(Fixture)

namespace {

// How the worker's fake reader misbehaves on one stream.
enum class Fault { None, Fails, Throws, ThrowsNonStandard, StopWhileReading };

} // namespace
Q_DECLARE_METATYPE(Fault)
namespace {

std::string contentOf(size_t i) {
    return "stream " + std::to_string(i);
}

// Both fake readers: what each read, the bytes held (read and not yet
// taken) at most, and a gate the worker may be held at.
struct Readers {
    std::vector<size_t> sizes;
    int faultAt = -1;
    Fault fault = Fault::None;
    std::mutex mutex;
    std::vector<size_t> byWorker, byWriter;
    size_t held = 0, mostHeld = 0;
    std::atomic<bool> atGate = false, gateOpen = false;

    bool read(size_t i, std::string& data, bool worker) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            (worker ? byWorker : byWriter).push_back(i);
            held += sizes[i];
            mostHeld = std::max(mostHeld, held);
        }
        const bool faulty = static_cast<int>(i) == faultAt;
        if (worker && faulty && fault == Fault::StopWhileReading) {
            atGate = true;
            while (!gateOpen) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        } else if (faulty && fault != Fault::None) {
            released(i);
            if (fault == Fault::Throws) {
                throw std::runtime_error("read failed");
            }
            if (fault == Fault::ThrowsNonStandard) {
                throw 42;
            }
            return false;
        }
        data = contentOf(i);
        return true;
    }
    void released(size_t i) {
        std::lock_guard<std::mutex> lock(mutex);
        held -= sizes[i];
    }
};

// Records the order in which the writer asks for stream data.
class Recorder : public QPDFObjectHandle::StreamDataProvider {
public:
    Recorder() : StreamDataProvider(false) {}
    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override {
        if (std::find(asked.begin(), asked.end(), og) == asked.end()) {
            asked.push_back(og);
        }
        pipeline->finish();
    }
    std::vector<QPDFObjGen> asked;
};

} // namespace

class TestStreamPrefetch : public QObject {
    Q_OBJECT

private slots:
    void queue_data();
    void queue();
    void writeOrder_data();
    void writeOrder();
};

void TestStreamPrefetch::queue_data() {
    QTest::addColumn<int>("streams");
    QTest::addColumn<int>("budgetStreams"); // streams of 1 MiB the budget holds
    QTest::addColumn<Indices>("asked");     // the writer's order
    QTest::addColumn<int>("faultAt");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Indices>("mustRead"); // streams the writer must read itself
    const Indices inOrder{0, 1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("as predicted") << 8 << 4 << inOrder << -1 << Fault::None << Indices{};
    QTest::newRow("asked in reverse")
        << 8 << 4 << Indices{7, 6, 5, 4, 3, 2, 1, 0} << -1 << Fault::None << Indices{};
    QTest::newRow("one asked twice, one never")
        << 8 << 4 << Indices{0, 2, 1, 2, 4, 5, 6, 7} << -1 << Fault::None << Indices{};
    QTest::newRow("budget of one stream") << 8 << 1 << inOrder << -1 << Fault::None << Indices{};
    QTest::newRow("read fails") << 8 << 4 << inOrder << 2 << Fault::Fails << Indices{2};
    QTest::newRow("read throws") << 8 << 4 << inOrder << 0 << Fault::Throws << Indices{0};
    QTest::newRow("read throws a non-standard exception")
        << 8 << 4 << inOrder << 1 << Fault::ThrowsNonStandard << Indices{1};
    QTest::newRow("stop while a read is under way")
        << 8 << 4 << inOrder << 3 << Fault::StopWhileReading << Indices{4, 5, 6, 7};
}

void TestStreamPrefetch::queue() {
    QFETCH(int, streams);
    QFETCH(int, budgetStreams);
    QFETCH(Indices, asked);
    QFETCH(int, faultAt);
    QFETCH(Fault, fault);
    QFETCH(Indices, mustRead);
    constexpr size_t kMiB = 1024 * 1024;
    Readers readers;
    readers.sizes.assign(static_cast<size_t>(streams), kMiB);
    readers.faultAt = faultAt;
    readers.fault = fault;
    PrefetchQueue queue(readers.sizes, static_cast<size_t>(budgetStreams) * kMiB,
                        [&](size_t i, std::string& data) { return readers.read(i, data, false); });
    queue.start([&] {
        return PrefetchQueue::Reader(
            [&](size_t i, std::string& data) { return readers.read(i, data, true); });
    });
    if (fault == Fault::StopWhileReading) {
        while (!readers.atGate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::thread stopper([&] { queue.stop(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        readers.gateOpen = true;
        stopper.join();
    }

    std::vector<int> readHere;
    std::set<int> given;
    for (const int i : asked) {
        std::string data;
        if (queue.take(static_cast<size_t>(i), data)) {
            QCOMPARE(data, contentOf(static_cast<size_t>(i)));
            QVERIFY2(given.insert(i).second, "a stream given twice");
            readers.released(static_cast<size_t>(i));
        } else {
            readHere.push_back(i);
        }
    }
    queue.stop();

    // Invariants whatever the timing: no stream read twice by the queue, the
    // budget kept, nothing read after the worker's failure or stop.
    auto all = readers.byWorker;
    all.insert(all.end(), readers.byWriter.begin(), readers.byWriter.end());
    std::sort(all.begin(), all.end());
    QVERIFY(std::adjacent_find(all.begin(), all.end()) == all.end());
    // The fake lets go of a stream only once take() gave it: the one the
    // writer is writing comes on top of the budget.
    QVERIFY(readers.mostHeld <= static_cast<size_t>(budgetStreams + 1) * kMiB);
    QVERIFY(!readers.byWorker.empty());
    const auto failed = static_cast<size_t>(faultAt);
    if (faultAt >= 0 && std::count(readers.byWorker.begin(), readers.byWorker.end(), failed)) {
        QCOMPARE(readers.byWorker.back(), failed);
    }
    for (const int i : mustRead) {
        QVERIFY2(std::count(readHere.begin(), readHere.end(), i),
                 qPrintable(QString("stream %1 given, not left to the writer").arg(i)));
    }
}

void TestStreamPrefetch::writeOrder_data() {
    QTest::addColumn<Fixture>("file");
    Fixture plain;
    plain.pages = 6;
    plain.imageBytesPerPage = 2000;
    plain.links = {{0, 5, false}, {5, 0, true}};
    QTest::newRow("images and links") << plain;
    auto streams = plain;
    streams.objectStreams = true;
    QTest::newRow("object streams") << streams;
    auto parts = plain;
    parts.form = Form::WithAppearances;
    parts.hiddenLayer = true;
    parts.tagged = true;
    QTest::newRow("form, layer, structure") << parts;
}

// The copy is written as writeWhole writes it; every stream the writer copies
// as read is asked for in the predicted order.
void TestStreamPrefetch::writeOrder() {
    QFETCH(Fixture, file);
    QTemporaryDir dir;
    const auto path = dir.filePath("in.pdf").toStdString();
    makeFixture(file, path);
    QPDF pdf;
    makeQuiet(pdf);
    pdf.processFile(path.c_str(), "user");
    auto recorder = std::make_shared<Recorder>();
    std::vector<QPDFObjGen> predicted;
    Pl_Discard out;
    writeWhole(pdf, pdf.getTrailer().getKey("/Info"), out, PDFVersion(1, 7),
               [&](const std::vector<QPDFObjectHandle>& copied) {
                   std::set<QPDFObjGen> wanted;
                   for (const auto& stream : copied) {
                       wanted.insert(stream.getObjGen());
                   }
                   for (auto& stream : predictedWriteOrder(pdf, wanted)) {
                       predicted.push_back(stream.getObjGen());
                       stream.replaceStreamData(recorder, QPDFObjectHandle(), QPDFObjectHandle());
                   }
               });
    QVERIFY(predicted.size() >= static_cast<size_t>(2 * file.pages));
    QCOMPARE(recorder->asked, predicted);
}

QTEST_GUILESS_MAIN(TestStreamPrefetch)
#include "test_stream_prefetch.moc"
