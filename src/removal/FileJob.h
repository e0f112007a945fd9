// The whole job for one file of a batch, whose password is known beforehand:
// the window's launch checks and removal, in the file's held folder, under a
// lock that keeps other runs off the file, with the rule for re-runs.
#pragma once

#include "platform/HeldFolder.h"
#include "removal/IDSKey.h"
#include "removal/PasswordRemoval.h"

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// One file as a walk found it or the user named it.
struct FileSource {
    std::string path;                    // as shown; the copy's path is made from it
    std::shared_ptr<FoundFolder> folder; // where it is; null when none could be found
    std::string name;                    // its name there
    bool named = false;                  // named by the user: a link to it is followed
    // Names beside it that the copy naming gives it, as the walk saw them.
    std::vector<std::string> copyNames;
};

struct FileJobOptions {
    bool again = false; // copy even when an earlier run's copy is there
    // While another run handles the file: wait for it, or answer `busy`.
    bool wait = true;
    // Set: give up waiting for another run to let go of the file.
    const std::atomic<bool>* cancel = nullptr;
};

// What a batch's summary counts an outcome as.
enum class Tally { Copied, CopiedBefore, NotCopied, NotStarted };

// Every way one file of a batch ends, with what it counts as: one list, which
// grows with the outcomes the batch tells apart. The key is the outcome's
// message and its name in the command's JSON.
inline constexpr std::array kFileOutcomes = {
    std::pair{IDS_KEY::IDS_MSG_COMPLETE, Tally::Copied},
    std::pair{IDS_KEY::IDS_BATCH_COPY_NAME_HELD, Tally::Copied}, // under a further name
    std::pair{IDS_KEY::IDS_BATCH_COPY_THERE, Tally::CopiedBefore},
    std::pair{IDS_KEY::IDS_MSG_INVALIDPWD, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_MSG_NO_PWD, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_MSG_FAILED, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_BATCH_CHANGED_WHILE_READ, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_BATCH_MOVED, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_BATCH_LINK_SKIPPED, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE, Tally::NotCopied},
    std::pair{IDS_KEY::IDS_BATCH_NOT_STARTED, Tally::NotStarted},
};

constexpr Tally tallyOf(IDS_KEY key) {
    for (const auto& [outcome, tally] : kFileOutcomes) {
        if (outcome == key) {
            return tally;
        }
    }
    return Tally::NotCopied;
}

struct FileOutcome {
    IDS_KEY message;                     // one of kFileOutcomes
    std::optional<std::string> copyPath; // the copy saved now, or the earlier one; absolute
    bool busy = false;                   // not waited for: another run handles it now (no message)
};

// `password` is copied for the document and that copy wiped once it answered.
FileOutcome unlockFile(const FileSource& source, const std::string& password,
                       RemovalServices services, FileJobOptions options);

// The copy an earlier run made of the file, as the job would find it now
// (absolute), without waiting for a lock: a regular file under one of its copy
// names, the running user's own, that opens without a password and names the
// same document (the first /ID element).
std::optional<std::string> earlierCopyOf(const FileSource& source, RemovalServices services);

} // namespace pdfunlock
