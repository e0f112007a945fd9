#include "batch/WatchedFolders.h"
#include "removal/CopyFileNaming.h"

#include <algorithm>
#include <cerrno>

namespace pdfunlock {

std::chrono::milliseconds WatchedFolders::unclosedSettle() const {
    return std::max<std::chrono::milliseconds>(settle_ * 5, std::chrono::seconds(2));
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
            listener_.skipped({folder.found->pathOf(name), openFailure(ELOOP)});
        }
        return;
    }
    const auto state = pdf && entry->kind == EntryKind::File ? held->stateOf(name) : std::nullopt;
    if (!state) {
        return;
    }
    if (!folder.names.contains(name) && ownCopies_.erase(state->identity) > 0) {
        return; // the copy a job just wrote
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
        if (!closed && !added) {
            return;
        }
        break;
    }
    known.state = *state;
    known.held.reset();
    // Made but not closed: still written, or linked in whole (a hard link, a
    // file made unnamed and then named) with no close to come.
    known.status = closed ? Status::Settling : Status::Open;
    known.due = Clock::now() + (closed ? settle_ : unclosedSettle());
    settling_.insert({watch, name});
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
            const bool open = entry->status == Status::Open;
            entry->status = open ? Status::Open : Status::Settling;
            entry->due = now + (open ? unclosedSettle() : settle_);
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
        item.output = folder.output;
        item.folder = folder.found;
        item.name = key.second;
        // Its copies beside it beyond a gap, as far as the names known show
        // them; the others (and those in an output folder) the job finds.
        const std::string base = key.second.substr(0, key.second.rfind('.'));
        for (auto it = folder.names.lower_bound(base);
             !folder.output && it != folder.names.end() && it->first.starts_with(base); ++it) {
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
    if (!entry->quiet || outcomeRow(result.outcome.reason).tally != Tally::CopiedBefore) {
        listener_.fileDone(result);
    }
    const bool changed = entry->changedWhileRunning;
    folders_[key.first].names.erase(key.second);
    // Replaced or written again while it was handled: a new arrival.
    if (changed) {
        look(key.first, key.second, true);
    }
    // Its copy beside it is no arrival, whether its event came or is to come.
    Folder& folder = folders_[key.first];
    const std::string folderPath = folder.found->path() + "/";
    const auto& copyPath = result.outcome.copyPath;
    if (copyPath && copyPath->starts_with(folderPath) &&
        copyPath->find('/', folderPath.size()) == std::string::npos) {
        const std::string copy = copyPath->substr(folderPath.size());
        const auto held = folder.found->hold();
        const auto written = held ? held->entry(copy) : std::nullopt;
        settling_.erase({key.first, copy});
        if (written && folder.names.erase(copy) == 0) {
            ownCopies_.insert(written->identity);
        }
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
