#include "platform/qpdf/CheckedCopies.h"

#include "platform/qpdf/BlockInputSource.h"

#include <algorithm>

namespace pdfunlock {

namespace {

bool same(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool same(const struct stat& a, const struct stat& b) {
#ifdef __APPLE__
    const bool times = same(a.st_mtimespec, b.st_mtimespec) && same(a.st_ctimespec, b.st_ctimespec);
#else
    const bool times = same(a.st_mtim, b.st_mtim) && same(a.st_ctim, b.st_ctim);
#endif
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && times;
}

} // namespace

void CheckedCopies::remember(const std::shared_ptr<CheckedCopy>& copy) {
    struct stat when {};
    if (!copy || ::fstat(copy->file->fd(), &when) != 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    kept_.erase(std::remove_if(kept_.begin(), kept_.end(),
                               [](const Kept& kept) { return kept.copy.expired(); }),
                kept_.end());
    kept_.push_back({when, copy});
}

std::shared_ptr<CheckedCopy> CheckedCopies::take(const OpenFile& file) {
    struct stat now {};
    if (::fstat(file.fd(), &now) != 0) {
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    for (auto kept = kept_.begin(); kept != kept_.end(); ++kept) {
        if (same(kept->when, now)) {
            auto copy = kept->copy.lock();
            kept_.erase(kept);
            return copy;
        }
    }
    return nullptr;
}

} // namespace pdfunlock
