#include "platform/qpdf/LooseObjectPrefetch.h"

#include "platform/Secrets.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/SinglePassStreams.h"
#include "platform/qpdf/StreamPrefetch.h"

#include <algorithm>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QPDFXRefEntry.hh>
#include <qpdf/QUtil.hh>
#include <sys/stat.h>

namespace pdfunlock {

namespace {

// The indirect objects `object` names, looking through its direct parts.
void collectReferences(QPDFObjectHandle object, std::vector<QPDFObjGen>& into, bool top) {
    if (!top && object.isIndirect()) {
        into.push_back(object.getObjGen());
        return;
    }
    if (object.isStream()) {
        for (const auto& [key, value] : object.getDict().getDictAsMap()) {
            if (key != "/Length") {
                collectReferences(value, into, false);
            }
        }
    } else if (object.isDictionary()) {
        for (const auto& [key, value] : object.getDictAsMap()) {
            collectReferences(value, into, false);
        }
    } else if (object.isArray()) {
        for (const auto& item : object.getArrayAsVector()) {
            collectReferences(item, into, false);
        }
    }
}

} // namespace

bool hasCryptFilter(QPDFObjectHandle dict) {
    auto filter = dict.getKey("/Filter");
    if (filter.isArray()) {
        for (auto& item : filter.getArrayAsVector()) {
            if (item.isNameAndEquals("/Crypt")) {
                return true;
            }
        }
        return false;
    }
    return filter.isNameAndEquals("/Crypt");
}

std::optional<std::string> storedData(QPDF& pdf, QPDFObjectHandle stream) {
    std::string data;
    Pl_String sink("stored", nullptr, data);
    const auto warnings = pdf.numWarnings();
    // This overload answers whether the data could be read.
    bool filtered = false;
    if (!stream.pipeStreamData(&sink, &filtered, 0, qpdf_dl_none, false, false) ||
        pdf.numWarnings() != warnings) {
        return std::nullopt;
    }
    return data;
}

bool copiedAsStored(QPDFObjectHandle stream) {
    auto dict = stream.getDict();
    return !dict.isDictionaryOfType("/ObjStm") && !dict.isDictionaryOfType("/XRef") &&
           !hasCryptFilter(dict) && writerCopiesStreamAsRead(stream);
}

std::string writtenStream(QPDFObjGen og, QPDFObjectHandle dict, const std::string& data) {
    dict.replaceKey("/Length", QPDFObjectHandle::newInteger(static_cast<long long>(data.size())));
    std::string text = std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n";
    text += dict.unparse();
    text += "\nstream\n";
    text += data;
    text += "\nendstream\nendobj\n";
    return text;
}

std::string writtenObject(QPDFObjGen og, QPDFObjectHandle object) {
    return std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n" +
           object.unparseResolved() + "\nendobj\n";
}

bool objectStreamAgrees(QPDFObjectHandle stream, const std::vector<QPDFObjGen>& listed) {
    try {
        auto dict = stream.getDict();
        auto count = dict.getKey("/N");
        if (listed.empty() || dict.hasKey("/Extends") || hasCryptFilter(dict) ||
            !count.isInteger() || count.getIntValue() != static_cast<long long>(listed.size())) {
            return false;
        }
        auto decoded = stream.getStreamData(qpdf_dl_generalized);
        auto input = std::make_shared<BufferInputSource>("object stream", decoded.get());
        QPDFTokenizer tokenizer;
        for (const auto& og : listed) {
            for (int half = 0; half < 2; ++half) {
                const auto token = tokenizer.readToken(input, "object stream", true);
                if (token.getType() != QPDFTokenizer::tt_integer) {
                    return false;
                }
                if (half == 0 && token.getValue() != std::to_string(og.getObj())) {
                    return false;
                }
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::map<int, std::vector<QPDFObjGen>>
objectStreamListings(const std::map<QPDFObjGen, QPDFXRefEntry>& table) {
    std::map<int, std::vector<std::pair<int, QPDFObjGen>>> byStream;
    for (const auto& [og, entry] : table) {
        if (entry.getType() == 2) {
            byStream[entry.getObjStreamNumber()].emplace_back(entry.getObjStreamIndex(), og);
        }
    }
    std::map<int, std::vector<QPDFObjGen>> listings;
    for (auto& [number, listed] : byStream) {
        std::sort(listed.begin(), listed.end());
        auto& members = listings[number];
        for (size_t i = 0; i < listed.size(); ++i) {
            if (listed[i].first != static_cast<int>(i)) {
                members.clear();
                break;
            }
            members.push_back(listed[i].second);
        }
    }
    return listings;
}

std::shared_ptr<LooseObjectPrefetch>
LooseObjectPrefetch::start(QPDF& source, std::shared_ptr<const OpenFile> file,
                           long long maximumBytes, unsigned long long bytesPerObject) {
    try {
        if (maximumBytes <= 0 || !file || !source.isEncrypted() || source.numWarnings() > 0) {
            return nullptr;
        }
        struct stat info {};
        if (::fstat(file->fd(), &info) != 0 || info.st_size >= maximumBytes) {
            return nullptr;
        }
        // It pays for many small objects, where qpdf's time goes into
        // parsing them; the copies it holds until the write (about the file's
        // size) are then small beside qpdf's own objects. For larger objects
        // (long pages) the reading itself is the work, and one thread does it
        // as fast. The trailer's /Size tells the count of objects without
        // copying qpdf's table on this thread.
        auto newest = source.getTrailer(); // the newest section's
        // Only a cross-reference stream lists objects inside object streams:
        // a file whose one section is a table has none.
        if (!newest.hasKey("/Prev") && !newest.hasKey("/XRefStm") &&
            !newest.getKey("/Type").isNameAndEquals("/XRef")) {
            return nullptr;
        }
        auto size = newest.getKey("/Size");
        if (!size.isInteger() || size.getIntValue() <= 0 ||
            static_cast<unsigned long long>(info.st_size) /
                    static_cast<unsigned long long>(size.getIntValue()) >=
                bytesPerObject) {
            return nullptr;
        }
        std::shared_ptr<LooseObjectPrefetch> prefetch(new LooseObjectPrefetch());
        std::string hexKey = QUtil::hex_encode(source.getEncryptionKey());
        std::string trailer = source.getTrailer().unparse();
        try {
            prefetch->thread_ = std::thread(&LooseObjectPrefetch::read, prefetch.get(),
                                            std::move(file), hexKey, std::move(trailer));
        } catch (...) {
            wipe(hexKey);
            throw;
        }
        wipe(hexKey);
        return prefetch;
    } catch (const std::exception&) {
        return nullptr;
    }
}

LooseObjectPrefetch::~LooseObjectPrefetch() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

const LooseObjectPrefetch::Table& LooseObjectPrefetch::table() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return done_; });
    return table_;
}

const LooseObjectPrefetch::Objects* LooseObjectPrefetch::objects() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return done_; });
    return complete_ ? &objects_ : nullptr;
}

