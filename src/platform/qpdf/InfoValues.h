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

// The information dictionary of `pdf` as attributes; nullopt without one.
std::optional<DocumentAttributes> readAttributes(QPDF& pdf);
// Replaces it (removes it for nullopt); a value that does not parse is left
// out. Reports nothing.
void writeAttributes(QPDF& pdf, const std::optional<DocumentAttributes>& attributes);

} // namespace pdfunlock
