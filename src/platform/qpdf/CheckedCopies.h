// Copies just written and checked, for the open that verifies one to take
// the check's reading of it instead of parsing the file once more.
#pragma once

#include "platform/qpdf/WritePaths.h"

#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace pdfunlock {

class CheckedCopies {
public:
    // `copy` is now at its path; remembered as long as the caller holds it.
    void remember(const std::shared_ptr<CheckedCopy>& copy);
    // The reading of `file` a check made, if `file` is a copy remembered here
    // and nothing has changed it since: the same file, of the same size, not
    // modified or changed in any way since it was kept. Taken once.
    std::shared_ptr<CheckedCopy> take(const OpenFile& file);

private:
    struct Kept {
        struct stat when;
        std::weak_ptr<CheckedCopy> copy;
    };
    std::mutex mutex_; // several jobs write copies at once
    std::vector<Kept> kept_;
};

} // namespace pdfunlock
