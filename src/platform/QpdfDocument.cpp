#include "platform/QpdfDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <map>
#include <qpdf/InputSource.hh>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pdfunlock {
namespace {

std::shared_ptr<QPDF> quietQpdf() {
    auto pdf = std::make_shared<QPDF>();
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    pdf->setLogger(logger);
    pdf->setSuppressWarnings(true);
    pdf->setAttemptRecovery(true);
    return pdf;
}

// qpdf's own file source seeks and reads through stdio for every object it
// parses: hundreds of thousands of system calls on a large document. This one
// keeps a block of the file and reads with pread, so seeks cost nothing.
class BlockInputSource : public InputSource {
public:
    // Throws QPDFSystemError for a file that cannot be opened, as qpdf does.
    explicit BlockInputSource(const std::string& path) : name_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
            const int error = errno;
            closeFile();
            throw QPDFSystemError("open " + path, error);
        }
        size_ = info.st_size;
    }
    ~BlockInputSource() override { closeFile(); }
    BlockInputSource(const BlockInputSource&) = delete;
    BlockInputSource& operator=(const BlockInputSource&) = delete;

    std::string const& getName() const override { return name_; }
    qpdf_offset_t tell() override { return position_; }
    void rewind() override { position_ = 0; }
    void unreadCh(char) override {
        if (position_ > 0) {
            --position_;
        }
    }
    void seek(qpdf_offset_t offset, int whence) override {
        qpdf_offset_t target = offset;
        if (whence == SEEK_CUR) {
            target += position_;
        } else if (whence == SEEK_END) {
            target += size_;
        }
        if (target < 0) {
            throw QPDFSystemError("seek " + name_, EINVAL);
        }
        position_ = target;
    }

    size_t read(char* out, size_t length) override {
        last_offset = position_;
        size_t done = 0;
        while (done < length) {
            if (position_ < blockStart_ || position_ >= blockStart_ + blockLength_) {
                if (length - done >= kBlockSize) {
                    // Large reads (stream data) bypass the block.
                    const size_t got = readAt(out + done, length - done, position_);
                    position_ += static_cast<qpdf_offset_t>(got);
                    return done + got;
                }
                blockStart_ = position_;
                blockLength_ =
                    static_cast<qpdf_offset_t>(readAt(block_.data(), block_.size(), position_));
                if (blockLength_ == 0) {
                    break;
                }
            }
            const auto available = static_cast<size_t>(blockStart_ + blockLength_ - position_);
            const size_t take = std::min(available, length - done);
            std::memcpy(out + done, block_.data() + (position_ - blockStart_), take);
            done += take;
            position_ += static_cast<qpdf_offset_t>(take);
        }
        return done;
    }

    // Positions after the end of line (CR, LF or both) that follows the
    // current position, and answers where that end of line began.
    qpdf_offset_t findAndSkipNextEOL() override {
        char chunk[4096];
        while (true) {
            const qpdf_offset_t start = tell();
            const size_t got = read(chunk, sizeof chunk);
            if (got == 0) {
                return tell();
            }
            const char* begin = chunk;
            const char* end = chunk + got;
            const char* eol =
                std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            if (eol == end) {
                continue;
            }
            const qpdf_offset_t result = start + (eol - chunk);
            seek(result + 1, SEEK_SET);
            char c = 0;
            while (read(&c, 1) == 1) {
                if (c != '\r' && c != '\n') {
                    unreadCh(c);
                    break;
                }
            }
            return result;
        }
    }

private:
    static constexpr size_t kBlockSize = 64 * 1024;

    size_t readAt(char* out, size_t length, qpdf_offset_t offset) {
        while (true) {
            const ssize_t got = ::pread(fd_, out, length, static_cast<off_t>(offset));
            if (got >= 0) {
                return static_cast<size_t>(got);
            }
            if (errno != EINTR) {
                throw QPDFSystemError("read " + name_, errno);
            }
        }
    }
    void closeFile() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    std::string name_;
    int fd_ = -1;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t position_ = 0;
    std::vector<char> block_ = std::vector<char>(kBlockSize);
    qpdf_offset_t blockStart_ = 0;
    qpdf_offset_t blockLength_ = 0;
};

