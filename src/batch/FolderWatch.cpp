#include "batch/FolderWatch.h"

#include <algorithm>

namespace pdfunlock {

namespace {

// How long the watch waits when nothing is due.
constexpr std::chrono::milliseconds kIdleWait{60000};

} // namespace

bool mayBeUnfinished(const FileResult& result) {
    switch (result.outcome.reason) {
    case FileReason::Damaged:
    case FileReason::Empty:
    case FileReason::ChangedWhileRead:
        return true;
    default:
        return false;
    }
}

FolderWatch::FolderWatch(WatchOptions options, FolderEvents& events, RemovalServices services,
                         StartJob startJob, WatchListener& listener)
    : options_(options), events_(events), startJob_(std::move(startJob)),
      folders_(options.settle, options.output, events, services, listener) {}

FolderWatch::~FolderWatch() {
    for (auto& running : running_) {
        running.run->wait();
    }
}

void FolderWatch::startJobs() {
    while (running_.size() < std::max(1u, options_.jobs) && !stopped_) {
        auto next = folders_.next();
        if (!next) {
            return;
        }
        Running& running = running_.emplace_back(Running{next->first, {}, {}});
        running.run =
            startJob_(std::move(next->second), [this, &running](const FileResult& result) {
                {
                    std::lock_guard lock(resultsMutex_);
                    running.result = result;
                }
                events_.wake();
            });
    }
}

void FolderWatch::reap() {
    for (auto it = running_.begin(); it != running_.end();) {
        bool over = false;
        {
            std::lock_guard lock(resultsMutex_);
            over = it->result.has_value();
        }
        if (!over) {
            ++it;
            continue;
        }
        it->run->wait();
        folders_.finished(it->key, *it->result, mayBeUnfinished(*it->result) && !stopped_);
        it = running_.erase(it);
    }
}

bool FolderWatch::run() {
    while (!stopped_ && !(asked_ && asked_()) && folders_.rootsLeft() > 0) {
        startJobs();
        for (const FolderEvent& event : events_.wait(folders_.untilDue(kIdleWait))) {
            folders_.handle(event);
        }
        reap();
        folders_.settle(WatchedFolders::Clock::now());
    }
    const bool stopped = stopped_ || (asked_ && asked_());
    stopped_ = true;
    // The files under way finish and get their lines, those kept back too;
    // one waiting for another run to let go of it is not started.
    for (auto& running : running_) {
        running.run->cancel();
    }
    while (!running_.empty()) {
        events_.wait(std::chrono::milliseconds(200));
        reap();
    }
    folders_.reportKeptBack();
    return stopped;
}

void FolderWatch::stop() {
    stopped_ = true;
    events_.wake();
}

} // namespace pdfunlock
