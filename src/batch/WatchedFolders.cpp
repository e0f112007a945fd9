#include "batch/WatchedFolders.h"

#include "removal/CopyFileNaming.h"

#include <algorithm>
#include <cerrno>

namespace pdfunlock {

WatchedFolders::WatchedFolders(std::chrono::milliseconds settle,
                               std::shared_ptr<OutputFolder> output, FolderEvents& events,
                               RemovalServices services, WatchListener& listener)
    : settle_(settle), output_(std::move(output)), events_(events), services_(services),
      listener_(listener) {}

bool WatchedFolders::start(const std::vector<std::string>& folders) {
    std::vector<int> roots;
    for (const auto& path : folders) {
        const auto info = inspectPath(path);
        auto found = info && info->kind == EntryKind::Folder ? FoundFolder::named(path) : nullptr;
        if (!found) {
            return false;
        }
        // Watched before it is listed: what arrives meanwhile is seen twice,
        // and taken once.
        if (const auto watch = watchFolder(std::move(found), info->identity, -1, path, output_)) {
            roots.push_back(*watch);
        }
    }
    for (const int watch : roots) {
        listFolder(watch);
    }
    return true;
}

std::optional<int> WatchedFolders::watchFolder(std::shared_ptr<FoundFolder> found,
                                               FileIdentity identity, int parent,
                                               std::string rootPath,
                                               std::shared_ptr<OutputFolder> output) {
    // The copies' folder is no source; a folder named twice, or inside
    // another named one, is watched once.
    if ((output_ && identity == output_->identity()) || !watchedFolders_.insert(identity).second) {
        return std::nullopt;
    }
    errno = 0;
    const auto id = events_.add(found);
    if (!id) {
        watchedFolders_.erase(identity);
        listener_.skipped({found->path(), outcomeOfError(FileReason::FolderUnreadable, errno)});
        return std::nullopt;
    }
    if (id->polled && !saidPolling_) {
        saidPolling_ = true;
        listener_.notice(IDS_KEY::IDS_WATCH_POLLING, {found->path()});
    }
    Folder& folder = folders_[id->id];
    folder.found = std::move(found);
    folder.identity = identity;
    folder.rootPath = std::move(rootPath);
    folder.parent = parent;
    folder.output = std::move(output);
    return id->id;
}

std::optional<int> WatchedFolders::watchSubfolder(int watch, const std::string& name,
                                                  FileIdentity identity) {
    if (folders_[watch].folders.contains(name)) {
        return std::nullopt;
    }
    // With an output folder, its folder there is below the one of the folder
    // above, made (when a copy needs it) with the source folder's mode.
    auto found = folders_[watch].found->subfolder(name, identity);
    std::shared_ptr<OutputFolder> output;
    if (const auto& above = folders_[watch].output) {
        const auto held = found->hold();
        const auto state = held ? fileStateOf(held->descriptor()) : std::nullopt;
        output = above->subfolder(name, state ? state->permissions : 0700u);
    }
    auto child = watchFolder(std::move(found), identity, watch, {}, std::move(output));
    if (child) {
        folders_[watch].folders[name] = *child;
    }
    return child;
}

// What the folder holds now, sub-folders watched (and listed) first.
void WatchedFolders::listFolder(int watch) {
    std::vector<int> pending{watch};
    while (!pending.empty()) {
        const int id = pending.back();
        pending.pop_back();
        const auto at = folders_.find(id);
        const auto held = at != folders_.end() ? at->second.found->hold() : nullptr;
        const auto entries = held ? held->entries() : std::nullopt;
        if (!entries) {
            continue; // gone: its event says so
        }
        for (const Entry& entry : *entries) {
            if (entry.kind != EntryKind::Folder) {
                look(id, entry.name, true);
            } else if (const auto child = watchSubfolder(id, entry.name, entry.identity)) {
                pending.push_back(*child);
            }
        }
        // Names gone meanwhile.
        const auto listed = [&entries](const std::string& name) {
            const auto it = std::lower_bound(
                entries->begin(), entries->end(), name,
                [](const Entry& entry, const std::string& n) { return entry.name < n; });
            return it != entries->end() && it->name == name;
        };
        std::vector<std::string> gone;
        const auto collect = [&](const auto& known) {
            for (const auto& [name, value] : known) {
                if (!listed(name)) {
                    gone.push_back(name);
                }
            }
        };
        collect(folders_[id].names);
        collect(folders_[id].folders);
        for (const auto& name : gone) {
            handle({FolderEvent::Kind::Removed, id, name});
        }
    }
}

void WatchedFolders::forget(int watch) {
    const auto at = folders_.find(watch);
    if (at == folders_.end()) {
        return;
    }
    for (const auto& [name, child] : at->second.folders) {
        events_.remove(child);
        forget(child);
    }
    if (const auto parent = folders_.find(at->second.parent); parent != folders_.end()) {
        std::erase_if(parent->second.folders,
                      [watch](const auto& sub) { return sub.second == watch; });
    }
    std::erase_if(settling_, [watch](const Key& key) { return key.first == watch; });
    std::erase_if(queue_, [watch](const Key& key) { return key.first == watch; });
    watchedFolders_.erase(at->second.identity);
    folders_.erase(at);
}

void WatchedFolders::handle(const FolderEvent& event) {
    switch (event.kind) {
    case FolderEvent::Kind::Written:
    case FolderEvent::Kind::Added:
        look(event.watch, event.name, event.kind == FolderEvent::Kind::Written);
        return;
    case FolderEvent::Kind::Removed:
        if (const auto at = folders_.find(event.watch); at != folders_.end()) {
            if (const auto sub = at->second.folders.find(event.name);
                sub != at->second.folders.end()) {
                const int child = sub->second;
                events_.remove(child);
                forget(child);
            } else if (const auto name = at->second.names.find(event.name);
                       name != at->second.names.end() && name->second.status != Status::Queued &&
                       name->second.status != Status::Running) {
                if (name->second.held) {
                    listener_.fileDone(*name->second.held); // failed, then removed
                }
                settling_.erase({event.watch, event.name});
                at->second.names.erase(name);
            }
        }
        return;
    case FolderEvent::Kind::Gone:
        if (const auto at = folders_.find(event.watch); at != folders_.end()) {
            if (!at->second.rootPath.empty()) {
                listener_.notice(IDS_KEY::IDS_WATCH_FOLDER_GONE, {at->second.rootPath});
            }
            forget(event.watch);
        }
        return;
    case FolderEvent::Kind::Lost: {
        std::vector<int> watches;
        for (const auto& [watch, folder] : folders_) {
            watches.push_back(watch);
        }
        ownCopies_.clear(); // their events may be among those lost
        rescanning_ = true;
        for (const int watch : watches) {
            listFolder(watch);
        }
        rescanning_ = false;
        return;
    }
    }
}

std::size_t WatchedFolders::rootsLeft() const {
    return static_cast<std::size_t>(
        std::count_if(folders_.begin(), folders_.end(),
                      [](const auto& folder) { return !folder.second.rootPath.empty(); }));
}

} // namespace pdfunlock
