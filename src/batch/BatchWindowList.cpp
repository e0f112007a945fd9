#include "batch/BatchWindowList.h"

#include "platform/Paths.h"

#include <algorithm>
#include <utility>

namespace pdfunlock {

BatchRowState stateOf(IDS_KEY key) {
    switch (key) {
    case IDS_KEY::IDS_MSG_COMPLETE:
    case IDS_KEY::IDS_BATCH_COPY_NAME_HELD:
        return BatchRowState::Copied;
    case IDS_KEY::IDS_BATCH_COPY_THERE:
        return BatchRowState::AlreadyCopied;
    case IDS_KEY::IDS_MSG_INVALIDPWD:
        return BatchRowState::WrongPassword;
    case IDS_KEY::IDS_MSG_NO_PWD:
        return BatchRowState::NotProtected;
    case IDS_KEY::IDS_MSG_NO_TESSIVON:
    case IDS_KEY::IDS_BATCH_LINK_SKIPPED:
    case IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE:
        return BatchRowState::Refused;
    case IDS_KEY::IDS_BATCH_NOT_STARTED:
        return BatchRowState::Cancelled; // given up while another run held it
    default:
        return BatchRowState::Failed;
    }
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
    change(row, outcome ? stateOf(outcome->key) : BatchRowState::Waiting);
    changed.shown.reason = outcome ? reason : std::string();
    changed.shown.copyPath = outcome ? outcome->copyPath : std::string();
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

std::string BatchWindowList::summary(const Strings& strings, bool ran) const {
    std::vector<std::pair<std::string, std::size_t>> reasons; // in the order met
    std::size_t notCopied = 0;
    for (const Row& row : rows_) {
        if (!isHandled(row.shown.state) || isCopied(row.shown.state)) {
            continue;
        }
        ++notCopied;
        const auto known = std::find_if(reasons.begin(), reasons.end(), [&](const auto& reason) {
            return reason.first == row.shown.reason;
        });
        if (known == reasons.end()) {
            reasons.emplace_back(row.shown.reason, 1);
        } else {
            ++known->second;
        }
    }
    std::string text =
        localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY,
                      {std::to_string(count(BatchRowState::Copied)), std::to_string(rows_.size())});
    if (const std::size_t before = count(BatchRowState::AlreadyCopied); before > 0) {
        text += "\n" + localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_ALREADY,
                                     {std::to_string(before)});
    }
    if (notCopied > 0) {
        text += "\n" + localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_REFUSED,
                                     {std::to_string(notCopied)});
        for (const auto& [reason, many] : reasons) {
            text += "\n  " + std::to_string(many) + "  " + reason; // as the command lists them
        }
    }
    if (const std::size_t left = rows_.size() - handled_; left > 0 && ran) {
        text += "\n" + localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_CANCELLED,
                                     {std::to_string(left)});
    }
    return text;
}

std::vector<FileResult> BatchWindowList::results() const {
    std::vector<FileResult> results;
    for (const Row& row : rows_) {
        const BatchJobs::Outcome outcome =
            row.outcome.value_or(BatchJobs::Outcome{IDS_KEY::IDS_BATCH_NOT_STARTED, {}});
        results.push_back(
            {row.shown.path, outcome.key,
             outcome.copyPath.empty() ? std::nullopt : std::optional(outcome.copyPath)});
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
