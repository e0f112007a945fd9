#include "platform/DirectoryListing.h"

#include <algorithm>
#include <thread>
#ifdef __linux__
#include <sched.h>
#endif

namespace pdfunlock {

unsigned usableProcessors() {
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&set));
    }
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace pdfunlock
