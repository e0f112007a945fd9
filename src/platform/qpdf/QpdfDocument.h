// PDFDocumentService over qpdf. The document class and every qpdf type stay in
// the .cpp so that nothing outside the platform layer depends on qpdf.
#pragma once

#include "platform/PDFDocument.h"

#include <functional>
#include <memory>

namespace pdfunlock {

class CheckedCopies;
class OpenFile;

class QpdfDocumentService : public PDFDocumentService {
public:
    // Copies of encrypted files from `parallelFrom` bytes on are written with
    // a second thread decrypting ahead (-1: never). Tests lower it. Other
    // copies of whole documents carry object streams across as they are,
    // unless `passObjectStreams` is false (tests compare both ways).
    explicit QpdfDocumentService(long long parallelFrom = 16LL * 1024 * 1024,
                                 bool passObjectStreams = true);
    // A copy that a document of this service has just written and checked
    // opens from the check's reading of it, as long as that document is
    // kept and the file is as it was written.
    std::shared_ptr<PDFDocument> initWithURL(const std::string& path) override;
    std::shared_ptr<PDFDocument> initWithDescriptor(int fd, const std::string& path,
                                                    OpenProblem* problem = nullptr) override;
    std::optional<std::string> permanentIdentifierAt(int fd,
                                                     OpenProblem* problem = nullptr) override;
    std::shared_ptr<PDFDocument> init() override;

private:
    std::shared_ptr<PDFDocument>
    openFrom(const std::string& path, const std::function<std::shared_ptr<const OpenFile>()>& open,
             OpenProblem* problem);

    long long parallelFrom_;
    bool passObjectStreams_;
    std::shared_ptr<CheckedCopies> checked_;
};

} // namespace pdfunlock
