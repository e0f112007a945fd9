// The folders a watch holds and the PDFs in them, each with where it stands:
// made, settling, waiting for a job, under way, looked at again, done.
#pragma once

#include "batch/BatchInputs.h"
#include "batch/BatchRun.h"
#include "platform/FolderEvents.h"

#include <chrono>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

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

class WatchedFolders {
public:
    using Clock = std::chrono::steady_clock;
    using Key = std::pair<int, std::string>; // the folder's watch, the name

    // `output`: where the copies go (see WatchOptions).
    WatchedFolders(std::chrono::milliseconds settle, std::shared_ptr<OutputFolder> output,
                   FolderEvents& events, RemovalServices services, WatchListener& listener);

    // The named folders watched, then listed with their sub-folders; false
    // when one is no folder.
    bool start(const std::vector<std::string>& folders);
    void handle(const FolderEvent& event);
    // The names whose settle time is over: taken, or watched again.
    void settle(Clock::time_point now);
    // How long until the next name is due, at most `most`.
    std::chrono::milliseconds untilDue(std::chrono::milliseconds most);
    // The next file for a job, from now on under way.
    std::optional<std::pair<Key, BatchItem>> next();
    // The job's result: reported now, or with `lookAgain` (the file may
    // have been taken too early) once the file stayed the same; taken again
    // if it changed.
    void finished(const Key& key, const FileResult& result, bool lookAgain);
    // The results kept back, reported now.
    void reportKeptBack();
    std::size_t rootsLeft() const;

private:
    enum class Status {
        Open,     // made, not closed: taken after a longer quiet time (unclosedSettle)
        Settling, // closed: taken once it stays the same for the settle time
        Queued,   // waiting for a job
        Running,
        Recheck, // failed as damaged: reported only if it stays the same
        Done,    // a link reported (a file handled is forgotten: a later
                 // event for it is news, and a listing's is met by `quiet`)
    };
    struct Name {
        Status status = Status::Open;
        FileState state;
        Clock::time_point due;
        bool changedWhileRunning = false;
        bool quiet = false; // taken by a listing after lost events: "copied before" is no news
        std::optional<FileResult> held; // Recheck: the result kept back
    };
    struct Folder {
        std::shared_ptr<FoundFolder> found;
        FileIdentity identity;
        std::shared_ptr<OutputFolder> output; // where its files' copies go; null: beside them
        std::string rootPath;                 // set for a named folder
        int parent = -1;                      // the folder above's watch
        std::map<std::string, int> folders;   // sub-folders watched, by name
        std::map<std::string, Name> names;    // PDFs and reported links
    };

    std::optional<int> watchFolder(std::shared_ptr<FoundFolder> found, FileIdentity identity,
                                   int parent, std::string rootPath,
                                   std::shared_ptr<OutputFolder> output);
    std::optional<int> watchSubfolder(int watch, const std::string& name, FileIdentity identity);
    void listFolder(int watch);
    void look(int watch, const std::string& name, bool closed);
    void forget(int watch);
    void take(int watch, const std::string& name, Name& entry);
    Name* find(int watch, const std::string& name);
    std::chrono::milliseconds unclosedSettle() const;

    std::chrono::milliseconds settle_;
    std::shared_ptr<OutputFolder> output_;
    FolderEvents& events_;
    RemovalServices services_;
    WatchListener& listener_;

    std::map<int, Folder> folders_;
    std::set<FileIdentity> watchedFolders_;
    std::set<Key> settling_; // Open, Settling and Recheck names
    std::list<Key> queue_;
    std::set<FileIdentity> ownCopies_; // written here by a job, their event still to come
    bool saidPolling_ = false;
    bool rescanning_ = false;
};

} // namespace pdfunlock
