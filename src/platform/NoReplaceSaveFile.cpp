#include "platform/NoReplaceSaveFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfunlock {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

std::error_code lastError(int fallback = EIO) {
    return {errno != 0 ? errno : fallback, std::generic_category()};
}

mode_t currentUmask() {
#ifdef __linux__
    // Read without changing it: other threads may create files meanwhile.
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

void syncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: some file systems refuse it on directories
        ::close(fd);
    }
}

} // namespace

NoReplaceSaveFile::NoReplaceSaveFile(std::string path, unsigned permissions)
    : path_(std::move(path)), permissions_(permissions & 0666) {
    dir_ = std::filesystem::path(path_).parent_path().string();
    if (dir_.empty()) {
        dir_ = ".";
    }
}

NoReplaceSaveFile::~NoReplaceSaveFile() {
    cancel();
}

std::error_code NoReplaceSaveFile::open() {
    errno = 0;
#ifdef __linux__
    // Read and write: the copy is read back before it is kept.
    fd_ = ::open(dir_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        return {};
    }
#endif
    // No unnamed files here: a hidden name that only this process knows.
    tempName_ = dir_ + "/.pdfunlock-XXXXXX";
    fd_ = ::mkstemp(tempName_.data());
    if (fd_ < 0) {
        tempName_.clear();
        error_ = lastError();
    }
    return error_;
}

void NoReplaceSaveFile::write(const unsigned char* data, std::size_t length) {
    if (error_ || fd_ < 0) {
        if (!error_) {
            fail(EBADF);
        }
        return;
    }
    // Callers hand over a few bytes at a time: gather them, so that a large
    // file costs thousands of write(2) calls, not millions.
    if (buffer_.size() + length > kBufferSize) {
        flush();
    }
    if (length >= kBufferSize) {
        writeAll(data, length);
    } else {
        buffer_.insert(buffer_.end(), data, data + length);
    }
}

void NoReplaceSaveFile::flush() {
    writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

// Every write is checked: a full disk or a size limit must not pass unseen.
// At the end of the file, or over bytes written before from `at` on.
void NoReplaceSaveFile::writeAll(const unsigned char* data, std::size_t length, long long at) {
    const bool appending = at < 0;
    while (length > 0 && !error_) {
        const ssize_t written = appending ? ::write(fd_, data, length)
                                          : ::pwrite(fd_, data, length, static_cast<off_t>(at));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail(written < 0 ? errno : EIO);
            return;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
        (appending ? written_ : at) += written;
    }
    if (appending) {
        startWriteback();
    }
}

// Hands finished stretches of a large file to the disk as they come, so that
// the final fsync has little left to wait for and the writer is not throttled
// by a pile of dirty pages.
void NoReplaceSaveFile::startWriteback() {
#ifdef __linux__
    constexpr long long kStretch = 8 * 1024 * 1024;
    if (written_ - handedOver_ >= kStretch) {
        ::sync_file_range(fd_, handedOver_, written_ - handedOver_, SYNC_FILE_RANGE_WRITE);
        handedOver_ = written_;
    }
#endif
}

int NoReplaceSaveFile::readBack() {
    if (fd_ < 0 || error_) {
        return -1;
    }
    flush();
    const int fd = error_ ? -1 : ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        fail(errno);
    }
    return fd;
}

void NoReplaceSaveFile::overwrite(long long offset, const unsigned char* data, std::size_t length) {
    if (fd_ < 0 || error_) {
        return;
    }
    flush();
    writeAll(data, length, offset);
}

void NoReplaceSaveFile::fail(int error) {
    if (!error_) {
        error_ = {error, std::generic_category()};
    }
}

std::error_code NoReplaceSaveFile::commit() {
    if (fd_ < 0) {
        fail(EBADF);
        return error_;
    }
    if (!error_) {
        flush();
    }
    const auto mode = static_cast<mode_t>(permissions_) & ~currentUmask();
    errno = 0;
    if (!error_ && (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0)) {
        error_ = lastError();
    }
    bool linked = false;
    if (!error_) {
        // link(2) fails with EEXIST rather than replace: that is the no-replace rule.
        if (!tempName_.empty()) {
            linked = ::link(tempName_.c_str(), path_.c_str()) == 0;
        } else {
#ifdef __linux__
            const auto self = "/proc/self/fd/" + std::to_string(fd_);
            linked =
                ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW) == 0;
#endif
        }
        if (!linked) {
            error_ = lastError();
        }
    }
    // A close that fails may mean the data never reached the disk.
    const bool closed = ::close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (linked && !closed) {
        ::unlink(path_.c_str());
        error_ = {closeError, std::generic_category()};
        linked = false;
    }
    cancel(); // the temporary name, if any
    if (linked) {
        syncDirectory(dir_);
    }
    return error_;
}

void NoReplaceSaveFile::cancel() {
    if (!tempName_.empty()) {
        ::unlink(tempName_.c_str());
        tempName_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    buffer_.clear();
}

} // namespace pdfunlock
