// Files and folders reached through descriptors, so that a name is resolved
// once: a folder is held open while it is worked in, and every name in it is
// looked up relative to that descriptor. POSIX calls only.
#pragma once

#include "platform/BlockingWaits.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

// The same file under two names has the same identity.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// What fstat says of an opened file.
struct FileState {
    FileIdentity identity;
    long long size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    unsigned permissions = 0; // the 07777 bits
    unsigned owner = 0;
    unsigned group = 0;
    // Size and modification time: a write moves one, a new name neither.
    bool sameContent(const FileState& other) const {
        return size == other.size && modifiedNs == other.modifiedNs;
    }
    // The same, and the change time: only the owner can set the modification
    // time back, nobody the change time (which a rename moves too).
    bool untouched(const FileState& other) const {
        return sameContent(other) && changedNs == other.changedNs;
    }
};

// nullopt when the descriptor cannot be examined.
std::optional<FileState> fileStateOf(int fd);

// A descriptor owned alone, closed when dropped.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) noexcept : fd_(fd) {}
    ~Descriptor();
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() noexcept;

private:
    int fd_;
};

enum class EntryKind { File, Folder, Link, Other };

// A name in a folder as it is itself: a symbolic link is a link, whatever it
// points to.
struct Entry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    FileIdentity identity;
    unsigned owner = 0;
};

// A folder held open. Every operation resolves a single name relative to it;
// its path is only for messages.
class HeldFolder {
public:
    HeldFolder(Descriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    int descriptor() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    std::string pathOf(const std::string& name) const;

    // Its names ("." and ".." left out), each as it is itself, sorted by their
    // bytes; nullopt when the folder cannot be read.
    std::optional<std::vector<Entry>> entries() const;
    std::optional<Entry> entry(const std::string& name) const;
    // What the name holds now, if it is a regular file (no link followed).
    std::optional<FileState> stateOf(const std::string& name) const;
    // What a link of that name points to is a folder (nothing is opened).
    bool leadsToFolder(const std::string& name) const;
    // Anything has the name, a link to nowhere included.
    bool isNameTaken(const std::string& name) const { return entry(name).has_value(); }
    // A sub-folder entered without following a link, only if it is the one
    // `expected` names; nullptr (errno set) otherwise. `path` is its path
    // for messages.
    std::unique_ptr<HeldFolder> enter(const std::string& name, FileIdentity expected,
                                      std::string path) const;
    // A regular file opened for reading; through a link only when
    // `followLink`. An invalid descriptor (errno set) otherwise: ELOOP for a
    // link not followed, EISDIR or EINVAL for what is no regular file.
    Descriptor openFile(const std::string& name, bool followLink) const;
    // Deletes the name only while it holds the file `written`.
    bool removeIfSame(const std::string& name, FileIdentity written) const;
    // A path that names the file `written` now: its path for messages when
    // that still leads to it, else where the system says the folder is now.
    std::string currentPathOf(const std::string& name, FileIdentity written) const;

private:
    Descriptor fd_;
    std::string path_;
};

// Where a new file is saved: a name in a held folder, or a path whose folder
// is opened once when the save begins.
struct SaveTarget {
    SaveTarget(std::string path) : name(std::move(path)) {} // NOLINT: a path names a target
    SaveTarget(const char* path) : name(path) {}            // NOLINT
    SaveTarget(std::shared_ptr<const HeldFolder> in, std::string nameInFolder)
        : folder(std::move(in)), name(std::move(nameInFolder)) {}

    std::shared_ptr<const HeldFolder> folder; // null: `name` is a whole path
    std::string name;
    // The group the new file must have: given to it where the system allows,
    // else the file gets no group permissions at all.
    std::optional<unsigned> group;
    // Receives the saved file's identity, when set.
    FileIdentity* written = nullptr;
    // Receives the errno of a save the system refused, when set.
    int* failure = nullptr;
    // Told of the syncs the save waits for, when set.
    BlockingWaits* waits = nullptr;
};

// A folder as a walk found it, reached again whenever it is held: a named
// folder by its path (a link in it followed, the user named it), a folder
// below it from its parent's descriptor with no link followed; each time
// checked to be the very folder found (device and inode). Its descriptor
// stays open while someone holds it, so a walk of any depth or breadth keeps
// few open, and jobs in one folder share one.
class FoundFolder : public std::enable_shared_from_this<FoundFolder> {
public:
    // nullptr (errno set) when there is no folder at the path.
    static std::shared_ptr<FoundFolder> named(const std::string& path);
    std::shared_ptr<FoundFolder> subfolder(const std::string& name, FileIdentity identity);

    // For messages only; may be longer than any path the system takes.
    std::string path() const;
    std::string pathOf(const std::string& name) const;
    // nullptr (errno set) when it cannot be reached as it was found.
    std::shared_ptr<const HeldFolder> hold() const;
    // Keeps its descriptor open from now on (while descriptors are to spare:
    // see keepsLeft), so that it is never looked up by name again.
    void keepHeld(std::shared_ptr<const HeldFolder> held);

    FoundFolder(std::shared_ptr<FoundFolder> parent, std::string name, FileIdentity identity)
        : parent_(std::move(parent)), name_(std::move(name)), identity_(identity) {}
    ~FoundFolder();
    FoundFolder(const FoundFolder&) = delete;
    FoundFolder& operator=(const FoundFolder&) = delete;

private:
    std::shared_ptr<const HeldFolder> openAgain() const;

    std::shared_ptr<FoundFolder> parent_; // null for a named folder
    std::string name_;                    // in the parent; the path of a named folder
    FileIdentity identity_;
    mutable std::mutex mutex_;
    mutable std::weak_ptr<const HeldFolder> held_;
    std::shared_ptr<const HeldFolder> kept_;
};

// How many more folders may be kept held: a quarter of the descriptors this
// process may open, and no more than a thousand; the rest of the descriptors
// stay for the jobs.
std::size_t keepsLeft();

// Deletes the name in the folder only while it holds the file `expected`.
bool removeIfSame(int folder, const std::string& name, FileIdentity expected);

// What a path names, a link followed; nullopt when nothing can be found there.
std::optional<Entry> inspectPath(const std::string& path);

// flock(LOCK_EX) on the descriptor. While another process has it: Busy at
// once, or with `wait`, Held once it is let go, Cancelled once `cancel` is
// set. Where the system has no such locks the file is handled unlocked.
enum class FileLock { Held, Busy, Cancelled };
FileLock lockExclusive(int fd, bool wait, const std::atomic<bool>* cancel);

} // namespace pdfunlock
