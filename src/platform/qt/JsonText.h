// JSON for scripts, written by Qt's JSON support.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// One JSON object on one line, members in the order given; a member without a
// value is null. Bytes that are not UTF-8 become U+FFFD.
std::string
jsonObjectLine(const std::vector<std::pair<std::string, std::optional<std::string>>>& members);

// The bytes as text for reading, as a JSON string holds them: bytes that are
// not UTF-8 become U+FFFD.
std::string readableText(const std::string& bytes);

// The bytes in base64 (RFC 4648, with padding): a JSON string that gives back
// any bytes exactly, names that are not UTF-8 too.
std::string base64(const std::string& bytes);

} // namespace pdfunlock
