#include "platform/DirectoryListing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#ifdef __linux__
#include <sched.h>
#endif

namespace pdfunlock {

std::optional<PathInfo> inspectPath(const std::string& path) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0) {
        return std::nullopt;
    }
    const bool isLink = S_ISLNK(own.st_mode);
    struct stat target = own;
    if (isLink && ::stat(path.c_str(), &target) != 0) {
        return std::nullopt;
    }
    const PathKind kind = S_ISREG(target.st_mode)   ? PathKind::File
                          : S_ISDIR(target.st_mode) ? PathKind::Folder
                                                    : PathKind::Other;
    return PathInfo{kind,
                    FileIdentity{static_cast<unsigned long long>(target.st_dev),
                                 static_cast<unsigned long long>(target.st_ino)},
                    isLink};
}

std::optional<std::vector<std::string>> listDirectory(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            complete = errno == 0;
            break;
        }
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    if (!complete) {
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

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
