// Reading a password and talking to a terminal, over POSIX termios and file
// descriptors. The password never comes from the command line or the
// environment: only from these.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace pdfunlock {

// True when the descriptor is a terminal.
bool isTerminal(int fd);

// Writes `prompt` to standard error and reads one line from the controlling
// terminal without echo; the echo comes back also when a signal ends the
// process meanwhile. nullopt when there is no terminal or nothing was read.
std::optional<std::string> readPasswordFromTerminal(const std::string& prompt);

// The first line of what `fd` holds, without its line ending ("\n" or
// "\r\n"); nothing else is removed. nullopt when it holds nothing at all or
// cannot be read. Reads no further than the line.
std::optional<std::string> readFirstLine(int fd);

// The same of a file; nullopt when it cannot be opened.
std::optional<std::string> readFirstLineOfFile(const std::string& path);

// The whole text to `fd` in as many writes as it takes; false on failure.
bool writeAll(int fd, const std::string& text);

// While it lives, SIGINT and SIGTERM no longer end the process: the first
// runs `onSignal` with its number, on a thread of this object's; a second
// ends the process at once with status 128 + its number.
class SignalWatch {
public:
    explicit SignalWatch(std::function<void(int)> onSignal);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;
    // The first signal's number, or 0.
    int received() const;

private:
    struct State;
    State* state_;
};

} // namespace pdfunlock
