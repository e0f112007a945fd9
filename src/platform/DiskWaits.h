// A job about to wait for the disk (a sync) says so, so that whoever runs
// jobs can let another one use the processor meanwhile.
#pragma once

namespace pdfunlock {

class DiskWaits {
public:
    virtual ~DiskWaits() = default;
    virtual void waiting() = 0; // this thread is about to wait for the disk
    virtual void resumed() = 0; // and is back; may block until it may go on
};

// Says so for the scope it lives in; does nothing without a `DiskWaits`.
class DiskWait {
public:
    explicit DiskWait(DiskWaits* waits) : waits_(waits) {
        if (waits_) {
            waits_->waiting();
        }
    }
    ~DiskWait() {
        if (waits_) {
            waits_->resumed();
        }
    }
    DiskWait(const DiskWait&) = delete;
    DiskWait& operator=(const DiskWait&) = delete;

private:
    DiskWaits* waits_;
};

} // namespace pdfunlock
