#include "batch/CommandLine.h"

#include <charconv>

namespace pdfunlock {

namespace {

// Seconds with an optional fraction, from `least` to an hour.
std::optional<std::chrono::milliseconds> duration(const std::string& text, double least) {
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds >= least) ||
        seconds > 3600) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

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
    int passwordSources = 0;
    bool stdinChosen = false;
    std::optional<std::chrono::milliseconds> settleGiven;
    const auto fail = [&line](IDS_KEY error, std::vector<std::string> arguments = {}) {
        line.action = CommandLine::Action::UsageError;
        line.error = error;
        line.errorArguments = std::move(arguments);
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
        // An option that names a file (or folder): not empty.
        const auto takesName = [&]() -> std::optional<std::string> {
            auto taken = takesValue();
            return taken && !taken->empty() ? taken : std::nullopt;
        };
        const bool flag = !value;
        if (name == "-h" || name == "--help") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (name == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (name == "-j" || name == "--jobs") {
            const auto text = takesValue();
            line.jobs = text ? jobCount(*text) : std::nullopt;
            if (!line.jobs) {
                return fail(IDS_KEY::IDS_CLI_NEEDS_NUMBER, {name});
            }
        } else if (name == "--password-file" || name == "--password-list") {
            const auto file = takesName();
            if (!file) {
                return fail(IDS_KEY::IDS_CLI_NEEDS_FILE, {name});
            }
            line.passwordFile = *file;
            line.passwordFrom = name == "--password-file" ? PasswordFrom::File : PasswordFrom::List;
            ++passwordSources;
        } else if (name == "--password-stdin" && flag) {
            line.passwordFrom = PasswordFrom::StandardInput;
            stdinChosen = true;
            ++passwordSources;
        } else if (name == "--files-from") {
            line.filesFrom = takesName();
            if (!line.filesFrom) {
                return fail(IDS_KEY::IDS_CLI_NEEDS_FILE, {name});
            }
        } else if (name == "-o" || name == "--output-dir") {
            line.outputDir = takesName();
            if (!line.outputDir) {
                return fail(IDS_KEY::IDS_CLI_NEEDS_FOLDER, {name});
            }
        } else if ((name == "-0" || name == "--null") && flag) {
            line.nulSeparated = true;
        } else if ((name == "-q" || name == "--quiet") && flag) {
            line.quiet = true;
        } else if (name == "--json" && flag) {
            line.json = true;
        } else if (name == "--again" && flag) {
            line.again = true;
        } else if (name == "--stop-on-wrong-password" && flag) {
            line.stopOnWrongPassword = true;
        } else if (name == "--watch" && flag) {
            line.watch = true;
        } else if (name == "--settle" || name == "--poll") {
            const auto text = takesValue();
            const auto time = text ? duration(*text, name == "--poll" ? 0.1 : 0) : std::nullopt;
            if (!time) {
                return fail(IDS_KEY::IDS_CLI_NEEDS_SECONDS, {name});
            }
            (name == "--poll" ? line.poll : settleGiven) = time;
        } else {
            return fail(IDS_KEY::IDS_CLI_UNKNOWN_OPTION, {word});
        }
    }
    if ((settleGiven || line.poll) && !line.watch) {
        return fail(IDS_KEY::IDS_CLI_WATCH_ONLY, {settleGiven ? "--settle" : "--poll"});
    }
    line.settle = settleGiven.value_or(line.settle);
    if (passwordSources > 1) {
        return fail(IDS_KEY::IDS_CLI_PASSWORD_SOURCES);
    }
    if (stdinChosen && line.filesFrom == "-") {
        return fail(IDS_KEY::IDS_CLI_STDIN_TWICE);
    }
    if (line.paths.empty() && !line.filesFrom) {
        return fail(IDS_KEY::IDS_CLI_NO_PATH);
    }
    return line;
}

} // namespace pdfunlock
