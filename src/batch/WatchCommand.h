// pdfunlock-cli --watch: the watch over the named folders, its lines, and
// its end on SIGINT or SIGTERM.
#pragma once

#include "batch/BatchRun.h"
#include "batch/CommandLine.h"
#include "platform/Desktop.h"

#include <memory>
#include <string>
#include <vector>

namespace pdfunlock {

// Watches `folders` until stopped, each file tried with `passwords` (then
// wiped) as `options` say, its copy under `output` when set; the exit status.
int watchFolders(const CommandLine& line, const std::vector<std::string>& folders,
                 std::vector<std::string> passwords, BatchOptions options,
                 std::shared_ptr<OutputFolder> output, BatchServices services,
                 const Strings& strings);

} // namespace pdfunlock
