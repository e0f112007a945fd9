#include "removal/LaunchChecks.h"

#include "removal/LogLines.h"

namespace pdfunlock {

LaunchCheck openLockedDocument(const std::string& path, const FileSystem& files,
                               PDFDocumentService& pdf, Log& log) {
    // Only a hint in the log: the open below decides.
    if (!files.fileExistsAtPath(path)) {
        log.log(std::string(kLogPdfMissing));
    }
    return checkLockedDocument(pdf.initWithURL(path), log);
}

LaunchCheck checkLockedDocument(std::shared_ptr<PDFDocument> document, Log& log) {
    if (!document) {
        return {nullptr, IDS_KEY::IDS_MSG_NO_TESSIVON};
    }
    if (!document->isLocked()) {
        return {nullptr, IDS_KEY::IDS_MSG_NO_PWD};
    }
    if (document->majorVersion() == 1 && document->minorVersion() != 7) {
        log.log(std::string(kLogVersionNot17));
    }
    return {std::move(document), std::nullopt};
}

} // namespace pdfunlock
