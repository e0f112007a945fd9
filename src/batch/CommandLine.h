// The options of pdfunlock-cli.
#pragma once

#include "removal/IDSKey.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

enum class PasswordFrom { Terminal, StandardInput, File, List };

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    // For UsageError: what was wrong, as a message and its arguments.
    IDS_KEY error = IDS_KEY::IDS_CLI_NO_PATH;
    std::vector<std::string> errorArguments;
    std::vector<std::string> paths;
    PasswordFrom passwordFrom = PasswordFrom::Terminal;
    std::string passwordFile;             // for File and List
    std::optional<std::string> filesFrom; // "-": standard input
    bool nulSeparated = false;            // the names in filesFrom end with NUL
    std::optional<std::string> outputDir;
    std::optional<unsigned> jobs; // unset: the processors the process may use
    bool json = false;
    bool again = false;
    bool quiet = false;
    bool stopOnWrongPassword = false;
    // --watch: the folders' files, then those that arrive, until stopped.
    bool watch = false;
    std::chrono::milliseconds settle{2000};
    std::optional<std::chrono::milliseconds> poll; // set: list the folders, no events
};

// The words after the program's name. Options may come before, between and
// after the paths; after "--" every word is a path.
CommandLine parseCommandLine(const std::vector<std::string>& words);

} // namespace pdfunlock
