// The whole job for one file of a batch, whose passwords are known
// beforehand: the window's launch checks and removal, in the file's held
// folder, under a lock that keeps other runs off the file, with the rule for
// re-runs, ending in one of the outcomes of removal/FileOutcomes.h.
#pragma once

#include "platform/HeldFolder.h"
#include "platform/OutputFolder.h"
#include "removal/FileOutcomes.h"
#include "removal/PasswordRemoval.h"

#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

// One file as a walk found it or the user named it.
struct FileSource {
    std::string path;                    // as shown; the copy's path is made from it
    std::shared_ptr<FoundFolder> folder; // where it is; null when none could be found
    int folderError = ENOENT;            // why, when there is none
    std::string name;                    // its name there
    bool named = false;                  // named by the user: a link to it is followed
    // Where its copy goes; null: beside it.
    std::shared_ptr<OutputFolder> output;
    // Names beside it that the copy naming gives it, as the walk saw them.
    std::vector<std::string> copyNames;
};

struct FileJobOptions {
    bool again = false; // copy even when an earlier run's copy is there
    // While another run handles the file: wait for it, or answer `busy`.
    bool wait = true;
    // Set: give up waiting for another run to let go of the file.
    const std::atomic<bool>* cancel = nullptr;
    // Told when the job waits for the disk or for another run, when set.
    BlockingWaits* waits = nullptr;
};

struct FileOutcome {
    FileReason reason = FileReason::SaveFailed;
    std::optional<std::string> copyPath; // the copy saved now, or the earlier one; absolute
    // What the reason needs said besides: a stable code (a permission's, an
    // errno's name...), the phrase a line of text shows for it, and the
    // errno it stands for (0: none; its text is the system's when there is
    // no phrase).
    std::string detail;
    std::optional<IDS_KEY> detailPhrase;
    int systemError = 0;
    // Which of the passwords opened the document (from 0).
    std::optional<std::size_t> opened;
    bool busy = false; // not waited for: another run handles it now (no outcome)
};

// A reason with the errno that caused it as its detail.
FileOutcome outcomeOfError(FileReason reason, int error);

// The outcome of a path that the system would not open or enter, by its
// errno: missing, a link not followed, no regular file, no access, out of
// descriptors.
FileOutcome openFailure(int error);

// Each of `passwords` is tried in turn (every form the window tries);
// nothing here copies them.
FileOutcome unlockFile(const FileSource& source, const std::vector<std::string>& passwords,
                       RemovalServices services, FileJobOptions options);

// The copy an earlier run made of the file, as the job would find it now
// (absolute), without waiting for a lock: a regular file under one of its copy
// names where its copy goes, the running user's own, that opens without a
// password and names the same document (the first /ID element).
std::optional<std::string> earlierCopyOf(const FileSource& source, RemovalServices services);

} // namespace pdfunlock
