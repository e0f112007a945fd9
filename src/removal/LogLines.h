// The fixed diagnostic lines written by the removal side.
#pragma once

#include <string>
#include <string_view>

namespace pdfunlock {

inline constexpr std::string_view kLogNoWorkingDocument = "self.workingPdfDoc is nil.";
inline constexpr std::string_view kLogFilePathEmpty = "filePath is empty.";
inline constexpr std::string_view kLogFilePathFull = "pdf file path is full.";

// "%d page not exist! " with the zero-based index; the trailing blank is part of the line.
inline std::string pageNotExistLine(int index) {
    return std::to_string(index) + " page not exist! ";
}

} // namespace pdfunlock
