// What the batch needs to know of files and folders: what a path names, which
// file it is, and the names in a folder. POSIX calls only.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <vector>

namespace pdfunlock {

enum class PathKind { File, Folder, Other };

// The same file under two names has the same identity.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

struct PathInfo {
    PathKind kind;
    FileIdentity identity;
    bool isLink; // the name itself is a symbolic link (kind is what it points to)
};

// nullopt when nothing can be found at the path (a link to nowhere included).
std::optional<PathInfo> inspectPath(const std::string& path);

// The names in a folder, "." and ".." left out, sorted by their bytes; nullopt
// when the folder cannot be read. The folder is closed before this returns.
std::optional<std::vector<std::string>> listDirectory(const std::string& path);

// Processors this process may run on (at least 1).
unsigned usableProcessors();

} // namespace pdfunlock
