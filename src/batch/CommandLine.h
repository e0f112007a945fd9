// The options of pdfunlock-cli.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

enum class PasswordFrom { Terminal, StandardInput, File };

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    std::string error; // for UsageError: what was wrong, in English like --help
    std::vector<std::string> paths;
    PasswordFrom passwordFrom = PasswordFrom::Terminal;
    std::string passwordFile;
    std::optional<unsigned> jobs; // unset: the processors the process may use
    bool json = false;
    bool again = false;
    // --watch: the folders' files, then those that arrive, until stopped.
    bool watch = false;
    std::chrono::milliseconds settle{2000};
    std::optional<std::chrono::milliseconds> poll; // set: list the folders, no events
};

// The words after the program's name. Options may come before, between and
// after the paths; after "--" every word is a path.
CommandLine parseCommandLine(const std::vector<std::string>& words);

extern const char* const kCliUsage;

} // namespace pdfunlock
