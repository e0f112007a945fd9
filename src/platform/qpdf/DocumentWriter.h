// Writing a qpdf document, unencrypted, as a new file.
#pragma once

#include "platform/HeldFolder.h"

#include <functional>
#include <memory>
#include <optional>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <string>
#include <vector>

namespace pdfunlock {

class OpenFile;

// Called right before the writer starts, with the streams whose data it
// copies as read (see SinglePassStreams).
using BeforeWrite = std::function<void(const std::vector<QPDFObjectHandle>& copiedAsRead)>;

// Writes `pdf` without encryption, its streams as they are (only decrypted),
// declaring at least `minimum` as its version. The same document gives the
// same bytes: the second /ID element is derived from the content, or, when
// the first is the document's own, qpdf's fixed one (see CopyIdentifier).
// With `eachStreamOnce`, every object is read first to mark the streams the
// writer need not read twice (SinglePassStreams); otherwise qpdf's writer
// reads as it goes, as `qpdf --decrypt` does.
void writeUnencrypted(QPDF& pdf, Pipeline& out, const PDFVersion& minimum,
                      const BeforeWrite& beforeWrite = {}, bool eachStreamOnce = true);

// The /ID of a copy: the source's first element, and a second one that is a
// digest of the source's two, its size, its encryption dictionary and the
// copy's page count: known before the copy is written, the same whichever
// way it is written. The same source gives the same copy; another source, or
// another version of one, another second element. nullopt when the source
// has no first element (the writer then derives both from the content).
struct CopyIdentifier {
    std::string first;
    std::string second;
};
std::optional<CopyIdentifier> copyIdentifier(QPDF& source, const OpenFile* file, size_t pages);

enum class Written {
    Kept,     // the checked file is at the path
    Rejected, // `produce` threw or the check refused it: nothing left behind
    Failed,   // the file could not be written: nothing left behind
};

// Runs `produce` into a new file at `path` (see NoReplaceSaveFile). Where the
// output holds qpdf's fixed second /ID element after `identifier->first`, the
// last such place gets `identifier->second`. `check` then reads the file as
// written; it is kept only if that answers true.
Written writeNewFile(const SaveTarget& path, unsigned permissions,
                     const std::function<void(Pipeline&)>& produce,
                     const std::optional<CopyIdentifier>& identifier,
                     const std::function<bool(std::shared_ptr<const OpenFile>)>& check);

} // namespace pdfunlock
