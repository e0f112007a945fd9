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

// Beside the path the document was opened under, resolved again at each
// step, as the window has always done it.
class PathCopyPlace final : public CopyPlace {
public:
    PathCopyPlace(std::string sourcePath, RemovalServices services)
        : sourcePath_(std::move(sourcePath)), services_(services) {}

    std::optional<std::string> choose() override {
        auto path = getCopyFilePath(sourcePath_, services_.files, services_.log);
        copyPath_ = path.value_or(std::string());
        return path;
    }
    bool write(PDFDocument& copy, unsigned permissions, std::optional<unsigned> group) override {
        SaveTarget target(copyPath_);
        target.group = group;
        return copy.writeToFile(target, permissions);
    }
    std::shared_ptr<PDFDocument> reopen() override { return services_.pdf.initWithURL(copyPath_); }
    void discard() override { services_.files.removeItemAtPath(copyPath_); }
    std::string reported() override { return copyPath_; }

private:
    std::string sourcePath_;
    RemovalServices services_;
    std::string copyPath_;
};

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
    case RemovalExit::SourceChanged:
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
    const RemovalServices services{context.pdf, context.files, context.log};
    PathCopyPlace place(source->documentURL().value_or(std::string()), services);
    return removePassword(*source, context.pwd.stringValue(), services, place,
                          [&context] { context.window.orderOut(); })
        .exit;
}

RemovalResult removePassword(PDFDocument& source, std::string password, RemovalServices context,
                             CopyPlace& place, const std::function<void()>& unlocked) {
    // What the file is now, from the descriptor the document holds: what the
    // copy's permissions follow, and what the file must still be once the
    // copy is written.
    const auto before = source.sourceState();
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

    if (!place.choose()) {
        return {RemovalExit::NoCopyPath, std::nullopt};
    }
    // Never more readable than the source: the bits and the group of the file
    // opened, owner-only when it cannot be examined.
    const std::string sourcePath = source.documentURL().value_or(std::string());
    const unsigned permissions =
        before ? before->permissions : context.files.permissionsAtPath(sourcePath).value_or(0600u);
    if (!place.write(*copy, permissions & 0666u,
                     before ? std::optional<unsigned>(before->group) : std::nullopt)) {
        return {RemovalExit::WriteFailed, std::nullopt};
    }
    // Written to since it was opened, or while it was read: the copy may hold
    // part of one version and part of another.
    const auto opening = source.openedSourceState();
    const auto after = source.sourceState();
    if (before &&
        (!after || !after->untouched(*before) || (opening && !opening->sameContent(*before)))) {
        place.discard();
        return {RemovalExit::SourceChanged, std::nullopt};
    }

    // A copy that only opens by repair, or lost pages on the way, is not a
    // copy. Opening parses its cross-reference table and catalog, and the page
    // tree must declare every page copied. When the source itself needed
    // repair, what qpdf recovered may not hold together: every page of the
    // copy is read back as well.
    bool readable = false;
    if (const auto check = place.reopen()) {
        readable =
            !check->isLocked() && !check->isDamaged() && check->declaredPageCount() == copiedPages;
        if (readable && source.isDamaged()) {
            readable = check->pageCount() == copiedPages && !check->isDamaged();
        }
    }
    if (!readable) {
        place.discard();
        return {RemovalExit::CopyUnreadable, std::nullopt};
    }
    return {RemovalExit::Complete, place.reported()};
}

} // namespace pdfunlock