void processPath(QPDF& pdf, const std::string& path, const char* password) {
    pdf.processInputSource(std::make_shared<BlockInputSource>(path), password);
}

void wipe(std::string& secret) {
    // volatile so the stores survive the string being freed right after.
    volatile char* bytes = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) {
        bytes[i] = 0;
    }
    secret.clear();
}

// qpdf reads the header before the cross-reference table and the encryption
// dictionary, so this also answers for a file that then wanted a password.
PDFVersion headerVersion(const QPDF& pdf) {
    int major = 1;
    int minor = 0;
    std::sscanf(pdf.getPDFVersion().c_str(), "%d.%d", &major, &minor);
    return {major, minor};
}

// A page and the qpdf document it lives in. Holding the document keeps the
// page readable: qpdf copies a foreign page's stream data only when writing.
struct PageRef {
    std::shared_ptr<QPDF> owner;
    QPDFObjectHandle page;
};

class QpdfPage : public PDFPage {
public:
    explicit QpdfPage(PageRef page) : ref(std::move(page)) {}
    PageRef ref;
};

// The page order, kept outside qpdf until the page tree is needed. qpdf's
// insert before an existing page costs time in the page count; a backwards
// copy inserts every page at one index, so those insertions only grow a run
// that is spliced in, reversed, at once.
class PageOrder {
public:
    size_t size() const { return pages_.size() + run_.size(); }

    const PageRef& at(size_t index) const {
        if (run_.empty() || index < runAt_) {
            return pages_[index];
        }
        if (index < runAt_ + run_.size()) {
            return run_[run_.size() - 1 - (index - runAt_)];
        }
        return pages_[index - run_.size()];
    }

    void insert(PageRef ref, size_t index) {
        if (!run_.empty() && index != runAt_) {
            flush();
        }
        runAt_ = index;
        run_.push_back(std::move(ref));
    }

    std::vector<PageRef>& flattened() {
        flush();
        return pages_;
    }

private:
    void flush() {
        pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(runAt_),
                      std::make_move_iterator(run_.rbegin()), std::make_move_iterator(run_.rend()));
        run_.clear();
    }

    std::vector<PageRef> pages_;
    std::vector<PageRef> run_; // in insertion order: the last one comes first
    size_t runAt_ = 0;
};

// Indirect references would mean nothing once parsed back, perhaps into
// another document, so arrays and dictionaries are spelled out in full.
// Shared or circular references (a damaged /Info pointing into the page tree)
// would make that exponential: `budget` counts objects and bytes spelled out,
// and whatever is past it becomes null.
constexpr long kUnparseBudget = 1 << 14;

std::string unparseDirect(QPDFObjectHandle object, long& budget, int depth = 0) {
    if (depth > 32 || --budget < 0 || object.isStream()) {
        return "null";
    }
    if (object.isArray()) {
        std::string text = "[";
        for (auto& item : object.aitems()) {
            text += " " + unparseDirect(item, budget, depth + 1);
        }
        return text + " ]";
    }
    if (object.isDictionary()) {
        std::string text = "<<";
        for (auto& [key, value] : object.ditems()) {
            text += " " + QPDFObjectHandle::newName(key).unparse() + " " +
                    unparseDirect(value, budget, depth + 1);
        }
        return text + " >>";
    }
    auto text = object.unparseResolved();
    budget -= static_cast<long>(text.size());
    return budget < 0 ? "null" : text;
}

