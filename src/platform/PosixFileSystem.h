// The file system through POSIX calls only, so it behaves alike on Linux and macOS.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

class PosixFileSystem : public FileSystem {
public:
    // A dangling symbolic link exists: its name is taken.
    bool fileExistsAtPath(const std::string& path) const override;
    // Removes a file (not a directory); false if nothing was removed.
    bool removeItemAtPath(const std::string& path) override;
    // Follows symbolic links.
    std::optional<unsigned> permissionsAtPath(const std::string& path) const override;
};

} // namespace pdfunlock
