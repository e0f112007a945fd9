#include "batch/CommandLine.h"

#include <charconv>

namespace pdfunlock {

const char* const kCliUsage =
    "Usage: pdfunlock-cli [OPTION]... [--] PATH...\n"
    "Saves an unprotected copy beside every locked PDF from Tessivon scanning\n"
    "software among PATH, all with one password (scan.pdf gives scan_copy.pdf).\n"
    "Each PATH is a PDF or a folder; folders are searched, with their subfolders,\n"
    "for files named *.pdf in any letter case. The search follows no symbolic\n"
    "link: a link named *.pdf or leading to a folder is reported, not followed.\n"
    "\n"
    "The password is asked for once, on the terminal, without echo; a line of\n"
    "more than 4096 bytes is refused.\n"
    "\n"
    "      --password-stdin      read the password from the first line of standard\n"
    "                            input (only the line ending is removed)\n"
    "      --password-file FILE  read the password from the first line of FILE\n"
    "  -j, --jobs N              handle N files at once (default: the number of\n"
    "                            processors this process may use)\n"
    "      --json                one JSON object per file on standard output\n"
    "      --again               also copy files that already have a copy from an\n"
    "                            earlier run\n"
    "  -h, --help                print this help and exit\n"
    "      --version             print the version and exit\n"
    "  --                        end of options: every word after it is a PATH\n"
    "\n"
    "Each file's outcome is printed as it finishes, the copy's name with it; a\n"
    "summary follows on standard error. A file that an earlier run copied (your\n"
    "own unprotected copy of it, scan_copy.pdf or scan_copyN.pdf, is beside it)\n"
    "is reported as done and not copied again unless --again is given, and such\n"
    "copies are never taken as files to unlock. A file another run is copying\n"
    "is waited for. Ctrl-C stops starting files; the ones under way finish.\n"
    "\n"
    "Exit status: 0 when every file has its copy, 1 when at least one has not,\n"
    "2 for a usage error or when no PDF was found, 130 or 143 when stopped by\n"
    "SIGINT or SIGTERM.\n";

namespace {

std::optional<unsigned> jobCount(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 4096) {
        return std::nullopt;
    }
    return value;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& words) {
    CommandLine line;
    bool stdinChosen = false;
    bool fileChosen = false;
    const auto fail = [&line](std::string message) {
        line.action = CommandLine::Action::UsageError;
        line.error = std::move(message);
        return line;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            line.paths.insert(line.paths.end(), words.begin() + std::ptrdiff_t(i) + 1, words.end());
            break;
        }
        if (word.size() < 2 || word[0] != '-') {
            line.paths.push_back(word);
            continue;
        }
        // "--name=value" and "--name value"; "-jN" and "-j N".
        std::string name = word;
        std::optional<std::string> value;
        if (word.starts_with("--")) {
            if (const auto equals = word.find('='); equals != std::string::npos) {
                name = word.substr(0, equals);
                value = word.substr(equals + 1);
            }
        } else if (word.size() > 2) {
            name = word.substr(0, 2);
            value = word.substr(2);
        }
        const auto takesValue = [&]() -> std::optional<std::string> {
            if (value) {
                return value;
            }
            if (i + 1 < words.size()) {
                return words[++i];
            }
            return std::nullopt;
        };
        if (name == "-h" || name == "--help") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (name == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if ((name == "-j" || name == "--jobs")) {
            const auto text = takesValue();
            const auto jobs = text ? jobCount(*text) : std::nullopt;
            if (!jobs) {
                return fail(name + " needs a number of files from 1 to 4096");
            }
            line.jobs = jobs;
        } else if (name == "--password-file") {
            const auto file = takesValue();
            if (!file || file->empty()) {
                return fail("--password-file needs a file");
            }
            line.passwordFile = *file;
            fileChosen = true;
        } else if (name == "--password-stdin" && !value) {
            stdinChosen = true;
        } else if (name == "--json" && !value) {
            line.json = true;
        } else if (name == "--again" && !value) {
            line.again = true;
        } else {
            return fail("unknown option " + word);
        }
    }
    if (stdinChosen && fileChosen) {
        return fail("--password-stdin and --password-file exclude each other");
    }
    line.passwordFrom = stdinChosen  ? PasswordFrom::StandardInput
                        : fileChosen ? PasswordFrom::File
                                     : PasswordFrom::Terminal;
    if (line.paths.empty()) {
        return fail("no PATH given");
    }
    return line;
}

} // namespace pdfunlock
