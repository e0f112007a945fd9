#include "platform/SystemLog.h"

#include <cerrno>
#include <mutex>
#include <syslog.h>
#include <unistd.h>

namespace pdfunlock {

SystemLog::SystemLog(bool toStandardError) : toStandardError_(toStandardError) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog("pdfunlock", LOG_PID, LOG_USER); });
}

void SystemLog::log(const std::string& line) {
    // One write of the whole line so lines from other writers never interleave
    // inside it; stdio buffering would hold it back until exit.
    const std::string text = line + "\n";
    const char* data = text.data();
    std::size_t left = toStandardError_ ? text.size() : 0;
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    ::syslog(LOG_NOTICE, "%s", line.c_str());
}

} // namespace pdfunlock
