// The order in which qpdf's writer asks for the data of a document's streams.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <set>
#include <vector>

namespace pdfunlock {

// The streams among `wanted`, in the order qpdf 11's writer reaches them when
// it writes `pdf` as it stands: a queue fed by the catalog, then the rest of
// the trailer, then each written object's references in key order. A guess
// that is wrong costs time, never a wrong copy: the test of this file fails
// when a qpdf release changes the order.
std::vector<QPDFObjectHandle> predictedWriteOrder(QPDF& pdf, const std::set<QPDFObjGen>& wanted);

} // namespace pdfunlock
