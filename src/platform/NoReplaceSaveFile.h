// Saving a new file that appears complete or not at all, and never in place of
// anything already at its path.
#pragma once

#include "platform/HeldFolder.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pdfunlock {

// Where a folder has no unnamed files, the data goes to a hidden temporary
// named this and six letters or digits, locked while it is written. A run
// killed meanwhile leaves it behind; the next save through a hidden temporary
// in that folder removes those of the running user that nobody holds.
inline constexpr std::string_view kTemporaryPrefix = ".pdfunlock-";

// Tests: save as on a file system without unnamed files, each folder swept
// of stale temporaries again.
void useHiddenTemporariesOnly(bool only);

// The data goes to an unnamed (or hidden) temporary in the target's folder,
// through large checked writes; commit() gives it its mode and group, syncs it
// and links it in under its name, which fails with EEXIST rather than replace
// whatever took the name meanwhile. The folder is opened once (or is the held
// one): every step works in that folder, whatever happens to its path.
// Destroyed without a commit, it leaves nothing behind.
class NoReplaceSaveFile {
public:
    // `permissions` are the new file's mode bits before the umask (0666 at most).
    NoReplaceSaveFile(SaveTarget target, unsigned permissions);
    ~NoReplaceSaveFile();
    NoReplaceSaveFile(const NoReplaceSaveFile&) = delete;
    NoReplaceSaveFile& operator=(const NoReplaceSaveFile&) = delete;

    std::error_code open();
    // Buffered; the first failure sticks, later writes do nothing and commit()
    // answers it.
    void write(const unsigned char* data, std::size_t length);
    const std::error_code& error() const { return error_; }
    // The file written so far, to read it back (-1 after a failure): this
    // object's own descriptor, open until the commit or the cancel.
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
    unsigned finalMode();
    bool link();

    SaveTarget target_;
    std::string name_;     // in the folder
    Descriptor ownFolder_; // the folder of a path target, opened once
    int folder_ = -1;
    unsigned permissions_;
    int fd_ = -1;
    std::string tempName_; // empty for an unnamed temporary
    FileIdentity tempIdentity_;
    std::vector<unsigned char> buffer_;
    long long written_ = 0;
    long long handedOver_ = 0;
    std::error_code error_;
};

} // namespace pdfunlock
