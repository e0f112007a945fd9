// The folder the copies go to when they are not to go beside their sources,
// and the folders below it that stand for the sub-folders a walk found.
#pragma once

#include "platform/HeldFolder.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace pdfunlock {

// The output folder is opened once, by the path the user named. A folder
// below it is entered from its parent's descriptor one name at a time,
// without following a link, and made when a copy first needs it; once
// entered it must stay that folder (device and inode), whatever is done to
// its name meanwhile.
class OutputFolder : public std::enable_shared_from_this<OutputFolder> {
public:
    // nullptr (errno set) when the path names no folder that can be opened.
    static std::shared_ptr<OutputFolder> named(const std::string& path);
    // The folder `name` below this one. Made, when needed, with
    // `permissions` (those of the source folder it stands for) and the
    // owner's, less the umask.
    std::shared_ptr<OutputFolder> subfolder(const std::string& name, unsigned permissions);

    // Of the named folder: a walk leaves it out.
    FileIdentity identity() const { return root_ ? rootIdentity_ : FileIdentity{}; }
    // For messages only.
    std::string path() const;
    // The folder held, made first (with those above it) when `make`; nullptr
    // (errno set) when it cannot be, or is not the folder entered before.
    std::shared_ptr<const HeldFolder> hold(bool make) const;

    OutputFolder(std::shared_ptr<OutputFolder> parent, std::string name, unsigned permissions)
        : parent_(std::move(parent)), name_(std::move(name)), permissions_(permissions) {}
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

private:
    std::shared_ptr<OutputFolder> parent_; // null for the named folder
    std::string name_;                     // in the parent; the path of the named folder
    unsigned permissions_ = 0;
    std::shared_ptr<const HeldFolder> root_; // the named folder, held from the start
    FileIdentity rootIdentity_;
    mutable std::mutex mutex_;
    mutable std::optional<FileIdentity> entered_;
    mutable std::weak_ptr<const HeldFolder> held_;
};

} // namespace pdfunlock
