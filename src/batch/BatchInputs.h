// Which files a batch handles: the named files, and the PDFs found by walking
// the named folders, each file once, without the copies of an earlier run.
#pragma once

#include "removal/FileJob.h"
#include "removal/IDSKey.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

struct BatchItem : FileSource {
    // The copy an earlier run saved beside it, as the walk found it: the file
    // may need no password. The job looks again once it holds the file.
    std::optional<std::string> earlierCopy;
};

// What the walk met and took no file from, each reported on a line of its
// own: a folder that could not be read, a symbolic link, a named path that
// does not exist.
struct SkippedPath {
    std::string path;
    FileOutcome outcome;
};

struct BatchInputs {
    std::vector<BatchItem> items;
    std::vector<SkippedPath> skipped;       // reported; the rest go on
    std::vector<std::string> earlierCopies; // left alone: not candidates
};

// A name the walk takes: ".pdf" at its end, in any letter case.
bool hasPdfExtension(const std::string& name);
// The file opens as a PDF without a password: with a copy's name beside its
// source, the copy of an earlier run.
bool opensUnprotected(const FileSource& item, PDFDocumentService& pdf);

// A named path that is a folder (a link to one included) is walked by
// descriptor: every regular file below it whose name ends in ".pdf", in any
// letter case. The walk follows no symbolic link: a link named like a PDF or
// leading to a folder is skipped and reported. A named path that is anything
// else is taken as it is, through a link, whatever its name; one that does
// not exist is reported as not found.
//
// With `output`, each file's copy goes there: a file found below a named
// folder to the folder of the same relative path under it, a named file to
// `output` itself. The walk never enters `output`, nor takes the copies
// beside a source into account.
// Names come in the order given, a folder's in the order of their bytes; a
// file reached twice (by two names) is taken the first time.
//
// A regular file named like a copy (`<base>_copy.<ext>`, `<base>_copy<k>.<ext>`)
// beside its source `<base>.<ext>` that opens as a PDF without a password is
// no candidate. Its source gets it as `earlierCopy` if it is that source's own
// copy (see earlierCopyOf).
BatchInputs collectInputs(const std::vector<std::string>& paths, RemovalServices services,
                          std::shared_ptr<OutputFolder> output = nullptr);

// The same, handed over as the walk goes: `found` gets the files of each
// folder once it is listed (a few at a time while their earlier copies are
// looked for), each named file, and what was skipped meanwhile, with the
// named path they were found from, and after each folder even when nothing
// was found in it. It answers false to stop the walk.
using FoundSoFar = std::function<bool(const std::string& named, BatchInputs found)>;
void collectInputs(const std::vector<std::string>& paths, RemovalServices services,
                   std::shared_ptr<OutputFolder> output, const FoundSoFar& found);

} // namespace pdfunlock
