#include "platform/Terminal.h"

#include "platform/Secrets.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace pdfunlock {

namespace {

// The terminal whose echo is off, for the signal handlers to put it back.
std::atomic<int> quietTerminal{-1};
termios savedModes{};

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

extern "C" void restoreEchoAndRaise(int signo) {
    const int fd = quietTerminal.exchange(-1);
    if (fd >= 0) {
        ::tcsetattr(fd, TCSAFLUSH, &savedModes);
    }
    // The default action, now that the echo is back.
    ::signal(signo, SIG_DFL);
    ::raise(signo);
}

// One byte at a time, so that nothing past the line is taken from `fd`.
std::optional<std::string> readLine(int fd) {
    std::string line;
    bool any = false;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            wipe(line);
            return std::nullopt;
        }
        if (got == 0 || c == '\n') {
            any = any || got > 0;
            break;
        }
        any = true;
        line.push_back(c);
        c = 0;
    }
    if (!any) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.back() = '\0';
        line.pop_back();
    }
    return line;
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

std::optional<std::string> readPasswordFromTerminal(const std::string& prompt) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    termios modes{};
    if (::tcgetattr(fd, &modes) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    savedModes = modes;
    struct sigaction restore {};
    restore.sa_handler = restoreEchoAndRaise;
    sigemptyset(&restore.sa_mask);
    struct sigaction previous[std::size(kEndingSignals)];
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &restore, &previous[i]);
    }
    quietTerminal = fd;
    modes.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL);
    ::tcsetattr(fd, TCSAFLUSH, &modes);

    writeAll(STDERR_FILENO, prompt);
    auto line = readLine(fd);
    writeAll(STDERR_FILENO, "\n");

    if (quietTerminal.exchange(-1) >= 0) {
        ::tcsetattr(fd, TCSAFLUSH, &savedModes);
    }
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &previous[i], nullptr);
    }
    ::close(fd);
    return line;
}

std::optional<std::string> readFirstLine(int fd) {
    return readLine(fd);
}

std::optional<std::string> readFirstLineOfFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    auto line = readLine(fd);
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
};

namespace {
std::atomic<int> signalPipe{-1};
std::atomic<int> signalsSeen{0};

extern "C" void noteSignal(int signo) {
    if (signalsSeen.fetch_add(1) > 0) {
        ::_exit(128 + signo);
    }
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
    struct sigaction note {};
    note.sa_handler = noteSignal;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &note, &state_->previousInt);
    ::sigaction(SIGTERM, &note, &state_->previousTerm);
}

SignalWatch::~SignalWatch() {
    if (state_->thread.joinable()) {
        ::sigaction(SIGINT, &state_->previousInt, nullptr);
        ::sigaction(SIGTERM, &state_->previousTerm, nullptr);
        signalPipe = -1;
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
    return state_->first;
}

} // namespace pdfunlock
