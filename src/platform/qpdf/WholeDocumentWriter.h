// The usual copy: one whole document, page for page, into a new one.
#pragma once

#include "platform/qpdf/DocumentWriter.h"
#include "platform/qpdf/PageOrder.h"

#include <memory>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <vector>

namespace pdfunlock {

// The one document whose pages `order` holds, all of them, in its own order,
// under a page tree that counts them right; nullptr for any other order, or
// when the pages are `self`'s own.
std::shared_ptr<QPDF> wholeSource(const std::vector<PageRef>& order,
                                  const std::shared_ptr<QPDF>& self);

// The catalog of a copy of the whole document whose catalog is `root`, as a
// direct dictionary: the pages, with the named destinations their links may
// use, their layers, form and tagged structure.
QPDFObjectHandle wholeCatalog(QPDFObjectHandle root);

// Writes `source` as it stands under wholeCatalog(), instead of copying
// every page object first: the pages are the very same objects, so links
// between them hold by themselves. The copy gets only the pages (with the named
// destinations their links may use, their layers, form and tagged structure)
// and `info` as its information. The
// source's trailer is lent for the write and put back as it was.
// `beforeWrite` and `eachStreamOnce` as for writeUnencrypted.
void writeWhole(QPDF& source, QPDFObjectHandle info, Pipeline& out, const PDFVersion& minimum,
                const BeforeWrite& beforeWrite = {}, bool eachStreamOnce = true);

} // namespace pdfunlock
