#include "platform/Secrets.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
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

bool isOpenToOthers(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 &&
           (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0);
}

} // namespace pdfunlock
