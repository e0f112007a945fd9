#include "platform/qpdf/QpdfDocument.h"

#include "platform/Paths.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/CheckedCopies.h"
#include "platform/qpdf/InflationBudget.h"
#include "platform/qpdf/InfoValues.h"
#include "platform/qpdf/KeyedOpen.h"
#include "platform/qpdf/PageAssembly.h"
#include "platform/qpdf/PageOrder.h"
#include "platform/qpdf/QuietQpdf.h"
#include "platform/qpdf/SourceKeys.h"
#include "platform/qpdf/WholeDocumentWriter.h"
#include "platform/qpdf/WritePaths.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFSystemError.hh>

namespace pdfunlock {
namespace {

// qpdf reads the header before the cross-reference table and the encryption
// dictionary, so this also answers for a file that then wanted a password.
PDFVersion headerVersion(const QPDF& pdf) {
    int major = 1;
    int minor = 0;
    std::sscanf(pdf.getPDFVersion().c_str(), "%d.%d", &major, &minor);
    return {major, minor};
}

class QpdfPage : public PDFPage {
public:
    explicit QpdfPage(PageRef page) : ref(std::move(page)) {}
    PageRef ref;
};

class QpdfDocument : public PDFDocument {
public:
    // Opened from `path`, made absolute once against the directory current
    // now; locked until adopt() or unlockWithPassword(). `keys`: those of an
    // encrypted source, `identifier` its first /ID element.
    QpdfDocument(const std::string& path, std::shared_ptr<const OpenFile> file, PDFVersion version,
                 bool damaged, std::unique_ptr<SourceKeys> keys = nullptr,
                 std::optional<std::string> identifier = std::nullopt)
        : file_(std::move(file)), url_(paths::absolutePath(path)), version_(version),
          damaged_(damaged), keys_(std::move(keys)), identifier_(std::move(identifier)) {}
    // A new, empty document; see QpdfDocumentService for the settings.
    QpdfDocument(std::shared_ptr<QPDF> pdf, const WriteSettings& settings,
                 std::shared_ptr<CheckedCopies> checked)
        : version_(headerVersion(*pdf)), settings_(settings), checked_(std::move(checked)) {
        adopt(std::move(pdf));
    }

    void adopt(std::shared_ptr<QPDF> pdf) {
        pages_ = {};
        pagesRead_ = false;
        damaged_ = damaged_ || pdf->numWarnings() > 0;
        pdf_ = std::move(pdf);
    }

    // The document opened with `key`, held in place of the locked one; false
    // when the file no longer parses. A file cut short while it was read, or
    // one whose object streams would inflate past the budget (`budgeted`),
    // answers true and stays unreadable and damaged: the job refuses it.
    bool adoptWithKey(FileKey key, bool budgeted = true) {
        std::shared_ptr<QPDF> pdf;
        InflationBudget budget;
        try {
            pdf = openWithFileKey(file_, key, &budget);
        } catch (const std::exception&) {
            damaged_ = damaged_ || file_->shortened();
            return file_->shortened();
        }
        // None of its objects is read then.
        if (budgeted && !budget.objectStreamsFit(*pdf)) {
            damaged_ = true;
            return true;
        }
        key_ = std::move(key);
        damaged_ = false;
        adopt(std::move(pdf));
        return true;
    }

    // A copy just written, as its check read it.
    void adoptChecked(const CheckedCopy& copy) {
        adopt(copy.pdf);
        declared_ = copy.declaredPages;
    }

    // The launch check of an encrypted source (does the empty password open
    // it as the user password?) waits for the first question asked of the
    // document but its identifier; its answers are the same whenever it is
    // made. Nothing of what opens is read before it is refused as unprotected.
    QPDF* pdf() const {
        if (keys_ && !settled_) {
            settled_ = true;
            auto self = const_cast<QpdfDocument*>(this);
            if (auto key = self->keys_->withoutPassword()) {
                self->adoptWithKey(std::move(*key), false);
            }
        }
        return pdf_.get();
    }

    // Reading the page tree parses every page object, as long as a plain
    // open on a large document: done once, when the pages are first needed.
    void readPages() const {
        if (pagesRead_ || !pdf()) {
            return;
        }
        pagesRead_ = true;
        try {
            size_t index = 0;
            for (auto& page : QPDFPageDocumentHelper(*pdf_).getAllPages()) {
                pages_.insert({pdf_, page.getObjectHandle(), file_}, index++);
            }
        } catch (const std::exception&) {
            pages_ = {};
            damaged_ = true;
        }
        damaged_ = damaged_ || pdf_->numWarnings() > 0;
    }

    bool isLocked() const override { return !pdf(); }
    int majorVersion() const override { return version_.getMajor(); }
    int minorVersion() const override { return version_.getMinor(); }

