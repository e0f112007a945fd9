#include "batch/BatchWindowJobs.h"

#include "batch/BatchRun.h"
#include "platform/Paths.h"

#include <limits>

namespace pdfunlock {

namespace {

// The path below the folder named, or the name of a file named itself.
std::string shownPath(const std::string& named, const std::string& path) {
    const std::string marker = "x";
    std::string prefix = paths::stringByAppendingPathComponent(named, marker);
    prefix.resize(prefix.size() - marker.size());
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
        return path.substr(prefix.size());
    }
    return paths::lastPathComponent(path);
}

} // namespace

BatchWindowJobs::BatchWindowJobs(PDFDocumentService& pdf, FileSystem& files, Log& log,
                                 unsigned jobs)
    : pdf_(pdf), files_(files), log_(log), jobs_(jobs) {}

bool BatchWindowJobs::find(const std::vector<std::string>& paths, const std::string& output,
                           const std::atomic<bool>& stop, const Found& found) {
    std::shared_ptr<OutputFolder> folder;
    if (!output.empty()) {
        std::lock_guard lock(mutex_);
        auto& held = outputs_[output];
        if (!held) {
            held = OutputFolder::named(output);
        }
        if (!held) {
            return false;
        }
        folder = held;
    }
    collectInputs(
        paths, RemovalServices{pdf_, files_, log_}, folder,
        [&](const std::string& named, BatchInputs settled) {
            std::vector<Document> rows;
            for (BatchItem& item : settled.items) {
                Document row{item.path, shownPath(named, item.path), std::nullopt};
                // Copied before needs no password: shown as such at once.
                if (item.earlierCopy) {
                    row.outcome = Outcome{};
                    row.outcome->reason = FileReason::CopiedBefore;
                    row.outcome->copyPath = item.earlierCopy;
                }
                rows.push_back(std::move(row));
                std::lock_guard lock(mutex_);
                items_.insert_or_assign(item.path, std::move(item));
            }
            for (const SkippedPath& skipped : settled.skipped) {
                rows.push_back({skipped.path, shownPath(named, skipped.path), skipped.outcome});
            }
            if (!rows.empty()) {
                found(std::move(rows));
            }
            return !stop;
        });
    return true;
}

std::vector<BatchItem> BatchWindowJobs::itemsOf(const std::vector<std::string>& files) {
    std::vector<BatchItem> items;
    std::lock_guard lock(mutex_);
    for (const std::string& file : files) {
        items.push_back(items_.at(file));
    }
    return items;
}

void BatchWindowJobs::run(BatchFeed& feed, const std::string& password, const Finished& finished) {
    constexpr std::size_t all = std::numeric_limits<std::size_t>::max();
    BatchFeed::Taken taken = feed.take(all);
    if (taken.files.empty()) {
        return;
    }
    // The index of each file by its path: the run reports paths.
    std::mutex indexMutex;
    std::map<std::string, std::size_t> index;
    const auto number = [&](const BatchFeed::Taken& files) {
        std::lock_guard lock(indexMutex);
        for (std::size_t i = 0; i < files.files.size(); ++i) {
            index.emplace(files.files[i], files.first + i);
        }
    };
    number(taken);
    // Copied straight into the run's list: no other copy is left to wipe.
    std::vector<std::string> passwords;
    passwords.push_back(password);
    BatchOptions options;
    options.jobs = jobs_;
    options.open = true;
    BatchRun batch(itemsOf(taken.files), std::move(passwords), std::move(options),
                   BatchServices{pdf_, files_, log_}, [&](const FileResult& result) {
                       std::size_t at = 0;
                       {
                           std::lock_guard lock(indexMutex);
                           at = index.at(result.source);
                       }
                       finished(at, result.outcome);
                   });
    // A stop reaches the jobs at once, from the thread that stops the feed.
    feed.whenStopped([&batch] { batch.cancel(); });
    batch.start();
    // Files found while the run goes on join it.
    for (taken = feed.take(all); !taken.files.empty(); taken = feed.take(all)) {
        number(taken);
        batch.add(itemsOf(taken.files));
    }
    batch.noMoreFiles();
    batch.wait();
    feed.whenStopped(nullptr);
}

} // namespace pdfunlock
