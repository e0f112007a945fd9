// Saving a new file that appears complete or not at all, and never in place of
// anything already at its path.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace pdfunlock {

// The data goes to an unnamed (or hidden) temporary in the target's folder,
// through large checked writes; commit() gives it its mode, syncs it and links
// it in at the path, which fails with EEXIST rather than replace whatever took
// the name meanwhile. Destroyed without a commit, it leaves nothing behind.
class NoReplaceSaveFile {
public:
    // `permissions` are the new file's mode bits before the umask (0666 at most).
    NoReplaceSaveFile(std::string path, unsigned permissions);
    ~NoReplaceSaveFile();
    NoReplaceSaveFile(const NoReplaceSaveFile&) = delete;
    NoReplaceSaveFile& operator=(const NoReplaceSaveFile&) = delete;

    std::error_code open();
    // Buffered; the first failure sticks, later writes do nothing and commit()
    // answers it.
    void write(const unsigned char* data, std::size_t length);
    const std::error_code& error() const { return error_; }
    // What was written so far, through a descriptor of its own that reads
    // it (-1 after a failure); it stays open after the commit.
    int readBack();
    // Puts `length` bytes at `offset`, over bytes written before.
    void overwrite(long long offset, const unsigned char* data, std::size_t length);
    std::error_code commit();
    // Drops what was written; nothing is left behind.
    void cancel();

private:
    void flush();
    void writeAll(const unsigned char* data, std::size_t length, long long at = -1);
    void startWriteback();
    void fail(int error);

    std::string path_;
    std::string dir_;
    unsigned permissions_;
    int fd_ = -1;
    std::string tempName_; // empty for an unnamed temporary
    std::vector<unsigned char> buffer_;
    long long written_ = 0;
    long long handedOver_ = 0;
    std::error_code error_;
};

} // namespace pdfunlock
