#include "platform/qpdf/StreamPrefetch.h"

#include "platform/Secrets.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/KeyedOpen.h"
#include "platform/qpdf/PrefetchQueue.h"
#include "platform/qpdf/StreamDecryption.h"
#include "platform/qpdf/WriteOrder.h"

#include <algorithm>
#include <exception>
#include <map>
#include <qpdf/Pipeline.hh>
#include <qpdf/Pl_String.hh>
#include <set>
#include <sys/stat.h>

namespace pdfunlock {
namespace {

// Decrypted data held ahead of the writer, streams being decrypted
// included; a larger stream is left to the writer. Peak memory grows by
// about this much, besides the two QPDF objects and the thread.
constexpr size_t kAheadBytes = 4 * 1024 * 1024;
constexpr long long kLargestStream = kAheadBytes;

long long declaredLength(QPDFObjectHandle stream) {
    auto length = stream.getDict().getKey("/Length");
    return length.isInteger() ? length.getIntValue() : -1;
}

class Sink : public Pipeline {
public:
    explicit Sink(std::string& out) : Pipeline("prefetch", nullptr), out_(out) {}
    void write(unsigned char const* data, size_t len) override {
        out_.append(reinterpret_cast<const char*>(data), len);
    }
    void finish() override {}

private:
    std::string& out_;
};

// The stream's data as read, only decrypted; false if it could not be read
// without a warning, which the writer must then meet itself.
bool readRaw(QPDF& pdf, QPDFObjGen og, std::string& data, size_t expected) {
    Sink sink(data);
    data.reserve(expected);
    const auto warnings = pdf.numWarnings();
    // This overload answers whether the data could be read.
    bool filtered = false;
    return pdf.getObjectByObjGen(og).pipeStreamData(&sink, &filtered, 0, qpdf_dl_none, true,
                                                    false) &&
           pdf.numWarnings() == warnings;
}

// The same, decrypted in bulk.
bool readInBulk(const StreamDecryption& bulk, QPDFObjGen og, std::string& data) {
    try {
        Pl_String sink("prefetch", nullptr, data);
        bulk.read(og, sink);
        return true;
    } catch (const std::exception&) {
        return false; // the writer reads it through qpdf
    }
}

} // namespace

// The data of the twin's prefetched streams: from the queue, or else read
// from the held source on the writer's thread, as the writer would have.
class StreamPrefetch::Provider : public QPDFObjectHandle::StreamDataProvider {
public:
    Provider(QPDF& source, std::shared_ptr<PrefetchQueue> queue, std::map<QPDFObjGen, size_t> index)
        : StreamDataProvider(true), source_(source), queue_(std::move(queue)),
          index_(std::move(index)) {}

