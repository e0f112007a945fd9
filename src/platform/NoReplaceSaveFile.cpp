#include "platform/NoReplaceSaveFile.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <sys/file.h>
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

std::atomic<bool> hiddenOnly{false};

bool isTemporaryName(const std::string& name) {
    constexpr std::size_t kRandomLetters = 6;
    return name.size() == kTemporaryPrefix.size() + kRandomLetters &&
           name.compare(0, kTemporaryPrefix.size(), kTemporaryPrefix) == 0 &&
           std::all_of(name.begin() + static_cast<long>(kTemporaryPrefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

std::mutex sweptMutex;
std::set<FileIdentity> swept; // the folders removeStaleTemporaries did

// The partial, unprotected copies that killed runs left in the folder: the
// running user's own, of this program's pattern, not links, and not locked
// by a run still writing them. Once a process for each folder.
void removeStaleTemporaries(int folder) {
    const auto state = fileStateOf(folder);
    if (!state) {
        return;
    }
    {
        std::lock_guard lock(sweptMutex);
        if (!swept.insert(state->identity).second) {
            return;
        }
    }
    const HeldFolder listed(Descriptor(::fcntl(folder, F_DUPFD_CLOEXEC, 0)), std::string());
    for (const auto& entry : listed.entries().value_or(std::vector<Entry>{})) {
        if (entry.kind != EntryKind::File || entry.owner != ::geteuid() ||
            !isTemporaryName(entry.name)) {
            continue;
        }
        const Descriptor file(
            ::openat(folder, entry.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
            removeIfSame(folder, entry.name, entry.identity);
        }
    }
}

// The hidden temporary where a folder has no unnamed files: a name of this
// program's pattern that nobody else chose, created by this call alone and
// locked while it lives.
Descriptor createHiddenTemporary(int folder, std::string& name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    removeStaleTemporaries(folder);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = std::string(kTemporaryPrefix);
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        Descriptor fd(::openat(folder, name.c_str(),
                               O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno != EEXIST) {
                name.clear();
                return fd;
            }
            continue;
        }
        // Another run's sweep may have taken it for a leftover between the
        // create and the lock: then the name is gone, and another is chosen.
        struct stat named {};
        const auto created = fileStateOf(fd.get());
        if (::flock(fd.get(), LOCK_EX) == 0 && created &&
            ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == created->identity.inode && named.st_dev == created->identity.device) {
            return fd;
        }
    }
    name.clear();
    errno = EEXIST;
    return Descriptor();
}

} // namespace

void useHiddenTemporariesOnly(bool only) {
    hiddenOnly = only;
    // A test's new folder may have the number of one deleted before.
    std::lock_guard lock(sweptMutex);
    swept.clear();
}

NoReplaceSaveFile::NoReplaceSaveFile(SaveTarget target, unsigned permissions)
    : target_(std::move(target)), permissions_(permissions & 0666) {}

NoReplaceSaveFile::~NoReplaceSaveFile() {
    cancel();
    if (error_ && target_.failure) {
        *target_.failure = error_.value();
    }
}

std::error_code NoReplaceSaveFile::open() {
    errno = 0;
    if (target_.folder) {
        folder_ = target_.folder->descriptor();
        name_ = target_.name;
    } else {
        const std::filesystem::path path(target_.name);
        const std::string dir = path.parent_path().string();
        name_ = path.filename().string();
        ownFolder_ =
            Descriptor(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        folder_ = ownFolder_.get();
        if (folder_ < 0) {
            error_ = lastError();
            return error_;
        }
    }
#ifdef __linux__
    // Read and write: the copy is read back before it is kept.
    fd_ = hiddenOnly ? -1 : ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        return {};
    }
#endif
    // No unnamed files here: a hidden name that only this process knows.
    fd_ = createHiddenTemporary(folder_, tempName_).release();
    const auto created = fd_ >= 0 ? fileStateOf(fd_) : std::nullopt;
    if (created) {
        tempIdentity_ = created->identity;
    } else {
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

// Hands each finished megabyte to the disk while the rest is written, so that
// the sync at the end has little left to wait for and the writer is not
// throttled by a pile of dirty pages.
void NoReplaceSaveFile::startWriteback() {
#ifdef __linux__
    constexpr long long kStretch = 1024 * 1024;
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
    return error_ ? -1 : fd_;
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

// The mode before the umask, less the group's bits when the file cannot
// be given the group it must have.
unsigned NoReplaceSaveFile::finalMode() {
    unsigned mode = permissions_ & ~static_cast<unsigned>(currentUmask());
    struct stat info {};
    if (target_.group && ::fstat(fd_, &info) == 0 && info.st_gid != *target_.group &&
        ::fchown(fd_, static_cast<uid_t>(-1), static_cast<gid_t>(*target_.group)) != 0) {
        mode &= ~070u;
    }
    return mode;
}

// link(2) fails with EEXIST rather than replace: that is the no-replace rule.
bool NoReplaceSaveFile::link() {
    if (!tempName_.empty()) {
        return ::linkat(folder_, tempName_.c_str(), folder_, name_.c_str(), 0) == 0;
    }
#ifdef __linux__
    const auto self = "/proc/self/fd/" + std::to_string(fd_);
    return ::linkat(AT_FDCWD, self.c_str(), folder_, name_.c_str(), AT_SYMLINK_FOLLOW) == 0;
#else
    errno = ENOTSUP;
    return false;
#endif
}

std::error_code NoReplaceSaveFile::commit() {
    if (fd_ < 0) {
        fail(EBADF);
        return error_;
    }
    if (!error_) {
        flush();
    }
    errno = 0;
    if (!error_ && ::fchmod(fd_, static_cast<mode_t>(finalMode())) != 0) {
        error_ = lastError();
    }
    if (!error_) {
        const BlockingWait wait(target_.waits);
        if (::fsync(fd_) != 0) {
            error_ = lastError();
        }
    }
    const auto saved = fileStateOf(fd_);
    bool linked = false;
    if (!error_) {
        linked = link();
        if (!linked) {
            error_ = lastError();
        }
    }
    // A hidden temporary has a name others could swap: what got linked must
    // be this file, else the name is left to whoever put theirs there.
    struct stat now {};
    if (linked && !tempName_.empty() &&
        (!saved || ::fstatat(folder_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
         FileIdentity{static_cast<unsigned long long>(now.st_dev),
                      static_cast<unsigned long long>(now.st_ino)} != saved->identity)) {
        linked = false;
        error_ = {EEXIST, std::generic_category()};
    }
    // A close that fails may mean the data never reached the disk.
    const bool closed = ::close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (linked && (!closed || !saved)) {
        if (saved) {
            removeIfSame(folder_, name_, saved->identity);
        }
        error_ = {closed ? EIO : closeError, std::generic_category()};
        linked = false;
    }
    cancel(); // the temporary name, if any
    if (linked) {
        const BlockingWait wait(target_.waits);
        ::fsync(folder_); // best effort: some file systems refuse it on folders
        if (target_.written) {
            *target_.written = saved->identity;
        }
    }
    return error_;
}

void NoReplaceSaveFile::cancel() {
    if (!tempName_.empty()) {
        // Only while the name still holds this file: the folder may be
        // shared, and the name taken over by someone else's file.
        removeIfSame(folder_, tempName_, tempIdentity_);
        tempName_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    buffer_.clear();
}

} // namespace pdfunlock
