#include "batch/BatchWindowController.h"

#include "platform/Secrets.h"

#include <algorithm>
#include <utility>

namespace pdfunlock {

namespace {

BatchRowState stateOf(FileReason reason) {
    switch (reason) {
    case FileReason::Copied:
    case FileReason::CopiedNameHeld:
        return BatchRowState::Copied;
    case FileReason::CopiedBefore:
        return BatchRowState::AlreadyCopied;
    case FileReason::WrongPassword:
        return BatchRowState::WrongPassword;
    case FileReason::NotProtected:
        return BatchRowState::NotProtected;
    case FileReason::RefusedOrigin:
    case FileReason::RefusedPermission:
    case FileReason::NotFound:
    case FileReason::NotARegularFile:
    case FileReason::Unreadable:
    case FileReason::Empty:
    case FileReason::Damaged:
    case FileReason::LinkNotFollowed:
    case FileReason::FolderUnreadable:
        return BatchRowState::Refused;
    case FileReason::NotStarted:
        return BatchRowState::Cancelled; // given up while another run held it
    case FileReason::ChangedWhileRead:
    case FileReason::SaveFailed:
    case FileReason::TooManyOpenFiles:
    case FileReason::FolderMoved:
        break;
    }
    return BatchRowState::Failed;
}

} // namespace

BatchWindowController::BatchWindowController(BatchWindowServices services,
                                             BatchWindowOutlets outlets)
    : services_(services), outlets_(outlets) {}

BatchWindowController::~BatchWindowController() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void BatchWindowController::openFiles(const std::vector<std::string>& paths) {
    if (opened_.empty()) {
        opened_ = paths;
    }
}

void BatchWindowController::applicationDidFinishLaunching() {
    std::vector<BatchJobs::Document> found;
    if (!opened_.empty()) {
        found = services_.jobs.documents(opened_);
    }
    if (found.empty()) {
        // Nothing opened, or folders without a PDF.
        showMessage(services_.alerts, services_.strings,
                    opened_.empty() ? IDS_KEY::IDS_MSG_STARTUP : IDS_KEY::IDS_BATCH_NO_PDF,
                    AlertStyle::Critical);
        services_.application.terminate();
        return;
    }
    std::size_t runnable = 0;
    for (const auto& document : found) {
        files_.push_back(document.path);
        runnable += document.skipped ? 0 : 1;
    }
    states_.assign(files_.size(), BatchRowState::Waiting);
    reasons_.assign(files_.size(), std::nullopt);
    outlets_.view.setDocuments(files_);
    // What the walk skipped says why in its row, and is never started.
    for (std::size_t row = 0; row < found.size(); ++row) {
        if (const auto& skipped = found[row].skipped) {
            show(row, *skipped);
        }
    }
    outlets_.view.setProgress(0, runnable);
    updateActions();
    outlets_.window.makeKeyAndOrderFront();
}

void BatchWindowController::start() {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < states_.size(); ++row) {
        if (states_[row] == BatchRowState::Waiting || states_[row] == BatchRowState::Cancelled) {
            rows.push_back(row);
        }
    }
    run(std::move(rows));
}

void BatchWindowController::retry() {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < states_.size(); ++row) {
        if (states_[row] == BatchRowState::WrongPassword) {
            rows.push_back(row);
        }
    }
    run(std::move(rows));
}

void BatchWindowController::run(std::vector<std::size_t> rows) {
    if (running_ || rows.empty()) {
        return;
    }
    if (worker_.joinable()) {
        worker_.join(); // the previous batch's thread, already past its last post
    }
    std::vector<std::string> files;
    for (const std::size_t row : rows) {
        files.push_back(files_[row]);
        states_[row] = BatchRowState::Waiting;
        reasons_[row] = std::nullopt;
        outlets_.view.setRow(row, BatchRowState::Waiting, {}, {});
    }
    running_ = true;
    cancel_ = false;
    done_ = 0;
    total_ = rows.size();
    outlets_.view.setProgress(0, total_);
    updateActions();

    std::string password = outlets_.password.stringValue();
    worker_ = std::thread([this, rows = std::move(rows), files = std::move(files),
                           password = std::move(password)]() mutable {
        MainThread& main = services_.mainThread;
        services_.jobs.run(
            files, password, cancel_, [&](std::size_t index, const BatchJobs::Outcome& outcome) {
                main.post([this, row = rows[index], outcome] { fileFinished(row, outcome); });
            });
        wipe(password);
        main.post([this] { batchEnded(); });
    });
}

void BatchWindowController::show(std::size_t row, const BatchJobs::Outcome& outcome) {
    states_[row] = stateOf(outcome.reason);
    reasons_[row] = outcome.reason;
    outlets_.view.setRow(row, states_[row],
                         localizedText(services_.strings, outcomeRow(outcome.reason).message),
                         outcome.copyPath);
}

void BatchWindowController::fileFinished(std::size_t row, const BatchJobs::Outcome& outcome) {
    show(row, outcome);
    outlets_.view.setProgress(++done_, total_);
}

void BatchWindowController::batchEnded() {
    // What never started, after a cancel, can be started again.
    for (std::size_t row = 0; row < states_.size(); ++row) {
        if (states_[row] == BatchRowState::Waiting) {
            states_[row] = BatchRowState::Cancelled;
            outlets_.view.setRow(row, BatchRowState::Cancelled, {}, {});
        }
    }
    running_ = false;
    if (closeWhenEnded_) {
        outlets_.window.close();
        return;
    }
    updateActions();
    if (any(BatchRowState::WrongPassword)) {
        outlets_.view.focusPassword();
    }
}

void BatchWindowController::cancel() {
    if (!running_) {
        return;
    }
    cancel_ = true;
    outlets_.view.setActions(false, false, false);
}

bool BatchWindowController::windowShouldClose() {
    if (!running_) {
        return true;
    }
    closeWhenEnded_ = true;
    cancel();
    return false;
}

void BatchWindowController::updateActions() {
    outlets_.view.setActions(!running_ && anyToStart(),
                             !running_ && any(BatchRowState::WrongPassword), running_);
}

bool BatchWindowController::any(BatchRowState state) const {
    return std::find(states_.begin(), states_.end(), state) != states_.end();
}

bool BatchWindowController::anyToStart() const {
    return any(BatchRowState::Waiting) || any(BatchRowState::Cancelled);
}

} // namespace pdfunlock
