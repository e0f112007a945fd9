#include "batch/BatchInputs.h"

#include "platform/Paths.h"
#include "removal/CopyFileNaming.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <map>
#include <set>
#include <utility>

namespace pdfunlock {

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

bool opensUnprotected(const FileSource& item, PDFDocumentService& pdf) {
    const auto folder = item.folder ? item.folder->hold() : nullptr;
    const Descriptor fd = folder ? folder->openFile(item.name, item.named) : Descriptor();
    const auto document = fd ? pdf.initWithDescriptor(fd.get(), item.path) : nullptr;
    return document && !document->isLocked();
}

namespace {

// Folders listed during the walk stay held for a few more, so that entering a
// sub-folder of one just listed opens one name, not the whole way down.
constexpr std::size_t kHeldWhileWalking = 8;

const Entry* find(const std::vector<Entry>& listing, const std::string& name) {
    const auto at =
        std::lower_bound(listing.begin(), listing.end(), name,
                         [](const Entry& e, const std::string& n) { return e.name < n; });
    return at != listing.end() && at->name == name ? &*at : nullptr;
}

// Files handed over at a time while their earlier copies are looked for,
// which opens PDFs: the first ones can be shown, and started, meanwhile.
constexpr std::size_t kFilesPerRound = 64;

class Walk {
public:
    Walk(RemovalServices services, std::shared_ptr<OutputFolder> output, const FoundSoFar& found)
        : services_(services), output_(std::move(output)), found_(found) {}

    // False once the receiver asked to stop.
    bool named(const std::string& path) {
        named_ = path;
        errno = 0;
        const auto info = inspectPath(path);
        const int error = errno;
        if (!info && (error == ENOENT || error == ENOTDIR)) {
            if (seenMissing_.insert(path).second) {
                unsettled_.skipped.push_back({path, openFailure(error)});
            }
            return settle();
        }
        if (info && info->kind == EntryKind::Folder) {
            if (auto root = FoundFolder::named(path)) {
                tree(std::move(root));
            } else {
                unsettled_.skipped.push_back(
                    {path, outcomeOfError(FileReason::FolderUnreadable, errno)});
            }
            return settle();
        }
        BatchItem item;
        item.path = path;
        item.folder = folderOfNamed(paths::stringByDeletingLastPathComponent(path), item);
        item.name = paths::lastPathComponent(path);
        item.named = true;
        item.output = output_;
        // Not to be examined now (no access): the job says why.
        if (!info ? seenMissing_.insert(path).second : seen_.insert(info->identity).second) {
            unsettled_.items.push_back(std::move(item));
        }
        return settle();
    }

private:
    // Depth first with a stack of its own, by descriptor: a folder is entered
    // from its parent's, whatever the length of its path.
    // With an output folder, each folder found has its folder there, below
    // the one that stands for its parent.
    struct Pending {
        std::shared_ptr<FoundFolder> found;
        std::shared_ptr<OutputFolder> outputAbove; // null for the named folder
        std::string name;
    };