AttributeValue toAttribute(QPDFObjectHandle value) {
    if (value.isString()) {
        return value.getUTF8Value();
    }
    if (value.isInteger()) {
        return value.getIntValue();
    }
    if (value.isReal()) {
        return value.getNumericValue();
    }
    if (value.isBool()) {
        return value.getBoolValue();
    }
    if (value.isName()) {
        return PDFName{value.getName().substr(1)};
    }
    long budget = kUnparseBudget;
    return PDFOtherValue{unparseDirect(value, budget)};
}

QPDFObjectHandle toObject(const AttributeValue& value) {
    struct Convert {
        QPDFObjectHandle operator()(const std::string& text) const {
            return QPDFObjectHandle::newUnicodeString(text);
        }
        QPDFObjectHandle operator()(long long number) const {
            return QPDFObjectHandle::newInteger(number);
        }
        QPDFObjectHandle operator()(double number) const {
            return QPDFObjectHandle::newReal(number);
        }
        QPDFObjectHandle operator()(bool flag) const { return QPDFObjectHandle::newBool(flag); }
        QPDFObjectHandle operator()(const PDFName& name) const {
            return QPDFObjectHandle::newName("/" + name.name);
        }
        QPDFObjectHandle operator()(const PDFOtherValue& other) const {
            return QPDFObjectHandle::parse(other.unparsed, "document attribute");
        }
    };
    return std::visit(Convert{}, value);
}

// A page tree entry that is not a dictionary makes qpdf warn; ask first.
QPDFObjectHandle keyOf(QPDFObjectHandle dictionary, const std::string& key) {
    return dictionary.isDictionary() ? dictionary.getKey(key) : QPDFObjectHandle::newNull();
}

// Resolves a named destination through the catalog's /Dests or /Names /Dests.
QPDFObjectHandle explicitDestination(QPDF& pdf, QPDFObjectHandle dest) {
    if (dest.isName()) {
        dest = keyOf(keyOf(pdf.getRoot(), "/Dests"), dest.getName());
    } else if (dest.isString()) {
        auto tree = keyOf(keyOf(pdf.getRoot(), "/Names"), "/Dests");
        QPDFObjectHandle found;
        if (tree.isDictionary() &&
            QPDFNameTreeObjectHelper(tree, pdf, false).findObject(dest.getUTF8Value(), found)) {
            dest = found;
        }
    }
    if (dest.isDictionary()) {
        dest = dest.getKey("/D");
    }
    return dest;
}

class FdPipeline : public Pipeline {
public:
    explicit FdPipeline(int fd) : Pipeline("output file", nullptr), fd_(fd) {}
    using Pipeline::write;
    // qpdf hands over a few bytes at a time: gather them, so that a large
    // scan costs thousands of write(2) calls, not millions.
    void write(unsigned char const* data, size_t len) override {
        if (buffer_.size() + len > kBufferSize) {
            flush();
        }
        if (len >= kBufferSize) {
            writeAll(data, len);
        } else {
            buffer_.insert(buffer_.end(), data, data + len);
        }
    }
    // qpdf may finish its pipelines while unwinding, where an exception would
    // end the process: remember the failure instead and let the caller ask.
    void finish() override {
        try {
            flush();
        } catch (const std::exception&) {
            failed_ = true;
        }
    }
    bool failed() const { return failed_; }

private:
    static constexpr size_t kBufferSize = 256 * 1024;

    void flush() {
        writeAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    // qpdf's stdio output misses some write errors; every write(2) is checked here.
    void writeAll(unsigned char const* data, size_t len) {
        while (len > 0) {
            const ssize_t written = ::write(fd_, data, len);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                throw std::system_error(written < 0 ? errno : EIO, std::generic_category(),
                                        "write");
            }
            data += written;
            len -= static_cast<size_t>(written);
            written_ += static_cast<off_t>(written);
        }
        startWriteback();
    }

    // Hand finished stretches of a large copy to the disk as they come, so
    // that the final fsync has little left to wait for and the writer is not
    // throttled by a pile of dirty pages.
    void startWriteback() {
#ifdef __linux__
        constexpr off_t kStretch = 8 * 1024 * 1024;
        if (written_ - handedOver_ >= kStretch) {
            ::sync_file_range(fd_, handedOver_, written_ - handedOver_, SYNC_FILE_RANGE_WRITE);
            handedOver_ = written_;
        }
#endif
    }

