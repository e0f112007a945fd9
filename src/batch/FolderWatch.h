// pdfunlock-cli --watch: the files already in the named folders, then each
// new or replaced one as it arrives, once its writer is done with it, until
// stopped.
#pragma once

#include "batch/WatchedFolders.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pdfunlock {

struct WatchOptions {
    // How long a file's size and times must stay the same before it is taken.
    std::chrono::milliseconds settle{2000};
    unsigned jobs = 1; // files handled at once
    // Where the copies go, below it as the sources are below the named
    // folders; null: beside them.
    std::shared_ptr<OutputFolder> output;
};

// A file ending so may be one its writer had not finished: it is looked at
// again before it is reported.
bool mayBeUnfinished(const FileResult& result);

// Starts the job on one file, calling `onFinished` once with its result.
using StartJob = std::function<std::unique_ptr<BatchRun>(BatchItem item, BatchRun::OnFinished)>;

class FolderWatch {
public:
    FolderWatch(WatchOptions options, FolderEvents& events, RemovalServices services,
                StartJob startJob, WatchListener& listener);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The folders as the user named them; false (nothing watched) when one
    // is no folder. A folder that cannot be read is reported.
    bool start(const std::vector<std::string>& folders) { return folders_.start(folders); }
    // Until stop() (true: the files under way finished) or until no named
    // folder is left (false).
    bool run();
    // From any thread: no further file starts.
    void stop();
    // Also stops once `asked` says so, looked at whenever the wait ends (a
    // signal ends it too): for when no thread could be started to call stop().
    void stopWhen(std::function<bool()> asked) { asked_ = std::move(asked); }

private:
    struct Running {
        WatchedFolders::Key key;
        std::unique_ptr<BatchRun> run;
        std::optional<FileResult> result; // under resultsMutex_
    };

    void startJobs();
    void reap();

    WatchOptions options_;
    FolderEvents& events_;
    StartJob startJob_;
    WatchedFolders folders_;
    std::list<Running> running_;
    std::mutex resultsMutex_;
    std::atomic<bool> stopped_{false};
    std::function<bool()> asked_;
};

} // namespace pdfunlock
