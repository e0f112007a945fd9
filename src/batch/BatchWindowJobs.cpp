#include "batch/BatchWindowJobs.h"

#include "batch/BatchRun.h"

#include <chrono>

namespace pdfunlock {

BatchWindowJobs::BatchWindowJobs(PDFDocumentService& pdf, FileSystem& files, Log& log,
                                 unsigned jobs)
    : pdf_(pdf), files_(files), log_(log), jobs_(jobs) {}

std::vector<BatchJobs::Document>
BatchWindowJobs::documents(const std::vector<std::string>& inputs) {
    BatchInputs found = collectInputs(inputs, RemovalServices{pdf_, files_, log_});
    std::vector<Document> rows;
    items_.clear();
    for (BatchItem& item : found.items) {
        rows.push_back({item.path, std::nullopt});
        items_.emplace(item.path, std::move(item));
    }
    for (const SkippedPath& skipped : found.skipped) {
        rows.push_back({skipped.path, Outcome{skipped.outcome.reason, {}}});
    }
    return rows;
}

void BatchWindowJobs::run(const std::vector<std::string>& files, const std::string& password,
                          const std::atomic<bool>& cancel, const Finished& finished) {
    std::vector<BatchItem> items;
    std::map<std::string, std::size_t> index;
    for (const std::string& file : files) {
        index.emplace(file, items.size());
        items.push_back(items_.at(file));
    }
    // Copied straight into the run's list: no other copy is left to wipe.
    std::vector<std::string> passwords;
    passwords.push_back(password);
    BatchRun batch(std::move(items), std::move(passwords), BatchOptions{jobs_, false, false, {}},
                   BatchServices{pdf_, files_, log_}, [&](const FileResult& result) {
                       finished(index.at(result.source),
                                Outcome{result.outcome.reason,
                                        result.outcome.copyPath.value_or(std::string())});
                   });
    batch.start();
    // The window's cancel is a flag: passed on as soon as it is seen.
    while (!batch.waitFor(std::chrono::milliseconds(20))) {
        if (cancel) {
            batch.cancel();
        }
    }
    batch.wait();
}

} // namespace pdfunlock
