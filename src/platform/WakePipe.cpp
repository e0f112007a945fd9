#include "platform/WakePipe.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace pdfunlock {

namespace {

int openFlags(int fd) {
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return fd;
}

} // namespace

WakePipe::WakePipe() {
    int ends[2] = {-1, -1};
    if (::pipe(ends) == 0) {
        read_ = openFlags(ends[0]);
        write_ = openFlags(ends[1]);
    }
}

WakePipe::~WakePipe() {
    if (read_ >= 0) {
        ::close(read_);
        ::close(write_);
    }
}

void WakePipe::wake() {
    const int saved = errno;
    const char byte = 1;
    // A full pipe is woken already.
    [[maybe_unused]] const auto written = ::write(write_, &byte, 1);
    errno = saved;
}

WakePipe::Ready WakePipe::wait(std::chrono::milliseconds timeout, int other) {
    pollfd fds[2] = {{read_, POLLIN, 0}, {other, POLLIN, 0}};
    const int ms =
        timeout.count() < 0 ? -1 : static_cast<int>(std::min<long long>(timeout.count(), INT_MAX));
    Ready ready;
    if (::poll(fds, other >= 0 ? 2 : 1, ms) <= 0) {
        return ready; // timed out, or a signal came: the caller looks again
    }
    if (fds[0].revents != 0) {
        char drain[64];
        while (::read(read_, drain, sizeof drain) > 0) {
        }
        ready.woken = true;
    }
    ready.other = other >= 0 && fds[1].revents != 0;
    return ready;
}

} // namespace pdfunlock
