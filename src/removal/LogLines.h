// The fixed diagnostic lines, all of them but the framework's.
#pragma once

#include <string>
#include <string_view>

namespace pdfunlock {

inline constexpr std::string_view kLogPdfMissing = "pdf is not exists.";
inline constexpr std::string_view kLogVersionNot17 = "pdf version is not 1.7";
inline constexpr std::string_view kLogNoWorkingDocument = "self.workingPdfDoc is nil.";
inline constexpr std::string_view kLogFilePathEmpty = "filePath is empty.";
inline constexpr std::string_view kLogFilePathFull = "pdf file path is full.";

// "%d page not exist! " with the zero-based index; the trailing blank is part of the line.
inline std::string pageNotExistLine(int index) {
    return std::to_string(index) + " page not exist! ";
}

} // namespace pdfunlock
