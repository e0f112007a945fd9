// The whole job for one file whose password is known beforehand, as the
// window runs it in two steps: the launch checks, then the removal.
#pragma once

#include "removal/IDSKey.h"
#include "removal/PasswordRemoval.h"

#include <optional>
#include <string>

namespace pdfunlock {

struct FileOutcome {
    IDS_KEY message;                     // the key the window would show
    std::optional<std::string> copyPath; // the verified copy, when one was saved
};

// `password` is copied for the document and that copy wiped once it answered.
FileOutcome unlockFile(const std::string& path, const std::string& password,
                       RemovalServices services);

} // namespace pdfunlock
