#include "platform/qpdf/DocumentWriter.h"

#include "platform/NoReplaceSaveFile.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/SinglePassStreams.h"

#include <qpdf/QPDFCryptoProvider.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>

namespace pdfunlock {

namespace {

// The second /ID element qpdf's writer gives when told to fix it.
constexpr unsigned char kFixedIdentifier[16] = {0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93,
                                                0x23, 0x84, 0x62, 0x64, 0x33, 0x83, 0x27, 0x95};

std::string hexString(const std::string& bytes) {
    return QPDFObjectHandle::newString(bytes).unparseBinary();
}

constexpr size_t kLargeWrite = 4096;

// qpdf's writer output into a save file, noting where `pattern` last
// begins. qpdf may finish its pipelines while unwinding, where an exception
// would end the process: failures stay in the file, which the caller asks.
class SaveFilePipeline : public Pipeline {
public:
    SaveFilePipeline(NoReplaceSaveFile& file, std::string pattern)
        : Pipeline("output file", nullptr), file_(file), pattern_(std::move(pattern)) {}
    using Pipeline::write;
    void write(unsigned char const* data, size_t len) override {
        if (!pattern_.empty()) {
            watch(std::string_view(reinterpret_cast<const char*>(data), len));
        }
        file_.write(data, len);
        written_ += static_cast<long long>(len);
    }
    void finish() override {}
    long long lastMatch() const { return match_; }

private:
    // Stream data comes in large writes, the trailer's words in small ones:
    // only these are searched.
    void watch(std::string_view text) {
        if (text.size() > kLargeWrite) {
            tail_.clear();
            return;
        }
        const size_t keep = pattern_.size() - 1;
        // A match that begins in what came before.
        const std::string edge = tail_ + std::string(text.substr(0, keep));
        for (auto at = edge.find(pattern_); at != std::string::npos && at < tail_.size();
             at = edge.find(pattern_, at + 1)) {
            match_ = written_ - static_cast<long long>(tail_.size() - at);
        }
        for (auto at = text.find(pattern_); at != std::string_view::npos;
             at = text.find(pattern_, at + 1)) {
            match_ = written_ + static_cast<long long>(at);
        }
        tail_ += std::string(text.substr(text.size() > keep ? text.size() - keep : 0));
        if (tail_.size() > keep) {
            tail_.erase(0, tail_.size() - keep);
        }
    }

    NoReplaceSaveFile& file_;
    const std::string pattern_;
    std::string tail_;
    long long written_ = 0;
    long long match_ = -1;
};

} // namespace

void writeUnencrypted(QPDF& pdf, Pipeline& out, const PDFVersion& minimum,
                      const BeforeWrite& beforeWrite, bool eachStreamOnce) {
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&out);
    writer.setPreserveEncryption(false);
    // Stream data goes across as the source has it, only decrypted: decoding
    // and re-encoding every page would change nothing but the time taken.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setMinimumPDFVersion(minimum);
    // Two unlocks of one source give one copy, so copies can be compared.
    // The first /ID element is the source's when it has one, and names the
    // document; the second then is qpdf's fixed one, which writeNewFile
    // replaces. Deriving it from the content instead hashes the whole copy
    // on the writer's thread, half as long again as the rest of a large
    // scan's write.
    auto id = pdf.getTrailer().getKey("/ID");
    if (id.isArray() && id.getArrayNItems() == 2 && id.getArrayItem(0).isString() &&
        !id.getArrayItem(0).getStringValue().empty()) {
        writer.setStaticID(true);
    } else {
        writer.setDeterministicID(true);
    }
    std::optional<SinglePassStreams> singlePass;
    if (eachStreamOnce) {
        singlePass.emplace(pdf);
    }
    if (beforeWrite) {
        beforeWrite(singlePass ? singlePass->copiedAsRead() : std::vector<QPDFObjectHandle>{});
    }
    writer.write();
}

std::optional<CopyIdentifier> copyIdentifier(QPDF& source, const OpenFile* file, size_t pages) {
    auto id = source.getTrailer().getKey("/ID");
    if (!id.isArray() || id.getArrayNItems() != 2 || !id.getArrayItem(0).isString() ||
        id.getArrayItem(0).getStringValue().empty()) {
        return std::nullopt;
    }
    CopyIdentifier identifier{id.getArrayItem(0).getStringValue(), {}};
    auto second = id.getArrayItem(1);
    struct stat info {};
    const long long size = file && ::fstat(file->fd(), &info) == 0 ? info.st_size : -1;
    // The encryption dictionary's salted hashes tell apart documents that
    // share an identifier and a size.
    std::string seed = identifier.first + '\0' +
                       (second.isString() ? second.getStringValue() : "") + '\0' +
                       std::to_string(size) + '\0' + std::to_string(pages) + '\0' +
                       source.getTrailer().getKey("/Encrypt").unparseResolved();
    auto md5 = QPDFCryptoProvider::getImpl();
    md5->MD5_init();
    md5->MD5_update(reinterpret_cast<const unsigned char*>(seed.data()), seed.size());
    md5->MD5_finalize();
    QPDFCryptoImpl::MD5_Digest digest;
    md5->MD5_digest(digest);
    identifier.second.assign(reinterpret_cast<const char*>(digest), sizeof digest);
    return identifier;
}

Written writeNewFile(const SaveTarget& path, unsigned permissions,
                     const std::function<void(Pipeline&)>& produce,
                     const std::optional<CopyIdentifier>& identifier,
                     const std::function<bool(std::shared_ptr<const OpenFile>)>& check) {
    NoReplaceSaveFile file(path, permissions);
    if (file.open()) {
        return Written::Failed;
    }
    const std::string fixed(reinterpret_cast<const char*>(kFixedIdentifier),
                            sizeof kFixedIdentifier);
    const auto first = identifier ? hexString(identifier->first) : std::string();
    SaveFilePipeline out(file, identifier ? first + hexString(fixed) : std::string());
    try {
        produce(out);
    } catch (const std::exception&) {
        // The file cleans up after itself.
        return file.error() ? Written::Failed : Written::Rejected;
    }
    if (identifier && out.lastMatch() >= 0) {
        const auto hex = QUtil::hex_encode(identifier->second);
        file.overwrite(out.lastMatch() + static_cast<long long>(first.size()) + 1,
                       reinterpret_cast<const unsigned char*>(hex.data()), hex.size());
    }
    const int readable = file.readBack();
    if (readable < 0) {
        return Written::Failed;
    }
    std::shared_ptr<const OpenFile> written;
    try {
        written = OpenFile::adopt(readable, path.name);
    } catch (const QPDFSystemError& error) {
        // No descriptor left to read it back with: the system's reason.
        if (path.failure) {
            *path.failure = error.getErrno();
        }
        return Written::Failed;
    }
    if (!check(written)) {
        return Written::Rejected;
    }
    return file.commit() ? Written::Failed : Written::Kept;
}

} // namespace pdfunlock
