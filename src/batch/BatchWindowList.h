// The list of the window for several documents: a row for each document,
// each once, how it stands and why, the counts the window shows, and what of
// it the view does not show yet.
#pragma once

#include "batch/BatchJobs.h"
#include "batch/BatchRun.h"
#include "platform/BatchDesktop.h"
#include "platform/Desktop.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pdfunlock {

// How a row stands after the outcome with this key.
BatchRowState stateOf(FileReason reason);
// Handled: not waiting, and not left out by a cancel.
bool isHandled(BatchRowState state);
bool isCopied(BatchRowState state); // now or by an earlier run

class BatchWindowList {
public:
    // A new row, or nullopt for a document already listed. Two rows that
    // would read alike show their whole paths.
    std::optional<std::size_t> add(const BatchJobs::Document& document);
    // The row's outcome, shown with `reason`; none: waiting.
    void set(std::size_t row, std::optional<BatchJobs::Outcome> outcome,
             const std::string& reason = {});

    std::size_t size() const { return rows_.size(); }
    std::size_t handled() const { return handled_; }
    std::size_t count(BatchRowState state) const { return counts_[std::size_t(state)]; }
    const BatchRow& row(std::size_t row) const { return rows_.at(row).shown; }
    std::vector<std::size_t> rowsIn(BatchRowState state) const;

    // The view brought up to date: new rows, rows changed, the progress.
    void showOn(BatchView& view);
    // The command's summary of the list: copies, copies of an earlier run,
    // those not copied by reason, and those not started.
    std::vector<std::string> summary(const Strings& strings) const;
    // A result for each row, in the list's order; a row never handled as
    // never started.
    std::vector<FileResult> results() const;
    // The folder of the row's copy (of the row itself when it has none).
    std::string folderOf(std::size_t row) const;
    // The deepest folder that holds every copy; "" when there is none.
    std::string copiesFolder() const;

private:
    struct Row {
        BatchRow shown;
        std::optional<BatchJobs::Outcome> outcome;
    };
    void change(std::size_t row, BatchRowState state);

    std::vector<Row> rows_;
    std::set<std::string> paths_;                // each document once
    std::map<std::string, std::size_t> shownBy_; // the first row shown so
    std::array<std::size_t, kBatchRowStates> counts_{};
    std::size_t handled_ = 0;
    std::size_t viewRows_ = 0;      // rows the view has
    std::set<std::size_t> changed_; // rows it shows as they were
};

} // namespace pdfunlock
