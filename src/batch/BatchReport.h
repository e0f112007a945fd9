// What the command prints: a line per file, a progress line, the summary.
#pragma once

#include "batch/BatchRun.h"
#include "platform/Desktop.h"

#include <chrono>
#include <string>
#include <vector>

namespace pdfunlock {

// "<source>: <message> (<copy's name>)", control characters of the names
// shown as escapes so that one file stays one line.
std::string fileLine(const FileResult& result, const Strings& strings);

// {"source": ..., "result": "<key>", "copy": ... or null, "message": ...}
std::string fileJsonLine(const FileResult& result, const Strings& strings);

// Files done of all, and the time since the start (m:ss).
std::string progressText(std::size_t done, std::size_t total, std::chrono::seconds elapsed,
                         const Strings& strings);

// How many copies, how many were there already, how many refused and why,
// how many were never started.
std::vector<std::string> summaryLines(const BatchSummary& summary, const Strings& strings);

} // namespace pdfunlock
