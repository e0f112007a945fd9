// What the command prints: a line per file, a progress line, the summary.
#pragma once

#include "batch/BatchRun.h"
#include "platform/Desktop.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// "<source>: <message> (<copy's name>)". In the names the backslash is
// doubled, newline and tab are "\n" and "\t", every other control byte
// below 0x80 and every byte that is not part of valid UTF-8 is "\xHH", and
// the characters that act on a terminal without showing (C1 controls,
// bidirectional controls, line and paragraph separators) are "\uHHHH": one
// file stays one line, shows as it is named, and the form reads back to the
// very bytes.
std::string fileLine(const FileResult& result, const Strings& strings);

// {"source": ..., "source_base64": ..., "result": "<key>", "copy": ... or null,
// "copy_base64": ... or null, "message": ...}. "source" and "copy" are for
// reading (a byte that is not UTF-8 shows as U+FFFD); the *_base64 members
// are the paths' exact bytes in base64 (RFC 4648), for scripts.
std::string fileJsonLine(const FileResult& result, const Strings& strings);

// Those members, names and values in order: the fields every report of a
// file has (the window's saved report too); null is nullopt.
using FileFields = std::vector<std::pair<std::string, std::optional<std::string>>>;
FileFields fileFields(const FileResult& result, const Strings& strings);

// Files done of all, and the time since the start (m:ss).
std::string progressText(std::size_t done, std::size_t total, std::chrono::seconds elapsed,
                         const Strings& strings);

// How many copies, how many were there already, how many refused and why,
// how many were never started.
std::vector<std::string> summaryLines(const BatchSummary& summary, const Strings& strings);

} // namespace pdfunlock
