// Values of the document information dictionary as the attributes the rest
// of the program sees, and back.
#pragma once

#include "platform/PDFDocument.h"

#include <optional>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <string>

namespace pdfunlock {

// Indirect references would mean nothing once parsed back, perhaps into
// another document, so arrays and dictionaries are spelled out in full.
// Shared or circular references (a damaged /Info pointing into the page tree)
// would make that exponential: `budget` counts objects and bytes spelled out,
// and whatever is past it becomes null.
constexpr long kUnparseBudget = 1 << 14;
std::string unparseDirect(QPDFObjectHandle object, long& budget, int depth = 0);

AttributeValue toAttribute(QPDFObjectHandle value);
// Throws for a PDFOtherValue that does not parse.
QPDFObjectHandle toObject(const AttributeValue& value);

// The document's information dictionary as attributes; nullopt without one
// (or one that cannot be read).
std::optional<DocumentAttributes> readAttributes(QPDF& pdf);
// Replaces it (nullopt: removes it); values that do not parse are left out.
void writeAttributes(QPDF& pdf, const std::optional<DocumentAttributes>& attributes);

} // namespace pdfunlock
