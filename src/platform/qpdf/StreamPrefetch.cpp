#include "platform/qpdf/StreamPrefetch.h"

#include "platform/Secrets.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/QuietQpdf.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <qpdf/Pipeline.hh>
#include <qpdf/QUtil.hh>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace pdfunlock {
namespace {

// Decrypted data held ahead of the writer, streams being decrypted
// included; a larger stream is left to the writer. Peak memory grows by
// about this much, besides the two QPDF objects and the thread.
constexpr size_t kAheadBytes = 4 * 1024 * 1024;
constexpr long long kLargestStream = kAheadBytes;

std::shared_ptr<QPDF> openWithKey(const std::shared_ptr<const OpenFile>& file,
                                  const std::string& hexKey) {
    auto pdf = quietQpdf();
    pdf->setPasswordIsHexKey(true);
    pdf->processInputSource(std::make_shared<BlockInputSource>(file), hexKey.c_str());
    return pdf;
}

long long declaredLength(QPDFObjectHandle stream) {
    auto length = stream.getDict().getKey("/Length");
    return length.isInteger() ? length.getIntValue() : -1;
}

// The streams among `wanted` in the order qpdf 11's writer reaches them when
// it writes without object streams of its own making: a queue fed by the
// catalog, then the rest of the trailer, then each written object's
// references in key order. Objects inside object streams may shift it a little.
std::vector<QPDFObjectHandle> writeOrder(QPDF& pdf, const std::set<QPDFObjGen>& wanted) {
    std::vector<QPDFObjectHandle> order;
    std::deque<QPDFObjectHandle> queue;
    std::set<QPDFObjGen> seen;
    std::function<void(QPDFObjectHandle, int)> visit;
    // The references in a value, in the order the writer meets them.
    const auto children = [&](QPDFObjectHandle value, int depth) {
        if (depth >= 64) {
            return;
        }
        if (value.isArray()) {
            for (auto& item : value.aitems()) {
                visit(item, depth + 1);
            }
        } else if (value.isDictionary()) {
            for (auto& [key, item] : value.ditems()) {
                visit(item, depth + 1);
            }
        }
    };
    visit = [&](QPDFObjectHandle value, int depth) {
        if (!value.isIndirect()) {
            children(value, depth);
        } else if (seen.insert(value.getObjGen()).second) {
            queue.push_back(value);
        }
    };
    auto trailer = pdf.getTrailer();
    visit(trailer.getKey("/Root"), 0);
    for (auto& [key, item] : trailer.ditems()) {
        if (key != "/ID" && key != "/Encrypt" && key != "/Prev" && key != "/XRefStm") {
            visit(item, 0);
        }
    }
    while (!queue.empty()) {
        auto object = queue.front();
        queue.pop_front();
        if (!object.isStream()) {
            children(object, 0);
            continue;
        }
        if (wanted.count(object.getObjGen())) {
            order.push_back(object);
        }
        // The writer writes its own /Length.
        for (auto& [key, item] : object.getDict().ditems()) {
            if (key != "/Length") {
                visit(item, 1);
            }
        }
    }
    return order;
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

} // namespace

// The streams to decrypt ahead, in the writer's order, shared between the
// worker thread and the writer's thread. Both decrypt: the worker from the
// front of the list through its own QPDF object, the writer's thread through
// the held source whenever it would otherwise wait for the worker.
class StreamPrefetch::Worker : public QPDFObjectHandle::StreamDataProvider {
public:
    struct Item {
        QPDFObjGen og;
        size_t bytes; // as declared: the encrypted size, at least the decrypted one
    };

    Worker(QPDF& source, std::vector<Item> items, std::shared_ptr<const OpenFile> file,
           std::string hexKey)
        : StreamDataProvider(true), source_(source), items_(std::move(items)) {
        for (size_t i = 0; i < items_.size(); ++i) {
            index_[items_[i].og] = i;
        }
        thread_ = std::thread(
            [this, file = std::move(file), key = std::move(hexKey)]() mutable { run(file, key); });
    }

    ~Worker() override { stop(); }

    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    bool provideStreamData(QPDFObjGen const& og, Pipeline* pipeline, bool suppressWarnings,
                           bool willRetry) override {
        std::string data;
        if (take(og, data)) {
            pipeline->write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
            pipeline->finish();
            return true;
        }
        // Read as the writer would have read it from the source.
        bool filtered = false;
        return source_.getObjectByObjGen(og).pipeStreamData(pipeline, &filtered, 0, qpdf_dl_none,
                                                            suppressWarnings, willRetry);
    }

private:
    enum class State { Waiting, Working, Ready, Failed, Done };

    // The stream's data as read, only decrypted; false if it could not be
    // read without a warning, which the source must then give itself.
    static bool read(QPDF& pdf, QPDFObjGen og, std::string& data, size_t expected) {
        Sink sink(data);
        try {
            data.reserve(expected);
            const auto warnings = pdf.numWarnings();
            // This overload answers whether the data could be read.
            bool filtered = false;
            return pdf.getObjectByObjGen(og).pipeStreamData(&sink, &filtered, 0, qpdf_dl_none, true,
                                                            false) &&
                   pdf.numWarnings() == warnings;
        } catch (const std::exception&) {
            return false;
        }
    }

    // Called with the lock held: the next stream nobody has started, if
    // there is room to hold it.
    std::optional<size_t> claim() {
        while (next_ < items_.size() && states_[next_] != State::Waiting) {
            ++next_;
        }
        if (next_ == items_.size() || readyBytes_ + items_[next_].bytes > kAheadBytes) {
            return std::nullopt;
        }
        states_[next_] = State::Working;
        readyBytes_ += items_[next_].bytes; // held from now on
        return next_++;
    }

