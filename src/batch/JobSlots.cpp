#include "batch/JobSlots.h"

namespace pdfunlock {

void JobSlots::take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return free_ > 0 && returning_ == 0; });
    --free_;
}

void JobSlots::give() {
    {
        std::lock_guard lock(mutex_);
        ++free_;
    }
    changed_.notify_all();
}

// A job back from a wait may hold a document open: it finishes before
// another file is opened.
void JobSlots::resumed() {
    std::unique_lock lock(mutex_);
    ++returning_;
    changed_.wait(lock, [this] { return free_ > 0; });
    --returning_;
    --free_;
    lock.unlock();
    changed_.notify_all(); // new files may wait for no job to be returning
}

} // namespace pdfunlock
