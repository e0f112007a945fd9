#include "removal/FileJob.h"

#include "removal/LaunchChecks.h"

namespace pdfunlock {

FileOutcome unlockFile(const std::string& path, const std::string& password,
                       RemovalServices services) {
    const LaunchCheck checked =
        openLockedDocument(path, services.files, services.pdf, services.log);
    if (!checked.document) {
        return {checked.refusal.value_or(IDS_KEY::IDS_MSG_NO_TESSIVON), std::nullopt};
    }
    const RemovalResult result = removePassword(*checked.document, password, services);
    return {messageFor(result.exit).value_or(IDS_KEY::IDS_MSG_FAILED), result.copyPath};
}

} // namespace pdfunlock
