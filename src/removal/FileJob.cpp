#include "removal/FileJob.h"

#include "platform/Paths.h"
#include "platform/SystemErrors.h"
#include "removal/CopyFileNaming.h"
#include "removal/LaunchChecks.h"
#include "removal/LogLines.h"

#include <algorithm>

namespace pdfunlock {

namespace {

// The copy in a held folder (the source's, or the one under the output
// folder that stands for it, made when the copy is first named): named,
// written, opened again and deleted relative to that folder's descriptor,
// so that nothing done to the folder's path meanwhile moves it; only the
// file written is ever deleted.
class FolderCopyPlace final : public CopyPlace {
public:
    FolderCopyPlace(std::shared_ptr<const HeldFolder> folder,
                    std::shared_ptr<const OutputFolder> output, std::string sourceName,
                    RemovalServices services, BlockingWaits* waits)
        : folder_(std::move(folder)), output_(std::move(output)),
          sourceName_(std::move(sourceName)), services_(services), waits_(waits) {}

    std::optional<std::string> choose() override {
        if (output_) {
            folder_ = output_->hold(true);
            if (!folder_) {
                failure_ = errno;
                return std::nullopt;
            }
        }
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
        failure_ = 0;
        target.failure = &failure_;
        target.waits = waits_;
        return copy.writeToFile(target, permissions);
    }
    std::shared_ptr<PDFDocument> reopen() override {
        const Descriptor fd = folder_->openFile(name_, false);
        if (!fd) {
            failure_ = errno;
            return nullptr;
        }
        const auto state = fileStateOf(fd.get());
        if (!state || state->identity != written_) {
            return nullptr;
        }
        OpenProblem problem;
        auto copy = services_.pdf.initWithDescriptor(fd.get(), folder_->pathOf(name_), &problem);
        failure_ = problem.kind == OpenProblem::Kind::System ? problem.error : 0;
        return copy;
    }
    void discard() override { folder_->removeIfSame(name_, written_); }
    std::string reported() override {
        return paths::absolutePath(folder_->currentPathOf(name_, written_));
    }
    int failure() const override { return failure_; }

