// The batch job as the window for several documents runs it: the walk that
// finds the documents, and the runs that take them from a feed while the walk
// may still be finding more. The window's tests put a fake in its place.
#pragma once

#include "removal/FileJob.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

// The files of one run, handed over from the window's thread as they are
// found and taken by the job's threads. Stopping it is how a cancel reaches
// the job: no file is taken after that, and a job waiting for files returns.
class BatchFeed {
public:
    struct Taken {
        std::size_t first = 0; // the index of files[0]: files are counted as taken
        std::vector<std::string> files;
    };

    void add(std::vector<std::string> files);
    // No more files: once those there are taken, take() answers none.
    void close();
    void stop();
    bool stopped() const { return stopped_; }
    // Called by stop(), on its thread, or at once when already stopped: how
    // a job that took its files reaches its workers. Cleared with nullptr
    // (which waits for a call under way).
    void whenStopped(std::function<void()> stop);
    // At most `most` files, waiting while there are none and the feed is
    // open; none once it is closed and empty, or stopped.
    Taken take(std::size_t most);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> files_;
    std::size_t taken_ = 0;
    bool closed_ = false;
    std::function<void()> whenStopped_;
    std::atomic<bool> stopped_{false};
};

class BatchJobs {
public:
    // How a file ended: its row in kFileOutcomes (removal/FileOutcomes.h),
    // what its detail says, and its copy.
    using Outcome = FileOutcome;
    // A row of the list: a document, or what the walk skipped. `outcome` is
    // set for what needs no run: a skip, or a copy an earlier run saved.
    struct Document {
        std::string path;
        std::string shown; // its path below the folder named, or its name
        std::optional<Outcome> outcome;
    };
    using Found = std::function<void(std::vector<Document>)>;
    using Finished = std::function<void(std::size_t index, const Outcome& outcome)>;

    virtual ~BatchJobs() = default;
    // The documents the paths stand for (folders walked), each once, handed
    // to `found` a few at a time from the calling thread as they are settled;
    // returns when the walk is over, or soon after `stop` is set. Their
    // copies go to `output` (the same relative paths below it), or beside
    // them when it is empty; false, and nothing found, when `output` is no
    // folder that can be opened.
    virtual bool find(const std::vector<std::string>& paths, const std::string& output,
                      const std::atomic<bool>& stop, const Found& found) = 0;
    // Runs the job on the files the feed hands over, several at once; returns
    // once the feed is closed and every file taken has finished, or once it
    // is stopped and the files under way have. `finished` comes from any
    // thread, with the file's index in the feed; a file never started is
    // not reported.
    virtual void run(BatchFeed& feed, const std::string& password, const Finished& finished) = 0;
};

} // namespace pdfunlock
