// Reading a PDF file: the file opened once, and qpdf input sources over it.
#pragma once

#include "platform/HeldFolder.h"

#include <atomic>
#include <memory>
#include <qpdf/InputSource.hh>
#include <string>
#include <vector>

namespace pdfunlock {

// A file opened once and kept open: whatever later happens to its name
// (renamed, replaced, deleted), every parse reads the file that was opened.
class OpenFile {
public:
    // Throws QPDFSystemError for a file that cannot be opened, as qpdf does.
    static std::shared_ptr<const OpenFile> open(const std::string& path);
    // The file the caller opened, on a descriptor of its own; throws as open.
    static std::shared_ptr<const OpenFile> adopt(int fd, const std::string& name);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    // As it was when opened.
    const FileState& opened() const { return opened_; }
    // Whether a read found the file shorter than at the open: qpdf takes
    // such a read for damage and goes on, so no copy of it may be kept.
    bool shortened() const { return shortened_; }

private:
    friend class BlockInputSource;
    OpenFile(std::string name, int fd, FileState opened)
        : name_(std::move(name)), fd_(fd), opened_(opened) {}
    static std::shared_ptr<const OpenFile> checked(const std::string& name, int fd);
    std::string name_;
    int fd_;
    FileState opened_;
    mutable std::atomic<bool> shortened_{false};
};

// qpdf's own file source seeks and reads through stdio for every object it
// parses: hundreds of thousands of system calls on a large document. This one
// keeps a block of the file and reads with pread, so seeks cost nothing, and
// any number of them read one open file, each with a position of its own.
class BlockInputSource : public InputSource {
public:
    // Throws QPDFSystemError when the file cannot be examined.
    explicit BlockInputSource(std::shared_ptr<const OpenFile> file);
    ~BlockInputSource() override = default;
    BlockInputSource(const BlockInputSource&) = delete;
    BlockInputSource& operator=(const BlockInputSource&) = delete;

    std::string const& getName() const override { return name_; }
    qpdf_offset_t tell() override { return position_; }
    void rewind() override { position_ = 0; }
    void unreadCh(char) override;
    void seek(qpdf_offset_t offset, int whence) override;
    // Throws QPDFExc (damaged) when the file ends before the size it had at
    // the open: it was cut meanwhile.
    size_t read(char* out, size_t length) override;
    qpdf_offset_t findAndSkipNextEOL() override;

private:
    static constexpr size_t kBlockSize = 64 * 1024;

    size_t readAt(char* out, size_t length, qpdf_offset_t offset);

    std::shared_ptr<const OpenFile> file_;
    const std::string& name_;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t position_ = 0;
    std::vector<char> block_ = std::vector<char>(kBlockSize);
    qpdf_offset_t blockStart_ = 0;
    qpdf_offset_t blockLength_ = 0;
};

} // namespace pdfunlock
