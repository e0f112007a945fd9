// Page copy and the Creator/Producer attributes of a document.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"

#include <string>

namespace pdfunlock {

// Appends every page of `source` to `destination`, in source order. A page the
// source cannot give is logged and left out.
void copyTo(PDFDocument& source, PDFDocument& destination, Log& log);

// The attribute as text; empty when absent or not a text.
std::string getCreator(const PDFDocument& document);
std::string getProducer(const PDFDocument& document);

// Replaces or adds the Creator entry only; every other entry stays.
void setCreator(PDFDocument& document, const std::string& creator);

} // namespace pdfunlock
