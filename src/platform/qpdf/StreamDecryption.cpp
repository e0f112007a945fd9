#include "platform/qpdf/StreamDecryption.h"

#include "platform/Secrets.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/StoredObjects.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/md5.h>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QUtil.hh>
#include <stdexcept>
#include <unistd.h>

namespace pdfunlock {

namespace {

constexpr size_t kBlock = AES_BLOCK_SIZE;
// Read and decrypted at a time: the writer holds each stream whole anyway.
constexpr size_t kChunk = 1024 * 1024;

// Key schedules on the stack, zeroed when they go.
struct Schedule {
    union {
        aes128_ctx aes128;
        aes256_ctx aes256{};
    };
    bool wide = false;
    Schedule() = default;
    Schedule(const Schedule&) = delete;
    Schedule& operator=(const Schedule&) = delete;
    ~Schedule() { wipe(reinterpret_cast<char*>(this), sizeof *this); }

    void decrypt(unsigned char* iv, size_t length, unsigned char* out,
                 const unsigned char* in) const {
        if (wide) {
            cbc_decrypt(&aes256, reinterpret_cast<nettle_cipher_func*>(aes256_decrypt), kBlock, iv,
                        length, out, in);
        } else {
            cbc_decrypt(&aes128, reinterpret_cast<nettle_cipher_func*>(aes128_decrypt), kBlock, iv,
                        length, out, in);
        }
    }
};

void readFully(int fd, unsigned char* out, size_t length, long long offset) {
    while (length > 0) {
        const ssize_t got = ::pread(fd, out, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw std::runtime_error("stream data cannot be read");
        }
        out += got;
        length -= static_cast<size_t>(got);
        offset += got;
    }
}

// The crypt filter /StmF names, when the document's streams all use it.
std::string streamMethod(QPDFObjectHandle encrypt) {
    auto name = encrypt.getKey("/StmF");
    if (!name.isName()) {
        return {};
    }
    auto method = encrypt.getKey("/CF").getKey(name.getName()).getKey("/CFM");
    return method.isName() ? method.getName() : std::string();
}

class Provider final : public QPDFObjectHandle::StreamDataProvider {
public:
    explicit Provider(std::shared_ptr<const StreamDecryption> from) : from_(std::move(from)) {}
    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override {
        from_->read(og, *pipeline);
    }

private:
    std::shared_ptr<const StreamDecryption> from_;
};

} // namespace

std::shared_ptr<StreamDecryption> StreamDecryption::of(QPDF& pdf,
                                                       std::shared_ptr<const OpenFile> file) {
    try {
        if (!file || !pdf.isEncrypted() || pdf.numWarnings() > 0) {
            return nullptr;
        }
        auto encrypt = pdf.getTrailer().getKey("/Encrypt");
        auto v = encrypt.getKey("/V");
        const std::string method = streamMethod(encrypt);
        const bool aesv2 = v.isInteger() && v.getIntValue() == 4 && method == "/AESV2";
        const bool aesv3 = v.isInteger() && v.getIntValue() == 5 && method == "/AESV3";
        auto table = pdf.getXRefTable();
        std::shared_ptr<StreamDecryption> decryption(
            new StreamDecryption(pdf, std::move(file), std::move(table), aesv2));
        decryption->key_ = pdf.getEncryptionKey();
        const size_t bytes = decryption->key_.size();
        return (aesv2 && bytes == 16) || (aesv3 && bytes == 32) ? decryption : nullptr;
    } catch (const std::exception&) {
        return nullptr; // what qpdf cannot answer stays its own to decrypt
    }
}

StreamDecryption::StreamDecryption(QPDF& pdf, std::shared_ptr<const OpenFile> file,
                                   std::map<QPDFObjGen, QPDFXRefEntry> table, bool perObjectKeys)
    : pdf_(pdf), file_(std::move(file)), perObjectKeys_(perObjectKeys), table_(std::move(table)) {}

StreamDecryption::~StreamDecryption() {
    wipe(key_);
}

bool StreamDecryption::locate(QPDFObjectHandle stream) {
    try {
        auto dict = stream.getDict();
        const auto og = stream.getObjGen();
        const auto entry = table_.find(og);
        auto length = dict.getKey("/Length");
        if (entry == table_.end() || entry->second.getType() != 1 || !length.isInteger() ||
            length.getIntValue() < static_cast<long long>(2 * kBlock) ||
            length.getIntValue() % static_cast<long long>(kBlock) != 0 ||
            dict.isDictionaryOfType("/XRef") || dict.isDictionaryOfType("/ObjStm") ||
            dict.isDictionaryOfType("/Metadata") || hasCryptFilter(dict) ||
            stream.isDataModified()) {
            return false;
        }
        // As qpdf reads the body: number, generation, obj, a dictionary and
        // the keyword, then CR LF or LF.
        if (!input_) {
            input_ = std::make_shared<BlockInputSource>(file_);
        }
        const auto& input = input_;
        input->seek(entry->second.getOffset(), SEEK_SET);
        QPDFTokenizer tokenizer;
        const auto next = [&] { return tokenizer.readToken(input, "stream"); };
        const auto number = next();
        const auto generation = next();
        if (!number.isInteger() || QUtil::string_to_ll(number.getValue().c_str()) != og.getObj() ||
            !generation.isInteger() ||
            QUtil::string_to_ll(generation.getValue().c_str()) != og.getGen() ||
            !next().isWord("obj")) {
            return false;
        }
        int depth = 0;
        do {
            const auto type = next().getType();
            if (type == QPDFTokenizer::tt_dict_open || type == QPDFTokenizer::tt_array_open) {
                ++depth;
            } else if (type == QPDFTokenizer::tt_dict_close ||
                       type == QPDFTokenizer::tt_array_close) {
                --depth;
            } else if (type == QPDFTokenizer::tt_bad || type == QPDFTokenizer::tt_eof ||
                       depth == 0) {
                return false; // no dictionary first, or one that does not end
            }
        } while (depth > 0);
        char eol[2] = {};
        if (!next().isWord("stream") || input->read(eol, 1) != 1 ||
            (eol[0] == '\r' && input->read(eol + 1, 1) != 1) ||
            !(eol[0] == '\n' || (eol[0] == '\r' && eol[1] == '\n'))) {
            return false;
        }
        const Extent extent{input->tell(), length.getIntValue()};
        input->seek(extent.offset + extent.length, SEEK_SET);
        if (!next().isWord("endstream")) {
            return false;
        }
        located_[og] = extent;
        return true;
    } catch (const std::exception&) {
        return false; // read by qpdf as before
    }
}

void StreamDecryption::read(QPDFObjGen og, Pipeline& out) const {
    const Extent extent = located_.at(og);
    Schedule schedule;
    if (perObjectKeys_) {
        // The file key, the low three bytes of the number and two of the
        // generation, and "sAlT", through MD5.
        unsigned char key[MD5_DIGEST_SIZE];
        const auto n = static_cast<unsigned>(og.getObj());
        const auto g = static_cast<unsigned>(og.getGen());
        const unsigned char suffix[9] = {static_cast<unsigned char>(n),
                                         static_cast<unsigned char>(n >> 8),
                                         static_cast<unsigned char>(n >> 16),
                                         static_cast<unsigned char>(g),
                                         static_cast<unsigned char>(g >> 8),
                                         's',
                                         'A',
                                         'l',
                                         'T'};
        md5_ctx md5;
        md5_init(&md5);
        md5_update(&md5, key_.size(), reinterpret_cast<const unsigned char*>(key_.data()));
        md5_update(&md5, sizeof suffix, suffix);
        md5_digest(&md5, sizeof key, key);
        aes128_set_decrypt_key(&schedule.aes128, key);
        wipe(reinterpret_cast<char*>(key), sizeof key);
        wipe(reinterpret_cast<char*>(&md5), sizeof md5);
    } else {
        schedule.wide = true;
        aes256_set_decrypt_key(&schedule.aes256,
                               reinterpret_cast<const unsigned char*>(key_.data()));
    }
    unsigned char iv[kBlock];
    readFully(file_->fd(), iv, kBlock, extent.offset);
    // Left uninitialized: every byte used is read or decrypted first.
    const size_t buffer = std::min<size_t>(kChunk, static_cast<size_t>(extent.length));
    const std::unique_ptr<unsigned char[]> in(new unsigned char[buffer]);
    const std::unique_ptr<unsigned char[]> plain(new unsigned char[buffer]);
    unsigned char* inBytes = in.get();
    unsigned char* plainBytes = plain.get();
    long long at = extent.offset + static_cast<long long>(kBlock);
    auto left = static_cast<size_t>(extent.length) - kBlock;
    while (left > 0) {
        const size_t size = std::min(left, kChunk);
        readFully(file_->fd(), inBytes, size, at);
        schedule.decrypt(iv, size, plainBytes, inBytes);
        at += static_cast<long long>(size);
        left -= size;
        size_t keep = size;
        if (left == 0) {
            // The last block's padding, as qpdf strips it: its last byte
            // counts the bytes that all hold it.
            const unsigned char* last = plainBytes + size - kBlock;
            const unsigned char pad = last[kBlock - 1];
            bool strip = pad <= kBlock;
            for (size_t i = 1; strip && i <= pad; ++i) {
                strip = last[kBlock - i] == pad;
            }
            keep -= strip ? pad : 0;
        }
        out.write(plainBytes, keep);
    }
    out.finish();
}

bool StreamDecryption::agreesWithQpdf(const std::vector<QPDFObjectHandle>& streams) const {
    const QPDFObjectHandle* smallest = nullptr;
    long long least = 0;
    for (const auto& stream : streams) {
        const auto found = located_.find(stream.getObjGen());
        if (found != located_.end() && (!smallest || found->second.length < least)) {
            smallest = &stream;
            least = found->second.length;
        }
    }
    if (!smallest) {
        return false;
    }
    try {
        const auto warnings = pdf_.numWarnings();
        std::string ours;
        Pl_String sink("decrypted in bulk", nullptr, ours);
        read(smallest->getObjGen(), sink);
        // qpdf's reading: decrypted, not decoded.
        const auto theirs = QPDFObjectHandle(*smallest).getRawStreamData();
        return pdf_.numWarnings() == warnings && theirs->getSize() == ours.size() &&
               std::memcmp(theirs->getBuffer(), ours.data(), ours.size()) == 0;
    } catch (const std::exception&) {
        return false; // left to qpdf
    }
}

size_t StreamDecryption::replace(const std::vector<QPDFObjectHandle>& streams) {
    std::vector<QPDFObjectHandle> located;
    for (const auto& stream : streams) {
        if (locate(stream)) {
            located.push_back(stream);
        }
    }
    if (located.empty() || pdf_.numWarnings() > 0 || !agreesWithQpdf(located)) {
        return 0;
    }
    // Shares this object: the provider outlives the write in the streams.
    auto provider = std::make_shared<Provider>(shared_from_this());
    for (auto& stream : located) {
        // Filters stay as they are: the data comes as read, only decrypted.
        stream.replaceStreamData(provider, QPDFObjectHandle(), QPDFObjectHandle());
    }
    return located.size();
}

} // namespace pdfunlock
