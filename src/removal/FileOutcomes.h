// Every way one file of a batch can end, in one table: its stable reason
// code, the short phrase a line of text and the window's row show, the
// window's message for it, what the summary counts it as and whether it
// needs the user's attention (what the command's exit status follows).
#pragma once

#include "removal/IDSKey.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <string_view>

namespace pdfunlock {

// In the order of kFileOutcomes.
enum class FileReason {
    Copied,
    CopiedNameHeld, // under a further name: a file of another owner, or a link, held the name
    CopiedBefore,
    NotProtected,
    RefusedOrigin,
    RefusedPermission,
    WrongPassword,
    NotFound,
    NotARegularFile,
    Unreadable,
    Empty,
    Damaged,
    ChangedWhileRead,
    SaveFailed,
    TooManyOpenFiles,
    LinkNotFollowed,
    FolderUnreadable,
    FolderMoved,
    NotStarted,
};

// What a batch's summary counts an outcome as.
enum class Tally { Copied, CopiedBefore, NotCopied, NotStarted };

// What an outcome asks of the user: nothing (the copy is there), nothing by
// design (a file the program leaves alone: not protected, or not of its
// family), or attention.
enum class Attention { None, LeftAlone, Needed };

struct FileOutcomeRow {
    FileReason reason;
    std::string_view code; // --json's "reason"; never changes
    IDS_KEY phrase;        // short, for a line of text and the window's row
    IDS_KEY message;       // the window's message: its alert, or the batch's own
    Tally tally;
    Attention attention;
};

inline constexpr std::array kFileOutcomes = {
    FileOutcomeRow{FileReason::Copied, "copied", IDS_KEY::IDS_REASON_COPIED,
                   IDS_KEY::IDS_MSG_COMPLETE, Tally::Copied, Attention::None},
    FileOutcomeRow{FileReason::CopiedNameHeld, "copied-name-held",
                   IDS_KEY::IDS_REASON_COPIED_NAME_HELD, IDS_KEY::IDS_BATCH_COPY_NAME_HELD,
                   Tally::Copied, Attention::None},
    FileOutcomeRow{FileReason::CopiedBefore, "copied-before", IDS_KEY::IDS_REASON_COPIED_BEFORE,
                   IDS_KEY::IDS_BATCH_COPY_THERE, Tally::CopiedBefore, Attention::None},
    FileOutcomeRow{FileReason::NotProtected, "not-protected", IDS_KEY::IDS_REASON_NOT_PROTECTED,
                   IDS_KEY::IDS_MSG_NO_PWD, Tally::NotCopied, Attention::LeftAlone},
    FileOutcomeRow{FileReason::RefusedOrigin, "refused-origin", IDS_KEY::IDS_REASON_REFUSED_ORIGIN,
                   IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied, Attention::LeftAlone},
    FileOutcomeRow{FileReason::RefusedPermission, "refused-permission",
                   IDS_KEY::IDS_REASON_REFUSED_PERMISSION, IDS_KEY::IDS_MSG_NO_TESSIVON,
                   Tally::NotCopied, Attention::LeftAlone},
    FileOutcomeRow{FileReason::WrongPassword, "wrong-password", IDS_KEY::IDS_REASON_WRONG_PASSWORD,
                   IDS_KEY::IDS_MSG_INVALIDPWD, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::NotFound, "not-found", IDS_KEY::IDS_REASON_NOT_FOUND,
                   IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::NotARegularFile, "not-a-regular-file",
                   IDS_KEY::IDS_REASON_NOT_A_REGULAR_FILE, IDS_KEY::IDS_MSG_NO_TESSIVON,
                   Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::Unreadable, "unreadable", IDS_KEY::IDS_REASON_UNREADABLE,
                   IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::Empty, "empty", IDS_KEY::IDS_REASON_EMPTY,
                   IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::Damaged, "damaged", IDS_KEY::IDS_REASON_DAMAGED,
                   IDS_KEY::IDS_MSG_NO_TESSIVON, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::ChangedWhileRead, "changed-while-read",
                   IDS_KEY::IDS_REASON_CHANGED_WHILE_READ, IDS_KEY::IDS_BATCH_CHANGED_WHILE_READ,
                   Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::SaveFailed, "save-failed", IDS_KEY::IDS_REASON_SAVE_FAILED,
                   IDS_KEY::IDS_MSG_FAILED, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::TooManyOpenFiles, "too-many-open-files",
                   IDS_KEY::IDS_REASON_TOO_MANY_OPEN_FILES, IDS_KEY::IDS_MSG_FAILED,
                   Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::LinkNotFollowed, "link-not-followed",
                   IDS_KEY::IDS_REASON_LINK_NOT_FOLLOWED, IDS_KEY::IDS_BATCH_LINK_SKIPPED,
                   Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::FolderUnreadable, "folder-unreadable",
                   IDS_KEY::IDS_REASON_FOLDER_UNREADABLE, IDS_KEY::IDS_BATCH_FOLDER_UNREADABLE,
                   Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::FolderMoved, "folder-moved", IDS_KEY::IDS_REASON_FOLDER_MOVED,
                   IDS_KEY::IDS_BATCH_MOVED, Tally::NotCopied, Attention::Needed},
    FileOutcomeRow{FileReason::NotStarted, "not-started", IDS_KEY::IDS_REASON_NOT_STARTED,
                   IDS_KEY::IDS_BATCH_NOT_STARTED, Tally::NotStarted, Attention::Needed},
};

constexpr bool tableInOrder() {
    for (std::size_t i = 0; i < kFileOutcomes.size(); ++i) {
        if (static_cast<std::size_t>(kFileOutcomes[i].reason) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tableInOrder(), "kFileOutcomes lists the reasons in their order");

constexpr const FileOutcomeRow& outcomeRow(FileReason reason) {
    return kFileOutcomes[static_cast<std::size_t>(reason)];
}

// The reason whose code this is (a script's word read back).
constexpr std::optional<FileReason> reasonOfCode(std::string_view code) {
    for (const auto& row : kFileOutcomes) {
        if (row.code == code) {
            return row.reason;
        }
    }
    return std::nullopt;
}

// The permissions a document of the family grants, in the order the job asks
// for them: the detail of a refused-permission outcome names the first one
// refused.
struct PermissionName {
    std::string_view code;
    IDS_KEY phrase;
};
inline constexpr std::array kPermissionNames = {
    PermissionName{"print", IDS_KEY::IDS_PERMISSION_PRINT},
    PermissionName{"copy", IDS_KEY::IDS_PERMISSION_COPY},
    PermissionName{"annotate", IDS_KEY::IDS_PERMISSION_ANNOTATE},
    PermissionName{"fill-forms", IDS_KEY::IDS_PERMISSION_FILL_FORMS},
    PermissionName{"modify", IDS_KEY::IDS_PERMISSION_MODIFY},
    PermissionName{"assemble", IDS_KEY::IDS_PERMISSION_ASSEMBLE},
    PermissionName{"accessibility", IDS_KEY::IDS_PERMISSION_ACCESSIBILITY},
};

// The system errors a failed save most often meets, said in the user's
// language; any other is said in the system's words.
constexpr std::optional<IDS_KEY> phraseOfError(int error) {
    switch (error) {
    case EROFS:
        return IDS_KEY::IDS_DETAIL_READ_ONLY;
    case ENOSPC:
    case EDQUOT:
        return IDS_KEY::IDS_DETAIL_NO_SPACE;
    case ENAMETOOLONG:
        return IDS_KEY::IDS_DETAIL_NAME_TOO_LONG;
    case EEXIST:
        return IDS_KEY::IDS_DETAIL_NAME_TAKEN;
    case EACCES:
    case EPERM:
        return IDS_KEY::IDS_DETAIL_NO_PERMISSION;
    case EFBIG:
        return IDS_KEY::IDS_DETAIL_TOO_LARGE;
    default:
        return std::nullopt;
    }
}

} // namespace pdfunlock