    void tree(std::shared_ptr<FoundFolder> root) {
        std::vector<Pending> pending{{std::move(root), nullptr, {}}};
        std::deque<std::shared_ptr<const HeldFolder>> recent;
        while (!pending.empty() && !stopped_) {
            const Pending next = std::move(pending.back());
            pending.pop_back();
            const std::shared_ptr<FoundFolder>& found = next.found;
            errno = 0;
            const auto held = found->hold();
            auto entries = held ? held->entries() : std::nullopt;
            if (!entries) {
                unsettled_.skipped.push_back(
                    {found->path(), outcomeOfError(FileReason::FolderUnreadable, errno)});
                continue;
            }
            std::shared_ptr<OutputFolder> output = output_;
            if (next.outputAbove) {
                const auto state = fileStateOf(held->descriptor());
                output = next.outputAbove->subfolder(next.name, state ? state->permissions : 0700u);
            }
            recent.push_back(held);
            if (recent.size() > kHeldWhileWalking) {
                recent.pop_front();
            }
            std::vector<Pending> subfolders;
            const std::size_t taken = unsettled_.items.size();
            for (const Entry& entry : *entries) {
                if (entry.kind == EntryKind::Folder) {
                    // The copies' folder is no source.
                    if (!output_ || entry.identity != output_->identity()) {
                        subfolders.push_back(
                            {found->subfolder(entry.name, entry.identity), output, entry.name});
                    }
                } else if (entry.kind == EntryKind::Link &&
                           (hasPdfExtension(entry.name) || held->leadsToFolder(entry.name))) {
                    unsettled_.skipped.push_back({found->pathOf(entry.name), openFailure(ELOOP)});
                } else if (entry.kind == EntryKind::File && hasPdfExtension(entry.name) &&
                           seen_.insert(entry.identity).second) {
                    BatchItem item;
                    item.path = found->pathOf(entry.name);
                    item.folder = found;
                    item.name = entry.name;
                    item.output = output;
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
    // their earlier copy (with an output folder, looked for there by name);
    // handed over in rounds with what was skipped.
    bool settle() {
        std::vector<BatchItem> items = std::move(unsettled_.items);
        unsettled_.items.clear();
        BatchInputs round;
        round.skipped = std::move(unsettled_.skipped);
        unsettled_.skipped.clear();
        static const BatchItem nowhere;
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
            for (const Entry& entry : this->listing(output_ ? nowhere : item)) {
                if (entry.kind == EntryKind::File && sourcePathOfCopy(entry.name) == item.name) {
                    item.copyNames.push_back(entry.name);
                }
            }
            if (output_ || !item.copyNames.empty()) {
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

    // The folder of a named file, opened once for all named files in it;
    // `item` learns why when it cannot be.
    std::shared_ptr<FoundFolder> folderOfNamed(const std::string& dir, BatchItem& item) {
        auto known = namedFolders_.find(dir);
        if (known == namedFolders_.end()) {
            errno = 0;
            auto folder = FoundFolder::named(dir);
            const int error = errno;
            if (folder) {
                folder->keepHeld(folder->hold());
            }
            known = namedFolders_.emplace(dir, std::pair{std::move(folder), error}).first;
        }
        item.folderError = known->second.second;
        return known->second.first;
    }

    RemovalServices services_;
    std::shared_ptr<OutputFolder> output_;
    const FoundSoFar& found_;
    std::string named_;
    BatchInputs unsettled_; // found, not yet settled
    bool stopped_ = false;
    std::set<FileIdentity> seen_;
    std::set<std::string> seenMissing_;
    std::map<std::string, std::pair<std::shared_ptr<FoundFolder>, int>> namedFolders_;
    std::map<std::shared_ptr<FoundFolder>, std::vector<Entry>> listings_;
};

} // namespace

void collectInputs(const std::vector<std::string>& paths, RemovalServices services,
                   std::shared_ptr<OutputFolder> output, const FoundSoFar& found) {
    Walk walk(services, std::move(output), found);
    for (const auto& path : paths) {
        if (!walk.named(path)) {
            return;
        }
    }
}

BatchInputs collectInputs(const std::vector<std::string>& paths, RemovalServices services,
                          std::shared_ptr<OutputFolder> output) {
    BatchInputs inputs;
    const auto append = [](auto& to, auto& from) {
        to.insert(to.end(), std::make_move_iterator(from.begin()),
                  std::make_move_iterator(from.end()));
    };
    collectInputs(paths, services, std::move(output), [&](const std::string&, BatchInputs found) {
        append(inputs.items, found.items);
        append(inputs.skipped, found.skipped);
        append(inputs.earlierCopies, found.earlierCopies);
        return true;
    });
    return inputs;
}

} // namespace pdfunlock
