// A wait on descriptors that another thread, or a signal handler, can end
// at once: a pipe to itself.
#pragma once

#include <chrono>

namespace pdfunlock {

class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    // Safe in a signal handler.
    void wake();

    struct Ready {
        bool woken = false; // wake() was called (and is now taken)
        bool other = false; // `other` can be read
    };
    // Waits at most `timeout` (negative: without end) for a wake, or for
    // `other` to be readable when it is a descriptor.
    Ready wait(std::chrono::milliseconds timeout, int other = -1);

private:
    int read_ = -1;
    int write_ = -1;
};

} // namespace pdfunlock
