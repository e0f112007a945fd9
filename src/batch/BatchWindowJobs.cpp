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
        Outcome outcome;
        outcome.key = skipped.reason;
        rows.push_back({skipped.path, outcome});
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
    BatchRun batch(std::move(items), password, BatchOptions{jobs_, false},
                   BatchServices{pdf_, files_, log_}, [&](const FileResult& result) {
                       Outcome outcome;
                       outcome.key = result.message;
                       outcome.copyPath = result.copy.value_or(std::string());
                       outcome.alreadyCopied = result.message == IDS_KEY::IDS_BATCH_COPY_THERE;
                       finished(index.at(result.source), outcome);
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
