// Runs the one-file job on many files with one password, several at once.
#pragma once

#include "batch/BatchInputs.h"
#include "platform/Desktop.h"
#include "platform/PDFDocument.h"
#include "removal/IDSKey.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pdfunlock {

struct FileResult {
    std::string source;
    // How it ended, one of kFileOutcomes (removal/FileJob.h): what the window
    // would show, or the batch's own message.
    IDS_KEY message;
    // The copy saved now, or the earlier one for IDS_BATCH_COPY_THERE; absolute.
    std::optional<std::string> copy;
};

struct BatchSummary {
    std::size_t total = 0;       // files in the batch
    std::size_t copied = 0;      // Tally::Copied
    std::size_t alreadyDone = 0; // Tally::CopiedBefore
    std::size_t notStarted = 0;  // left when the batch was cancelled
    // Every other outcome, by its message.
    std::map<IDS_KEY, std::size_t> refused;
    bool cancelled = false;
    // Every file has its copy, made now or earlier.
    bool allCopied() const { return copied + alreadyDone == total; }
};

struct BatchOptions {
    unsigned jobs = 1;  // files handled at once (0: one)
    bool again = false; // copy files an earlier run copied too
    // More files come with add() until noMoreFiles(): the jobs wait for them.
    bool open = false;
};

struct BatchServices {
    PDFDocumentService& pdf; // used from every job's thread at once
    FileSystem& files;
    Log& log;
};

class BatchRun {
public:
    // Called once per finished file, from the job's thread, one call at a time;
    // it must not call the run's own members.
    using OnFinished = std::function<void(const FileResult&)>;

    // `password` is wiped once the last file has been handled.
    BatchRun(std::vector<BatchItem> items, std::string password, BatchOptions options,
             BatchServices services, OnFinished onFinished);
    // Cancels and waits.
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Starts the jobs and returns at once.
    void start();
    // With BatchOptions::open, from any thread: files found since, handled
    // after those before.
    void add(std::vector<BatchItem> items);
    // No file is added any more: the run is over once those it has are handled.
    void noMoreFiles();
    // From any thread, a signal handler's thread included: no further file
    // starts; files under way finish (their save is all or nothing).
    void cancel();
    // Blocks until every started file has finished; then the summary, with
    // the files never started counted as such. The password is wiped then.
    BatchSummary wait();
    // Waits at most `timeout`; true when the batch is over.
    bool waitFor(std::chrono::milliseconds timeout);

    std::size_t total() const;
    // After wait(): the files that were never started, in their order, each
    // with IDS_BATCH_NOT_STARTED.
    std::vector<FileResult> notStarted() const;
    std::size_t finished() const;

private:
    void work();
    void finish(FileResult result);
    bool over() const;

    std::string password_;
    BatchOptions options_;
    BatchServices services_;
    OnFinished onFinished_;

    std::atomic<bool> cancelled_{false};
    std::vector<std::thread> workers_;
    bool joined_ = false;

    mutable std::mutex mutex_;
    // A deque: an item keeps its place while more are added.
    std::deque<BatchItem> items_;
    std::size_t next_ = 0;
    bool open_ = false;
    std::deque<std::size_t> busy_; // another run had them: taken up last
    std::condition_variable changed_;
    std::size_t running_ = 0;
    BatchSummary summary_;
};

// Starts, waits and answers the summary.
BatchSummary runBatch(std::vector<BatchItem> items, std::string password, BatchOptions options,
                      BatchServices services, BatchRun::OnFinished onFinished);

} // namespace pdfunlock
