#include "platform/Secrets.h"

#include <sys/resource.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace pdfunlock {

bool keepSecretsOutOfCoreDumps() {
    // The limit alone is not enough on Linux: a core_pattern that pipes to a
    // handler gets the dump whatever the limit, and the handler decides.
    // Not dumpable, there is no dump at all unless the administrator asked
    // for dumps of such processes (fs.suid_dumpable), and then the limit of
    // 0 still keeps systemd-coredump from storing one.
    const rlimit none{0, 0};
    bool kept = ::setrlimit(RLIMIT_CORE, &none) == 0;
#ifdef __linux__
    kept = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0 && kept;
#endif
    return kept;
}

} // namespace pdfunlock
