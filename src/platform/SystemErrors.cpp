#include "platform/SystemErrors.h"

#include <cstring>
#include <system_error>

namespace pdfunlock {

std::string errorName(int error) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    if (const char* name = ::strerrorname_np(error)) {
        return name;
    }
#endif
    return "errno-" + std::to_string(error);
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

} // namespace pdfunlock
