// How many files are at work at once: `-j` of them use the processors, and a
// job that waits for the disk to take its copy, or for another run to let go
// of its file, lets another file start meanwhile, so that syncs overlap with
// work instead of leaving a core idle. A job never waits for another while it
// holds a slot: what holds a slot always goes on.
#pragma once

#include "platform/BlockingWaits.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace pdfunlock {

class JobSlots final : public BlockingWaits {
public:
    explicit JobSlots(std::size_t slots) : free_(slots) {}

    // A slot for a new file; jobs back from a wait go first.
    void take();
    void give();
    void waiting() override { give(); }
    void resumed() override;

    // A slot held for the scope it lives in.
    class Held {
    public:
        explicit Held(JobSlots& slots) : slots_(slots) { slots_.take(); }
        ~Held() { slots_.give(); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        JobSlots& slots_;
    };

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t free_;
    std::size_t returning_ = 0;
};

} // namespace pdfunlock
