#include "batch/BatchRun.h"

#include "platform/Secrets.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace pdfunlock {

void BatchSummary::add(FileReason reason, std::size_t order, const std::string& source) {
    switch (outcomeRow(reason).tally) {
    case Tally::Copied:
        ++copied;
        return;
    case Tally::CopiedBefore:
        ++alreadyDone;
        return;
    case Tally::NotStarted:
        ++notStarted;
        return;
    case Tally::NotCopied:
        break;
    }
    Group& group = notCopied[reason];
    ++group.count;
    const auto at =
        std::lower_bound(group.first.begin(), group.first.end(), std::pair{order, std::string()});
    if (at - group.first.begin() < static_cast<std::ptrdiff_t>(kNamesShown)) {
        group.first.insert(at, {order, source});
        if (group.first.size() > kNamesShown) {
            group.first.pop_back();
        }
    }
}

bool BatchSummary::any(Attention attention) const {
    if (attention == Attention::Needed && notStarted > 0) {
        return true;
    }
    return std::any_of(notCopied.begin(), notCopied.end(), [attention](const auto& group) {
        return outcomeRow(group.first).attention == attention;
    });
}

void WrongPasswordWatch::add(const FileOutcome& outcome) {
    if (outcome.opened) {
        ++opened_;
    } else if (outcome.reason == FileReason::WrongPassword) {
        ++refused_;
    }
}

BatchRun::BatchRun(std::vector<BatchItem> items, std::vector<std::string> passwords,
                   BatchOptions options, BatchServices services, OnFinished onFinished)
    : passwords_(std::move(passwords)), options_(std::move(options)), services_(services),
      onFinished_(std::move(onFinished)), slots_(std::max(1u, options_.jobs)),
      items_(std::make_move_iterator(items.begin()), std::make_move_iterator(items.end())),
      open_(options_.open) {
    summary_.total = items_.size();
}

BatchRun::~BatchRun() {
    cancel();
    wait();
    for (auto& password : passwords_) {
        wipe(password);
    }
}

void BatchRun::start() {
    std::lock_guard lock(mutex_);
    // An open run may grow: as many jobs as asked for. Each has a second
    // thread that takes over while it waits for the disk or another run.
    const std::size_t asked = 2 * static_cast<std::size_t>(std::max(1u, options_.jobs));
    const std::size_t jobs =
        open_ ? asked : std::min<std::size_t>(asked, std::max<std::size_t>(1, items_.size()));
    running_ = jobs;
    for (std::size_t i = 0; i < jobs; ++i) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // The process may start no more threads (a limit on them): the
            // batch runs on those it has, or on the caller's thread in wait.
            running_ = std::max<std::size_t>(i, 1);
            onCaller_ = i == 0;
            break;
        }
    }
}

void BatchRun::add(std::vector<BatchItem> items) {
    std::lock_guard lock(mutex_);
    summary_.total += items.size();
    items_.insert(items_.end(), std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
    changed_.notify_all();
}

void BatchRun::noMoreFiles() {
    std::lock_guard lock(mutex_);
    open_ = false;
    changed_.notify_all();
}

void BatchRun::cancel() {
    cancelled_ = true;
    // Under the lock, so that a job about to wait for more files sees it.
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

void BatchRun::work() {
    while (step()) {
    }
    std::lock_guard lock(mutex_);
    --running_;
    changed_.notify_all();
}

bool BatchRun::step() {
    for (;;) {
        // The files in their order, waiting for more while the run is open;
        // then those another run was handling, waited for this time.
        std::size_t index = 0;
        bool lastPass = false;
        const BatchItem* taken = nullptr;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return cancelled_ || next_ < items_.size() || !open_; });
            if (cancelled_ || (next_ == items_.size() && busy_.empty())) {
                return false;
            }
        }
        const JobSlots::Held slot(slots_);
        {
            std::lock_guard lock(mutex_);
            if (cancelled_) {
                return false;
            }
            if (next_ < items_.size()) {
                index = next_++;
            } else if (!open_ && !busy_.empty()) {
                lastPass = true;
                index = busy_.front();
                busy_.pop_front();
            } else {
                continue; // another job took it meanwhile
            }
            taken = &items_[index];
        }
        const BatchItem& item = *taken;
        FileResult result{item.path, {}, std::nullopt, index};
        try {
            FileOutcome outcome = unlockFile(
                item, passwords_, RemovalServices{services_.pdf, services_.files, services_.log},
                FileJobOptions{options_.again, lastPass, &cancelled_, &slots_});
            if (outcome.busy) {
                std::lock_guard lock(mutex_);
                busy_.push_back(index);
                continue;
            }
            result.outcome = std::move(outcome);
        } catch (const std::exception&) {
            // Out of memory for this file: it failed, the others go on.
        }
        if (result.outcome.opened && *result.outcome.opened < options_.entryNumbers.size()) {
            result.entry = options_.entryNumbers[*result.outcome.opened];
        }
        finish(std::move(result));
        return true;
    }
}

void BatchRun::finish(FileResult result) {
    std::lock_guard lock(mutex_);
    summary_.add(result.outcome.reason, result.order, result.source);
    ++finished_;
    watch_.add(result.outcome);
    if (options_.stopOnWrongPassword && watch_.allRefused() && !cancelled_) {
        summary_.stoppedOnWrongPassword = true;
        cancelled_ = true;
    }
    if (onFinished_) {
        onFinished_(result);
    }
    changed_.notify_all();
}

std::size_t BatchRun::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

std::vector<FileResult> BatchRun::notStarted() const {
    std::lock_guard lock(mutex_);
    std::vector<std::size_t> never(busy_.begin(), busy_.end());
    // Every index handed out was started, but for those left to wait for.
    for (std::size_t i = next_; i < items_.size(); ++i) {
        never.push_back(i);
    }
    std::sort(never.begin(), never.end());
    std::vector<FileResult> results;
    for (const std::size_t i : never) {
        FileOutcome outcome;
        outcome.reason = FileReason::NotStarted;
        results.push_back({items_[i].path, std::move(outcome), std::nullopt, i});
    }
    return results;
}

std::size_t BatchRun::total() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

bool BatchRun::over() const {
    return running_ == 0;
}

bool BatchRun::waitFor(std::chrono::milliseconds timeout) {
    if (onCaller_) {
        // One file per call: the caller still looks at signals between files.
        const bool more = step();
        std::lock_guard lock(mutex_);
        running_ = more ? 1 : 0;
        return over();
    }
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return over(); });
}

BatchSummary BatchRun::wait() {
    while (onCaller_ && !waitFor(std::chrono::milliseconds(0))) {
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return over(); });
    }
    if (!joined_) {
        for (auto& worker : workers_) {
            worker.join();
        }
        joined_ = true;
        // Every job is out: nothing reads the passwords any more.
        for (auto& password : passwords_) {
            wipe(password);
        }
    }
    std::lock_guard lock(mutex_);
    BatchSummary summary = summary_;
    summary.cancelled = cancelled_;
    // Those never started, besides those given up while waiting for a lock.
    summary.notStarted += summary.total - finished_;
    return summary;
}

BatchSummary runBatch(std::vector<BatchItem> items, std::vector<std::string> passwords,
                      BatchOptions options, BatchServices services,
                      BatchRun::OnFinished onFinished) {
    BatchRun run(std::move(items), std::move(passwords), std::move(options), services,
                 std::move(onFinished));
    run.start();
    return run.wait();
}

} // namespace pdfunlock
