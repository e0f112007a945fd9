// A qpdf input source that reads a file with pread through one cached block.
#pragma once

#include <qpdf/InputSource.hh>
#include <string>
#include <vector>

namespace pdfunlock {

// qpdf's own file source seeks and reads through stdio for every object it
// parses: hundreds of thousands of system calls on a large document. This one
// keeps a block of the file and reads with pread, so seeks cost nothing.
class BlockInputSource : public InputSource {
public:
    // Throws QPDFSystemError for a file that cannot be opened, as qpdf does.
    explicit BlockInputSource(const std::string& path);
    ~BlockInputSource() override;
    BlockInputSource(const BlockInputSource&) = delete;
    BlockInputSource& operator=(const BlockInputSource&) = delete;

    std::string const& getName() const override { return name_; }
    qpdf_offset_t tell() override { return position_; }
    void rewind() override { position_ = 0; }
    void unreadCh(char) override;
    void seek(qpdf_offset_t offset, int whence) override;
    size_t read(char* out, size_t length) override;
    qpdf_offset_t findAndSkipNextEOL() override;

private:
    static constexpr size_t kBlockSize = 64 * 1024;

    size_t readAt(char* out, size_t length, qpdf_offset_t offset);
    void closeFile();

    std::string name_;
    int fd_ = -1;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t position_ = 0;
    std::vector<char> block_ = std::vector<char>(kBlockSize);
    qpdf_offset_t blockStart_ = 0;
    qpdf_offset_t blockLength_ = 0;
};

} // namespace pdfunlock