    int fd_;
    off_t written_ = 0;
    off_t handedOver_ = 0;
    std::vector<unsigned char> buffer_;
    bool failed_ = false;
};

mode_t currentUmask() {
#ifdef __linux__
    // Read without changing it: Qt has threads that may create files meanwhile.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        }
    }
#endif
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Returns -1 on failure; `name` is left empty for an unnamed file.
int openTemporary(const std::string& dir, std::string& name) {
#ifdef __linux__
    const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        return fd;
    }
#endif
    name = dir + "/.pdfunlock-XXXXXX";
    const int named = ::mkstemp(name.data());
    if (named < 0) {
        name.clear();
    }
    return named;
}

// link(2) fails with EEXIST rather than replace: that is the no-replace rule.
bool linkInto(int fd, const std::string& name, const std::string& path) {
    if (!name.empty()) {
        return ::link(name.c_str(), path.c_str()) == 0;
    }
#ifdef __linux__
    const auto self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
#else
    (void)fd;
    return false;
#endif
}

void syncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: some file systems refuse it on directories
        ::close(fd);
    }
}

bool writeNewFile(const std::string& path, unsigned permissions,
                  const std::function<void(Pipeline&)>& produce) {
    auto dir = std::filesystem::path(path).parent_path().string();
    if (dir.empty()) {
        dir = ".";
    }
    const auto mode = static_cast<mode_t>(permissions & 0666) & ~currentUmask();
    std::string name;
    const int fd = openTemporary(dir, name);
    if (fd < 0) {
        return false;
    }
    bool linked = false;
    try {
        FdPipeline out(fd);
        produce(out);
        out.finish(); // the writer finishes its pipeline, but say it here too
        linked = !out.failed() && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0 &&
                 linkInto(fd, name, path);
    } catch (const std::exception&) {
    }
    if (!name.empty()) {
        ::unlink(name.c_str());
    }
    if (::close(fd) != 0 && linked) {
        ::unlink(path.c_str());
        linked = false;
    }
    if (linked) {
        syncDirectory(dir);
    }
    return linked;
}

class QpdfDocument : public PDFDocument {
public:
    // Opened from a file; locked until adopt() or unlockWithPassword().
    QpdfDocument(std::string path, PDFVersion version, bool damaged)
        : path_(std::move(path)), url_(absolute(path_)), version_(version), damaged_(damaged) {}
    // A new, empty document.
    explicit QpdfDocument(std::shared_ptr<QPDF> pdf) : version_(headerVersion(*pdf)) {
        adopt(std::move(pdf));
    }

    void adopt(std::shared_ptr<QPDF> pdf) {
        pages_ = {};
        pagesRead_ = false;
        damaged_ = damaged_ || pdf->numWarnings() > 0;
        pdf_ = std::move(pdf);
    }

    // Reading the page tree parses every page object, as long as a plain
    // open on a large document: done once, when the pages are first needed.
    void readPages() const {
        if (pagesRead_ || !pdf_) {
            return;
        }
        pagesRead_ = true;
        try {
            size_t index = 0;
            for (auto& page : QPDFPageDocumentHelper(*pdf_).getAllPages()) {
                pages_.insert({pdf_, page.getObjectHandle()}, index++);
            }
        } catch (const std::exception&) {
            pages_ = {};
            damaged_ = true;
        }
        damaged_ = damaged_ || pdf_->numWarnings() > 0;
    }

    bool isLocked() const override { return !pdf_; }
    int majorVersion() const override { return version_.getMajor(); }
    int minorVersion() const override { return version_.getMinor(); }

