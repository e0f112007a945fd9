#include "batch/BatchJobs.h"

#include <algorithm>
#include <utility>

namespace pdfunlock {

void BatchFeed::add(std::vector<std::string> files) {
    std::lock_guard lock(mutex_);
    if (closed_ || stopped_) {
        return;
    }
    files_.insert(files_.end(), std::make_move_iterator(files.begin()),
                  std::make_move_iterator(files.end()));
    changed_.notify_all();
}

void BatchFeed::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

void BatchFeed::stop() {
    // Set before the lock: a job checks it between files without waiting for
    // the window's thread.
    stopped_ = true;
    std::lock_guard lock(mutex_);
    changed_.notify_all();
    if (whenStopped_) {
        whenStopped_();
    }
}

void BatchFeed::whenStopped(std::function<void()> stop) {
    std::lock_guard lock(mutex_);
    whenStopped_ = std::move(stop);
    if (stopped_ && whenStopped_) {
        whenStopped_();
    }
}

BatchFeed::Taken BatchFeed::take(std::size_t most) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || closed_ || taken_ < files_.size(); });
    Taken taken;
    if (stopped_) {
        return taken;
    }
    taken.first = taken_;
    const std::size_t count = std::min(most, files_.size() - taken_);
    taken.files.assign(files_.begin() + static_cast<std::ptrdiff_t>(taken_),
                       files_.begin() + static_cast<std::ptrdiff_t>(taken_ + count));
    taken_ += count;
    return taken;
}

} // namespace pdfunlock
