// Child processes for what a test cannot do to itself: run as another user,
// or meet a limit that would end the test.
#pragma once

#include <cerrno>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace pdfunlock::testing {

// Root ignores directory modes; a child that is to meet them runs as nobody.
inline std::optional<std::pair<uid_t, gid_t>> nobody() {
    const passwd* entry = ::getpwnam("nobody");
    if (!entry) {
        return std::nullopt;
    }
    return std::pair{entry->pw_uid, entry->pw_gid};
}

inline bool dropPrivileges() {
    if (::geteuid() != 0) {
        return true;
    }
    const auto ids = nobody();
    return ids && ::setgroups(0, nullptr) == 0 && ::setgid(ids->second) == 0 &&
           ::setuid(ids->first) == 0 && ::setuid(0) != 0;
}

// Runs `body` in a forked child and returns what it returned, or nullopt when
// the child did not end normally. QTest macros must not run in the child; it
// leaves with _exit so the parent's temporary directories survive.
inline std::optional<std::string> inChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::string text;
        try {
            text = body();
        } catch (...) {
            ::_exit(3);
        }
        const char* data = text.data();
        size_t left = text.size();
        while (left > 0) {
            const ssize_t written = ::write(fds[1], data, left);
            if (written <= 0) {
                ::_exit(4);
            }
            data += written;
            left -= static_cast<size_t>(written);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return text;
}

} // namespace pdfunlock::testing
