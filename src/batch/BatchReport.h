// What the command prints: a line per file, a progress line, the summary,
// and the exit status they add up to.
#pragma once

#include "batch/BatchRun.h"
#include "platform/Desktop.h"
#include "platform/qt/JsonText.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// A name on one line, shown as it is: in the names the backslash is
// doubled, newline and tab are "\n" and "\t", every other control byte
// below 0x80 and every byte that is not part of valid UTF-8 is "\xHH", and
// the characters that act on a terminal without showing (C1 controls,
// bidirectional controls, line and paragraph separators) are "\uHHHH": one
// file stays one line, shows as it is named, and the form reads back to the
// very bytes.
std::string shownName(const std::string& name);

// The outcome's short phrase, with what its detail says in brackets: the
// permission refused, the system's reason for a failed save...
std::string outcomeText(const FileOutcome& outcome, const Strings& strings);

// "<source>: <outcome>[, password N of the list][ (<copy's name>)]", the
// names as shownName shows them.
std::string fileLine(const FileResult& result, const Strings& strings);

// {"source": ..., "source_base64": ..., "reason": "<code>", "detail": ...
// (only with one), "password_entry": N (only with a keyring), "result":
// "<the window's message key>", "copy": ... or null, "copy_base64": ... or
// null, "message": "<outcome>"}. "source" and "copy" are for reading (a byte
// that is not UTF-8 shows as U+FFFD); the *_base64 members are the paths'
// exact bytes in base64 (RFC 4648), for scripts.
std::string fileJsonLine(const FileResult& result, const Strings& strings);

// Those members, names and values in order: the fields every report of a
// file has (the window's saved report too); `detail` and `password_entry`
// only when there is one.
using FileFields = std::vector<std::pair<std::string, JsonValue>>;
FileFields fileFields(const FileResult& result, const Strings& strings);
// Every name fileFields can give, in its order: the columns of a table.
inline constexpr std::array kFileFieldNames = {"source", "source_base64",  "reason",
                                               "detail", "password_entry", "result",
                                               "copy",   "copy_base64",    "message"};

struct Progress {
    std::size_t done = 0;
    std::size_t total = 0;
    std::size_t failed = 0; // of those done, the ones that need attention
    std::chrono::seconds elapsed{0};
    bool passwordRefused = false; // the first files all refused it (WrongPasswordWatch)
};
// Files done of all, failures, the time since the start (m:ss), and a note
// when the password looks wrong.
std::string progressText(const Progress& progress, const Strings& strings);

// How many copies, how many were there already, the files not copied by
// reason (how many, the first few names), why the batch stopped and how
// many files it never started. `quiet`: only the last two.
std::vector<std::string> summaryLines(const BatchSummary& summary, const Strings& strings,
                                      bool quiet = false);

// The command's exit statuses.
inline constexpr int kExitDone = 0;      // every file copied (now or before), or none to do
inline constexpr int kExitAttention = 1; // a file needs attention
inline constexpr int kExitUsage = 2;     // a usage error, no password, a named path missing
inline constexpr int kExitLeftAlone = 3; // no failure; files left alone by design
int exitStatus(const BatchSummary& summary, bool namedPathMissing);

} // namespace pdfunlock
