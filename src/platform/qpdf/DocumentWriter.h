// Writing a qpdf document, unencrypted, as a new file.
#pragma once

#include <functional>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <string>

namespace pdfunlock {

class StreamPrefetch;

// Writes `pdf` without encryption, its streams as they are (only decrypted,
// each read once), declaring at least `minimum` as its version; `prefetch`,
// if any, decrypts ahead on a second thread.
void writeUnencrypted(QPDF& pdf, Pipeline& out, const PDFVersion& minimum,
                      StreamPrefetch* prefetch = nullptr);

// Runs `produce` into a new file at `path` (see NoReplaceSaveFile): true once
// the complete file is there; nothing is left behind otherwise.
bool writeNewFile(const std::string& path, unsigned permissions,
                  const std::function<void(Pipeline&)>& produce);

} // namespace pdfunlock
