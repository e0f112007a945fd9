// What happens in watched folders: names written, made and removed, folders
// gone. Events from the system where it gives them (inotify on Linux), else
// each folder listed again every so often and compared with what it held.
#pragma once

#include "platform/HeldFolder.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

struct FolderEvent {
    enum class Kind {
        Written, // a file closed after writing, moved in, or (listed) changed
        Added,   // a name made that is not written to: a folder, a link
        Removed, // a name deleted or moved away
        Gone,    // the watched folder itself was deleted or moved
        Lost,    // events were lost: every folder is to be looked at again
    };
    Kind kind = Kind::Written;
    int watch = -1; // the folder, as `add` answered
    std::string name;
};

struct FolderWatchId {
    int id = -1;
    bool polled = false; // listed every so often: the system gives no events for it
};

class FolderEvents {
public:
    virtual ~FolderEvents() = default;
    // Starts watching the folder, as it is now (what it holds gives no
    // event). nullopt (errno set) when it cannot be reached.
    virtual std::optional<FolderWatchId> add(const std::shared_ptr<FoundFolder>& folder) = 0;
    virtual void remove(int watch) = 0;
    // What happened, waiting at most `timeout` for something to.
    virtual std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) = 0;
    // From any thread: the wait under way, or the next one, returns at once.
    virtual void wake() = 0;
};

// Every folder listed every `interval`.
std::unique_ptr<FolderEvents> pollingFolderEvents(std::chrono::milliseconds interval);

// The system's events; a folder it cannot watch (no watches left, a network
// file system, no events on this system) is listed every `interval` instead.
std::unique_ptr<FolderEvents> systemFolderEvents(std::chrono::milliseconds interval);

} // namespace pdfunlock
