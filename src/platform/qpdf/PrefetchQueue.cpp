#include "platform/qpdf/PrefetchQueue.h"

#include <system_error>

namespace pdfunlock {

PrefetchQueue::PrefetchQueue(std::vector<std::size_t> sizes, std::size_t budget, Reader writerReads)
    : sizes_(std::move(sizes)), budget_(budget), writerReads_(std::move(writerReads)),
      states_(sizes_.size(), State::Waiting), ready_(sizes_.size()) {}

PrefetchQueue::~PrefetchQueue() {
    stop();
}

void PrefetchQueue::start(std::function<Reader()> open) {
    try {
        thread_ = std::thread([this, open = std::move(open)] { run(open); });
    } catch (const std::system_error&) {
        // No second thread: the writer reads every stream itself.
        std::lock_guard<std::mutex> lock(mutex_);
        opened_ = true;
    }
}

void PrefetchQueue::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    opened_ = true; // nobody to wait for any more
}

// With the lock held: the next waiting stream, if the budget has room for it.
std::optional<std::size_t> PrefetchQueue::claim() {
    while (next_ < sizes_.size() && states_[next_] != State::Waiting) {
        ++next_;
    }
    if (stopping_ || next_ == sizes_.size() || heldBytes_ + sizes_[next_] > budget_) {
        return std::nullopt;
    }
    states_[next_] = State::Working;
    heldBytes_ += sizes_[next_];
    return next_++;
}

// Reads a claimed stream without the lock; true if it is ready.
bool PrefetchQueue::produce(std::unique_lock<std::mutex>& lock, const Reader& reader,
                            std::size_t index) {
    lock.unlock();
    std::string data;
    bool ok = false;
    try {
        ok = reader(index, data);
    } catch (...) {
        // Whatever went wrong, the stream is the writer's to read.
        ok = false;
    }
    lock.lock();
    if (ok) {
        ready_[index] = std::move(data);
        states_[index] = State::Ready;
    } else {
        heldBytes_ -= sizes_[index];
        states_[index] = State::Failed;
    }
    changed_.notify_all();
    return ok;
}

bool PrefetchQueue::take(std::size_t index, std::string& data) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (index >= sizes_.size()) {
        return false;
    }
    while (true) {
        switch (states_[index]) {
        case State::Ready:
            data = std::move(ready_[index]);
            ready_[index] = std::string();
            heldBytes_ -= sizes_[index];
            states_[index] = State::Done;
            changed_.notify_all();
            return true;
        case State::Waiting:
            if (!opened_) {
                changed_.wait(lock);
                break;
            }
            states_[index] = State::Done;
            return false;
        case State::Working:
            if (auto ahead = claim()) {
                produce(lock, writerReads_, *ahead);
            } else {
                changed_.wait(lock);
            }
            break;
        case State::Failed:
        case State::Done:
            return false;
        }
    }
}

void PrefetchQueue::run(const std::function<Reader()>& open) {
    Reader reader;
    try {
        reader = open();
    } catch (...) {
        // No reader of its own: the writer reads every stream.
        reader = nullptr;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    // The first stream is claimed under the same lock that lets the writer
    // in: the worker always reads at least one, whatever the timing.
    opened_ = true;
    changed_.notify_all();
    bool failed = !reader;
    while (!failed && !stopping_) {
        if (auto index = claim()) {
            failed = !produce(lock, reader, *index);
        } else if (next_ == sizes_.size()) {
            break;
        } else {
            changed_.wait(lock);
        }
    }
    if (failed) {
        for (auto& state : states_) {
            if (state == State::Waiting) {
                state = State::Failed;
            }
        }
        changed_.notify_all();
    }
}

} // namespace pdfunlock
