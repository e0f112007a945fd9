#include "removal/FileJob.h"

#include "platform/Paths.h"
#include "removal/CopyFileNaming.h"
#include "removal/LaunchChecks.h"
#include "removal/LogLines.h"

#include <algorithm>
#include <cerrno>

namespace pdfunlock {

namespace {

// The copy in the source's held folder: named, written, opened again and
// deleted relative to that folder's descriptor, so that nothing done to the
// folder's path meanwhile moves it; only the file written is ever deleted.
class FolderCopyPlace final : public CopyPlace {
public:
    FolderCopyPlace(std::shared_ptr<const HeldFolder> folder, std::string sourceName,
                    RemovalServices services)
        : folder_(std::move(folder)), sourceName_(std::move(sourceName)), services_(services) {}

    std::optional<std::string> choose() override {
        const unsigned self = services_.files.runningUserId();
        auto name = firstFreeCopyPath(
            sourceName_,
            [&](const std::string& candidate) {
                const auto holder = folder_->entry(candidate);
                if (holder && (holder->kind == EntryKind::Link || holder->owner != self)) {
                    heldByOthers_ = true;
                }
                return holder.has_value();
            },
            services_.log);
        name_ = name.value_or(std::string());
        return name ? std::optional(folder_->pathOf(*name)) : std::nullopt;
    }
    bool write(PDFDocument& copy, unsigned permissions, std::optional<unsigned> group) override {
        SaveTarget target(folder_, name_);
        target.group = group;
        target.written = &written_;
        return copy.writeToFile(target, permissions);
    }
    std::shared_ptr<PDFDocument> reopen() override {
        const Descriptor fd = folder_->openFile(name_, false);
        const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
        if (!state || state->identity != written_) {
            return nullptr;
        }
        return services_.pdf.initWithDescriptor(fd.get(), folder_->pathOf(name_));
    }
    void discard() override { folder_->removeIfSame(name_, written_); }
    std::string reported() override {
        return paths::absolutePath(folder_->currentPathOf(name_, written_));
    }

    bool heldByOthers() const { return heldByOthers_; }

private:
    std::shared_ptr<const HeldFolder> folder_;
    std::string sourceName_;
    RemovalServices services_;
    std::string name_;
    FileIdentity written_;
    bool heldByOthers_ = false;
};

// A copy of the document with identifier `id` that this user made: a regular
// file (no link followed), owned by the running user, unprotected, and with
// the same first /ID element.
bool isOwnCopy(const HeldFolder& folder, const std::string& name, const std::string& id,
               RemovalServices services, FileIdentity& identity) {
    const Descriptor fd = folder.openFile(name, false);
    const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
    if (!state || state->owner != services.files.runningUserId()) {
        return false;
    }
    identity = state->identity;
    const auto copy = services.pdf.initWithDescriptor(fd.get(), folder.pathOf(name));
    return copy && !copy->isLocked() && copy->permanentIdentifier() == id;
}

// The names its copies may have, lowest first: from the plain one up to the
// first free one, then those the walk saw beyond a gap. `id`: the source's.
std::optional<std::string> findEarlierCopy(const HeldFolder& folder, const FileSource& source,
                                           const std::optional<std::string>& id,
                                           RemovalServices services) {
    if (!id) {
        return std::nullopt;
    }
    std::vector<std::string> tried;
    FileIdentity identity;
    const auto look = [&](const std::string& name) {
        if (std::find(tried.begin(), tried.end(), name) != tried.end()) {
            return false;
        }
        tried.push_back(name);
        return isOwnCopy(folder, name, *id, services, identity);
    };
    const auto found = [&](const std::string& name) {
        return paths::absolutePath(folder.currentPathOf(name, identity));
    };
    for (int k = 0; k <= kLastCopyNumber; ++k) {
        const std::string name = copyFilePath(source.name, k);
        if (!folder.isNameTaken(name)) {
            break;
        }
        if (look(name)) {
            return found(name);
        }
    }
    for (const auto& name : source.copyNames) {
        if (look(name)) {
            return found(name);
        }
    }
    return std::nullopt;
}

// Why a source could not be opened, as the outcome says it.
IDS_KEY openFailure(int error, Log& log) {
    if (error == ELOOP) {
        return IDS_KEY::IDS_BATCH_LINK_SKIPPED; // a link has taken its name since the walk
    }
    if (error == ENOENT) {
        log.log(std::string(kLogPdfMissing)); // as the window's launch check logs it
    }
    // What does not open is no document of the family, as in the window.
    return IDS_KEY::IDS_MSG_NO_TESSIVON;
}

} // namespace

FileOutcome unlockFile(const FileSource& source, const std::string& password,
                       RemovalServices services, FileJobOptions options) {
    if (!source.folder) {
        return {openFailure(ENOENT, services.log), std::nullopt};
    }
    const auto folder = source.folder->hold();
    if (!folder) {
        // Another folder, or a link, where the walk found it; else unreadable
        // now (no access, no descriptor left).
        const bool moved = errno == ESTALE || errno == ELOOP || errno == ENOTDIR || errno == ENOENT;
        return {moved ? IDS_KEY::IDS_BATCH_MOVED : IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE,
                std::nullopt};
    }
    const Descriptor fd = folder->openFile(source.name, source.named);
    if (!fd) {
        return {openFailure(errno, services.log), std::nullopt};
    }
    // One job a file across processes: another run on it is waited for, and
    // its copy then found by the rule below.
    switch (lockExclusive(fd.get(), options.wait, options.cancel)) {
    case FileLock::Held:
        break;
    case FileLock::Busy:
        return {IDS_KEY::IDS_BATCH_NOT_STARTED, std::nullopt, true};
    case FileLock::Cancelled:
        return {IDS_KEY::IDS_BATCH_NOT_STARTED, std::nullopt};
    }
    // One reading of the source for its identifier, the launch checks and
    // the unlock; no key is derived before an earlier copy is ruled out.
    auto document = services.pdf.initWithDescriptorForPassword(fd.get(), source.path, password);
    if (!options.again) {
        const auto id = document ? document->permanentIdentifier() : std::nullopt;
        if (auto earlier = findEarlierCopy(*folder, source, id, services)) {
            return {IDS_KEY::IDS_BATCH_COPY_THERE, std::move(earlier)};
        }
    }
    const LaunchCheck checked = checkLockedDocument(std::move(document), services.log);
    if (!checked.document) {
        return {checked.refusal.value_or(IDS_KEY::IDS_MSG_NO_TESSIVON), std::nullopt};
    }
    FolderCopyPlace place(folder, source.name, services);
    const RemovalResult result = removePassword(*checked.document, password, services, place);
    switch (result.exit) {
    case RemovalExit::Complete:
        return {place.heldByOthers() ? IDS_KEY::IDS_BATCH_COPY_NAME_HELD
                                     : IDS_KEY::IDS_MSG_COMPLETE,
                result.copyPath};
    case RemovalExit::SourceChanged:
        return {IDS_KEY::IDS_BATCH_CHANGED_WHILE_READ, std::nullopt};
    default:
        return {messageFor(result.exit).value_or(IDS_KEY::IDS_MSG_FAILED), std::nullopt};
    }
}

std::optional<std::string> earlierCopyOf(const FileSource& source, RemovalServices services) {
    const auto folder = source.folder ? source.folder->hold() : nullptr;
    const Descriptor fd = folder ? folder->openFile(source.name, source.named) : Descriptor();
    return fd ? findEarlierCopy(*folder, source, services.pdf.permanentIdentifierAt(fd.get()),
                                services)
              : std::nullopt;
}

} // namespace pdfunlock