    bool unlockWithPassword(const std::string& password) override {
        if (!isLocked()) {
            return true;
        }
        // qpdf takes a C string: text with a NUL would be cut there and could
        // match a shorter password, the empty one included.
        if (password.find('\0') != std::string::npos) {
            return false;
        }
        // Older handlers compare PDFDocEncoding bytes, newer ones UTF-8; try
        // the typed text first, then its other encodings, as qpdf's own tool does.
        auto candidates = QUtil::possible_repaired_encodings(password);
        bool unlocked = false;
        for (auto& candidate : candidates) {
            unlocked = unlocked || openWith(candidate);
            wipe(candidate);
        }
        return unlocked;
    }

    bool allowsPrinting() const override { return allows(&QPDF::allowPrintLowRes); }
    bool allowsCopying() const override { return allows(&QPDF::allowExtractAll); }
    bool allowsCommenting() const override { return allows(&QPDF::allowModifyAnnotation); }
    bool allowsFormFieldEntry() const override { return allows(&QPDF::allowModifyForm); }
    bool allowsDocumentChanges() const override { return allows(&QPDF::allowModifyOther); }
    bool allowsDocumentAssembly() const override { return allows(&QPDF::allowModifyAssembly); }
    bool allowsContentAccessibility() const override { return allows(&QPDF::allowAccessibility); }

    std::optional<DocumentAttributes> documentAttributes() const override {
        if (!pdf_) {
            return std::nullopt;
        }
        try {
            auto info = pdf_->getTrailer().getKey("/Info");
            if (!info.isDictionary()) {
                return std::nullopt;
            }
            DocumentAttributes attributes;
            for (auto& [key, value] : info.ditems()) {
                if (!value.isNull()) {
                    attributes.emplace(key.substr(1), toAttribute(value));
                }
            }
            return attributes;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) override {
        if (!pdf_) {
            return;
        }
        try {
            if (!attributes) {
                pdf_->getTrailer().removeKey("/Info");
                return;
            }
            auto info = QPDFObjectHandle::newDictionary();
            for (const auto& [key, value] : *attributes) {
                try {
                    info.replaceKey("/" + key, toObject(value));
                } catch (const std::exception&) {
                    // Text that does not parse as a PDF object is left out.
                }
            }
            pdf_->getTrailer().replaceKey("/Info", pdf_->makeIndirectObject(info));
        } catch (const std::exception&) {
        }
    }

    int pageCount() const override {
        readPages();
        return pdf_ ? static_cast<int>(pages_.size()) : 0;
    }

    int declaredPageCount() const override {
        if (!pdf_) {
            return 0;
        }
        try {
            auto count = pdf_->getRoot().getKey("/Pages").getKey("/Count");
            if (count.isInteger() && count.getIntValue() >= 0 &&
                count.getIntValue() <= std::numeric_limits<int>::max()) {
                return static_cast<int>(count.getIntValue());
            }
        } catch (const std::exception&) {
        }
        return -1;
    }

    std::shared_ptr<PDFPage> pageAtIndex(int index) override {
        if (!pdf_ || index < 0 || index >= pageCount()) {
            return nullptr;
        }
        return std::make_shared<QpdfPage>(pages_.at(static_cast<size_t>(index)));
    }

    void insertPage(const std::shared_ptr<PDFPage>& page, int index) override {
        const auto* from = dynamic_cast<const QpdfPage*>(page.get());
        if (!pdf_ || !from || index < 0 || index > pageCount()) {
            return;
        }
        // The extension level of the source describes its encryption, which
        // the copy does not carry.
        version_.updateIfGreater(headerVersion(*from->ref.owner));
        pages_.insert(from->ref, static_cast<size_t>(index));
        treeOutdated_ = true;
    }

    std::optional<std::string> documentURL() const override { return url_; }

    bool writeToFile(const std::string& path, unsigned permissions) override {
        if (!pdf_) {
            return false;
        }
        std::shared_ptr<QPDF> whole;
        try {
            whole = wholeSource();
        } catch (const std::exception&) {
        }
        if (whole) {
            return writeNewFile(path, permissions,
                                [this, &whole](Pipeline& out) { writeWhole(*whole, out); });
        }
        try {
            buildPageTree();
        } catch (const std::exception&) {
            // Write what there is; the caller checks the result.
        }
        return writeNewFile(path, permissions, [this](Pipeline& out) { write(*pdf_, out); });
    }

    // Whatever qpdf had to repair so far, also while the copy read it.
    bool isDamaged() const override { return damaged_ || (pdf_ && pdf_->numWarnings() > 0); }

private:
    // Made absolute once, against the directory current at opening, as a
    // file URL would be; symbolic links stay as they are.
    static std::optional<std::string> absolute(const std::string& path) {
        std::error_code error;
        auto result = std::filesystem::absolute(path, error);
        return error ? path : result.string();
    }

    bool allows(bool (QPDF::*permission)()) const {
        if (!pdf_) {
            return false;
        }
        try {
            // Readers grant everything to whoever gave the owner password.
            return pdf_->ownerPasswordMatched() || ((*pdf_).*permission)();
        } catch (const std::exception&) {
            return false;
        }
    }

    bool openWith(const std::string& password) {
        auto pdf = quietQpdf();
        try {
            processPath(*pdf, path_, password.c_str());
        } catch (const std::exception&) {
            return false;
        }
        damaged_ = false;
        adopt(std::move(pdf));
        return true;
    }

    void write(QPDF& pdf, Pipeline& out) const {
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&out);
        writer.setPreserveEncryption(false);
        // Stream data goes across as the source has it, only decrypted:
        // decoding and re-encoding every page would change nothing but the
        // time taken.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setMinimumPDFVersion(version_);
        writer.write();
    }

