// Choosing the free name under which the unprotected copy is written.
#pragma once

#include "platform/Desktop.h"

#include <functional>
#include <optional>
#include <string>

namespace pdfunlock {

// "<dir>/<base>_copy.<ext>", else the lowest free "<base>_copy<k>.<ext>" for k in
// 1..99999. nullopt (with a log line) for an empty path or when every name is
// taken. Only tests existence: nothing is created or reserved.
std::optional<std::string> getCopyFilePath(const std::string& filePath, const FileSystem& files,
                                           Log& log);

// The same with `isTaken` as the test of each candidate; for a bare file name
// the candidates are bare names.
std::optional<std::string> firstFreeCopyPath(const std::string& filePath,
                                             const std::function<bool(const std::string&)>& isTaken,
                                             Log& log);

// The candidate `number` of getCopyFilePath: 0 for "<base>_copy.<ext>", else
// "<base>_copy<number>.<ext>" (1..99999).
std::string copyFilePath(const std::string& filePath, int number);
inline constexpr int kLastCopyNumber = 99999;

// The source whose copy getCopyFilePath may name `copyPath` ("<dir>/<base>.<ext>"
// for "<dir>/<base>_copy<k>.<ext>"), nullopt for a name it never gives. Names
// only: nothing is looked at on disk.
std::optional<std::string> sourcePathOfCopy(const std::string& copyPath);

} // namespace pdfunlock
