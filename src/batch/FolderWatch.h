// pdfunlock-cli --watch: the files already in the named folders, then each
// new or replaced one as it arrives, once its writer is done with it, until
// stopped.
#pragma once

#include "batch/BatchInputs.h"
#include "batch/BatchRun.h"
#include "platform/FolderEvents.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace pdfunlock {

struct WatchOptions {
    // How long a file's size and times must stay the same before it is taken.
    std::chrono::milliseconds settle{2000};
    unsigned jobs = 1; // files handled at once
};

// What the watch has to say, each from the thread that runs it.
class WatchListener {
public:
    virtual ~WatchListener() = default;
    virtual void fileDone(const FileResult& result) = 0;
    // A link, a folder that cannot be read: its line, as a file's.
    virtual void skipped(const SkippedPath& skipped) = 0;
    // The watch itself: a folder listed instead of watched, a folder gone.
    virtual void notice(IDS_KEY message, const std::vector<std::string>& arguments) = 0;
};

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
    // is no folder that can be read. A folder that cannot be read is reported.
    bool start(const std::vector<std::string>& folders);
    // Until stop() (true: the files under way finished) or until no named
    // folder is left (false).
    bool run();
    // From any thread: no further file starts.
    void stop();

private:
    using Clock = std::chrono::steady_clock;
    enum class Status {
        Open,     // made, not yet closed by its writer
        Settling, // closed: taken once it stays the same for the settle time
        Queued,   // waiting for a job
        Running,
        Recheck, // failed as damaged: reported only if it stays the same
        Done,    // handled, or left alone (a copy, a reported link)
    };
    struct Name {
        Status status = Status::Open;
        FileState state;
        Clock::time_point due;
        bool changedWhileRunning = false;
        std::optional<FileResult> held; // Recheck: the result kept back
    };
    struct Folder {
        std::shared_ptr<FoundFolder> found;
        FileIdentity identity;
        std::string rootPath;               // set for a named folder
        int parent = -1;                    // the folder above's watch
        std::map<std::string, int> folders; // sub-folders watched, by name
        std::map<std::string, Name> names;  // PDFs and reported links
    };
    struct Running {
        int watch;
        std::string name;
        FileState taken;
        std::unique_ptr<BatchRun> run;
        std::optional<FileResult> result; // under resultsMutex_
    };
    using Key = std::pair<int, std::string>;

    std::optional<int> watchFolder(std::shared_ptr<FoundFolder> found, FileIdentity identity,
                                   int parent, std::string rootPath);
    void listFolder(int watch);
    void look(int watch, const std::string& name, bool closed);
    void forget(int watch);
    void handle(const FolderEvent& event);
    void settle(Clock::time_point now);
    void take(int watch, const std::string& name, Name& entry);
    void startJobs();
    void reap();
    void finished(Running& running);
    Name* find(int watch, const std::string& name);
    std::size_t rootsLeft() const;

    WatchOptions options_;
    FolderEvents& events_;
    RemovalServices services_;
    StartJob startJob_;
    WatchListener& listener_;

    std::map<int, Folder> folders_;
    std::set<FileIdentity> watchedFolders_;
    std::set<Key> settling_; // Settling and Recheck names
    std::list<Key> queue_;
    std::list<Running> running_;
    std::mutex resultsMutex_;
    std::atomic<bool> stopped_{false};
    bool saidPolling_ = false;
};

// A file ending so may be one its writer had not finished: it is looked at
// again before it is reported.
bool mayBeUnfinished(const FileResult& result);

} // namespace pdfunlock
