#include "batch/BatchWindowList.h"

#include "batch/BatchReport.h"
#include "platform/Paths.h"

#include <algorithm>
#include <utility>

namespace pdfunlock {

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

bool isHandled(BatchRowState state) {
    return state != BatchRowState::Waiting && state != BatchRowState::Cancelled;
}

bool isCopied(BatchRowState state) {
    return state == BatchRowState::Copied || state == BatchRowState::AlreadyCopied;
}

std::optional<std::size_t> BatchWindowList::add(const BatchJobs::Document& document) {
    if (!paths_.insert(document.path).second) {
        return std::nullopt;
    }
    const std::size_t index = rows_.size();
    Row row;
    row.shown.path = document.path;
    row.shown.shown = document.shown;
    if (const auto [first, fresh] = shownBy_.emplace(document.shown, index); !fresh) {
        row.shown.shown = row.shown.path;
        BatchRow& other = rows_[first->second].shown;
        if (other.shown != other.path) {
            other.shown = other.path;
            changed_.insert(first->second);
        }
    }
    rows_.push_back(std::move(row));
    ++counts_[std::size_t(BatchRowState::Waiting)];
    return index;
}

void BatchWindowList::set(std::size_t row, std::optional<BatchJobs::Outcome> outcome,
                          const std::string& reason) {
    Row& changed = rows_.at(row);
    change(row, outcome ? stateOf(outcome->reason) : BatchRowState::Waiting);
    changed.shown.reason = outcome ? reason : std::string();
    changed.shown.copyPath = outcome ? outcome->copyPath.value_or(std::string()) : std::string();
    changed.outcome = std::move(outcome);
}

void BatchWindowList::change(std::size_t row, BatchRowState state) {
    BatchRow& shown = rows_.at(row).shown;
    handled_ -= isHandled(shown.state) ? 1 : 0;
    --counts_[std::size_t(shown.state)];
    shown.state = state;
    ++counts_[std::size_t(state)];
    handled_ += isHandled(state) ? 1 : 0;
    changed_.insert(row);
}

std::vector<std::size_t> BatchWindowList::rowsIn(BatchRowState state) const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].shown.state == state) {
            rows.push_back(row);
        }
    }
    return rows;
}

void BatchWindowList::showOn(BatchView& view) {
    const std::size_t shown = viewRows_;
    if (shown < rows_.size()) {
        std::vector<BatchRow> added;
        for (std::size_t row = shown; row < rows_.size(); ++row) {
            added.push_back(rows_[row].shown);
        }
        view.addRows(added);
        viewRows_ = rows_.size();
    }
    std::vector<std::pair<std::size_t, BatchRow>> updated;
    for (const std::size_t row : changed_) {
        if (row < shown) {
            updated.emplace_back(row, rows_[row].shown);
        }
    }
    changed_.clear();
    if (!updated.empty()) {
        view.updateRows(updated);
    }
    view.setProgress(handled_, rows_.size());
}

std::vector<std::string> BatchWindowList::summary(const Strings& strings) const {
    BatchSummary summary;
    summary.total = rows_.size();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        // Not handled (yet): not started.
        const FileReason reason = isHandled(rows_[row].shown.state) && rows_[row].outcome
                                      ? rows_[row].outcome->reason
                                      : FileReason::NotStarted;
        // Named as the list shows them.
        summary.add(reason, row, rows_[row].shown.shown);
    }
    return summaryLines(summary, strings);
}

std::vector<FileResult> BatchWindowList::results() const {
    std::vector<FileResult> results;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        FileOutcome outcome;
        outcome.reason = FileReason::NotStarted;
        results.push_back(
            {rows_[row].shown.path, rows_[row].outcome.value_or(outcome), std::nullopt, row});
    }
    return results;
}

std::string BatchWindowList::folderOf(std::size_t row) const {
    const BatchRow& shown = rows_.at(row).shown;
    return paths::stringByDeletingLastPathComponent(
        paths::absolutePath(shown.copyPath.empty() ? shown.path : shown.copyPath));
}

std::string BatchWindowList::copiesFolder() const {
    std::optional<std::string> common;
    for (const Row& row : rows_) {
        if (row.shown.copyPath.empty()) {
            continue;
        }
        const std::string folder =
            paths::stringByDeletingLastPathComponent(paths::absolutePath(row.shown.copyPath));
        if (!common) {
            common = folder;
        }
        while (!common->empty() && *common != "/" && folder != *common &&
               folder.rfind(*common + "/", 0) != 0) {
            *common = paths::stringByDeletingLastPathComponent(*common);
        }
    }
    return common.value_or(std::string());
}

} // namespace pdfunlock