    // The usual copy is one whole document, page for page, into a new one.
    // That document can then be written as it stands under a catalog of our
    // own, instead of copying every page object across first: the pages are
    // the very same objects, so links between them hold by themselves.
    std::shared_ptr<QPDF> wholeSource() {
        readPages();
        const auto& order = pages_.flattened();
        if (order.empty() || order.front().owner == pdf_) {
            return nullptr;
        }
        const auto owner = order.front().owner;
        const auto& ownPages = owner->getAllPages();
        if (ownPages.size() != order.size()) {
            return nullptr;
        }
        for (size_t i = 0; i < order.size(); ++i) {
            if (order[i].owner != owner || order[i].page.getObjGen() != ownPages[i].getObjGen()) {
                return nullptr;
            }
        }
        // Its page tree goes out as it stands, so it must say what it holds;
        // qpdf reads past a wrong /Count, other readers do not.
        const auto leaves = countedLeaves(owner->getRoot().getKey("/Pages"), 0);
        if (!leaves || *leaves != order.size()) {
            return nullptr;
        }
        return owner;
    }

    // The pages under a page tree node, if every node's /Count agrees.
    static std::optional<size_t> countedLeaves(QPDFObjectHandle node, int depth) {
        if (depth > 64 || !node.isDictionary()) {
            return std::nullopt;
        }
        if (node.getKey("/Type").isNameAndEquals("/Page")) {
            return 1;
        }
        auto kids = node.getKey("/Kids");
        auto count = node.getKey("/Count");
        if (!kids.isArray() || !count.isInteger()) {
            return std::nullopt;
        }
        size_t total = 0;
        for (auto& kid : kids.aitems()) {
            const auto below = countedLeaves(kid, depth + 1);
            if (!below) {
                return std::nullopt;
            }
            total += *below;
        }
        if (count.getIntValue() != static_cast<long long>(total)) {
            return std::nullopt;
        }
        return total;
    }

