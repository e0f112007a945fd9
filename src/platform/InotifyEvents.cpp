// The system's events on Linux (inotify); elsewhere, and for what inotify
// cannot watch, the folders are listed every so often.
#include "platform/FolderEvents.h"

#ifdef __linux__
#include "platform/WakePipe.h"

#include <cerrno>
#include <map>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace pdfunlock {

namespace {

constexpr uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                           IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

// File systems whose changes made on other machines give no event here.
bool isRemote(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x01021997UL: // 9P
    case 0x5346414FUL: // AFS
    case 0x00C36400UL: // Ceph
    case 0x65735546UL: // FUSE (sshfs and the like)
        return true;
    default:
        return false;
    }
}

class InotifyEvents final : public FolderEvents {
public:
    InotifyEvents(int fd, std::chrono::milliseconds interval)
        : fd_(fd), interval_(interval), polled_(pollingFolderEvents(interval)) {}
    ~InotifyEvents() override { ::close(fd_); }
    InotifyEvents(const InotifyEvents&) = delete;
    InotifyEvents& operator=(const InotifyEvents&) = delete;

    std::optional<FolderWatchId> add(const std::shared_ptr<FoundFolder>& folder) override {
        const auto held = folder->hold();
        if (!held) {
            return std::nullopt;
        }
        // The folder held, not its path: nothing is looked up by name again.
        const std::string self = "/proc/self/fd/" + std::to_string(held->descriptor());
        const int wd =
            isRemote(held->descriptor()) ? -1 : ::inotify_add_watch(fd_, self.c_str(), kMask);
        if (wd < 0) {
            const auto polled = polled_->add(folder);
            if (!polled) {
                return std::nullopt;
            }
            const int id = nextId_++;
            byPolled_[polled->id] = id;
            watches_[id] = {-1, polled->id};
            return FolderWatchId{id, true};
        }
        // The same folder twice is one watch.
        if (const auto known = byWd_.find(wd); known != byWd_.end()) {
            return FolderWatchId{known->second, false};
        }
        const int id = nextId_++;
        byWd_[wd] = id;
        watches_[id] = {wd, -1};
        return FolderWatchId{id, false};
    }

    void remove(int watch) override {
        const auto it = watches_.find(watch);
        if (it == watches_.end()) {
            return;
        }
        if (it->second.wd >= 0) {
            ::inotify_rm_watch(fd_, it->second.wd);
            byWd_.erase(it->second.wd);
        } else {
            polled_->remove(it->second.polled);
            byPolled_.erase(it->second.polled);
        }
        watches_.erase(it);
    }

    std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) override {
        std::vector<FolderEvent> events;
        if (!byPolled_.empty()) {
            timeout = std::min(timeout, interval_);
        }
        const auto ready = wake_.wait(timeout, fd_);
        if (ready.other) {
            read(events);
        }
        if (!byPolled_.empty()) {
            for (auto event : polled_->wait(std::chrono::milliseconds(0))) {
                const auto id = byPolled_.find(event.watch);
                if (id != byPolled_.end()) {
                    event.watch = id->second;
                    if (event.kind == FolderEvent::Kind::Gone) {
                        watches_.erase(id->second);
                        byPolled_.erase(id);
                    }
                    events.push_back(std::move(event));
                }
            }
        }
        return events;
    }

    void wake() override { wake_.wake(); }

private:
    void read(std::vector<FolderEvent>& events) {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t length = ::read(fd_, buffer, sizeof buffer);
            if (length <= 0) {
                return; // EAGAIN: all read
            }
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                take(*event, events);
            }
        }
    }

    void take(const inotify_event& event, std::vector<FolderEvent>& events) {
        if (event.mask & IN_Q_OVERFLOW) {
            events.push_back({FolderEvent::Kind::Lost, -1, {}});
            return;
        }
        const auto known = byWd_.find(event.wd);
        if (known == byWd_.end()) {
            return; // a watch removed, its last events still queued
        }
        const int id = known->second;
        const std::string name = event.len > 0 ? std::string(event.name) : std::string();
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
            events.push_back({FolderEvent::Kind::Gone, id, {}});
            ::inotify_rm_watch(fd_, event.wd);
            byWd_.erase(known);
            watches_.erase(id);
            return;
        }
        const bool folder = (event.mask & IN_ISDIR) != 0;
        if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
            events.push_back({FolderEvent::Kind::Removed, id, name});
        } else if (!folder && (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO))) {
            events.push_back({FolderEvent::Kind::Written, id, name});
        } else if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
            // A folder, a link or a file just opened: what it is, the
            // receiver looks at.
            events.push_back({FolderEvent::Kind::Added, id, name});
        }
    }

    struct Watch {
        int wd = -1;
        int polled = -1;
    };

    int fd_;
    std::chrono::milliseconds interval_;
    std::unique_ptr<FolderEvents> polled_;
    WakePipe wake_;
    std::map<int, int> byWd_;     // inotify's watch -> id
    std::map<int, int> byPolled_; // the polled one's id -> id
    std::map<int, Watch> watches_;
    int nextId_ = 1;
};

} // namespace

std::unique_ptr<FolderEvents> systemFolderEvents(std::chrono::milliseconds interval) {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        return pollingFolderEvents(interval);
    }
    return std::make_unique<InotifyEvents>(fd, interval);
}

} // namespace pdfunlock

#else

namespace pdfunlock {

std::unique_ptr<FolderEvents> systemFolderEvents(std::chrono::milliseconds interval) {
    return pollingFolderEvents(interval);
}

} // namespace pdfunlock

#endif
