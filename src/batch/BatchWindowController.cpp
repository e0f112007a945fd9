#include "batch/BatchWindowController.h"

#include "batch/BatchReport.h"
#include "batch/BatchWindowReport.h"
#include "platform/Paths.h"
#include "platform/Secrets.h"

#include <algorithm>
#include <utility>

namespace pdfunlock {

BatchWindowController::BatchWindowController(BatchWindowServices services,
                                             BatchWindowOutlets outlets)
    : services_(services), outlets_(outlets), inbox_(std::make_shared<Inbox>()) {
    inbox_->owner = this;
}

BatchWindowController::~BatchWindowController() {
    {
        std::lock_guard lock(inbox_->mutex);
        inbox_->owner = nullptr; // what is still posted finds nobody
    }
    stopWalk_ = true;
    if (feed_) {
        feed_->stop();
    }
    if (walker_.joinable()) {
        walker_.join();
    }
    if (worker_.joinable()) {
        worker_.join();
    }
}

void BatchWindowController::deliver(std::function<void()> work) {
    std::lock_guard lock(inbox_->mutex);
    inbox_->work.push_back(std::move(work));
    if (!inbox_->posted) {
        inbox_->posted = true;
        const auto since = std::chrono::steady_clock::now() - inbox_->lastRound;
        if (since >= kRoundEvery) {
            services_.mainThread.post([inbox = inbox_] { drain(inbox); });
        } else {
            services_.mainThread.postAfter(
                std::chrono::ceil<std::chrono::milliseconds>(kRoundEvery - since),
                [inbox = inbox_] { drain(inbox); });
        }
    }
}

void BatchWindowController::drain(const std::shared_ptr<Inbox>& inbox) {
    std::vector<std::function<void()>> work;
    BatchWindowController* owner = nullptr;
    {
        std::lock_guard lock(inbox->mutex);
        work.swap(inbox->work);
        inbox->posted = false;
        inbox->lastRound = std::chrono::steady_clock::now();
        owner = inbox->owner;
    }
    if (!owner) {
        return;
    }
    for (auto& step : work) {
        step();
    }
    owner->refresh();
}

void BatchWindowController::openFiles(const std::vector<std::string>& paths) {
    if (launched_) {
        add(paths);
    } else if (opened_.empty()) {
        opened_ = paths;
    }
}

void BatchWindowController::applicationDidFinishLaunching() {
    launched_ = true;
    outlets_.window.makeKeyAndOrderFront();
    add(opened_);
    refresh();
}

void BatchWindowController::add(const std::vector<std::string>& paths) {
    if (paths.empty() || closing_) {
        return;
    }
    added_.push_back(paths);
    toWalk_.push_back(paths);
    if (!walking_) {
        walkNext();
    }
    refresh();
}

void BatchWindowController::walkNext() {
    if (walker_.joinable()) {
        walker_.join(); // the previous walk's thread, already past its last post
    }
    walking_ = !toWalk_.empty() && !stopWalk_;
    if (!walking_) {
        return;
    }
    walkedOnce_ = true;
    std::vector<std::string> paths = std::move(toWalk_.front());
    toWalk_.erase(toWalk_.begin());
    // What a walk of a list since dropped still hands over is dropped too.
    walker_ = std::thread([this, paths = std::move(paths), output = output_, list = listNumber_] {
        const bool walked = services_.jobs.find(
            paths, output, stopWalk_, [this, list](std::vector<BatchJobs::Document> found) {
                deliver([this, list, found = std::move(found)]() mutable {
                    if (list == listNumber_) {
                        documentsFound(std::move(found));
                    }
                });
            });
        deliver([this, list, walked] {
            if (list == listNumber_) {
                walkEnded(walked);
            }
        });
    });
}

void BatchWindowController::documentsFound(std::vector<BatchJobs::Document> documents) {
    std::vector<std::string> toRun;
    for (BatchJobs::Document& document : documents) {
        const auto row = list_.add(document);
        if (!row) {
            continue;
        }
        if (document.outcome) {
            setRow(*row, std::move(document.outcome));
        } else if (running_ && feedTakesFound_) {
            runRows_.push_back(*row);
            toRun.push_back(document.path);
        }
    }
    if (!toRun.empty()) {
        feed_->add(std::move(toRun));
    }
}

void BatchWindowController::walkEnded(bool walked) {
    if (!walked && !output_.empty()) {
        showMessage(services_.alerts, services_.strings, IDS_KEY::IDS_BATCH_OUTPUT_FAILED,
                    AlertStyle::Critical);
        saveCopiesIn({});
        return;
    }
    walkNext();
    if (!walking_ && feedTakesFound_) {
        feed_->close(); // the run ends with the files found
        feedTakesFound_ = false;
    }
}

void BatchWindowController::start() {
    std::vector<std::size_t> rows = list_.rowsIn(BatchRowState::Waiting);
    const std::vector<std::size_t> cancelled = list_.rowsIn(BatchRowState::Cancelled);
    rows.insert(rows.end(), cancelled.begin(), cancelled.end());
    std::sort(rows.begin(), rows.end());
    run(rows, true);
}

void BatchWindowController::retry() {
    run(list_.rowsIn(BatchRowState::WrongPassword), false);
}

void BatchWindowController::run(const std::vector<std::size_t>& rows, bool takesFound) {
    // Started before the walk found anything: it runs what the walk finds.
    if (running_ || closing_ || (rows.empty() && !(takesFound && walking_))) {
        return;
    }
    if (worker_.joinable()) {
        worker_.join(); // the previous batch's thread, already past its last post
    }
    feed_ = std::make_unique<BatchFeed>();
    runRows_ = rows;
    std::vector<std::string> files;
    for (const std::size_t row : rows) {
        files.push_back(list_.row(row).path);
        setRow(row, std::nullopt);
    }
    feed_->add(std::move(files));
    // Started while the walk goes on: what it finds next joins the run.
    feedTakesFound_ = takesFound && walking_;
    if (!feedTakesFound_) {
        feed_->close();
    }
    running_ = true;

    std::string password = outlets_.password.stringValue();
    worker_ = std::thread([this, feed = feed_.get(), password]() mutable {
        services_.jobs.run(*feed, password,
                           [this](std::size_t index, const BatchJobs::Outcome& outcome) {
                               deliver([this, index, outcome] { fileFinished(index, outcome); });
                           });
        wipe(password);
        deliver([this] { batchEnded(); });
    });
    wipe(password);
    refresh();
}

void BatchWindowController::fileFinished(std::size_t index, const BatchJobs::Outcome& outcome) {
    const BatchRowState state = stateOf(outcome.reason);
    setRow(runRows_.at(index), outcome);
    reportUnsaved_ = reportUnsaved_ || !(isCopied(state) || state == BatchRowState::Cancelled);
}

void BatchWindowController::batchEnded() {
    worker_.join();
    feed_.reset();
    feedTakesFound_ = false;
    // What never started, after a cancel, can be started again.
    for (const std::size_t row : runRows_) {
        if (list_.row(row).state == BatchRowState::Waiting) {
            BatchJobs::Outcome never;
            never.reason = FileReason::NotStarted;
            setRow(row, never);
        }
    }
    runRows_.clear();
    running_ = false;
    ranOnce_ = true;
    if (closing_) {
        if (!saveOnClose_ || saveReport()) {
            outlets_.window.close();
            return;
        }
        // The report was not saved after all: the window stays, and takes
        // files again.
        closing_ = saveOnClose_ = false;
        stopWalk_ = false;
    }
    refresh();
    if (list_.count(BatchRowState::WrongPassword) > 0) {
        outlets_.view.focusPassword();
    }
}

void BatchWindowController::cancel() {
    if (running_ && feed_) {
        feed_->stop(); // straight to the jobs, not through the window's queue
        refresh();
    }
}

bool BatchWindowController::windowShouldClose() {
    if (closing_) {
        return !running_;
    }
    if (reportUnsaved_) {
        switch (outlets_.view.askToSaveReport()) {
        case UnsavedReport::Keep:
            return false;
        case UnsavedReport::Save:
            // While the batch runs, once it has ended.
            if (running_) {
                saveOnClose_ = true;
            } else if (!saveReport()) {
                return false;
            }
            break;
        case UnsavedReport::Discard:
            break;
        }
    }
    stopWalking();
    if (!running_) {
        return true;
    }
    closing_ = true;
    feed_->stop();
    refresh();
    return false;
}

void BatchWindowController::stopWalking() {
    stopWalk_ = true;
    toWalk_.clear();
}

void BatchWindowController::openFolder(std::optional<std::size_t> row) {
    const std::string folder =
        row && *row < list_.size() ? list_.folderOf(*row) : list_.copiesFolder();
    if (!folder.empty()) {
        outlets_.view.showFolder(folder);
    }
}

bool BatchWindowController::saveReport() {
    const auto file = outlets_.view.chooseReportFile();
    return file && saveReport(*file);
}

bool BatchWindowController::saveReport(const ReportFile& file) {
    if (!outlets_.view.saveText(file.path,
                                reportText(list_.results(), file.format, services_.strings))) {
        showMessage(services_.alerts, services_.strings, IDS_KEY::IDS_BATCH_REPORT_FAILED,
                    AlertStyle::Critical);
        return false;
    }
    reportUnsaved_ = false;
    return true;
}

void BatchWindowController::saveCopiesIn(const std::string& folder) {
    if (running_ || closing_) {
        return;
    }
    output_ = folder;
    outlets_.view.showCopiesFolder(output_);
    // The walk under way is for the other place: what it still finds is
    // dropped with the list.
    stopWalk_ = true;
    if (walker_.joinable()) {
        walker_.join();
    }
    stopWalk_ = false;
    list_ = BatchWindowList();
    ++listNumber_;
    outlets_.view.clearRows();
    reportUnsaved_ = false;
    ranOnce_ = false;
    toWalk_ = added_;
    walkNext();
    refresh();
}

std::string BatchWindowController::reasonText(const BatchJobs::Outcome& outcome) const {
    return outcomeText(outcome, services_.strings);
}

void BatchWindowController::setRow(std::size_t row, std::optional<BatchJobs::Outcome> outcome) {
    const std::string reason = outcome ? reasonText(*outcome) : std::string();
    list_.set(row, std::move(outcome), reason);
}

void BatchWindowController::refresh() {
    list_.showOn(outlets_.view);
    if (std::string status = statusNow(); status != status_) {
        status_ = std::move(status);
        outlets_.view.setStatus(status_);
    }
    outlets_.view.setActions(actionsNow());
}

std::string BatchWindowController::statusNow() const {
    const Strings& strings = services_.strings;
    if (running_ && closing_) {
        return localizedText(strings, IDS_KEY::IDS_BATCH_CLOSING);
    }
    if (running_ && feed_->stopped()) {
        return localizedText(strings, IDS_KEY::IDS_BATCH_STOPPING);
    }
    if (walking_) {
        return localizedText(strings, IDS_KEY::IDS_BATCH_LOOKING, {std::to_string(list_.size())});
    }
    if (running_) {
        return {};
    }
    if (list_.size() == 0) {
        return walkedOnce_ ? localizedText(strings, IDS_KEY::IDS_BATCH_NO_PDF) : std::string();
    }
    // Before a run only when nothing is left to start (an earlier run copied all).
    if (!ranOnce_ && list_.handled() < list_.size()) {
        return {};
    }
    std::string text;
    for (const std::string& line : list_.summary(strings)) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

BatchActions BatchWindowController::actionsNow() const {
    const bool idle = !running_ && !closing_;
    BatchActions actions;
    actions.start = idle && (list_.size() > list_.handled() || walking_);
    actions.retry = idle && list_.count(BatchRowState::WrongPassword) > 0;
    actions.cancel = running_ && !feed_->stopped();
    actions.add = idle;
    actions.saveReport = idle && list_.handled() > 0;
    actions.openFolder =
        idle && list_.count(BatchRowState::Copied) + list_.count(BatchRowState::AlreadyCopied) > 0;
    return actions;
}

} // namespace pdfunlock
