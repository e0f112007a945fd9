// Writing a qpdf document, unencrypted, as a new file.
#pragma once

#include "platform/HeldFolder.h"

#include <functional>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <string>
#include <vector>

namespace pdfunlock {

// Called right before the writer starts, with the streams whose data it
// copies as read (see SinglePassStreams).
using BeforeWrite = std::function<void(const std::vector<QPDFObjectHandle>& copiedAsRead)>;

// Writes `pdf` without encryption, its streams as they are (only decrypted,
// each read once), declaring at least `minimum` as its version. The same
// document gives the same bytes: the second /ID element is derived from the
// content, or fixed when the first is the document's own.
void writeUnencrypted(QPDF& pdf, Pipeline& out, const PDFVersion& minimum,
                      const BeforeWrite& beforeWrite = {});

// Runs `produce` into a new file at `path` (see NoReplaceSaveFile): true once
// the complete file is there; nothing is left behind otherwise.
bool writeNewFile(const SaveTarget& path, unsigned permissions,
                  const std::function<void(Pipeline&)>& produce);

} // namespace pdfunlock
