// The file system through POSIX calls only, so it behaves alike on Linux and macOS.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

class PosixFileSystem : public FileSystem {
public:
    // Follows symbolic links: a link to nowhere is no file.
    bool fileExistsAtPath(const std::string& path) const override;
    // A link to nowhere takes its name.
    bool isNameTaken(const std::string& path) const override;
    // Removes a file (not a directory); false if nothing was removed.
    bool removeItemAtPath(const std::string& path) override;
    // Follows symbolic links.
    std::optional<unsigned> permissionsAtPath(const std::string& path) const override;
};

} // namespace pdfunlock
