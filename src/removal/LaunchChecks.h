// The checks a document passes before anyone is asked for its password: it
// opens as a PDF and it is locked. The window runs them at launch, the batch
// for each file.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"
#include "removal/IDSKey.h"

#include <memory>
#include <optional>
#include <string>

namespace pdfunlock {

struct LaunchCheck {
    std::shared_ptr<PDFDocument> document; // the locked document, held open
    std::optional<IDS_KEY> refusal;        // set exactly when there is no document
};

// Logs a missing path (the open decides, not the test) and a locked 1.x
// document whose version is not 1.7. A file that does not open as a PDF is
// refused with IDS_MSG_NO_TESSIVON, one that opens without a password with
// IDS_MSG_NO_PWD.
LaunchCheck openLockedDocument(const std::string& path, const FileSystem& files,
                               PDFDocumentService& pdf, Log& log);
// The same checks on a document already opened (nullptr: it did not open).
LaunchCheck checkLockedDocument(std::shared_ptr<PDFDocument> document, Log& log);

} // namespace pdfunlock
