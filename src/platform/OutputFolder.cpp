#include "platform/OutputFolder.h"

#include "platform/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace pdfunlock {

namespace {

// The folder `name` in `parent`, entered without following a link; made
// first when it is missing and `make`.
Descriptor enterOrMake(int parent, const std::string& name, bool make, unsigned permissions) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    Descriptor fd(::openat(parent, name.c_str(), kFlags));
    if (!fd && errno == ENOENT && make) {
        // Another job may make it at the same moment: then it is there.
        if (::mkdirat(parent, name.c_str(), static_cast<mode_t>((permissions & 0777u) | 0700u)) !=
                0 &&
            errno != EEXIST) {
            return fd;
        }
        fd = Descriptor(::openat(parent, name.c_str(), kFlags));
    }
    return fd;
}

} // namespace

std::shared_ptr<OutputFolder> OutputFolder::named(const std::string& path) {
    Descriptor fd(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
    if (!state) {
        return nullptr;
    }
    auto folder = std::make_shared<OutputFolder>(nullptr, path, 0u);
    folder->rootIdentity_ = state->identity;
    folder->root_ = std::make_shared<const HeldFolder>(std::move(fd), path);
    return folder;
}

OutputFolder::~OutputFolder() {
    // A chain thousands of folders deep goes level by level, not by as many
    // nested destructors.
    auto above = std::move(parent_);
    while (above && above.use_count() == 1) {
        above = std::move(above->parent_);
    }
}

std::shared_ptr<OutputFolder> OutputFolder::subfolder(const std::string& name,
                                                      unsigned permissions) {
    return std::make_shared<OutputFolder>(shared_from_this(), name, permissions);
}

std::string OutputFolder::path() const {
    return parent_ ? paths::stringByAppendingPathComponent(parent_->path(), name_) : name_;
}

std::shared_ptr<const HeldFolder> OutputFolder::hold(bool make) const {
    if (!parent_) {
        return root_;
    }
    // Locks are taken from a folder towards the top only.
    std::lock_guard lock(mutex_);
    if (auto held = held_.lock()) {
        return held;
    }
    const auto above = parent_->hold(make);
    if (!above) {
        return nullptr;
    }
    Descriptor fd = enterOrMake(above->descriptor(), name_, make, permissions_);
    const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
    if (!state) {
        return nullptr;
    }
    if (entered_ && state->identity != *entered_) {
        errno = ESTALE; // another folder has taken the name
        return nullptr;
    }
    entered_ = state->identity;
    auto held = std::make_shared<const HeldFolder>(std::move(fd), path());
    held_ = held;
    return held;
}

} // namespace pdfunlock
