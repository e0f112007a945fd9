#include "removal/PasswordRemoval.h"

#include "platform/Secrets.h"
#include "removal/CopyFileNaming.h"
#include "removal/DocumentOperations.h"
#include "removal/LogLines.h"

#include <array>

namespace pdfunlock {

namespace {

bool grantsAllPermissions(const PDFDocument& document) {
    // In this order, stopping at the first refusal.
    static constexpr std::array<bool (PDFDocument::*)() const, 7> queries = {
        &PDFDocument::allowsPrinting,
        &PDFDocument::allowsCopying,
        &PDFDocument::allowsCommenting,
        &PDFDocument::allowsFormFieldEntry,
        &PDFDocument::allowsDocumentChanges,
        &PDFDocument::allowsDocumentAssembly,
        &PDFDocument::allowsContentAccessibility,
    };
    for (const auto query : queries) {
        if (!(document.*query)()) {
            return false;
        }
    }
    return true;
}

// Case-sensitive, byte for byte; an empty word is found nowhere.
bool contains(const std::string& text, const std::string& word) {
    return !word.empty() && text.find(word) != std::string::npos;
}

bool isFromTessivon(const PDFDocument& document) {
    return contains(getCreator(document), kOriginWord) ||
           contains(getProducer(document), kOriginWord);
}

// Permission bits for the copy: never wider than the source file's. When the
// source cannot be examined, owner-only is the safe choice.
unsigned copyPermissions(const FileSystem& files, const std::string& sourcePath) {
    return files.permissionsAtPath(sourcePath).value_or(0600u) & 0666u;
}

} // namespace

std::optional<IDS_KEY> messageFor(RemovalExit exit) {
    switch (exit) {
    case RemovalExit::NoDocument:
        return std::nullopt;
    case RemovalExit::InvalidPassword:
        return IDS_KEY::IDS_MSG_INVALIDPWD;
    case RemovalExit::Restricted:
    case RemovalExit::NotFromTessivon:
        return IDS_KEY::IDS_MSG_NO_TESSIVON;
    case RemovalExit::SourceWithoutPages:
    case RemovalExit::NoCopyPath:
    case RemovalExit::WriteFailed:
    case RemovalExit::CopyUnreadable:
        return IDS_KEY::IDS_MSG_FAILED;
    case RemovalExit::Complete:
        return IDS_KEY::IDS_MSG_COMPLETE;
    }
    return IDS_KEY::IDS_MSG_FAILED;
}

AlertStyle alertStyleFor(IDS_KEY message) {
    return message == IDS_KEY::IDS_MSG_COMPLETE ? AlertStyle::Informational : AlertStyle::Critical;
}

RemovalExit removePDFpwd(const std::shared_ptr<PDFDocument>& sourceHeld, RemovalContext context) {
    const std::shared_ptr<PDFDocument> source = sourceHeld;
    if (!source) {
        context.log.log(std::string(kLogNoWorkingDocument));
        context.window.orderOut();
        return RemovalExit::NoDocument;
    }
    return removePassword(*source, context.pwd.stringValue(),
                          RemovalServices{context.pdf, context.files, context.log},
                          [&context] { context.window.orderOut(); })
        .exit;
}

RemovalResult removePassword(PDFDocument& source, std::string password, RemovalServices context,
                             const std::function<void()>& unlocked) {
    const bool opened = source.unlockWithPassword(password);
    wipe(password);
    if (!opened) {
        return {RemovalExit::InvalidPassword, std::nullopt};
    }
    if (unlocked) {
        unlocked();
    }

    if (!grantsAllPermissions(source)) {
        return {RemovalExit::Restricted, std::nullopt};
    }
    if (!isFromTessivon(source)) {
        return {RemovalExit::NotFromTessivon, std::nullopt};
    }

    const std::shared_ptr<PDFDocument> copy = context.pdf.init();
    copyTo(source, *copy, context.log);
    setCreator(*copy, getCreator(source));
    const int copiedPages = copy->pageCount();
    // A damaged source can unlock yet yield nothing; an empty copy is no copy.
    if (copiedPages == 0) {
        return {RemovalExit::SourceWithoutPages, std::nullopt};
    }

    const std::string sourcePath = source.documentURL().value_or(std::string());
    const auto copyPath = getCopyFilePath(sourcePath, context.files, context.log);
    if (!copyPath) {
        return {RemovalExit::NoCopyPath, std::nullopt};
    }
    if (!copy->writeToFile(*copyPath, copyPermissions(context.files, sourcePath))) {
        return {RemovalExit::WriteFailed, std::nullopt};
    }

    // A copy that only opens by repair, or lost pages on the way, is not a
    // copy. Opening parses its cross-reference table and catalog, and the page
    // tree must declare every page copied. When the source itself needed
    // repair, what qpdf recovered may not hold together: every page of the
    // copy is read back as well.
    bool readable = false;
    if (const auto check = context.pdf.initWithURL(*copyPath)) {
        readable =
            !check->isLocked() && !check->isDamaged() && check->declaredPageCount() == copiedPages;
        if (readable && source.isDamaged()) {
            readable = check->pageCount() == copiedPages && !check->isDamaged();
        }
    }
    if (!readable) {
        context.files.removeItemAtPath(*copyPath);
        return {RemovalExit::CopyUnreadable, std::nullopt};
    }
    return {RemovalExit::Complete, copyPath};
}

} // namespace pdfunlock
