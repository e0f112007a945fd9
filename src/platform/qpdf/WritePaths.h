// The ways a copy is written, and the choice among them. Every way ends in
// the same check of the written file (see CopyCheck): a copy that fails it
// is never kept, and is written again by qpdf's writer alone.
#pragma once

#include "platform/HeldFolder.h"
#include "platform/qpdf/CopyCheck.h"
#include "platform/qpdf/PageOrder.h"

#include <memory>
#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <string>
#include <vector>

namespace pdfunlock {

class OpenFile;

struct WriteSettings {
    long long parallelFrom = -1; // see QpdfDocumentService
    bool passObjectStreams = true;
};

// The whole of `source` (read from `file`) under a new catalog, with `info`
// as its information (see writeWhole). In this order, the first that applies:
// - a large encrypted file, from a twin of the source while a second thread
//   decrypts its streams ahead (StreamPrefetch);
// - a file kept in object streams, those carried across as read
//   (ObjectStreamPassthrough);
// - qpdf's writer, over the source, each stream read once (SinglePassStreams);
// - qpdf's writer alone, on the file opened afresh, reading first what the
//   copy needs, as `qpdf --decrypt` does: taken when the source needed a
//   repair, when reading ahead for another way made qpdf warn or rebuild the
//   table (whatever it read after that may be an older body of an object),
//   and when another way's copy failed the check.
// Null when no way gave a copy that passed the check.
std::shared_ptr<CheckedCopy> writeWholeCopy(const SaveTarget& path, unsigned permissions,
                                            const std::shared_ptr<QPDF>& source,
                                            const std::shared_ptr<const OpenFile>& file,
                                            QPDFObjectHandle info, const PDFVersion& version,
                                            const WriteSettings& settings);

// Pages gathered into `copy` from `pages`, as their documents held them
// before (see PageAssembly), written by
// qpdf's writer; once more without reading ahead when that copy fails the
// check. A copy of pages that all come from one document keeps that
// document's permanent identifier.
std::shared_ptr<CheckedCopy> writeAssembledCopy(const SaveTarget& path, unsigned permissions,
                                                QPDF& copy, const std::vector<PageRef>& pages,
                                                const PDFVersion& version);

} // namespace pdfunlock
