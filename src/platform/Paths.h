// Path-text operations with the semantics of the desktop framework the program
// was first written for: '/' separated, trailing separators ignored.
#pragma once

#include <optional>
#include <string>

namespace pdfunlock::paths {

std::string lastPathComponent(const std::string& path);
std::string stringByDeletingLastPathComponent(const std::string& path);
std::string stringByDeletingPathExtension(const std::string& path);
std::string pathExtension(const std::string& path);
std::string stringByAppendingPathComponent(const std::string& path, const std::string& component);
// nullopt when no extension can be appended: an empty extension (or one holding
// a separator), an empty path, or the root. Trailing separators are ignored.
std::optional<std::string> stringByAppendingPathExtension(const std::string& path,
                                                          const std::string& extension);
// Absolute form of a path against the current directory, as a file URL made
// from it would hold; its segments ("." and ".." too) and symbolic links stay as
// they are. Unchanged if the current directory is unknown.
std::string absolutePath(const std::string& path);

} // namespace pdfunlock::paths
