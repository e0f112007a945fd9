// The form in which AES-256 handlers (revisions 5 and 6) compare a password:
// the SASLprep profile of stringprep (RFC 4013), then UTF-8. qpdf takes the
// bytes it is given, so the typed text is also tried in this form (libidn).
#pragma once

#include <string>

namespace pdfunlock {

// Writes the SASLprep form of `utf8` into `prepared` and answers true; false
// for text that is not UTF-8 or holds what the profile prohibits. Written
// into the caller's string so that no other copy of a password is left.
bool saslprep(const std::string& utf8, std::string& prepared);

} // namespace pdfunlock