    // qpdf is handed the key alone: it derives nothing and never sees a password.
    bool unlockWithPassword(const std::string& password) override {
        if (!isLocked()) {
            return true;
        }
        auto key = keys_ ? keys_->forPassword(password) : std::nullopt;
        return key && adoptWithKey(std::move(*key));
    }

    bool allowsPrinting() const override { return allows(&QPDF::allowPrintLowRes); }
    bool allowsCopying() const override { return allows(&QPDF::allowExtractAll); }
    bool allowsCommenting() const override { return allows(&QPDF::allowModifyAnnotation); }
    bool allowsFormFieldEntry() const override { return allows(&QPDF::allowModifyForm); }
    bool allowsDocumentChanges() const override { return allows(&QPDF::allowModifyOther); }
    bool allowsDocumentAssembly() const override { return allows(&QPDF::allowModifyAssembly); }
    bool allowsContentAccessibility() const override { return allows(&QPDF::allowAccessibility); }

    std::optional<DocumentAttributes> documentAttributes() const override {
        return pdf() ? readAttributes(*pdf_) : std::nullopt;
    }

    void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) override {
        if (pdf()) {
            writeAttributes(*pdf_, attributes);
        }
    }

    int pageCount() const override {
        readPages();
        return pdf_ ? static_cast<int>(pages_.size()) : 0;
    }

    int declaredPageCount() const override {
        if (!pdf()) {
            return 0;
        }
        if (declared_) {
            return *declared_;
        }
        try {
            auto count = pdf_->getRoot().getKey("/Pages").getKey("/Count");
            if (count.isInteger() && count.getIntValue() >= 0 &&
                count.getIntValue() <= std::numeric_limits<int>::max()) {
                return static_cast<int>(count.getIntValue());
            }
        } catch (const std::exception&) {
            // A page tree that cannot be read says nothing usable.
        }
        return -1;
    }

    std::shared_ptr<PDFPage> pageAtIndex(int index) override {
        if (!pdf() || index < 0 || index >= pageCount()) {
            return nullptr;
        }
        return std::make_shared<QpdfPage>(pages_.at(static_cast<size_t>(index)));
    }

    void insertPage(const std::shared_ptr<PDFPage>& page, int index) override {
        const auto* from = dynamic_cast<const QpdfPage*>(page.get());
        if (!pdf() || !from || index < 0 || index > pageCount()) {
            return;
        }
        // The extension level of the source describes its encryption, which
        // the copy does not carry.
        version_.updateIfGreater(headerVersion(*from->ref.owner));
        pages_.insert(from->ref, static_cast<size_t>(index));
        treeOutdated_ = true;
    }

    std::optional<std::string> documentURL() const override { return url_; }

    bool writeToFile(const SaveTarget& path, unsigned permissions) override {
        if (!pdf()) {
            return false;
        }
        std::shared_ptr<QPDF> whole;
        try {
            readPages();
            whole = wholeSource(pages_.flattened(), pdf_);
        } catch (const std::exception&) {
            // Not a whole document after all: copy page by page below.
        }
        if (whole) {
            written_ = writeWholeCopy(path, permissions, whole, pages_.flattened().front().file,
                                      pdf_->getTrailer().getKey("/Info"), version_, settings_);
        } else {
            // The pages as their documents hold them, before they are copied in.
            const auto original = pages_.flattened();
            try {
                buildPageTree();
            } catch (const std::exception&) {
                // Write what there is; the check decides.
            }
            written_ = writeAssembledCopy(path, permissions, *pdf_, original, version_);
        }
        if (checked_) {
            checked_->remember(written_);
        }
        return written_ != nullptr;
    }

    // Whatever qpdf had to repair so far, also while the copy read it.
    bool isDamaged() const override {
        QPDF* open = pdf(); // first: the launch check may open it afresh
        return damaged_ || (open && open->numWarnings() > 0) || (file_ && file_->shortened());
    }

    std::optional<FileState> sourceState() const override {
        return file_ ? fileStateOf(file_->fd()) : std::nullopt;
    }
    std::optional<FileState> openedSourceState() const override {
        return file_ ? std::optional<FileState>(file_->opened()) : std::nullopt;
    }
    // Read before any key is derived, as the trailer is.
    std::optional<std::string> permanentIdentifier() const override {
        return pdf_ ? firstIdentifier(*pdf_) : identifier_;
    }

private:
    bool allows(bool (QPDF::*permission)()) const {
        static const FileKey noKey; // unencrypted: qpdf grants everything
        return pdf() && pdfunlock::allows(*pdf_, key_ ? *key_ : noKey, permission);
    }

    void buildPageTree() {
        readPages();
        if (treeOutdated_) {
            treeOutdated_ = false;
            assembly_.rebuild(pdf_, pages_.flattened());
        }
    }

