// The PDF document service the rest of the program is written against. The
// implementation over qpdf lives in qpdf/; tests substitute doubles.
#pragma once

#include "platform/HeldFolder.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace pdfunlock {

// Opaque handle to a page of one document, passed to another document's insertPage.
class PDFPage {
public:
    virtual ~PDFPage() = default;
};

// Values of the document information dictionary keep their own kind so that a
// caller can tell a text from a number.
struct PDFName {
    std::string name; // without the leading slash
    bool operator==(const PDFName&) const = default;
};
struct PDFOtherValue {
    std::string unparsed; // arrays, dictionaries, null: PDF syntax, written back as parsed
    bool operator==(const PDFOtherValue&) const = default;
};
// std::string is always a text in UTF-8.
using AttributeValue = std::variant<std::string, long long, double, bool, PDFName, PDFOtherValue>;
using DocumentAttributes = std::map<std::string, AttributeValue>;

inline const std::string PDFDocumentCreatorAttribute = "Creator";
inline const std::string PDFDocumentProducerAttribute = "Producer";

class PDFDocument {
public:
    virtual ~PDFDocument() = default;

    virtual bool isLocked() const = 0;
    virtual int majorVersion() const = 0;
    virtual int minorVersion() const = 0;
    // UTF-8 text as typed; the user or the owner password.
    virtual bool unlockWithPassword(const std::string& password) = 0;

    virtual bool allowsPrinting() const = 0;
    virtual bool allowsCopying() const = 0;
    virtual bool allowsCommenting() const = 0;
    virtual bool allowsFormFieldEntry() const = 0;
    virtual bool allowsDocumentChanges() const = 0;
    virtual bool allowsDocumentAssembly() const = 0;
    virtual bool allowsContentAccessibility() const = 0;

    // nullopt: the document has no information dictionary.
    virtual std::optional<DocumentAttributes> documentAttributes() const = 0;
    virtual void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) = 0;

    virtual int pageCount() const = 0;
    // What the page tree says it holds (-1 if it says nothing usable), read
    // without visiting every page: a quick check of a file just written.
    virtual int declaredPageCount() const = 0;
    // nullptr when there is no page at the index.
    virtual std::shared_ptr<PDFPage> pageAtIndex(int index) = 0;
    // `page` comes from another document; index is 0..pageCount().
    virtual void insertPage(const std::shared_ptr<PDFPage>& page, int index) = 0;

    // Absolute path the document was opened from; nullopt for a new document.
    virtual std::optional<std::string> documentURL() const = 0;
    // Writes unencrypted; never replaces anything at the target; leaves nothing
    // behind on failure. The new file's permission bits are `permissions` less
    // the umask (and the target's group rule).
    virtual bool writeToFile(const SaveTarget& path, unsigned permissions = 0666) = 0;

    // The file the document was read from (the one opened, whatever its name
    // is now) as it is now; nullopt for a new document or when it cannot be
    // examined.
    virtual std::optional<FileState> sourceState() const { return std::nullopt; }
    // The same as it was when the document was opened.
    virtual std::optional<FileState> openedSourceState() const { return std::nullopt; }
    // The first element of the trailer's /ID, which names the document and
    // which its copies keep; nullopt without one, or while locked.
    virtual std::optional<std::string> permanentIdentifier() const { return std::nullopt; }

    // True when opening or reading the page tree needed repairs (qpdf recovers
    // damaged files silently).
    virtual bool isDamaged() const = 0;
};

// Why a file did not open as a document, for a batch to report.
struct OpenProblem {
    enum class Kind {
        None,
        System,        // the system refused a step: `error` says why
        NotPdf,        // damaged, cut short, over the inflation budget, or no PDF at all
        OtherSecurity, // encrypted for another handler than the password one
    };
    Kind kind = Kind::None;
    int error = 0; // errno, for System
};

// initWithURL: and init of the document class.
class PDFDocumentService {
public:
    virtual ~PDFDocumentService() = default;
    // nullptr for a missing, unreadable, empty or non-PDF file.
    virtual std::shared_ptr<PDFDocument> initWithURL(const std::string& path) = 0;
    // The same from a file the caller opened (kept open by the document on a
    // descriptor of its own); `path` names it in its URL. A service that cannot
    // read a descriptor opens the path. When it answers nullptr, `problem`
    // (if given) says why.
    virtual std::shared_ptr<PDFDocument> initWithDescriptor(int fd, const std::string& path,
                                                            OpenProblem* problem = nullptr) {
        (void)fd;
        auto document = initWithURL(path);
        if (!document && problem) {
            problem->kind = OpenProblem::Kind::NotPdf;
        }
        return document;
    }
    // The permanentIdentifier of the PDF file on the descriptor, read without
    // unlocking it (nothing is tried as a password); nullopt for no PDF, with
    // `problem` (if given) saying why, or for a PDF without one.
    virtual std::optional<std::string> permanentIdentifierAt(int fd,
                                                             OpenProblem* problem = nullptr) {
        const auto document = initWithDescriptor(fd, {}, problem);
        return document ? document->permanentIdentifier() : std::nullopt;
    }
    virtual std::shared_ptr<PDFDocument> init() = 0;
};

} // namespace pdfunlock
