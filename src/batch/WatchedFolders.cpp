#include "batch/WatchedFolders.h"

#include "removal/CopyFileNaming.h"

#include <algorithm>

namespace pdfunlock {

WatchedFolders::WatchedFolders(std::chrono::milliseconds settle, FolderEvents& events,
                               RemovalServices services, WatchListener& listener)
    : settle_(settle), events_(events), services_(services), listener_(listener) {}

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
        if (const auto watch = watchFolder(std::move(found), info->identity, -1, path)) {
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
                                               std::string rootPath) {
    if (!watchedFolders_.insert(identity).second) {
        return std::nullopt; // named twice, or inside another named folder
    }
    const auto id = events_.add(found);
    if (!id) {
        watchedFolders_.erase(identity);
        listener_.skipped({found->path(), IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE});
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
    return id->id;
}

std::optional<int> WatchedFolders::watchSubfolder(int watch, const std::string& name,
                                                  FileIdentity identity) {
    if (folders_[watch].folders.contains(name)) {
        return std::nullopt;
    }
    auto child = watchFolder(folders_[watch].found->subfolder(name, identity), identity, watch, {});
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

// A name was written, made or listed: a PDF becomes a candidate once its
// writer closed it; a link is reported once.
void WatchedFolders::look(int watch, const std::string& name, bool closed) {
    const auto at = folders_.find(watch);
    const auto held = at != folders_.end() ? at->second.found->hold() : nullptr;
    const auto entry = held ? held->entry(name) : std::nullopt;
    if (!entry) {
        return;
    }
    Folder& folder = at->second;
    if (entry->kind == EntryKind::Folder) {
        if (const auto child = watchSubfolder(watch, name, entry->identity)) {
            listFolder(*child);
        }
        return;
    }
    const bool pdf = hasPdfExtension(name);
    if (entry->kind == EntryKind::Link && (pdf || held->leadsToFolder(name))) {
        Name& known = folder.names[name];
        if (known.status != Status::Done || known.state.identity != entry->identity) {
            known = Name{};
            known.status = Status::Done;
            known.state.identity = entry->identity;
            listener_.skipped({folder.found->pathOf(name), IDS_KEY::IDS_BATCH_LINK_SKIPPED});
        }
        return;
    }
    const auto state = pdf && entry->kind == EntryKind::File ? held->stateOf(name) : std::nullopt;
    if (!state) {
        return;
    }
    auto [it, added] = folder.names.try_emplace(name);
    Name& known = it->second;
    known.quiet = added ? rescanning_ : known.quiet;
    const bool same =
        !added && known.state.identity == state->identity && known.state.untouched(*state);
    switch (added ? Status::Open : known.status) {
    case Status::Queued:
    case Status::Running:
        known.changedWhileRunning = known.changedWhileRunning || !same;
        return;
    case Status::Settling:
    case Status::Recheck:
    case Status::Done:
        if (same) {
            return; // nothing new: the start-up listing and its events, a listing again
        }
        break;
    case Status::Open:
        if (!closed) {
            return;
        }
        break;
    }
    known.state = *state;
    if (!closed) {
        known.status = Status::Open;
        return;
    }
    known.status = Status::Settling;
    known.held.reset();
    known.due = Clock::now() + settle_;
    settling_.insert({watch, name});
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
        rescanning_ = true;
        for (const int watch : watches) {
            listFolder(watch);
        }
        rescanning_ = false;
        return;
    }
    }
}

WatchedFolders::Name* WatchedFolders::find(int watch, const std::string& name) {
    const auto at = folders_.find(watch);
    if (at == folders_.end()) {
        return nullptr;
    }
    const auto it = at->second.names.find(name);
    return it == at->second.names.end() ? nullptr : &it->second;
}

// The names whose time has come: taken when they stayed the same, else
// watched for another settle time.
void WatchedFolders::settle(Clock::time_point now) {
    for (auto key = settling_.begin(); key != settling_.end();) {
        Name* entry = find(key->first, key->second);
        if (!entry) {
            key = settling_.erase(key);
            continue;
        }
        if (entry->due > now) {
            ++key;
            continue;
        }
        const auto held = folders_[key->first].found->hold();
        const auto state = held ? held->stateOf(key->second) : std::nullopt;
        if (!state) { // gone before it was taken
            folders_[key->first].names.erase(key->second);
            key = settling_.erase(key);
            continue;
        }
        if (state->identity != entry->state.identity || !state->untouched(entry->state)) {
            entry->state = *state;
            entry->status = Status::Settling;
            entry->due = now + settle_;
            ++key;
            continue;
        }
        if (entry->status == Status::Recheck) {
            // It stayed as it failed: its line now.
            listener_.fileDone(*entry->held);
            folders_[key->first].names.erase(key->second);
        } else {
            take(key->first, key->second, *entry);
        }
        key = settling_.erase(key);
    }
}

// A settled file: the copy of an earlier run is left alone; any other
// waits for a job.
void WatchedFolders::take(int watch, const std::string& name, Name& entry) {
    Folder& folder = folders_[watch];
    FileSource source;
    source.path = folder.found->pathOf(name);
    source.folder = folder.found;
    source.name = name;
    const auto held = folder.found->hold();
    const auto sourceName = sourcePathOfCopy(name);
    const auto beside = sourceName && held ? held->entry(*sourceName) : std::nullopt;
    if (beside && (beside->kind == EntryKind::File || beside->kind == EntryKind::Link) &&
        opensUnprotected(source, services_.pdf)) {
        folder.names.erase(name);
        return;
    }
    entry.status = Status::Queued;
    queue_.push_back({watch, name});
}

std::size_t WatchedFolders::rootsLeft() const {
    return static_cast<std::size_t>(
        std::count_if(folders_.begin(), folders_.end(),
                      [](const auto& folder) { return !folder.second.rootPath.empty(); }));
}

std::chrono::milliseconds WatchedFolders::untilDue(std::chrono::milliseconds most) {
    const auto now = Clock::now();
    for (const Key& key : settling_) {
        if (const Name* entry = find(key.first, key.second)) {
            most = std::min(most, std::chrono::ceil<std::chrono::milliseconds>(
                                      std::max(entry->due - now, Clock::duration(0))));
        }
    }
    return most;
}

std::optional<std::pair<WatchedFolders::Key, BatchItem>> WatchedFolders::next() {
    while (!queue_.empty()) {
        const Key key = queue_.front();
        queue_.pop_front();
        Name* entry = find(key.first, key.second);
        if (!entry) {
            continue;
        }
        const Folder& folder = folders_[key.first];
        BatchItem item;
        item.path = folder.found->pathOf(key.second);
        item.folder = folder.found;
        item.name = key.second;
        // Its copies beyond a gap, as far as the names known show them; the
        // others the job finds itself.
        const std::string base = key.second.substr(0, key.second.rfind('.'));
        for (auto it = folder.names.lower_bound(base);
             it != folder.names.end() && it->first.starts_with(base); ++it) {
            if (sourcePathOfCopy(it->first) == key.second) {
                item.copyNames.push_back(it->first);
            }
        }
        entry->status = Status::Running;
        entry->changedWhileRunning = false;
        return std::pair{key, std::move(item)};
    }
    return std::nullopt;
}

void WatchedFolders::finished(const Key& key, const FileResult& result, bool lookAgain) {
    Name* entry = find(key.first, key.second);
    if (!entry) {
        listener_.fileDone(result); // its folder went meanwhile
        return;
    }
    // A file that may have been taken too early is looked at again: once it
    // settles it is taken again; if it stays as it was, its line.
    if (lookAgain) {
        entry->status = Status::Recheck;
        entry->held = result;
        entry->due = Clock::now() + settle_;
        settling_.insert(key);
        return;
    }
    // Looked at again after lost events: what it had is no news.
    if (!entry->quiet || tallyOf(result.message) != Tally::CopiedBefore) {
        listener_.fileDone(result);
    }
    const bool changed = entry->changedWhileRunning;
    folders_[key.first].names.erase(key.second);
    // Replaced or written again while it was handled: a new arrival.
    if (changed) {
        look(key.first, key.second, true);
    }
    // Its copy beside it is known as one.
    const std::string folderPath = folders_[key.first].found->path() + "/";
    if (result.copy && result.copy->starts_with(folderPath) &&
        result.copy->find('/', folderPath.size()) == std::string::npos) {
        look(key.first, result.copy->substr(folderPath.size()), true);
    }
}

void WatchedFolders::reportKeptBack() {
    for (auto& [watch, folder] : folders_) {
        for (auto& [name, known] : folder.names) {
            if (known.held) {
                listener_.fileDone(*known.held);
                known.held.reset();
            }
        }
    }
}

} // namespace pdfunlock
