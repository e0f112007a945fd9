#include "platform/Paths.h"

#include <filesystem>
#include <system_error>

namespace pdfunlock::paths {

namespace {

// Runs of separators count as one and trailing ones are dropped, so "a//b/"
// and "a/b" name the same thing; a path made only of separators is the root.
std::string fixingSlashes(const std::string& path) {
    std::string fixed;
    fixed.reserve(path.size());
    for (const char c : path) {
        if (c == '/' && !fixed.empty() && fixed.back() == '/') {
            continue;
        }
        fixed.push_back(c);
    }
    if (fixed.size() > 1 && fixed.back() == '/') {
        fixed.pop_back();
    }
    return fixed;
}

// Index where the last component starts in a fixed path.
std::size_t startOfLastComponent(const std::string& fixed) {
    const auto slash = fixed.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Index of the dot that starts the extension in a fixed path, npos if none. A
// leading dot makes a hidden name, not an extension.
std::size_t extensionDot(const std::string& fixed) {
    if (fixed == "/") {
        return std::string::npos;
    }
    const auto start = startOfLastComponent(fixed);
    const auto dot = fixed.rfind('.');
    if (dot == std::string::npos || dot <= start ||
        fixed.compare(start, std::string::npos, "..") == 0) {
        return std::string::npos;
    }
    return dot;
}

} // namespace

std::string lastPathComponent(const std::string& path) {
    const auto fixed = fixingSlashes(path);
    if (fixed.size() <= 1) {
        return fixed;
    }
    return fixed.substr(startOfLastComponent(fixed));
}

std::string stringByDeletingLastPathComponent(const std::string& path) {
    const auto fixed = fixingSlashes(path);
    if (fixed.empty() || fixed == "/") {
        return fixed;
    }
    const auto start = startOfLastComponent(fixed);
    if (start == 0) {
        return "";
    }
    if (start == 1) {
        return "/";
    }
    return fixed.substr(0, start - 1);
}

std::string stringByDeletingPathExtension(const std::string& path) {
    const auto fixed = fixingSlashes(path);
    const auto dot = extensionDot(fixed);
    return dot == std::string::npos ? fixed : fixed.substr(0, dot);
}

std::string pathExtension(const std::string& path) {
    const auto fixed = fixingSlashes(path);
    const auto dot = extensionDot(fixed);
    return dot == std::string::npos ? std::string() : fixed.substr(dot + 1);
}

std::string stringByAppendingPathComponent(const std::string& path, const std::string& component) {
    if (path.empty()) {
        return fixingSlashes(component);
    }
    return fixingSlashes(path + "/" + component);
}

std::optional<std::string> stringByAppendingPathExtension(const std::string& path,
                                                          const std::string& extension) {
    const auto fixed = fixingSlashes(path);
    if (extension.empty() || extension.find('/') != std::string::npos || fixed.empty() ||
        fixed == "/") {
        return std::nullopt;
    }
    return fixed + "." + extension;
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace pdfunlock::paths