void LooseObjectPrefetch::release() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return done_; });
    complete_ = false;
    Objects().swap(objects_);
    Table().swap(table_);
}

void LooseObjectPrefetch::read(std::shared_ptr<const OpenFile> file, std::string hexKey,
                               std::string trailer) {
    Objects objects;
    Table table;
    bool complete = false;
    try {
        auto twin = openWithKeyOnce(file, hexKey);
        // The key is taken unchecked: the twin must read as the source did.
        complete = twin->getTrailer().unparse() == trailer && twin->numWarnings() == 0;
        const auto encryption = twin->getTrailer().getKey("/Encrypt").getObjGen();
        if (complete) {
            table = twin->getXRefTable();
        }
        // Without object streams there is nothing for a copy to carry.
        const auto listings = objectStreamListings(table);
        complete = complete && !listings.empty();
        if (!complete) {
            table.clear();
        }
        for (const auto& [og, entry] : table) {
            {
                std::lock_guard lock(mutex_);
                if (stop_) {
                    complete = false;
                    break;
                }
            }
            if (entry.getType() != 1 || og == encryption) {
                continue;
            }
            auto object = twin->getObject(og);
            Object loose;
            if (object.isNull()) {
                // qpdf's writer writes references to it as null: not written so.
            } else if (object.isStream()) {
                const auto listing = listings.find(og.getGen() == 0 ? og.getObj() : 0);
                if (listing != listings.end() && object.getDict().isDictionaryOfType("/ObjStm")) {
                    if (objectStreamAgrees(object, listing->second)) {
                        const auto data = storedData(*twin, object);
                        if (!data) {
                            complete = false;
                            break;
                        }
                        loose.written = writtenStream(og, object.getDict().shallowCopy(), *data);
                    }
                } else if (copiedAsStored(object)) {
                    const auto data = storedData(*twin, object);
                    if (!data) {
                        complete = false;
                        break;
                    }
                    loose.written = writtenStream(og, object.getDict().shallowCopy(), *data);
                }
            } else {
                loose.written = writtenObject(og, object);
            }
            collectReferences(object, loose.references, true);
            if (twin->numWarnings() > 0) {
                complete = false;
                break;
            }
            objects.emplace(og, std::move(loose));
            // Done with it: the twin need not hold it while it reads on.
            twin->replaceObject(og, QPDFObjectHandle::newNull());
        }
        // Dropped here, on this thread: its objects are freed while the
        // other core goes on.
        twin.reset();
    } catch (const std::exception&) {
        complete = false;
    }
    if (!complete) {
        objects.clear();
        table.clear();
    }
    {
        std::lock_guard lock(mutex_);
        objects_ = std::move(objects);
        table_ = std::move(table);
        complete_ = complete;
        done_ = true;
    }
    ended_.notify_all();
}

} // namespace pdfunlock
