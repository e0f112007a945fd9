// Runs the one-file job on many files with one password (or a keyring),
// several at once.
#pragma once

#include "batch/BatchInputs.h"
#include "batch/JobSlots.h"
#include "platform/Desktop.h"
#include "platform/PDFDocument.h"
#include "removal/FileJob.h"

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
#include <utility>
#include <vector>

namespace pdfunlock {

struct FileResult {
    std::string source;
    FileOutcome outcome;
    // With a keyring: the number of the password that opened it.
    std::optional<std::size_t> entry;
    std::size_t order = 0; // its place among the files of the batch
};

// How many files not copied a summary names for each reason.
inline constexpr std::size_t kNamesShown = 3;

struct BatchSummary {
    std::size_t total = 0;       // files in the batch
    std::size_t copied = 0;      // Tally::Copied
    std::size_t alreadyDone = 0; // Tally::CopiedBefore
    std::size_t notStarted = 0;  // left when the batch was cancelled
    // Every other outcome by its reason: how many, and the first few names
    // in the batch's order (whatever order they finished in).
    struct Group {
        std::size_t count = 0;
        std::vector<std::pair<std::size_t, std::string>> first; // (order, source)
    };
    std::map<FileReason, Group> notCopied;
    bool cancelled = false;
    bool stoppedOnWrongPassword = false;

    void add(FileReason reason, std::size_t order, const std::string& source);
    // Every file has its copy, made now or earlier.
    bool allCopied() const { return copied + alreadyDone == total; }
    // Some file's outcome, of those counted, asks for it.
    bool any(Attention attention) const;
};

// The first files whose password was checked, as long as they all refused
// it: after kWrongPasswordsNoted of them the password is likely wrong.
inline constexpr std::size_t kWrongPasswordsNoted = 5;
class WrongPasswordWatch {
public:
    void add(const FileOutcome& outcome);
    bool allRefused() const { return opened_ == 0 && refused_ >= kWrongPasswordsNoted; }

private:
    std::size_t refused_ = 0;
    std::size_t opened_ = 0;
};

struct BatchOptions {
    unsigned jobs = 1;  // files at work at once (0: one), besides those waiting (JobSlots)
    bool again = false; // copy files an earlier run copied too
    // No file starts once the first kWrongPasswordsNoted all refused it.
    bool stopOnWrongPassword = false;
    // With a keyring: the number each password is known by (its line).
    std::vector<std::size_t> entryNumbers;
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

    // Each file is tried with each of `passwords` in turn; they are wiped
    // once the last file has been handled.
    BatchRun(std::vector<BatchItem> items, std::vector<std::string> passwords, BatchOptions options,
             BatchServices services, OnFinished onFinished);
    // Cancels and waits.
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Starts the jobs and returns at once. When no thread can be started,
    // the files are handled on the caller's thread, in waitFor and wait.
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
    // the files never started counted as such. The passwords are wiped then.
    BatchSummary wait();
    // Waits at most `timeout` (or handles one file, see start); true when
    // the batch is over.
    bool waitFor(std::chrono::milliseconds timeout);

    std::size_t total() const;
    // After wait(): the files that were never started, in their order.
    std::vector<FileResult> notStarted() const;
    std::size_t finished() const;

private:
    void work();
    // Handles the next file; false when none is left or the batch is cancelled.
    bool step();
    void finish(FileResult result);
    bool over() const;

    std::vector<std::string> passwords_;
    BatchOptions options_;
    BatchServices services_;
    OnFinished onFinished_;

    std::atomic<bool> cancelled_{false};
    JobSlots slots_;
    std::vector<std::thread> workers_;
    bool joined_ = false;
    bool onCaller_ = false; // no thread could be started

    mutable std::mutex mutex_;
    // A deque: an item keeps its place while more are added.
    std::deque<BatchItem> items_;
    std::size_t next_ = 0;
    bool open_ = false;
    std::deque<std::size_t> busy_; // another run had them: taken up last
    std::condition_variable changed_;
    std::size_t running_ = 0;
    std::size_t finished_ = 0;
    BatchSummary summary_;
    WrongPasswordWatch watch_;
};

// Starts, waits and answers the summary.
BatchSummary runBatch(std::vector<BatchItem> items, std::vector<std::string> passwords,
                      BatchOptions options, BatchServices services,
                      BatchRun::OnFinished onFinished);

} // namespace pdfunlock
