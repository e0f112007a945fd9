// A job about to block on something outside it (the disk taking a file,
// another run letting go of one) says so, so that whoever runs jobs can let
// another one use the processor meanwhile.
#pragma once

namespace pdfunlock {

class BlockingWaits {
public:
    virtual ~BlockingWaits() = default;
    virtual void waiting() = 0; // this thread is about to block
    virtual void resumed() = 0; // and is back; may block until it may go on
};

// Says so for the scope it lives in; does nothing without a `BlockingWaits`.
class BlockingWait {
public:
    explicit BlockingWait(BlockingWaits* waits) : waits_(waits) {
        if (waits_) {
            waits_->waiting();
        }
    }
    ~BlockingWait() {
        if (waits_) {
            waits_->resumed();
        }
    }
    BlockingWait(const BlockingWait&) = delete;
    BlockingWait& operator=(const BlockingWait&) = delete;

private:
    BlockingWaits* waits_;
};

} // namespace pdfunlock