    // Decrypts a claimed stream through `pdf` without the lock.
    void produce(std::unique_lock<std::mutex>& lock, QPDF& pdf, size_t i) {
        lock.unlock();
        changed_.notify_all();
        std::string data;
        const bool ok = read(pdf, items_[i].og, data, items_[i].bytes);
        lock.lock();
        if (ok) {
            ready_[i] = std::move(data);
            states_[i] = State::Ready;
        } else {
            readyBytes_ -= items_[i].bytes;
            states_[i] = State::Failed;
        }
        changed_.notify_all();
    }

    // The data of `og` once one of the two threads has it; false when the
    // writer's thread had better read it itself.
    bool take(QPDFObjGen og, std::string& data) {
        std::unique_lock<std::mutex> lock(mutex_);
        auto found = index_.find(og);
        if (found == index_.end()) {
            return false;
        }
        const size_t i = found->second;
        while (true) {
            switch (states_[i]) {
            case State::Ready:
                data = std::move(ready_[i]);
                ready_.erase(i);
                readyBytes_ -= items_[i].bytes;
                states_[i] = State::Done;
                changed_.notify_all();
                return true;
            case State::Waiting:
                if (!opened_) {
                    changed_.wait(lock);
                    break;
                }
                // Nobody has started it: straight from the source into the writer.
                states_[i] = State::Done;
                return false;
            case State::Working:
                // Rather than wait, decrypt one further ahead.
                if (auto ahead = claim()) {
                    produce(lock, source_, *ahead);
                } else {
                    changed_.wait(lock);
                }
                break;
            default:
                return false;
            }
        }
    }

    void run(const std::shared_ptr<const OpenFile>& file, std::string& hexKey) {
        std::shared_ptr<QPDF> pdf;
        try {
            pdf = openWithKey(file, hexKey);
        } catch (const std::exception&) {
            // No document of its own: the writer's thread reads every stream.
        }
        wipe(hexKey);
        std::unique_lock<std::mutex> lock(mutex_);
        // The first stream is claimed under the same lock: the worker always
        // decrypts at least one, whatever the timing.
        opened_ = true;
        changed_.notify_all();
        while (pdf && !stopping_) {
            if (auto i = claim()) {
                produce(lock, *pdf, *i);
            } else if (next_ == items_.size()) {
                break;
            } else {
                changed_.wait(lock);
            }
        }
    }

    QPDF& source_;
    const std::vector<Item> items_;
    std::map<QPDFObjGen, size_t> index_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<State> states_ = std::vector<State>(items_.size(), State::Waiting);
    std::map<size_t, std::string> ready_;
    size_t readyBytes_ = 0;
    size_t next_ = 0;
    bool opened_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

std::unique_ptr<StreamPrefetch>
StreamPrefetch::open(QPDF& source, std::shared_ptr<const OpenFile> file, long long minimumBytes) {
    try {
        if (minimumBytes < 0 || !file || !source.isEncrypted() || source.numWarnings() > 0) {
            return nullptr;
        }
        // The file's size stands for its stream data: a large file is images.
        struct stat info {};
        if (::fstat(file->fd(), &info) != 0 || info.st_size < minimumBytes) {
            return nullptr;
        }
        std::string hexKey = QUtil::hex_encode(source.getEncryptionKey());
        auto twin = openWithKey(file, hexKey);
        // The key is taken unchecked: the twin must read as the source did
        // (the file is the same, but may have been changed in place).
        if (twin->getTrailer().unparse() != source.getTrailer().unparse()) {
            wipe(hexKey);
            return nullptr;
        }
        return std::unique_ptr<StreamPrefetch>(
            new StreamPrefetch(source, std::move(twin), std::move(file), std::move(hexKey)));
    } catch (const std::exception&) {
        return nullptr;
    }
}

StreamPrefetch::StreamPrefetch(QPDF& source, std::shared_ptr<QPDF> twin,
                               std::shared_ptr<const OpenFile> file, std::string hexKey)
    : source_(source), twin_(std::move(twin)), file_(std::move(file)), hexKey_(std::move(hexKey)) {}

StreamPrefetch::~StreamPrefetch() {
    if (worker_) {
        worker_->stop();
    }
    wipe(hexKey_);
}

void StreamPrefetch::start(const std::vector<QPDFObjectHandle>& copied) {
    try {
        startWorker(copied);
    } catch (const std::exception&) {
        // No thread, or not every stream handed over: the writer reads the rest itself.
    }
    wipe(hexKey_);
}

void StreamPrefetch::startWorker(const std::vector<QPDFObjectHandle>& copied) {
    std::set<QPDFObjGen> wanted;
    for (auto& stream : copied) {
        const auto length = declaredLength(stream);
        if (length > 0 && length <= kLargestStream) {
            wanted.insert(stream.getObjGen());
        }
    }
    std::vector<Worker::Item> items;
    for (auto& stream : writeOrder(*twin_, wanted)) {
        items.push_back({stream.getObjGen(), static_cast<size_t>(declaredLength(stream))});
    }
    if (items.empty()) {
        return;
    }
    std::vector<QPDFObjectHandle> streams;
    for (auto& item : items) {
        streams.push_back(twin_->getObjectByObjGen(item.og));
    }
    worker_ = std::make_shared<Worker>(source_, std::move(items), file_, hexKey_);
    for (auto& stream : streams) {
        // Filters stay as they are: the data comes as read, only decrypted.
        stream.replaceStreamData(worker_, QPDFObjectHandle(), QPDFObjectHandle());
    }
}

void StreamPrefetch::handWarningsTo(QPDF& source) {
    for (auto& warning : twin_->getWarnings()) {
        source.warn(warning);
    }
}

} // namespace pdfunlock
