// Reading a password and talking to a terminal, over POSIX termios and file
// descriptors. The password never comes from the command line or the
// environment: only from these.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace pdfunlock {

// True when the descriptor is a terminal.
bool isTerminal(int fd);

// The longest line taken for a password, in bytes without its line ending.
// PDF passwords are at most 127 bytes once prepared; a longer line is not a
// password but the wrong file or stream.
inline constexpr std::size_t kLongestPasswordLine = 4096;

// A line read for a password.
struct PasswordLine {
    // Without its line ending ("\n" or "\r\n"); nothing else is removed.
    // nullopt when nothing at all was read, it could not be read, or it was
    // too long.
    std::optional<std::string> text;
    bool tooLong = false; // longer than kLongestPasswordLine
};

// Writes `prompt` to standard error and reads one line from the controlling
// terminal without echo. The echo comes back when a signal ends or stops the
// process meanwhile; after a stop (Ctrl-Z) and `fg` it is off again and the
// prompt is shown again for the whole line. No text when there is no
// terminal.
PasswordLine readPasswordFromTerminal(const std::string& prompt);

// The first line of what `fd` holds. Reads no further than the line: a
// regular file in blocks, put back to just after the line; anything else
// byte by byte. Never more than kLongestPasswordLine and its line ending.
PasswordLine readFirstLine(int fd);

// The same of a file, read in blocks; no text when it cannot be opened.
PasswordLine readFirstLineOfFile(const std::string& path);

// The whole text to `fd` in as many writes as it takes; false on failure.
bool writeAll(int fd, const std::string& text);

// While it lives, SIGINT and SIGTERM no longer end the process: the first
// runs `onSignal` with its number, on a thread of this object's (when no
// thread can be started, only received() tells of it); a second ends the
// process at once with status 128 + its number.
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
