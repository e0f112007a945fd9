#include "removal/CopyFileNaming.h"

#include "platform/Paths.h"
#include "removal/LogLines.h"

namespace pdfunlock {

namespace {
constexpr int kLastCopyNumber = 99999;
}

std::optional<std::string> getCopyFilePath(const std::string& filePath, const FileSystem& files,
                                           Log& log) {
    if (filePath.empty()) {
        log.log(std::string(kLogFilePathEmpty));
        return std::nullopt;
    }
    const std::string directory = paths::stringByDeletingLastPathComponent(filePath);
    const std::string baseName =
        paths::lastPathComponent(paths::stringByDeletingPathExtension(filePath));
    const std::string extension = paths::pathExtension(filePath);
    const std::string stem = baseName + "_copy";

    const auto candidate = [&](const std::string& name) {
        const std::string joined = paths::stringByAppendingPathComponent(directory, name);
        return paths::stringByAppendingPathExtension(joined, extension).value_or(joined);
    };

    // A name taken by a link counts as taken, wherever the link points.
    if (auto path = candidate(stem); !files.isNameTaken(path)) {
        return path;
    }
    for (int k = 1; k <= kLastCopyNumber; ++k) {
        if (auto path = candidate(stem + std::to_string(k)); !files.isNameTaken(path)) {
            return path;
        }
    }
    log.log(std::string(kLogFilePathFull));
    return std::nullopt;
}

} // namespace pdfunlock