    // The file the launch checks opened, kept open: the unlock and the copy
    // read it, whatever has since come to stand at its path. Null for a new
    // document.
    std::shared_ptr<const OpenFile> file_;
    std::optional<std::string> url_;
    PDFVersion version_;
    mutable bool damaged_ = false;
    std::shared_ptr<QPDF> pdf_; // null while locked
    mutable PageOrder pages_;
    mutable bool pagesRead_ = false;
    bool treeOutdated_ = false;
    PageAssembly assembly_;
    std::unique_ptr<SourceKeys> keys_; // of an encrypted source
    mutable bool settled_ = false;     // its launch check made
    std::optional<std::string> identifier_;
    std::optional<FileKey> key_; // that unlocked it
    WriteSettings settings_;
    std::optional<int> declared_; // read by the check of a copy just written
    std::shared_ptr<CheckedCopies> checked_;
    std::shared_ptr<CheckedCopy> written_; // the copy last written, until this document goes
};

} // namespace

std::shared_ptr<PDFDocument> QpdfDocumentService::initWithURL(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    return openFrom(
        path, [&path] { return OpenFile::open(path); }, nullptr);
}

std::shared_ptr<PDFDocument>
QpdfDocumentService::initWithDescriptor(int fd, const std::string& path, OpenProblem* problem) {
    return openFrom(
        path, [fd, &path] { return OpenFile::adopt(fd, path); }, problem);
}

std::optional<std::string> QpdfDocumentService::permanentIdentifierAt(int fd,
                                                                      OpenProblem* problem) {
    // Taken as a key, the empty password is never hashed (AES-256 spends as
    // long on that as on reading a small file): nothing is decrypted here.
    auto pdf = quietQpdf();
    pdf->setPasswordIsHexKey(true);
    try {
        parseChecked(*pdf, OpenFile::adopt(fd, "identifier"), "");
    } catch (const std::exception&) {
        noteOpenProblem(problem);
        return std::nullopt; // no PDF to name
    }
    return firstIdentifier(*pdf);
}

std::shared_ptr<PDFDocument> QpdfDocumentService::initWithDescriptorForPassword(
    int fd, const std::string& path, const std::string& password, OpenProblem* problem) {
    return openFrom(
        path, [fd, &path] { return OpenFile::adopt(fd, path); }, problem, password);
}

std::shared_ptr<PDFDocument>
QpdfDocumentService::openFrom(const std::string& path,
                              const std::function<std::shared_ptr<const OpenFile>()>& open,
                              OpenProblem* problem, const std::string& expected) {
    auto pdf = quietQpdf();
    pdf->setPasswordIsHexKey(true); // no key derived while parsing: see SourceKeys
    std::shared_ptr<const OpenFile> file;
    try {
        file = open();
        // A copy just written here was read through by its check.
        if (auto checked = checked_->take(*file)) {
            auto document = std::make_shared<QpdfDocument>(path, checked->file,
                                                           headerVersion(*checked->pdf), false);
            document->adoptChecked(*checked);
            return document;
        }
        parseChecked(*pdf, file, "");
    } catch (const std::exception&) {
        noteOpenProblem(problem);
        return nullptr; // missing, unreadable, damaged beyond recovery or not a PDF at all
    }
    auto security = standardSecurity(*pdf);
    if (pdf->isEncrypted() && !security) {
        if (problem) {
            problem->kind = OpenProblem::Kind::OtherSecurity;
        }
        return nullptr; // qpdf decrypts nothing of it
    }
    if (!security) {
        auto document =
            std::make_shared<QpdfDocument>(path, file, headerVersion(*pdf), pdf->numWarnings() > 0);
        document->adopt(std::move(pdf));
        return document;
    }
    return std::make_shared<QpdfDocument>(path, file, headerVersion(*pdf), pdf->numWarnings() > 0,
                                          std::make_unique<SourceKeys>(*security, expected),
                                          firstIdentifier(*pdf));
}

QpdfDocumentService::QpdfDocumentService(long long parallelFrom, bool passObjectStreams)
    : parallelFrom_(parallelFrom), passObjectStreams_(passObjectStreams),
      checked_(std::make_shared<CheckedCopies>()) {
#ifdef __GLIBC__
    // qpdf gathers each stream of a scan (often half a megabyte) in a fresh
    // buffer. By default glibc hands such blocks back to the kernel when
    // freed, so every page of every image is faulted in and zeroed again;
    // keeping them in the heap lets the next stream reuse them.
    static const bool tuned = [] {
        ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        ::mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)tuned;
#endif
}

std::shared_ptr<PDFDocument> QpdfDocumentService::init() {
    try {
        auto pdf = quietQpdf();
        pdf->emptyPDF();
        return std::make_shared<QpdfDocument>(
            std::move(pdf), WriteSettings{parallelFrom_, passObjectStreams_}, checked_);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace pdfunlock
