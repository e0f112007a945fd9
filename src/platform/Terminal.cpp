#include "platform/Terminal.h"

#include "platform/Secrets.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace pdfunlock {

namespace {

// The terminal whose echo is off, for the signal handlers to put it back.
std::atomic<int> quietTerminal{-1};
termios savedModes{};
// A stop signal taken while the prompt waits, and the pipe that wakes the
// wait whichever thread the signal came to.
std::atomic<int> stopSignal{0};
std::atomic<int> stopPipe{-1};

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kStopSignals[] = {SIGTSTP, SIGTTIN, SIGTTOU};

extern "C" void restoreEchoAndRaise(int signo) {
    const int fd = quietTerminal.exchange(-1);
    if (fd >= 0) {
        ::tcsetattr(fd, TCSAFLUSH, &savedModes);
    }
    // The default action, now that the echo is back.
    ::signal(signo, SIG_DFL);
    ::raise(signo);
}

// Only noted here: the prompt puts the terminal back itself and stops, so
// that it can turn the echo off again when it is continued.
extern "C" void noteStop(int signo) {
    stopSignal = signo;
    const int fd = stopPipe.load();
    const char byte = 1;
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
}

// Takes the first line through `readSome` (which answers like read(2)) in
// pieces of up to `piece` bytes, never more than the longest password line
// and its ending. `afterLine` learns how many bytes came after the line.
PasswordLine takeLine(const std::function<ssize_t(char*, std::size_t)>& readSome, std::size_t piece,
                      const std::function<void(std::size_t)>& afterLine) {
    constexpr std::size_t kMost = kLongestPasswordLine + 2; // and "\r\n"
    std::string data;
    data.reserve(kMost); // never reallocated: wiped once, at the end
    PasswordLine result;
    std::optional<std::size_t> length; // of the line, once its end was seen
    bool failed = false;
    while (!length && !failed && data.size() < kMost) {
        const std::size_t before = data.size();
        data.resize(before + std::min(piece, kMost - before));
        const ssize_t got = readSome(data.data() + before, data.size() - before);
        failed = got < 0;
        data.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (const auto newline = data.find('\n', before); newline != std::string::npos) {
            length = newline;
            if (afterLine) {
                afterLine(data.size() - newline - 1);
            }
        } else if (got == 0 && !data.empty()) {
            length = data.size(); // a last line without its ending
        } else if (got == 0) {
            break;
        }
    }
    if (length && *length > 0 && data[*length - 1] == '\r') {
        --*length;
    }
    if (!failed && length && *length <= kLongestPasswordLine) {
        result.text = data.substr(0, *length);
    } else if (!failed) {
        result.tooLong = length || data.size() >= kMost;
    }
    wipe(data);
    return result;
}

// read(2) again after an interruption.
ssize_t readAgain(int fd, char* out, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, out, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

// Turns the echo off and keeps the modes to put back; false when the
// terminal cannot be set (or a stop signal came meanwhile).
bool echoOff(int fd) {
    termios modes{};
    if (::tcgetattr(fd, &modes) != 0) {
        return false;
    }
    savedModes = modes;
    modes.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL);
    if (::tcsetattr(fd, TCSAFLUSH, &modes) != 0) {
        return false;
    }
    quietTerminal = fd;
    return true;
}

// What was typed and not yet read goes: the shell must not get it.
void echoBack() {
    const int fd = quietTerminal.exchange(-1);
    if (fd >= 0) {
        ::tcsetattr(fd, TCSAFLUSH, &savedModes);
    }
}

// The stop the signal asked for; returns once the process is continued.
void stopNow(int signo) {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    struct sigaction noting {};
    ::sigaction(signo, &byDefault, &noting);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signo);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signo);
    ::sigaction(signo, &noting, nullptr);
}

} // namespace

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

bool writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

