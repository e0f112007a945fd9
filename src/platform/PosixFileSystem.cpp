#include "platform/PosixFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

namespace pdfunlock {

bool PosixFileSystem::fileExistsAtPath(const std::string& path) const {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::isNameTaken(const std::string& path) const {
    struct stat info {};
    // stat as a second chance for systems where lstat is refused but stat is not.
    return ::lstat(path.c_str(), &info) == 0 || ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::removeItemAtPath(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

unsigned FileSystem::runningUserId() const {
    return static_cast<unsigned>(::geteuid());
}

std::optional<unsigned> PosixFileSystem::permissionsAtPath(const std::string& path) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<unsigned>(info.st_mode & 07777);
}

} // namespace pdfunlock
