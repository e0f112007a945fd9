#include "platform/HeldFolder.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pdfunlock {

namespace {

// Folders kept held by FoundFolder::keepHeld, in the whole process.
std::atomic<std::size_t> keptFolders{0};

FileIdentity identityOf(const struct stat& info) {
    return {static_cast<unsigned long long>(info.st_dev),
            static_cast<unsigned long long>(info.st_ino)};
}

long long nanoseconds(const struct timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

Entry entryOf(const std::string& name, const struct stat& info) {
    const EntryKind kind = S_ISLNK(info.st_mode)   ? EntryKind::Link
                           : S_ISREG(info.st_mode) ? EntryKind::File
                           : S_ISDIR(info.st_mode) ? EntryKind::Folder
                                                   : EntryKind::Other;
    return {name, kind, identityOf(info), static_cast<unsigned>(info.st_uid)};
}

// The descriptor, if it names the folder `expected` (when given).
Descriptor checkedFolder(Descriptor fd, std::optional<FileIdentity> expected) {
    struct stat info {};
    if (fd && (::fstat(fd.get(), &info) != 0 || !S_ISDIR(info.st_mode))) {
        return Descriptor();
    }
    if (fd && expected && identityOf(info) != *expected) {
        errno = ESTALE; // another folder has taken the name
        return Descriptor();
    }
    return fd;
}

} // namespace

namespace {

FileState stateFromStat(const struct stat& info) {
    FileState state;
    state.identity = identityOf(info);
    state.size = static_cast<long long>(info.st_size);
#ifdef __APPLE__
    state.modifiedNs = nanoseconds(info.st_mtimespec);
    state.changedNs = nanoseconds(info.st_ctimespec);
#else
    state.modifiedNs = nanoseconds(info.st_mtim);
    state.changedNs = nanoseconds(info.st_ctim);
#endif
    state.permissions = static_cast<unsigned>(info.st_mode & 07777);
    state.owner = static_cast<unsigned>(info.st_uid);
    state.group = static_cast<unsigned>(info.st_gid);
    return state;
}

} // namespace

std::optional<FileState> fileStateOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return stateFromStat(info);
}

Descriptor::~Descriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.release();
    }
    return *this;
}

int Descriptor::release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::string HeldFolder::pathOf(const std::string& name) const {
    return paths::stringByAppendingPathComponent(path_, name);
}

