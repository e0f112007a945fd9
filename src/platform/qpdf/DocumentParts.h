// What a copy carries besides its pages: the optional content configuration,
// the form and the tagged structure. Nothing else of the source's catalog
// (outlines, page labels, scripts, open actions, metadata) goes across.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

// For a copy that is the whole source, page for page in its order: puts the
// source catalog's layers, form and structure into `catalog` as they stand.
void carryWholeDocumentParts(QPDFObjectHandle sourceRoot, QPDFObjectHandle catalog);

// A page of a source document and the copy of it placed in the destination.
struct CopiedPage {
    QPDF* source;
    QPDFObjectHandle original;
    QPDFObjectHandle copy;
};

// For pages copied one by one (after their links were repaired): brings each
// source's layer configuration and the form fields whose widgets are on the
// copied pages into `destination`, source by source in page order. The
// structure tree stays behind, since it would point at pages the copy may
// lack. Never throws: a part that cannot be carried is left out.
void carryPageParts(QPDF& destination, const std::vector<CopiedPage>& pages);

} // namespace pdfunlock
