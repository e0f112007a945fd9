// The unlock-and-copy job behind the window's remove button.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"

#include <memory>

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
};

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
