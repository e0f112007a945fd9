#include "platform/qpdf/QpdfDocument.h"

#include "platform/Paths.h"
#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/DocumentWriter.h"
#include "platform/qpdf/InflationBudget.h"
#include "platform/qpdf/InfoValues.h"
#include "platform/qpdf/LooseObjectPrefetch.h"
#include "platform/qpdf/ObjectStreamPassthrough.h"
#include "platform/qpdf/PageAssembly.h"
#include "platform/qpdf/PageOrder.h"
#include "platform/qpdf/PasswordForms.h"
#include "platform/qpdf/QuietQpdf.h"
#include "platform/qpdf/StreamPrefetch.h"
#include "platform/qpdf/WholeDocumentWriter.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <stdexcept>

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

// qpdf reads the header before the cross-reference table and the encryption
// dictionary, so this also answers for a file that then wanted a password.
PDFVersion headerVersion(const QPDF& pdf) {
    int major = 1;
    int minor = 0;
    std::sscanf(pdf.getPDFVersion().c_str(), "%d.%d", &major, &minor);
    return {major, minor};
}

// qpdf reads the encryption dictionary before it refuses a password, so this
// also answers for a document that stayed locked; 0 without encryption.
int encryptionRevision(QPDF& pdf) {
    int revision = 0;
    int permissions = 0;
    try {
        pdf.isEncrypted(revision, permissions);
    } catch (const std::exception&) {
        revision = 0;
    }
    return revision;
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
                 bool damaged, long long parallelFrom, bool passObjectStreams,
                 unsigned long long smallObjectBytes)
        : file_(std::move(file)), url_(paths::absolutePath(path)), version_(version),
          damaged_(damaged), parallelFrom_(parallelFrom), passObjectStreams_(passObjectStreams),
          smallObjectBytes_(smallObjectBytes) {}
    // A new, empty document; see QpdfDocumentService for the settings.
    QpdfDocument(std::shared_ptr<QPDF> pdf, long long parallelFrom, bool passObjectStreams)
        : version_(headerVersion(*pdf)), parallelFrom_(parallelFrom),
          passObjectStreams_(passObjectStreams) {
        adopt(std::move(pdf));
    }

    void adopt(std::shared_ptr<QPDF> pdf) {
        pages_ = {};
        pagesRead_ = false;
        damaged_ = damaged_ || pdf->numWarnings() > 0;
        pdf_ = std::move(pdf);
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
                pages_.insert({pdf_, page.getObjectHandle(), file_, prefetch_}, index++);
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
            [this] { return revision_; });
    }

    bool allowsPrinting() const override { return allows(&QPDF::allowPrintLowRes); }
    bool allowsCopying() const override { return allows(&QPDF::allowExtractAll); }
    bool allowsCommenting() const override { return allows(&QPDF::allowModifyAnnotation); }
    bool allowsFormFieldEntry() const override { return allows(&QPDF::allowModifyForm); }
    bool allowsDocumentChanges() const override { return allows(&QPDF::allowModifyOther); }
    bool allowsDocumentAssembly() const override { return allows(&QPDF::allowModifyAssembly); }
    bool allowsContentAccessibility() const override { return allows(&QPDF::allowAccessibility); }

    std::optional<DocumentAttributes> documentAttributes() const override {
        if (!pdf_) {
            return std::nullopt;
        }
        try {
            auto info = pdf_->getTrailer().getKey("/Info");
            if (!info.isDictionary()) {
                return std::nullopt;
            }
            DocumentAttributes attributes;
            for (auto& [key, value] : info.ditems()) {
                if (!value.isNull()) {
                    attributes.emplace(key.substr(1), toAttribute(value));
                }
            }
            return attributes;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) override {
        if (!pdf_) {
            return;
        }
        try {
            if (!attributes) {
                pdf_->getTrailer().removeKey("/Info");
                return;
            }
            auto info = QPDFObjectHandle::newDictionary();
            for (const auto& [key, value] : *attributes) {
                try {
                    info.replaceKey("/" + key, toObject(value));
                } catch (const std::exception&) {
                    // Text that does not parse as a PDF object is left out.
                }
            }
            pdf_->getTrailer().replaceKey("/Info", pdf_->makeIndirectObject(info));
        } catch (const std::exception&) {
            // The attributes stay as they were; setting them reports nothing.
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

    bool writeToFile(const std::string& path, unsigned permissions) override {
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
            const auto info = pdf_->getTrailer().getKey("/Info");
            // A large encrypted scan is written from a twin of the source
            // whose images are decrypted on a second core meanwhile.
            if (auto prefetch =
                    StreamPrefetch::open(*whole, pages_.flattened().front().file, parallelFrom_)) {
                bool failed = false;
                const bool done = save(path, permissions, [&](Pipeline& out) {
                    try {
                        writeWhole(prefetch->twin(), info, out, version_,
                                   [&](const auto& copied) { prefetch->start(copied); });
                    } catch (...) {
                        failed = true;
                        throw;
                    }
                    failed = !prefetch->finish();
                    if (failed) {
                        throw std::runtime_error("not kept: a repair during the write");
                    }
                });
                // Anything that went wrong with the twin may not have gone
                // wrong with the source: the copy is the one the source
                // alone gives, so the source alone writes it again.
                if (!failed) {
                    return done;
                }
            }
            // A document kept in object streams: the streams whose objects
            // all go across unchanged are carried as they are.
            if (auto passthrough = passObjectStreams_ ? ObjectStreamPassthrough::plan(
                                                            *whole, info, version_,
                                                            pages_.flattened().front().prefetch)
                                                      : nullptr) {
                bool failed = false;
                const bool done = save(path, permissions, [&](Pipeline& out) {
                    failed = !passthrough->write(out);
                    if (failed) {
                        throw std::runtime_error("not kept: the source read otherwise");
                    }
                });
                if (!failed) {
                    return done;
                }
            }
            return save(path, permissions,
                        [&](Pipeline& out) { writeWhole(*whole, info, out, version_); });
        }
        try {
            keepSourceIdentifier(); // while the pages still name their document
            buildPageTree();
        } catch (const std::exception&) {
            // Write what there is; the caller checks the result.
        }
        return save(path, permissions,
                    [this](Pipeline& out) { writeUnencrypted(*pdf_, out, version_); });
    }

    // Whatever qpdf had to repair so far, also while the copy read it.
    bool isDamaged() const override {
        return damaged_ || (pdf_ && pdf_->numWarnings() > 0) || (file_ && file_->shortened());
    }

private:
    // qpdf takes a read that found a source cut short for damage and writes
    // what it has: such a copy is not kept.
    bool save(const std::string& path, unsigned permissions,
              const std::function<void(Pipeline&)>& produce) const {
        return writeNewFile(path, permissions, [&](Pipeline& out) {
            produce(out);
            const auto& pages = pages_.flattened();
            if ((file_ && file_->shortened()) ||
                std::any_of(pages.begin(), pages.end(),
                            [](const auto& page) { return page.file && page.file->shortened(); })) {
                throw std::runtime_error("not kept: a source became shorter while it was read");
            }
        });
    }

    bool allows(bool (QPDF::*permission)()) const {
        if (!pdf_) {
            return false;
        }
        try {
            // Readers grant everything to whoever gave the owner password.
            return pdf_->ownerPasswordMatched() || ((*pdf_).*permission)();
        } catch (const std::exception&) {
            return false;
        }
    }

    bool openWith(const std::string& password) {
        auto pdf = quietQpdf();
        InflationBudget budget;
        try {
            budget = process(*pdf, file_, password.c_str());
        } catch (const std::exception&) {
            revision_ = encryptionRevision(*pdf);
            // Cut while it was read: damaged, whatever the password. It stays
            // unreadable, so the job refuses it instead of asking again.
            if (file_->shortened()) {
                damaged_ = true;
                return true;
            }
            return false;
        }
        // Over the budget it is damaged too, and none of its objects is read.
        if (!budget.objectStreamsFit(*pdf)) {
            damaged_ = true;
            return true;
        }
        damaged_ = false;
        adopt(std::move(pdf));
        // A small document of many small objects kept in object streams:
        // what lies outside them is read on the other core while the pages
        // are counted and checked.
        if (passObjectStreams_ && parallelFrom_ > 0) {
            prefetch_ = LooseObjectPrefetch::start(*pdf_, file_, parallelFrom_, smallObjectBytes_);
        }
        return true;
    }

    // A copy of one document keeps that document's permanent identifier
    // (the first /ID element); the writer gives the second.
    void keepSourceIdentifier() {
        const auto& order = pages_.flattened();
        if (order.empty() || order.front().owner == pdf_) {
            return;
        }
        for (const auto& page : order) {
            if (page.owner != order.front().owner) {
                return;
            }
        }
        auto id = order.front().owner->getTrailer().getKey("/ID");
        if (id.isArray() && id.getArrayNItems() == 2 && id.getArrayItem(0).isString()) {
            const auto first = QPDFObjectHandle::newString(id.getArrayItem(0).getStringValue());
            pdf_->getTrailer().replaceKey("/ID", QPDFObjectHandle::newArray({first, first}));
        }
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
    int revision_ = 0; // of the encryption, once a password was refused
    long long parallelFrom_ = -1;
    bool passObjectStreams_ = true;
    unsigned long long smallObjectBytes_ = 0;
    std::shared_ptr<LooseObjectPrefetch> prefetch_; // declared last: stopped first
};

} // namespace

std::shared_ptr<PDFDocument> QpdfDocumentService::initWithURL(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    auto pdf = quietQpdf();
    std::shared_ptr<const OpenFile> file;
    try {
        file = OpenFile::open(path);
        process(*pdf, file, "");
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() != qpdf_e_password) {
            return nullptr; // damaged beyond recovery or not a PDF at all
        }
        return std::make_shared<QpdfDocument>(path, file, headerVersion(*pdf),
                                              pdf->numWarnings() > 0, parallelFrom_,
                                              passObjectStreams_, smallObjectBytes_);
    } catch (const std::exception&) {
        return nullptr; // missing or unreadable (QPDFSystemError)
    }
    auto document =
        std::make_shared<QpdfDocument>(path, file, headerVersion(*pdf), pdf->numWarnings() > 0,
                                       parallelFrom_, passObjectStreams_, smallObjectBytes_);
    // The empty text may have matched only as the owner password; readers
    // still ask for a password then.
    if (!pdf->isEncrypted() || pdf->userPasswordMatched()) {
        document->adopt(std::move(pdf));
    }
    return document;
}

QpdfDocumentService::QpdfDocumentService(long long parallelFrom, bool passObjectStreams,
                                         unsigned long long smallObjectBytes)
    : parallelFrom_(parallelFrom), passObjectStreams_(passObjectStreams),
      smallObjectBytes_(smallObjectBytes) {
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
        return std::make_shared<QpdfDocument>(std::move(pdf), parallelFrom_, passObjectStreams_);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace pdfunlock