    bool heldByOthers() const { return heldByOthers_; }

private:
    std::shared_ptr<const HeldFolder> folder_;
    std::shared_ptr<const OutputFolder> output_;
    std::string sourceName_;
    RemovalServices services_;
    BlockingWaits* waits_;
    std::string name_;
    FileIdentity written_;
    int failure_ = 0;
    bool heldByOthers_ = false;
};

// An earlier run's copy, or why it could not be looked for (out of
// descriptors: a copy not seen must not be made again).
struct EarlierCopy {
    std::optional<std::string> path;
    int error = 0;
};

// A copy of the document with identifier `id` that this user made: a regular
// file (no link followed), owned by the running user, unprotected, and with
// the same first /ID element.
bool isOwnCopy(const HeldFolder& folder, const std::string& name, const std::string& id,
               RemovalServices services, FileIdentity& identity, int& error) {
    const Descriptor fd = folder.openFile(name, false);
    if (!fd && isDescriptorExhaustion(errno)) {
        error = errno;
    }
    const auto state = fd ? fileStateOf(fd.get()) : std::nullopt;
    if (!state || state->owner != services.files.runningUserId()) {
        return false;
    }
    identity = state->identity;
    OpenProblem problem;
    const auto copy = services.pdf.initWithDescriptor(fd.get(), folder.pathOf(name), &problem);
    if (problem.kind == OpenProblem::Kind::System && isDescriptorExhaustion(problem.error)) {
        error = problem.error;
    }
    return copy && !copy->isLocked() && copy->permanentIdentifier() == id;
}

// The names its copies may have, lowest first: from the plain one up to the
// first free one, then those the walk saw beyond a gap.
EarlierCopy findEarlierCopy(const HeldFolder& folder, const FileSource& source, int sourceFd,
                            RemovalServices services) {
    EarlierCopy earlier;
    OpenProblem problem;
    const auto id = services.pdf.permanentIdentifierAt(sourceFd, &problem);
    if (!id) {
        if (problem.kind == OpenProblem::Kind::System && isDescriptorExhaustion(problem.error)) {
            earlier.error = problem.error;
        }
        return earlier;
    }
    std::vector<std::string> tried;
    FileIdentity identity;
    const auto look = [&](const std::string& name) {
        if (earlier.error != 0 || std::find(tried.begin(), tried.end(), name) != tried.end()) {
            return false;
        }
        tried.push_back(name);
        if (isOwnCopy(folder, name, *id, services, identity, earlier.error)) {
            earlier.path = paths::absolutePath(folder.currentPathOf(name, identity));
            return true;
        }
        return false;
    };
    for (int k = 0; k <= kLastCopyNumber && earlier.error == 0; ++k) {
        const std::string name = copyFilePath(source.name, k);
        if (!folder.isNameTaken(name)) {
            break;
        }
        if (look(name)) {
            return earlier;
        }
    }
    for (const auto& name : source.copyNames) {
        if (look(name)) {
            break;
        }
    }
    return earlier;
}

FileOutcome withReason(FileReason reason) {
    FileOutcome outcome;
    outcome.reason = reason;
    return outcome;
}

FileOutcome withDetail(FileReason reason, std::string_view detail, IDS_KEY phrase) {
    FileOutcome outcome = withReason(reason);
    outcome.detail = detail;
    outcome.detailPhrase = phrase;
    return outcome;
}

// A document the service would not open, by what it said.
FileOutcome openProblem(const OpenProblem& problem) {
    switch (problem.kind) {
    case OpenProblem::Kind::System:
        return outcomeOfError(FileReason::Unreadable, problem.error);
    case OpenProblem::Kind::OtherSecurity:
        return withDetail(FileReason::RefusedOrigin, "other-security",
                          IDS_KEY::IDS_DETAIL_OTHER_SECURITY);
    default:
        return withReason(FileReason::Damaged);
    }
}

// A save that failed: the system's reason first, then a source that could
// not be read whole, then what the job knows.
FileOutcome saveFailure(const RemovalResult& result, const PDFDocument& source,
                        FileOutcome otherwise) {
    if (result.systemError != 0) {
        return outcomeOfError(FileReason::SaveFailed, result.systemError);
    }
    return source.isDamaged() ? withReason(FileReason::Damaged) : otherwise;
}

FileOutcome outcomeOf(const RemovalResult& result, const PDFDocument& source, bool heldByOthers) {
    FileOutcome outcome;
    switch (result.exit) {
    case RemovalExit::Complete:
        outcome = withReason(heldByOthers ? FileReason::CopiedNameHeld : FileReason::Copied);
        outcome.copyPath = result.copyPath;
        break;
    case RemovalExit::InvalidPassword:
        outcome = withReason(FileReason::WrongPassword);
        break;
    case RemovalExit::Restricted: {
        const auto& permission = kPermissionNames.at(result.refusedPermission);
        outcome = withDetail(FileReason::RefusedPermission, permission.code, permission.phrase);
        break;
    }
    case RemovalExit::NotFromTessivon:
        outcome = withReason(FileReason::RefusedOrigin);
        break;
    case RemovalExit::SourceChanged:
        outcome = withReason(FileReason::ChangedWhileRead);
        break;
    case RemovalExit::NoCopyPath:
        outcome = result.systemError != 0
                      ? outcomeOfError(FileReason::SaveFailed, result.systemError)
                      : withDetail(FileReason::SaveFailed, "no-free-name",
                                   IDS_KEY::IDS_DETAIL_NO_FREE_NAME);
        break;
    case RemovalExit::WriteFailed:
        outcome = saveFailure(result, source, withReason(FileReason::SaveFailed));
        break;
    case RemovalExit::CopyUnreadable:
        outcome = saveFailure(result, source,
                              withDetail(FileReason::SaveFailed, "copy-unreadable",
                                         IDS_KEY::IDS_DETAIL_COPY_UNREADABLE));
        break;
    case RemovalExit::Damaged:
    case RemovalExit::SourceWithoutPages:
    case RemovalExit::NoDocument:
        outcome = withReason(FileReason::Damaged);
        break;
    }
    outcome.opened = result.opened;
    return outcome;
}

} // namespace

FileOutcome outcomeOfError(FileReason reason, int error) {
    FileOutcome outcome =
        withReason(isDescriptorExhaustion(error) ? FileReason::TooManyOpenFiles : reason);
    if (error != 0) {
        outcome.detail = errorName(error);
        // Out of descriptors says it all; any other error is said besides.
        if (outcome.reason != FileReason::TooManyOpenFiles) {
            outcome.systemError = error;
            outcome.detailPhrase = phraseOfError(error);
        }
    }
    return outcome;
}

FileOutcome openFailure(int error) {
    switch (error) {
    case ELOOP:
        return withReason(FileReason::LinkNotFollowed); // a link has taken its name
    case ENOENT:
    case ENOTDIR:
        return withReason(FileReason::NotFound);
    case EISDIR:
    case EINVAL:
        return withReason(FileReason::NotARegularFile);
    default:
        return outcomeOfError(FileReason::Unreadable, error);
    }
}

FileOutcome unlockFile(const FileSource& source, const std::vector<std::string>& passwords,
                       RemovalServices services, FileJobOptions options) {
    const auto refused = [&services](int error) {
        if (error == ENOENT) {
            services.log.log(std::string(kLogPdfMissing)); // as the window's launch check logs it
        }
        return openFailure(error);
    };
    if (!source.folder) {
        return refused(source.folderError);
    }
    const auto folder = source.folder->hold();
    if (!folder) {
        // Another folder, or a link, where the walk found it; else unreadable
        // now (no access, no descriptor left).
        const int error = errno;
        const bool moved = error == ESTALE || error == ELOOP || error == ENOTDIR || error == ENOENT;
        return moved ? withReason(FileReason::FolderMoved)
                     : outcomeOfError(FileReason::FolderUnreadable, error);
    }
    const Descriptor fd = folder->openFile(source.name, source.named);
    if (!fd) {
        return refused(errno);
    }
    // One job a file across processes: another run on it is waited for, and
    // its copy then found by the rule below. That run's job may itself wait
    // for a place among ours (its sync done): never wait holding one.
    FileLock lock = lockExclusive(fd.get(), false, options.cancel);
    if (lock == FileLock::Busy && options.wait) {
        const BlockingWait wait(options.waits);
        lock = lockExclusive(fd.get(), true, options.cancel);
    }
    switch (lock) {
    case FileLock::Held:
        break;
    case FileLock::Busy: {
        FileOutcome busy = withReason(FileReason::NotStarted);
        busy.busy = true;
        return busy;
    }
    case FileLock::Cancelled:
        return withReason(FileReason::NotStarted);
    }
    // Nothing written yet: a scan still arriving.
    if (const auto state = fileStateOf(fd.get()); state && state->size == 0) {
        return withReason(FileReason::Empty);
    }
    if (!options.again) {
        errno = 0;
        const auto copies = source.output ? source.output->hold(false) : folder;
        if (!copies && isDescriptorExhaustion(errno)) {
            return outcomeOfError(FileReason::TooManyOpenFiles, errno);
        }
        const EarlierCopy earlier =
            copies ? findEarlierCopy(*copies, source, fd.get(), services) : EarlierCopy{};
        if (earlier.error != 0) {
            return outcomeOfError(FileReason::TooManyOpenFiles, earlier.error);
        }
        if (earlier.path) {
            FileOutcome before = withReason(FileReason::CopiedBefore);
            before.copyPath = earlier.path;
            return before;
        }
    }
    // The first password is tried first: when it is the user password, the
    // launch check need not derive the empty password's key.
    OpenProblem problem;
    const LaunchCheck checked = checkLockedDocument(
        services.pdf.initWithDescriptorForPassword(
            fd.get(), source.path, passwords.empty() ? std::string() : passwords.front(), &problem),
        services.log);
    if (!checked.document) {
        return checked.refusal == IDS_KEY::IDS_MSG_NO_PWD ? withReason(FileReason::NotProtected)
                                                          : openProblem(problem);
    }
    FolderCopyPlace place(source.output ? nullptr : folder, source.output, source.name, services,
                          options.waits);
    const RemovalResult result = removePassword(*checked.document, passwords, services, place);
    return outcomeOf(result, *checked.document, place.heldByOthers());
}

std::optional<std::string> earlierCopyOf(const FileSource& source, RemovalServices services) {
    const auto folder = source.folder ? source.folder->hold() : nullptr;
    const Descriptor fd = folder ? folder->openFile(source.name, source.named) : Descriptor();
    const auto copies = source.output ? source.output->hold(false) : folder;
    return fd && copies ? findEarlierCopy(*copies, source, fd.get(), services).path : std::nullopt;
}

} // namespace pdfunlock
