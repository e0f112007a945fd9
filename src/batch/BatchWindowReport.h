// The report the window for several documents saves: a line for each
// document of its list, with the fields of the command's JSON lines.
#pragma once

#include "batch/BatchRun.h"
#include "platform/BatchDesktop.h"
#include "platform/Desktop.h"

#include <string>
#include <vector>

namespace pdfunlock {

// JSON lines as the command's --json prints them, or CSV (RFC 4180, UTF-8,
// CRLF) with the same fields as columns under a header line of their names.
// In CSV every line has every column: a null, or a field the file does not
// have, is an empty one; and a value a spreadsheet would take for
// a formula (it starts with =, +, -, @, a tab or CR) gets a leading
// apostrophe: the base64 fields keep the exact bytes.
std::string reportText(const std::vector<FileResult>& results, ReportFormat format,
                       const Strings& strings);

} // namespace pdfunlock
