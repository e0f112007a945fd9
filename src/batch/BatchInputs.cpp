#include "batch/BatchInputs.h"

#include "platform/Paths.h"
#include "removal/CopyFileNaming.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <utility>

namespace pdfunlock {

namespace {

bool hasPdfExtension(const std::string& name) {
    constexpr std::string_view extension = ".pdf";
    if (name.size() <= extension.size()) {
        return false;
    }
    const std::string tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

// Folders listed during the walk stay held for a few more, so that entering a
// sub-folder of one just listed opens one name, not the whole way down.
constexpr std::size_t kHeldWhileWalking = 8;

const Entry* find(const std::vector<Entry>& listing, const std::string& name) {
    const auto at =
        std::lower_bound(listing.begin(), listing.end(), name,
                         [](const Entry& e, const std::string& n) { return e.name < n; });
    return at != listing.end() && at->name == name ? &*at : nullptr;
}

bool opensUnprotected(const BatchItem& item, PDFDocumentService& pdf) {
    const auto folder = item.folder ? item.folder->hold() : nullptr;
    const Descriptor fd = folder ? folder->openFile(item.name, item.named) : Descriptor();
    const auto document = fd ? pdf.initWithDescriptor(fd.get(), item.path) : nullptr;
    return document && !document->isLocked();
}

// Files handed over at a time while their earlier copies are looked for,
// which opens PDFs: the first ones can be shown, and started, meanwhile.
constexpr std::size_t kFilesPerRound = 64;

class Walk {
public:
    Walk(RemovalServices services, const FoundSoFar& found) : services_(services), found_(found) {}

    // False once the receiver asked to stop.
    bool named(const std::string& path) {
        named_ = path;
        const auto info = inspectPath(path);
        if (info && info->kind == EntryKind::Folder) {
            if (auto root = FoundFolder::named(path)) {
                tree(std::move(root));
            } else {
                unsettled_.skipped.push_back({path, IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE});
            }
            return settle();
        }
        BatchItem item;
        item.path = path;
        item.folder = folderOfNamed(paths::stringByDeletingLastPathComponent(path));
        item.name = paths::lastPathComponent(path);
        item.named = true;
        // Missing now: the job itself says so, as the window does.
        if (!info ? seenMissing_.insert(path).second : seen_.insert(info->identity).second) {
            unsettled_.items.push_back(std::move(item));
        }
        return settle();
    }

private:
    // Depth first with a stack of its own, by descriptor: a folder is entered
    // from its parent's, whatever the length of its path.
    void tree(std::shared_ptr<FoundFolder> root) {
        std::vector<std::shared_ptr<FoundFolder>> pending{std::move(root)};
        std::deque<std::shared_ptr<const HeldFolder>> recent;
        while (!pending.empty() && !stopped_) {
            const std::shared_ptr<FoundFolder> found = std::move(pending.back());
            pending.pop_back();
            const auto held = found->hold();
            auto entries = held ? held->entries() : std::nullopt;
            if (!entries) {
                unsettled_.skipped.push_back({found->path(), IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE});
                continue;
            }
            recent.push_back(held);
            if (recent.size() > kHeldWhileWalking) {
                recent.pop_front();
            }
            std::vector<std::shared_ptr<FoundFolder>> subfolders;
            const std::size_t taken = unsettled_.items.size();
            for (const Entry& entry : *entries) {
                if (entry.kind == EntryKind::Folder) {
                    subfolders.push_back(found->subfolder(entry.name, entry.identity));
                } else if (entry.kind == EntryKind::Link &&
                           (hasPdfExtension(entry.name) || held->leadsToFolder(entry.name))) {
                    unsettled_.skipped.push_back(
                        {found->pathOf(entry.name), IDS_KEY::IDS_BATCH_LINK_SKIPPED});
                } else if (entry.kind == EntryKind::File && hasPdfExtension(entry.name) &&
                           seen_.insert(entry.identity).second) {
                    BatchItem item;
                    item.path = found->pathOf(entry.name);
                    item.folder = found;
                    item.name = entry.name;
                    unsettled_.items.push_back(std::move(item));
                }
            }
            if (taken != unsettled_.items.size()) {
                found->keepHeld(held); // its jobs never look it up again
            }
            listings_.emplace(found, std::move(*entries));
            settle();
            pending.insert(pending.end(), std::make_move_iterator(subfolders.rbegin()),
                           std::make_move_iterator(subfolders.rend()));
        }
    }

    // The files found since the last call, their folders listed: copies of an
    // earlier run set aside (the names the copy naming gives, beside their
    // source, that open without a password; looked up by name first, so that
    // only files named like copies are ever opened here), the others given
    // their earlier copy; handed over in rounds with what was skipped.
    bool settle() {
        std::vector<BatchItem> items = std::move(unsettled_.items);
        unsettled_.items.clear();
        BatchInputs round;
        round.skipped = std::move(unsettled_.skipped);
        unsettled_.skipped.clear();
        for (auto& item : items) {
            if (stopped_) {
                break;
            }
            const auto& listing = this->listing(item);
            const auto source = sourcePathOfCopy(item.name);
            const Entry* beside = source ? find(listing, *source) : nullptr;
            // Beside a link too: the copy of a source named through it.
            if (beside && (beside->kind == EntryKind::File || beside->kind == EntryKind::Link) &&
                opensUnprotected(item, services_.pdf)) {
                round.earlierCopies.push_back(item.path);
                continue;
            }
            for (const Entry& entry : listing) {
                if (entry.kind == EntryKind::File && sourcePathOfCopy(entry.name) == item.name) {
                    item.copyNames.push_back(entry.name);
                }
            }
            if (!item.copyNames.empty()) {
                item.earlierCopy = earlierCopyOf(item, services_);
            }
            round.items.push_back(std::move(item));
            if (round.items.size() == kFilesPerRound) {
                handOver(round);
            }
        }
        // Even with nothing found: the receiver may stop the walk here.
        handOver(round);
        return !stopped_;
    }

    void handOver(BatchInputs& round) {
        if (!stopped_ && !found_(named_, std::move(round))) {
            stopped_ = true;
        }
        round = BatchInputs();
    }

    // The names in the item's folder, as listed once.
    const std::vector<Entry>& listing(const BatchItem& item) {
        static const std::vector<Entry> none;
        if (!item.folder) {
            return none;
        }
        auto known = listings_.find(item.folder);
        if (known == listings_.end()) {
            const auto held = item.folder->hold();
            known = listings_
                        .emplace(item.folder, held ? held->entries().value_or(std::vector<Entry>{})
                                                   : std::vector<Entry>{})
                        .first;
        }
        return known->second;
    }

    std::shared_ptr<FoundFolder> folderOfNamed(const std::string& dir) {
        auto known = namedFolders_.find(dir);
        if (known == namedFolders_.end()) {
            auto folder = FoundFolder::named(dir);
            if (folder) {
                folder->keepHeld(folder->hold());
            }
            known = namedFolders_.emplace(dir, std::move(folder)).first;
        }
        return known->second;
    }

    RemovalServices services_;
    const FoundSoFar& found_;
    std::string named_;
    BatchInputs unsettled_; // found, not yet settled
    bool stopped_ = false;
    std::set<FileIdentity> seen_;
    std::set<std::string> seenMissing_;
    std::map<std::string, std::shared_ptr<FoundFolder>> namedFolders_;
    std::map<std::shared_ptr<FoundFolder>, std::vector<Entry>> listings_;
};

} // namespace

void collectInputs(const std::vector<std::string>& paths, RemovalServices services,
                   const FoundSoFar& found) {
    Walk walk(services, found);
    for (const auto& path : paths) {
        if (!walk.named(path)) {
            return;
        }
    }
}

BatchInputs collectInputs(const std::vector<std::string>& paths, RemovalServices services) {
    BatchInputs inputs;
    const auto append = [](auto& to, auto& from) {
        to.insert(to.end(), std::make_move_iterator(from.begin()),
                  std::make_move_iterator(from.end()));
    };
    collectInputs(paths, services, [&](const std::string&, BatchInputs found) {
        append(inputs.items, found.items);
        append(inputs.skipped, found.skipped);
        append(inputs.earlierCopies, found.earlierCopies);
        return true;
    });
    return inputs;
}

} // namespace pdfunlock