    // Writes `source` with only its pages (and the named destinations their
    // links may use) and this document's information. The source's trailer is
    // lent for the write and put back as it was.
    void writeWhole(QPDF& source, Pipeline& out) const {
        auto trailer = source.getTrailer();
        const auto saved = trailer.getDictAsMap();
        struct Restore {
            QPDFObjectHandle trailer;
            const std::map<std::string, QPDFObjectHandle>& saved;
            ~Restore() {
                for (const auto& key : trailer.getKeys()) {
                    trailer.removeKey(key);
                }
                for (const auto& [key, value] : saved) {
                    trailer.replaceKey(key, value);
                }
            }
        } restore{trailer, saved};

        auto root = source.getRoot();
        auto catalog = QPDFObjectHandle::newDictionary();
        catalog.replaceKey("/Type", QPDFObjectHandle::newName("/Catalog"));
        catalog.replaceKey("/Pages", root.getKey("/Pages"));
        if (root.getKey("/Dests").isDictionary()) {
            catalog.replaceKey("/Dests", root.getKey("/Dests"));
        }
        if (auto names = root.getKey("/Names"); names.isDictionary() && names.hasKey("/Dests")) {
            auto onlyDests = QPDFObjectHandle::newDictionary();
            onlyDests.replaceKey("/Dests", names.getKey("/Dests"));
            catalog.replaceKey("/Names", onlyDests);
        }
        for (const auto& key : trailer.getKeys()) {
            // The writer fills in /Size and decides about /ID and /Encrypt.
            if (key != "/Size" && key != "/ID" && key != "/Encrypt") {
                trailer.removeKey(key);
            }
        }
        trailer.replaceKey("/Root", source.makeIndirectObject(catalog));
        if (auto info = pdf_->getTrailer().getKey("/Info"); info.isDictionary()) {
            trailer.replaceKey("/Info", source.makeIndirectObject(
                                            QPDFObjectHandle::parse(info.unparseResolved())));
        }
        write(source, out);
    }

    // Copies foreign pages in and rebuilds the page tree in our order, only
    // ever appending, which qpdf does in constant time per page.
    void buildPageTree() {
        readPages();
        if (!treeOutdated_) {
            return;
        }
        treeOutdated_ = false;
        QPDFPageDocumentHelper tree(*pdf_);
        auto current = tree.getAllPages();
        for (auto page = current.rbegin(); page != current.rend(); ++page) {
            tree.removePage(*page); // from the end: nothing after it moves
        }
        std::set<QPDFObjGen> placed;
        for (auto& ref : pages_.flattened()) {
            auto page = ref.owner == pdf_ ? ref.page : copyIn(ref);
            if (!placed.insert(page.getObjGen()).second) {
                // qpdf refuses the same page object twice in one tree.
                page = QPDFPageObjectHelper(page).shallowCopyPage().getObjectHandle();
            }
            tree.addPage(page, false);
            ref = {pdf_, page};
        }
        relinkCopies();
    }

    QPDFObjectHandle copyIn(const PageRef& ref) {
        auto& source = sources_[ref.owner.get()];
        source.pdf = ref.owner;
        // What the page inherits from its parents would stay behind otherwise.
        ref.owner->pushInheritedAttributesToPage();
        auto copy = pdf_->copyForeignObject(ref.page);
        source.copies.try_emplace(ref.page.getObjGen(), ref.page, copy);
        return copy;
    }

    // qpdf does not follow a link into a page it is not copying, so a link to
    // a page copied later comes out null. Point every link between copied
    // pages of one source at the copy of its target.
    void relinkCopies() {
        for (auto& [key, source] : sources_) {
            for (auto& [og, pair] : source.copies) {
                auto from = keyOf(pair.first, "/Annots");
                auto to = keyOf(pair.second, "/Annots");
                if (!from.isArray() || !to.isArray()) {
                    continue;
                }
                const int count = std::min(from.getArrayNItems(), to.getArrayNItems());
                for (int i = 0; i < count; ++i) {
                    try {
                        relink(source, from.getArrayItem(i), to.getArrayItem(i));
                    } catch (const std::exception&) {
                        // A link we cannot follow keeps whatever qpdf made of it.
                    }
                }
            }
        }
    }

