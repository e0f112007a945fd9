#include "platform/FolderEvents.h"

#include "platform/WakePipe.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace pdfunlock {

namespace {

using Clock = std::chrono::steady_clock;

// A name as a listing saw it.
struct Seen {
    EntryKind kind = EntryKind::Other;
    FileIdentity identity;
    std::optional<FileState> state; // of a regular file
    bool sameName(const Seen& other) const {
        return kind == other.kind && identity == other.identity;
    }
    bool operator==(const Seen& other) const {
        return sameName(other) && state.has_value() == other.state.has_value() &&
               (!state || state->untouched(*other.state));
    }
};

using Snapshot = std::map<std::string, Seen>;

// A folder deleted, or no longer where its path leads.
bool isGone(const HeldFolder& held) {
    struct stat info {};
    if (::fstat(held.descriptor(), &info) != 0 || info.st_nlink == 0) {
        return true;
    }
    struct stat there {};
    if (::stat(held.path().c_str(), &there) != 0) {
        // A path too long to look up says nothing.
        return errno == ENOENT || errno == ENOTDIR;
    }
    return there.st_dev != info.st_dev || there.st_ino != info.st_ino;
}

std::optional<Snapshot> snapshotOf(const HeldFolder& held) {
    auto entries = held.entries();
    if (!entries) {
        return std::nullopt;
    }
    Snapshot snapshot;
    for (const Entry& entry : *entries) {
        Seen seen{entry.kind, entry.identity, std::nullopt};
        if (entry.kind == EntryKind::File) {
            seen.state = held.stateOf(entry.name);
        }
        snapshot.emplace_hint(snapshot.end(), entry.name, std::move(seen));
    }
    return snapshot;
}

class PollingEvents final : public FolderEvents {
public:
    explicit PollingEvents(std::chrono::milliseconds interval)
        : interval_(interval), next_(Clock::now() + interval) {}

    std::optional<FolderWatchId> add(const std::shared_ptr<FoundFolder>& folder) override {
        const auto held = folder->hold();
        auto snapshot = held ? snapshotOf(*held) : std::nullopt;
        if (!snapshot) {
            return std::nullopt;
        }
        const int id = nextId_++;
        folders_.emplace(id, Polled{folder, std::move(*snapshot)});
        return FolderWatchId{id, true};
    }

    void remove(int watch) override { folders_.erase(watch); }

    std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) override {
        const auto now = Clock::now();
        if (now < next_) {
            const auto until = std::min(next_ - now, Clock::duration(timeout));
            if (wake_.wait(std::chrono::ceil<std::chrono::milliseconds>(until)).woken) {
                return {};
            }
            if (Clock::now() < next_) {
                return {};
            }
        }
        next_ = Clock::now() + interval_;
        std::vector<FolderEvent> events;
        for (auto it = folders_.begin(); it != folders_.end();) {
            if (scan(it->first, it->second, events)) {
                ++it;
            } else {
                events.push_back({FolderEvent::Kind::Gone, it->first, {}});
                it = folders_.erase(it);
            }
        }
        return events;
    }

    void wake() override { wake_.wake(); }

private:
    struct Polled {
        std::shared_ptr<FoundFolder> folder;
        Snapshot seen;
    };

    // What changed since the last listing; false when the folder is gone.
    static bool scan(int id, Polled& polled, std::vector<FolderEvent>& events) {
        const auto held = polled.folder->hold();
        auto now = held && !isGone(*held) ? snapshotOf(*held) : std::nullopt;
        if (!now) {
            return false;
        }
        auto before = polled.seen.begin();
        for (const auto& [name, seen] : *now) {
            while (before != polled.seen.end() && before->first < name) {
                events.push_back({FolderEvent::Kind::Removed, id, before->first});
                ++before;
            }
            const bool known = before != polled.seen.end() && before->first == name;
            if (known && !before->second.sameName(seen)) {
                events.push_back({FolderEvent::Kind::Removed, id, name}); // replaced
            }
            if (!known || !(before->second == seen)) {
                const bool written = seen.kind == EntryKind::File;
                events.push_back(
                    {written ? FolderEvent::Kind::Written : FolderEvent::Kind::Added, id, name});
            }
            if (known) {
                ++before;
            }
        }
        for (; before != polled.seen.end(); ++before) {
            events.push_back({FolderEvent::Kind::Removed, id, before->first});
        }
        polled.seen = std::move(*now);
        return true;
    }

    std::chrono::milliseconds interval_;
    Clock::time_point next_;
    std::map<int, Polled> folders_;
    int nextId_ = 1;
    WakePipe wake_;
};

} // namespace

std::unique_ptr<FolderEvents> pollingFolderEvents(std::chrono::milliseconds interval) {
    return std::make_unique<PollingEvents>(interval);
}

} // namespace pdfunlock