    bool provideStreamData(QPDFObjGen const& og, Pipeline* pipeline, bool suppressWarnings,
                           bool willRetry) override {
        std::string data;
        auto found = index_.find(og);
        if (found != index_.end() && queue_->take(found->second, data)) {
            pipeline->write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
            pipeline->finish();
            return true;
        }
        bool filtered = false;
        return source_.getObjectByObjGen(og).pipeStreamData(pipeline, &filtered, 0, qpdf_dl_none,
                                                            suppressWarnings, willRetry);
    }

private:
    QPDF& source_;
    std::shared_ptr<PrefetchQueue> queue_;
    const std::map<QPDFObjGen, size_t> index_;
};

std::unique_ptr<StreamPrefetch> StreamPrefetch::open(QPDF& source,
                                                     std::shared_ptr<const OpenFile> file,
                                                     long long minimumBytes, bool& repaired) {
    try {
        if (minimumBytes < 0 || !file || !source.isEncrypted() || source.numWarnings() > 0) {
            return nullptr;
        }
        // The file's size stands for its stream data: a large file is images.
        struct stat info {};
        if (::fstat(file->fd(), &info) != 0 || info.st_size < minimumBytes) {
            return nullptr;
        }
        // The twin reads the file again: whatever it has become must pass
        // the budget too.
        FileKey key = keyOf(source);
        auto twin = openWithFileKey(file, key);
        // The key is taken unchecked: the twin must read as the source did
        // (the file is the same, but may have been changed in place).
        bool usable = twin->getTrailer().unparse() == source.getTrailer().unparse();
        if (usable) {
            // Every object where the table says: otherwise qpdf rebuilds the
            // table on the first miss, and a QPDF object that has not (the
            // worker's, the source) may find an older body of a later object
            // than the twin. The writer resolves them all anyway.
            for (const auto& [og, entry] : twin->getXRefTable()) {
                twin->getObjectByObjGen(og).getTypeCode();
            }
            usable = twin->numWarnings() == 0;
            repaired = !usable;
        }
        if (!usable) {
            return nullptr;
        }
        return std::unique_ptr<StreamPrefetch>(
            new StreamPrefetch(source, std::move(twin), std::move(file), std::move(key)));
    } catch (const std::exception&) {
        return nullptr;
    }
}

StreamPrefetch::StreamPrefetch(QPDF& source, std::shared_ptr<QPDF> twin,
                               std::shared_ptr<const OpenFile> file, FileKey key)
    : source_(source), twin_(std::move(twin)), file_(std::move(file)), key_(std::move(key)) {}

StreamPrefetch::~StreamPrefetch() {
    if (queue_) {
        queue_->stop();
    }
}

void StreamPrefetch::start(const std::vector<QPDFObjectHandle>& copied) {
    try {
        startWorker(copied);
    } catch (const std::exception&) {
        // No thread, or not every stream handed over: the writer reads the rest itself.
    }
    wipe(key_.bytes);
}

void StreamPrefetch::startWorker(const std::vector<QPDFObjectHandle>& copied) {
    std::set<QPDFObjGen> wanted;
    for (auto& stream : copied) {
        const auto length = declaredLength(stream);
        if (length > 0 && length <= kLargestStream) {
            wanted.insert(stream.getObjGen());
        }
    }
    const auto streams = predictedWriteOrder(*twin_, wanted);
    if (streams.empty()) {
        return;
    }
    std::vector<QPDFObjGen> ogs;
    std::vector<size_t> sizes;
    std::map<QPDFObjGen, size_t> index;
    // Decrypted in bulk where they can be, else through qpdf.
    const std::shared_ptr<const StreamDecryption> bulk = StreamDecryption::of(source_, file_);
    std::vector<bool> inBulk;
    for (auto& stream : streams) {
        index[stream.getObjGen()] = ogs.size();
        ogs.push_back(stream.getObjGen());
        // As declared: the encrypted size, at least the decrypted one.
        sizes.push_back(static_cast<size_t>(declaredLength(stream)));
        inBulk.push_back(bulk && std::const_pointer_cast<StreamDecryption>(bulk)->locate(stream));
    }
    if (bulk) {
        std::vector<QPDFObjectHandle> located;
        for (size_t i = 0; i < streams.size(); ++i) {
            if (inBulk[i]) {
                located.push_back(streams[i]);
            }
        }
        if (!located.empty() && !bulk->agreesWithQpdf(located)) {
            inBulk.assign(inBulk.size(), false);
        }
    }
    // The writer's thread reads ahead through the held source.
    auto writerReads = [this, ogs, sizes, bulk, inBulk](size_t i, std::string& data) {
        return inBulk[i] ? readInBulk(*bulk, ogs[i], data)
                         : readRaw(source_, ogs[i], data, sizes[i]);
    };
    queue_ = std::make_shared<PrefetchQueue>(sizes, kAheadBytes, writerReads);
    auto provider = std::make_shared<Provider>(source_, queue_, std::move(index));
    for (auto stream : streams) {
        // Filters stay as they are: the data comes as read, only decrypted.
        stream.replaceStreamData(provider, QPDFObjectHandle(), QPDFObjectHandle());
    }
    const bool allInBulk = std::find(inBulk.begin(), inBulk.end(), false) == inBulk.end();
    queue_->start([this, ogs, sizes, file = file_, key = key_, bulk, inBulk, allInBulk]() mutable {
        // A QPDF object of its own only for what is not decrypted in bulk;
        // the key is wiped whether that open succeeds or throws.
        std::shared_ptr<QPDF> pdf;
        if (!allInBulk) {
            try {
                pdf = openWithFileKey(file, key);
            } catch (...) {
                wipe(key.bytes);
                throw;
            }
            workerPdf_ = pdf;
        }
        wipe(key.bytes);
        return PrefetchQueue::Reader([pdf, ogs, sizes, bulk, inBulk](size_t i, std::string& data) {
            return inBulk[i] ? readInBulk(*bulk, ogs[i], data)
                             : readRaw(*pdf, ogs[i], data, sizes[i]);
        });
    });
}

bool StreamPrefetch::finish() {
    if (queue_) {
        queue_->stop();
    }
    try {
        return twin_->numWarnings() == 0 && source_.numWarnings() == 0 &&
               (!workerPdf_ || workerPdf_->numWarnings() == 0);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace pdfunlock