    struct Source {
        std::shared_ptr<QPDF> pdf;
        // source page → (that page, its copy here)
        std::map<QPDFObjGen, std::pair<QPDFObjectHandle, QPDFObjectHandle>> copies;
    };

    static void relink(Source& source, QPDFObjectHandle from, QPDFObjectHandle to) {
        if (!from.isDictionary() || !to.isDictionary() ||
            !from.getKey("/Subtype").isNameAndEquals("/Link")) {
            return;
        }
        if (auto dest = copiedDestination(source, from.getKey("/Dest")); dest.isArray()) {
            to.replaceKey("/Dest", dest);
        }
        auto action = from.getKey("/A");
        auto copiedAction = to.getKey("/A");
        if (action.isDictionary() && copiedAction.isDictionary() &&
            action.getKey("/S").isNameAndEquals("/GoTo")) {
            if (auto dest = copiedDestination(source, action.getKey("/D")); dest.isArray()) {
                copiedAction.replaceKey("/D", dest);
            }
        }
    }

    // The destination rewritten to the copy of its target page, or null when
    // the target was not copied here.
    static QPDFObjectHandle copiedDestination(Source& source, QPDFObjectHandle dest) {
        dest = explicitDestination(*source.pdf, dest);
        if (!dest.isArray() || dest.getArrayNItems() == 0) {
            return QPDFObjectHandle::newNull();
        }
        auto target = source.copies.find(dest.getArrayItem(0).getObjGen());
        if (!dest.getArrayItem(0).isIndirect() || target == source.copies.end()) {
            return QPDFObjectHandle::newNull();
        }
        auto copied = QPDFObjectHandle::newArray({target->second.second});
        long budget = kUnparseBudget;
        for (int i = 1; i < dest.getArrayNItems(); ++i) {
            copied.appendItem(QPDFObjectHandle::parse(unparseDirect(dest.getArrayItem(i), budget)));
        }
        return copied;
    }

    std::string path_; // as given, to reopen; empty for a new document
    std::optional<std::string> url_;
    PDFVersion version_;
    mutable bool damaged_ = false;
    std::shared_ptr<QPDF> pdf_; // null while locked
    mutable PageOrder pages_;
    mutable bool pagesRead_ = false;
    bool treeOutdated_ = false;
    std::map<QPDF*, Source> sources_;
};

} // namespace

std::shared_ptr<PDFDocument> QpdfDocumentService::initWithURL(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    auto pdf = quietQpdf();
    try {
        processPath(*pdf, path, "");
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() != qpdf_e_password) {
            return nullptr; // damaged beyond recovery or not a PDF at all
        }
        return std::make_shared<QpdfDocument>(path, headerVersion(*pdf), pdf->numWarnings() > 0);
    } catch (const std::exception&) {
        return nullptr; // missing or unreadable (QPDFSystemError)
    }
    auto document =
        std::make_shared<QpdfDocument>(path, headerVersion(*pdf), pdf->numWarnings() > 0);
    // The empty text may have matched only as the owner password; readers
    // still ask for a password then.
    if (!pdf->isEncrypted() || pdf->userPasswordMatched()) {
        document->adopt(std::move(pdf));
    }
    return document;
}

QpdfDocumentService::QpdfDocumentService() {
#ifdef __GLIBC__
    // qpdf gathers each stream of a scan (often half a megabyte) in a fresh
    // buffer. By default glibc hands such blocks back to the kernel when
    // freed, so every page of every image is faulted in and zeroed again;
    // keeping them in the heap lets the next stream reuse them.
    static const bool tuned = [] {
        ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        ::mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)tuned;
#endif
}

std::shared_ptr<PDFDocument> QpdfDocumentService::init() {
    try {
        auto pdf = quietQpdf();
        pdf->emptyPDF();
        return std::make_shared<QpdfDocument>(std::move(pdf));
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace pdfunlock
