#include "removal/CopyFileNaming.h"

#include "platform/Paths.h"
#include "removal/LogLines.h"

namespace pdfunlock {

namespace {

constexpr std::string_view kCopySuffix = "_copy";

// The name beside `filePath` for `suffix` ("_copy", "_copy1"...).
std::string copyCandidate(const std::string& filePath, const std::string& suffix) {
    const std::string directory = paths::stringByDeletingLastPathComponent(filePath);
    const std::string baseName =
        paths::lastPathComponent(paths::stringByDeletingPathExtension(filePath));
    const std::string joined = paths::stringByAppendingPathComponent(directory, baseName + suffix);
    return paths::stringByAppendingPathExtension(joined, paths::pathExtension(filePath))
        .value_or(joined);
}

} // namespace

std::optional<std::string> getCopyFilePath(const std::string& filePath, const FileSystem& files,
                                           Log& log) {
    // A name taken by a link counts as taken, wherever the link points.
    return firstFreeCopyPath(
        filePath, [&files](const std::string& path) { return files.isNameTaken(path); }, log);
}

std::string copyFilePath(const std::string& filePath, int number) {
    return copyCandidate(filePath,
                         std::string(kCopySuffix) + (number > 0 ? std::to_string(number) : ""));
}

std::optional<std::string> firstFreeCopyPath(const std::string& filePath,
                                             const std::function<bool(const std::string&)>& isTaken,
                                             Log& log) {
    if (filePath.empty()) {
        log.log(std::string(kLogFilePathEmpty));
        return std::nullopt;
    }
    for (int k = 0; k <= kLastCopyNumber; ++k) {
        if (auto path = copyFilePath(filePath, k); !isTaken(path)) {
            return path;
        }
    }
    log.log(std::string(kLogFilePathFull));
    return std::nullopt;
}

std::optional<std::string> sourcePathOfCopy(const std::string& copyPath) {
    const std::string directory = paths::stringByDeletingLastPathComponent(copyPath);
    const std::string extension = paths::pathExtension(copyPath);
    std::string baseName = paths::lastPathComponent(paths::stringByDeletingPathExtension(copyPath));
    const std::size_t digits = baseName.size() - 1 - baseName.find_last_not_of("0123456789");
    const std::string number = baseName.substr(baseName.size() - digits);
    baseName.resize(baseName.size() - digits);
    if (digits > 5 || (digits > 0 && number.front() == '0') || !baseName.ends_with(kCopySuffix)) {
        return std::nullopt;
    }
    baseName.resize(baseName.size() - kCopySuffix.size());
    if (baseName.empty()) {
        return std::nullopt;
    }
    const std::string joined = paths::stringByAppendingPathComponent(directory, baseName);
    const std::string source =
        paths::stringByAppendingPathExtension(joined, extension).value_or(joined);
    // Only what the naming itself would give back.
    if (copyCandidate(source, std::string(kCopySuffix) + number) != copyPath) {
        return std::nullopt;
    }
    return source;
}

} // namespace pdfunlock
