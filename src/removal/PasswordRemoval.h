// The unlock-and-copy job behind the window's remove button and each file of a
// batch.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"
#include "removal/IDSKey.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

// How a run ended; the caller turns each into its one alert.
enum class RemovalExit {
    NoDocument = 1,  // logged, window hidden, no alert
    InvalidPassword, // window stays for another try
    Restricted,      // a permission is refused
    NotFromTessivon, // neither Creator nor Producer holds the word
    NoCopyPath,
    WriteFailed,
    CopyUnreadable, // the written copy did not open cleanly again and was deleted
    Complete,
    SourceWithoutPages, // nothing to copy: no file is written
    SourceChanged,      // written to while it was read: the copy was deleted
    Damaged,            // unlocked, yet unreadable: cut short, or over the inflation budget
};

// The message a run's end is reported with (nullopt: none, only the log
// line), and the style of the alert that shows it.
std::optional<IDS_KEY> messageFor(RemovalExit exit);
AlertStyle alertStyleFor(IDS_KEY message);

struct RemovalServices {
    PDFDocumentService& pdf;
    FileSystem& files;
    Log& log;
};

struct RemovalResult {
    RemovalExit exit;
    std::optional<std::string> copyPath; // set for Complete only
    // Which of the passwords tried opened the document (from 0).
    std::optional<std::size_t> opened;
    // Restricted: the first permission refused, in the order they are asked
    // (kPermissionNames in removal/FileOutcomes.h).
    std::size_t refusedPermission = 0;
    // NoCopyPath, WriteFailed, CopyUnreadable: the errno the system
    // answered, 0 if none.
    int systemError = 0;
};

// Where a run puts its copy: what names it, writes it, opens it again and
// deletes it, in one place. The window's is beside its document's path; the
// batch's is a name in a held folder.
class CopyPlace {
public:
    virtual ~CopyPlace() = default;
    // The copy's path, or nullopt (logged) when no name is free.
    virtual std::optional<std::string> choose() = 0;
    // Never more readable than the source: its permission bits, and its
    // group when known.
    virtual bool write(PDFDocument& copy, unsigned permissions, std::optional<unsigned> group) = 0;
    // The written copy opened again; nullptr when it does not open, or its
    // name no longer holds the file written.
    virtual std::shared_ptr<PDFDocument> reopen() = 0;
    // Deletes the written copy (the batch's: only while its name still holds
    // the file written).
    virtual void discard() = 0;
    // Where the copy is, to report.
    virtual std::string reported() = 0;
    // The errno of the last step the system refused (a folder for the copy
    // made, the write, the re-open); 0 if none.
    virtual int failure() const { return 0; }
};

// The job on an opened, locked document: unlock with `password` (its own copy,
// wiped once the document has answered), the permission and origin checks,
// the copy under its free name, the check that the source did not change
// while it was read, and the verifying re-open. `unlocked` runs right after
// a successful unlock.
RemovalResult removePassword(PDFDocument& source, std::string password, RemovalServices services,
                             CopyPlace& place, const std::function<void()>& unlocked = {});
// The same with each of `passwords` tried in turn until one opens it; the
// caller wipes them.
RemovalResult removePassword(PDFDocument& source, const std::vector<std::string>& passwords,
                             RemovalServices services, CopyPlace& place,
                             const std::function<void()>& unlocked = {});

struct RemovalContext {
    TextField& pwd;
    Window& window;
    PDFDocumentService& pdf;
    FileSystem& files;
    Log& log;
};

inline constexpr const char* kOriginWord = "Tessivon";

// One run. `source` is the locked document held since launch (may be null).
RemovalExit removePDFpwd(const std::shared_ptr<PDFDocument>& source, RemovalContext context);

} // namespace pdfunlock
