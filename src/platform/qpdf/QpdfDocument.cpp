#include "platform/qpdf/QpdfDocument.h"

#include "platform/Paths.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/CheckedCopies.h"
#include "platform/qpdf/InflationBudget.h"
#include "platform/qpdf/InfoValues.h"
#include "platform/qpdf/KeyedOpen.h"
#include "platform/qpdf/PageAssembly.h"
#include "platform/qpdf/PageOrder.h"
#include "platform/qpdf/PasswordForms.h"
#include "platform/qpdf/QuietQpdf.h"
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

// The cross-reference streams are checked against the budget first: qpdf
// would inflate them whole, before any password is checked.
InflationBudget process(QPDF& pdf, const std::shared_ptr<const OpenFile>& file,
                        const char* password) {
    auto source = std::make_shared<BlockInputSource>(file);
    auto budget = InflationBudget::beforeParse(source);
    pdf.processInputSource(source, password);
    return budget;
}

// Why the open that threw failed, for whoever asked.
void noteProblem(OpenProblem* problem) {
    if (!problem) {
        return;
    }
    try {
        throw;
    } catch (const QPDFSystemError& error) {
        *problem = {OpenProblem::Kind::System, error.getErrno()};
    } catch (const std::exception&) {
        *problem = {OpenProblem::Kind::NotPdf, 0}; // qpdf's damage, or memory refused
    }
}

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
    // now; locked until adopt() or unlockWithPassword().
    QpdfDocument(const std::string& path, std::shared_ptr<const OpenFile> file, PDFVersion version,
                 bool damaged, std::optional<StandardSecurity> security = std::nullopt)
        : file_(std::move(file)), url_(paths::absolutePath(path)), version_(version),
          damaged_(damaged), security_(std::move(security)) {}
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
    // when the file no longer parses.
    // A file cut short while it was read, or one whose object streams would
    // inflate past the budget (`budgeted`), answers true and stays unreadable
    // and damaged: the job refuses it instead of asking again.
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

    // Reading the page tree parses every page object, as long as a plain
    // open on a large document: done once, when the pages are first needed.
    void readPages() const {
        if (pagesRead_ || !pdf_) {
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

    bool isLocked() const override { return !pdf_; }
    int majorVersion() const override { return version_.getMajor(); }
    int minorVersion() const override { return version_.getMinor(); }

    bool unlockWithPassword(const std::string& password) override {
        if (!isLocked()) {
            return true;
        }
        return tryPasswordForms(
            password, [this](const std::string& form) { return openWith(form); },
            [this] { return security_ ? security_->R : 0; });
    }

    bool allowsPrinting() const override { return allows(&QPDF::allowPrintLowRes); }
    bool allowsCopying() const override { return allows(&QPDF::allowExtractAll); }
    bool allowsCommenting() const override { return allows(&QPDF::allowModifyAnnotation); }
    bool allowsFormFieldEntry() const override { return allows(&QPDF::allowModifyForm); }
    bool allowsDocumentChanges() const override { return allows(&QPDF::allowModifyOther); }
    bool allowsDocumentAssembly() const override { return allows(&QPDF::allowModifyAssembly); }
    bool allowsContentAccessibility() const override { return allows(&QPDF::allowAccessibility); }

    std::optional<DocumentAttributes> documentAttributes() const override {
        return pdf_ ? readAttributes(*pdf_) : std::nullopt;
    }

    void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) override {
        if (pdf_) {
            writeAttributes(*pdf_, attributes);
        }
    }

    int pageCount() const override {
        readPages();
        return pdf_ ? static_cast<int>(pages_.size()) : 0;
    }

    int declaredPageCount() const override {
        if (!pdf_) {
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
        if (!pdf_ || index < 0 || index >= pageCount()) {
            return nullptr;
        }
        return std::make_shared<QpdfPage>(pages_.at(static_cast<size_t>(index)));
    }

    void insertPage(const std::shared_ptr<PDFPage>& page, int index) override {
        const auto* from = dynamic_cast<const QpdfPage*>(page.get());
        if (!pdf_ || !from || index < 0 || index > pageCount()) {
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
        if (!pdf_) {
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
        return damaged_ || (pdf_ && pdf_->numWarnings() > 0) || (file_ && file_->shortened());
    }

    std::optional<FileState> sourceState() const override {
        return file_ ? fileStateOf(file_->fd()) : std::nullopt;
    }
    std::optional<FileState> openedSourceState() const override {
        return file_ ? std::optional<FileState>(file_->opened()) : std::nullopt;
    }
    std::optional<std::string> permanentIdentifier() const override {
        return pdf_ ? firstIdentifier(*pdf_) : std::nullopt;
    }

private:
    bool allows(bool (QPDF::*permission)()) const {
        static const FileKey noKey; // unencrypted: qpdf grants everything
        return pdf_ && pdfunlock::allows(*pdf_, key_ ? *key_ : noKey, permission);
    }

    // qpdf is handed the key alone: it derives nothing and never sees a password.
    bool openWith(const std::string& form) {
        auto key = security_ ? deriveFileKey(*security_, form) : std::nullopt;
        return key && adoptWithKey(std::move(*key));
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
    std::optional<StandardSecurity> security_; // of an encrypted source
    std::optional<FileKey> key_;               // that unlocked it
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
        process(*pdf, OpenFile::adopt(fd, "identifier"), "");
    } catch (const std::exception&) {
        noteProblem(problem);
        return std::nullopt; // no PDF to name
    }
    return firstIdentifier(*pdf);
}

std::shared_ptr<PDFDocument>
QpdfDocumentService::openFrom(const std::string& path,
                              const std::function<std::shared_ptr<const OpenFile>()>& open,
                              OpenProblem* problem) {
    auto pdf = quietQpdf();
    // No key is derived while parsing: the empty password is checked below.
    pdf->setPasswordIsHexKey(true);
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
        process(*pdf, file, "");
    } catch (const std::exception&) {
        noteProblem(problem);
        return nullptr; // missing, unreadable, damaged beyond recovery or not a PDF at all
    }
    auto security = standardSecurity(*pdf);
    if (pdf->isEncrypted() && !security) {
        if (problem) {
            problem->kind = OpenProblem::Kind::OtherSecurity;
        }
        return nullptr; // qpdf decrypts nothing of it
    }
    auto document = std::make_shared<QpdfDocument>(path, file, headerVersion(*pdf),
                                                   pdf->numWarnings() > 0, security);
    if (!security) {
        document->adopt(std::move(pdf));
    } else if (auto key = deriveFileKey(*security, "", true)) {
        // The empty text may match only as the owner password; readers still
        // ask for a password then. Nothing of it is read before it is refused
        // as not protected.
        document->adoptWithKey(std::move(*key), false);
    }
    return document;
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
