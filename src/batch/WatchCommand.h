// pdfunlock-cli --watch: the watch over the named folders, its lines, and
// its end on SIGINT or SIGTERM.
#pragma once

#include "batch/BatchRun.h"
#include "batch/CommandLine.h"
#include "platform/Desktop.h"

#include <string>

namespace pdfunlock {

// Watches `line.paths` until stopped; the exit status. `password` is wiped.
int watchFolders(const CommandLine& line, std::string password, BatchServices services,
                 const Strings& strings);

} // namespace pdfunlock
