// Which files a batch handles: the named files, and the PDFs found by walking
// the named folders, each file once, without the copies of an earlier run.
#pragma once

#include "platform/PDFDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

struct BatchItem {
    std::string path;
    // An unprotected copy that an earlier run saved beside it: the file is
    // reported as done unless the batch is asked to copy again.
    std::optional<std::string> earlierCopy;
};

struct BatchInputs {
    std::vector<BatchItem> items;
    std::vector<std::string> unreadableFolders; // reported; the rest go on
    std::vector<std::string> earlierCopies;     // left alone: not candidates
};

// A named path that is a folder (a link to one included) is walked: every
// regular file below it whose name ends in ".pdf", in any letter case, links
// to files included, links to folders not followed. A named path that is
// anything else is taken as it is, missing or not, whatever its name. Names
// come in the order given, a folder's in the order of their bytes; a file
// reached twice (by two names, through a link) is taken the first time.
//
// A file named like a copy (`<base>_copy.<ext>`, `<base>_copy<k>.<ext>`) beside
// its source `<base>.<ext>` that opens as a PDF without a password is a copy
// an earlier run made: it is no candidate, and its source gets it as
// `earlierCopy`.
BatchInputs collectInputs(const std::vector<std::string>& paths, PDFDocumentService& pdf);

} // namespace pdfunlock