std::optional<std::vector<Entry>> HeldFolder::entries() const {
    // A description of its own: its reading position is nobody else's.
    Descriptor own(::openat(fd_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = own ? ::fdopendir(own.get()) : nullptr;
    if (!dir) {
        return std::nullopt;
    }
    own.release();
    std::vector<Entry> found;
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* listed = ::readdir(dir);
        if (!listed) {
            complete = errno == 0;
            break;
        }
        const std::string name = listed->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        // A name gone since it was listed is simply not there.
        if (auto seen = entry(name)) {
            found.push_back(std::move(*seen));
        }
    }
    ::closedir(dir);
    if (!complete) {
        return std::nullopt;
    }
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return found;
}

std::optional<Entry> HeldFolder::entry(const std::string& name) const {
    struct stat info {};
    if (::fstatat(fd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return entryOf(name, info);
}

std::optional<FileState> HeldFolder::stateOf(const std::string& name) const {
    struct stat info {};
    if (::fstatat(fd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return stateFromStat(info);
}

bool HeldFolder::leadsToFolder(const std::string& name) const {
    struct stat info {};
    return ::fstatat(fd_.get(), name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode);
}

std::unique_ptr<HeldFolder> HeldFolder::enter(const std::string& name, FileIdentity expected,
                                              std::string path) const {
    Descriptor fd =
        checkedFolder(Descriptor(::openat(fd_.get(), name.c_str(),
                                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)),
                      expected);
    if (!fd) {
        return nullptr;
    }
    return std::make_unique<HeldFolder>(std::move(fd), std::move(path));
}

Descriptor HeldFolder::openFile(const std::string& name, bool followLink) const {
    // Without O_NONBLOCK a pipe with no writer would hold the open forever.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW);
    Descriptor fd(::openat(fd_.get(), name.c_str(), flags));
    struct stat info {};
    if (fd && ::fstat(fd.get(), &info) != 0) {
        return Descriptor();
    }
    if (fd && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return Descriptor();
    }
    return fd;
}

bool HeldFolder::removeIfSame(const std::string& name, FileIdentity written) const {
    return pdfunlock::removeIfSame(fd_.get(), name, written);
}

bool removeIfSame(int folder, const std::string& name, FileIdentity expected) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && identityOf(info) == expected &&
           ::unlinkat(folder, name.c_str(), 0) == 0;
}

std::string HeldFolder::currentPathOf(const std::string& name, FileIdentity written) const {
    const std::string shown = pathOf(name);
    struct stat info {};
    if (::stat(shown.c_str(), &info) == 0 && identityOf(info) == written) {
        return shown;
    }
    // The folder was moved or a name above it replaced since it was found.
    char where[PATH_MAX + 1];
#ifdef __linux__
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    const ssize_t length = ::readlink(self.c_str(), where, PATH_MAX);
    if (length > 0 && where[0] == '/') {
        return paths::stringByAppendingPathComponent(
            std::string(where, static_cast<std::size_t>(length)), name);
    }
#elif defined(F_GETPATH)
    if (::fcntl(fd_.get(), F_GETPATH, where) == 0) {
        return paths::stringByAppendingPathComponent(where, name);
    }
#else
    (void)where;
#endif
    return shown;
}

std::shared_ptr<FoundFolder> FoundFolder::named(const std::string& path) {
    Descriptor fd = checkedFolder(
        Descriptor(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
        std::nullopt);
    const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
    if (!state) {
        return nullptr;
    }
    return std::make_shared<FoundFolder>(nullptr, path, state->identity);
}

FoundFolder::~FoundFolder() {
    if (kept_) {
        --keptFolders;
    }
    // A chain thousands of folders deep is let go of level by level here,
    // not by as many nested destructors.
    auto above = std::move(parent_);
    while (above && above.use_count() == 1) {
        above = std::move(above->parent_);
    }
}

std::size_t keepsLeft() {
    rlimit limit{};
    std::size_t allowed = 1000;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        allowed = std::min(allowed, static_cast<std::size_t>(limit.rlim_cur) / 4);
    }
    const std::size_t kept = keptFolders.load();
    return allowed > kept ? allowed - kept : 0;
}

void FoundFolder::keepHeld(std::shared_ptr<const HeldFolder> held) {
    std::lock_guard lock(mutex_);
    if (!kept_ && held && keepsLeft() > 0) {
        kept_ = std::move(held);
        held_ = kept_;
        ++keptFolders;
    }
}

std::shared_ptr<FoundFolder> FoundFolder::subfolder(const std::string& name,
                                                    FileIdentity identity) {
    return std::make_shared<FoundFolder>(shared_from_this(), name, identity);
}

std::string FoundFolder::path() const {
    std::vector<const FoundFolder*> chain;
    for (const FoundFolder* level = this; level; level = level->parent_.get()) {
        chain.push_back(level);
    }
    // Names hold no separator: past the named folder's, each is one more
    // "/name", whatever the length.
    std::string path = chain.back()->name_;
    for (auto level = chain.rbegin() + 1; level != chain.rend(); ++level) {
        if (level == chain.rbegin() + 1) {
            path = paths::stringByAppendingPathComponent(path, (*level)->name_);
        } else {
            path.append("/").append((*level)->name_);
        }
    }
    return path;
}

std::string FoundFolder::pathOf(const std::string& name) const {
    return paths::stringByAppendingPathComponent(path(), name);
}

std::shared_ptr<const HeldFolder> FoundFolder::hold() const {
    std::lock_guard lock(mutex_);
    if (auto held = held_.lock()) {
        return held;
    }
    auto held = openAgain();
    held_ = held;
    return held;
}

std::shared_ptr<const HeldFolder> FoundFolder::openAgain() const {
    if (!parent_) {
        Descriptor fd = checkedFolder(Descriptor(::open(name_.empty() ? "." : name_.c_str(),
                                                        O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                                      identity_);
        return fd ? std::make_shared<const HeldFolder>(std::move(fd), name_) : nullptr;
    }
    // Down from the nearest folder above that is held now (else the named
    // one), one name at a time: no link followed, each folder the one found.
    // Locks are taken from a folder towards the top only, never the other way.
    std::vector<const FoundFolder*> below{this};
    std::shared_ptr<const HeldFolder> current;
    for (const FoundFolder* above = parent_.get(); !current; above = above->parent_.get()) {
        if (!above->parent_) {
            current = above->hold();
            if (!current) {
                return nullptr;
            }
            break;
        }
        {
            std::lock_guard lock(above->mutex_);
            current = above->held_.lock();
        }
        if (!current) {
            below.push_back(above);
        }
    }
    for (auto level = below.rbegin(); level != below.rend(); ++level) {
        // Only the last one's path is ever shown.
        std::shared_ptr<const HeldFolder> next = current->enter(
            (*level)->name_, (*level)->identity_, *level == this ? path() : std::string());
        if (!next) {
            return nullptr;
        }
        current = std::move(next);
    }
    return current;
}

std::optional<Entry> inspectPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return entryOf(paths::lastPathComponent(path), info);
}

FileLock lockExclusive(int fd, bool wait, const std::atomic<bool>* cancel) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return FileLock::Held;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            return FileLock::Held; // no such locks on this file system: handled unlocked
        }
        if (!wait) {
            return FileLock::Busy;
        }
        if (cancel && cancel->load()) {
            return FileLock::Cancelled;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace pdfunlock
