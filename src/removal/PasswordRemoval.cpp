#include "removal/PasswordRemoval.h"

#include "platform/Secrets.h"
#include "removal/CopyFileNaming.h"
#include "removal/DocumentOperations.h"
#include "removal/LogLines.h"

#include <array>

namespace pdfunlock {

namespace {

// The first permission refused (its place in the order asked), if any.
std::optional<std::size_t> refusedPermission(const PDFDocument& document) {
    // In this order, stopping at the first refusal: kPermissionNames names them.
    static constexpr std::array<bool (PDFDocument::*)() const, 7> queries = {
        &PDFDocument::allowsPrinting,
        &PDFDocument::allowsCopying,
        &PDFDocument::allowsCommenting,
        &PDFDocument::allowsFormFieldEntry,
        &PDFDocument::allowsDocumentChanges,
        &PDFDocument::allowsDocumentAssembly,
        &PDFDocument::allowsContentAccessibility,
    };
    for (std::size_t i = 0; i < queries.size(); ++i) {
        if (!(document.*queries[i])()) {
            return i;
        }
    }
    return std::nullopt;
}

// The one loop over the passwords to try: the first that opens the document.
std::optional<std::size_t> unlockWithFirst(PDFDocument& source,
                                           const std::vector<std::string>& passwords) {
    for (std::size_t i = 0; i < passwords.size(); ++i) {
        if (source.unlockWithPassword(passwords[i])) {
            return i;
        }
    }
    return std::nullopt;
}

// Written to since it was opened (cut short while read included).
bool sourceChanged(const PDFDocument& source, const std::optional<FileState>& before) {
    const auto opening = source.openedSourceState();
    const auto after = source.sourceState();
    return before &&
           (!after || !after->untouched(*before) || (opening && !opening->sameContent(*before)));
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
    case RemovalExit::Damaged:
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
    std::vector<std::string> one;
    one.push_back(std::move(password));
    wipe(password); // what the move left behind
    // Wiped as soon as the document has answered, before the job goes on.
    auto result = removePassword(source, one, context, place, [&] {
        wipe(one.front());
        if (unlocked) {
            unlocked();
        }
    });
    wipe(one.front());
    return result;
}

RemovalResult removePassword(PDFDocument& source, const std::vector<std::string>& passwords,
                             RemovalServices context, CopyPlace& place,
                             const std::function<void()>& unlocked) {
    // What the file is now, from the descriptor the document holds: what the
    // copy's permissions follow, and what the file must still be once the
    // copy is written.
    const auto before = source.sourceState();
    RemovalResult result{RemovalExit::InvalidPassword, std::nullopt, std::nullopt, 0, 0};
    result.opened = unlockWithFirst(source, passwords);
    if (!result.opened) {
        return result;
    }
    if (unlocked) {
        unlocked();
    }
    const auto end = [&result](RemovalExit exit) {
        result.exit = exit;
        return result;
    };

    // Opened, yet nothing of it can be read: cut short, or its object
    // streams would inflate past the budget.
    if (source.isLocked() && source.isDamaged()) {
        return end(RemovalExit::Damaged);
    }
    if (const auto refused = refusedPermission(source)) {
        result.refusedPermission = *refused;
        return end(RemovalExit::Restricted);
    }
    if (!isFromTessivon(source)) {
        return end(RemovalExit::NotFromTessivon);
    }

    const std::shared_ptr<PDFDocument> copy = context.pdf.init();
    copyTo(source, *copy, context.log);
    setCreator(*copy, getCreator(source));
    const int copiedPages = copy->pageCount();
    // A damaged source can unlock yet yield nothing; an empty copy is no copy.
    if (copiedPages == 0) {
        return end(RemovalExit::SourceWithoutPages);
    }

    if (!place.choose()) {
        result.systemError = place.failure(); // the folder for it could not be made
        return end(RemovalExit::NoCopyPath);
    }
    // Never more readable than the source: the bits and the group of the file
    // opened, owner-only when it cannot be examined.
    const std::string sourcePath = source.documentURL().value_or(std::string());
    const unsigned permissions =
        before ? before->permissions : context.files.permissionsAtPath(sourcePath).value_or(0600u);
    if (!place.write(*copy, permissions & 0666u,
                     before ? std::optional<unsigned>(before->group) : std::nullopt)) {
        // A source cut short while the copy read it fails the write.
        result.systemError = place.failure();
        return end(sourceChanged(source, before) ? RemovalExit::SourceChanged
                                                 : RemovalExit::WriteFailed);
    }
    // Written to since it was opened, or while it was read: the copy may hold
    // part of one version and part of another.
    if (sourceChanged(source, before)) {
        place.discard();
        return end(RemovalExit::SourceChanged);
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
        result.systemError = place.failure();
        place.discard();
        return end(RemovalExit::CopyUnreadable);
    }
    result.copyPath = place.reported();
    return end(RemovalExit::Complete);
}

} // namespace pdfunlock
