#include "batch/BatchInputs.h"

#include "platform/DirectoryListing.h"
#include "platform/Paths.h"
#include "removal/CopyFileNaming.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace pdfunlock {

namespace {

bool hasPdfExtension(const std::string& name) {
    constexpr std::string_view extension = ".pdf";
    if (name.size() <= extension.size()) {
        return false;
    }
    const std::string tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

class Walk {
public:
    explicit Walk(BatchInputs& inputs) : inputs_(inputs) {}

    void named(const std::string& path) {
        const auto info = inspectPath(path);
        if (info && info->kind == PathKind::Folder) {
            folder(path);
        } else if (!info) {
            // Missing now: the job itself says so, as the window does.
            if (seenMissing_.insert(path).second) {
                inputs_.items.push_back({path, std::nullopt});
            }
        } else {
            take(path, info->identity);
        }
    }

private:
    // Depth first with a stack of its own: no folder stays open while the
    // next is read, so deep trees need no more descriptors than flat ones.
    void folder(const std::string& root) {
        std::vector<std::string> pending{root};
        while (!pending.empty()) {
            const std::string dir = pending.back();
            pending.pop_back();
            const auto names = listDirectory(dir);
            if (!names) {
                inputs_.unreadableFolders.push_back(dir);
                continue;
            }
            std::vector<std::string> subfolders;
            for (const auto& name : *names) {
                const std::string path = paths::stringByAppendingPathComponent(dir, name);
                const auto info = inspectPath(path);
                if (!info) {
                    continue;
                }
                if (info->kind == PathKind::Folder) {
                    if (!info->isLink) {
                        subfolders.push_back(path);
                    }
                } else if (info->kind == PathKind::File && hasPdfExtension(name)) {
                    take(path, info->identity);
                }
            }
            pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
        }
    }

    void take(const std::string& path, FileIdentity identity) {
        if (seen_.insert(identity).second) {
            inputs_.items.push_back({path, std::nullopt});
        }
    }

    BatchInputs& inputs_;
    std::set<FileIdentity> seen_;
    std::set<std::string> seenMissing_;
};

// Copies of an earlier run: the names the copy naming gives, beside their
// source, that open without a password. Looked up by name first, so that
// only files named like copies are ever opened here.
class EarlierCopies {
public:
    explicit EarlierCopies(PDFDocumentService& pdf) : pdf_(pdf) {}

    bool isCopy(const std::string& path) {
        const auto source = sourcePathOfCopy(path);
        if (!source) {
            return false;
        }
        const auto info = inspectPath(*source);
        return info && info->kind == PathKind::File && isUnprotectedPdf(path);
    }

    std::optional<std::string> copyOf(const std::string& source) {
        const std::string dir = paths::stringByDeletingLastPathComponent(source);
        auto folder = folders_.find(dir);
        if (folder == folders_.end()) {
            folder = folders_.emplace(dir, copiesIn(dir)).first;
        }
        const auto copies = folder->second.find(source);
        if (copies != folder->second.end()) {
            for (const auto& copy : copies->second) {
                if (isUnprotectedPdf(copy)) {
                    return copy;
                }
            }
        }
        return std::nullopt;
    }

private:
    using CopiesBySource = std::map<std::string, std::vector<std::string>>;

    static CopiesBySource copiesIn(const std::string& dir) {
        CopiesBySource copies;
        for (const auto& name :
             listDirectory(dir.empty() ? "." : dir).value_or(std::vector<std::string>{})) {
            const std::string path = paths::stringByAppendingPathComponent(dir, name);
            if (const auto source = sourcePathOfCopy(path)) {
                copies[*source].push_back(path);
            }
        }
        return copies;
    }

    bool isUnprotectedPdf(const std::string& path) {
        const auto known = unprotected_.find(path);
        if (known != unprotected_.end()) {
            return known->second;
        }
        const auto document = pdf_.initWithURL(path);
        const bool answer = document && !document->isLocked();
        unprotected_.emplace(path, answer);
        return answer;
    }

    PDFDocumentService& pdf_;
    std::map<std::string, CopiesBySource> folders_;
    std::map<std::string, bool> unprotected_;
};

} // namespace

BatchInputs collectInputs(const std::vector<std::string>& paths, PDFDocumentService& pdf) {
    BatchInputs inputs;
    Walk walk(inputs);
    for (const auto& path : paths) {
        walk.named(path);
    }
    EarlierCopies earlier(pdf);
    std::vector<BatchItem> candidates;
    for (auto& item : inputs.items) {
        if (earlier.isCopy(item.path)) {
            inputs.earlierCopies.push_back(item.path);
        } else {
            candidates.push_back(std::move(item));
        }
    }
    for (auto& item : candidates) {
        item.earlierCopy = earlier.copyOf(item.path);
    }
    inputs.items = std::move(candidates);
    return inputs;
}

} // namespace pdfunlock