PasswordLine readPasswordFromTerminal(const std::string& prompt) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return {};
    }
    int wake[2] = {-1, -1};
    if (::pipe(wake) != 0) {
        ::close(fd);
        return {};
    }
    for (const int end : wake) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    stopPipe = wake[1];
    struct sigaction restore {};
    restore.sa_handler = restoreEchoAndRaise;
    sigemptyset(&restore.sa_mask);
    struct sigaction note {};
    note.sa_handler = noteStop; // no SA_RESTART: a read or a tcsetattr returns
    sigemptyset(&note.sa_mask);
    struct sigaction previousEnding[std::size(kEndingSignals)];
    struct sigaction previousStop[std::size(kStopSignals)];
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &restore, &previousEnding[i]);
    }
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &note, &previousStop[i]);
    }

    PasswordLine line;
    for (;;) {
        stopSignal = 0;
        char drained[16];
        while (::read(wake[0], drained, sizeof drained) > 0) {
        }
        if (echoOff(fd)) {
            writeAll(STDERR_FILENO, prompt);
            // Waits for the terminal or for a stop; a terminal gives a line
            // at a time.
            line = takeLine(
                [&](char* out, std::size_t size) -> ssize_t {
                    pollfd both[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
                    for (;;) {
                        if (stopSignal != 0) {
                            return -1;
                        }
                        if (::poll(both, 2, -1) < 0 && errno != EINTR) {
                            return -1;
                        }
                        if (stopSignal == 0 && (both[0].revents & (POLLIN | POLLHUP | POLLERR))) {
                            const ssize_t got = ::read(fd, out, size);
                            if (got >= 0 || errno != EINTR) {
                                return got;
                            }
                        }
                    }
                },
                256, {});
            echoBack();
        }
        writeAll(STDERR_FILENO, "\n");
        const int stop = stopSignal.exchange(0);
        if (stop != 0) {
            stopNow(stop);
        }
        // Stopped before the line was in: the prompt again, for all of it.
        if (stop == 0 || line.text || line.tooLong) {
            break;
        }
    }

    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &previousStop[i], nullptr);
    }
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &previousEnding[i], nullptr);
    }
    stopPipe = -1;
    ::close(wake[0]);
    ::close(wake[1]);
    ::close(fd);
    return line;
}

PasswordLine readFirstLine(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        // What follows the line stays for whoever reads on.
        return takeLine(
            [fd](char* out, std::size_t size) { return readAgain(fd, out, size); },
            kLongestPasswordLine + 2,
            [fd](std::size_t after) { ::lseek(fd, -static_cast<off_t>(after), SEEK_CUR); });
    }
    // A pipe cannot give back what was read past the line.
    return takeLine([fd](char* out, std::size_t size) { return readAgain(fd, out, size); }, 1, {});
}

PasswordLine readFirstLineOfFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    auto line = takeLine([fd](char* out, std::size_t size) { return readAgain(fd, out, size); },
                         kLongestPasswordLine + 2, {});
    ::close(fd);
    return line;
}

// The handler only writes the signal's number into a pipe; the thread reads it.
struct SignalWatch::State {
    std::function<void(int)> onSignal;
    int pipe[2] = {-1, -1};
    std::thread thread;
    std::atomic<int> first{0};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    bool installed = false;
};

namespace {
std::atomic<int> signalPipe{-1};
std::atomic<int> signalsSeen{0};
std::atomic<int> firstSignal{0}; // for received() when there is no thread

extern "C" void noteSignal(int signo) {
    if (signalsSeen.fetch_add(1) > 0) {
        ::_exit(128 + signo);
    }
    firstSignal = signo;
    const int fd = signalPipe.load();
    const unsigned char byte = static_cast<unsigned char>(signo);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
}
} // namespace

SignalWatch::SignalWatch(std::function<void(int)> onSignal) : state_(new State) {
    state_->onSignal = std::move(onSignal);
    if (::pipe(state_->pipe) != 0) {
        return;
    }
    ::fcntl(state_->pipe[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(state_->pipe[1], F_SETFD, FD_CLOEXEC);
    signalPipe = state_->pipe[1];
    State* state = state_;
    firstSignal = 0;
    try {
        state_->thread = std::thread([state] {
            for (;;) {
                unsigned char byte = 0;
                const ssize_t got = ::read(state->pipe[0], &byte, 1);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0 || byte == 0) {
                    return;
                }
                state->first = byte;
                state->onSignal(byte);
            }
        });
    } catch (const std::system_error&) {
        // No thread to spare (a limit on them): the signal is only noted, and
        // the owner asks received() for it.
    }
    struct sigaction note {};
    note.sa_handler = noteSignal;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &note, &state_->previousInt);
    ::sigaction(SIGTERM, &note, &state_->previousTerm);
    state_->installed = true;
}

SignalWatch::~SignalWatch() {
    if (state_->installed) {
        ::sigaction(SIGINT, &state_->previousInt, nullptr);
        ::sigaction(SIGTERM, &state_->previousTerm, nullptr);
        signalPipe = -1;
    }
    if (state_->thread.joinable()) {
        const unsigned char stop = 0;
        writeAll(state_->pipe[1], std::string(reinterpret_cast<const char*>(&stop), 1));
        state_->thread.join();
    }
    for (const int fd : state_->pipe) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    delete state_;
}

int SignalWatch::received() const {
    return state_->first != 0 ? state_->first.load() : firstSignal.load();
}

} // namespace pdfunlock
