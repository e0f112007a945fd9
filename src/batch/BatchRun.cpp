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
    : items_(std::move(items)), passwords_(std::move(passwords)), options_(std::move(options)),
      services_(services), onFinished_(std::move(onFinished)) {
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
    const std::size_t jobs =
        std::min<std::size_t>(std::max(1u, options_.jobs), std::max<std::size_t>(1, items_.size()));
    std::lock_guard lock(mutex_);
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

void BatchRun::cancel() {
    cancelled_ = true;
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
        if (cancelled_) {
            return false;
        }
        // The files in their order; then those another run was handling,
        // waited for this time.
        std::size_t index = next_++;
        const bool lastPass = index >= items_.size();
        if (lastPass) {
            std::lock_guard lock(mutex_);
            if (busy_.empty()) {
                return false;
            }
            index = busy_.front();
            busy_.pop_front();
        }
        const BatchItem& item = items_[index];
        FileResult result{item.path, {}, std::nullopt, index};
        try {
            FileOutcome outcome = unlockFile(
                item, passwords_, RemovalServices{services_.pdf, services_.files, services_.log},
                FileJobOptions{options_.again, lastPass, &cancelled_});
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
    for (std::size_t i = std::min(next_.load(), items_.size()); i < items_.size(); ++i) {
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
