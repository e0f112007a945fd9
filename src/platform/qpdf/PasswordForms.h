// The forms of a typed password that the PDF security handlers compare.
#pragma once

#include <functional>
#include <string>

namespace pdfunlock {

// Tries `open` with the typed text, then with its other encodings (older
// handlers compare PDFDocEncoding bytes, newer ones UTF-8, as qpdf's own tool
// tries them), then, for AES-256 (`revision()` 5 or more once a try failed),
// with its SASLprep form. Stops at the first that opens; wipes every form it
// made. Text holding a NUL opens nothing: the handlers would see it cut there.
bool tryPasswordForms(const std::string& typed, const std::function<bool(const std::string&)>& open,
                      const std::function<int()>& revision);

} // namespace pdfunlock
