// PDFDocumentService over qpdf. The document class and every qpdf type stay in
// the .cpp so that nothing outside the platform layer depends on qpdf.
#pragma once

#include "platform/PDFDocument.h"

namespace pdfunlock {

class QpdfDocumentService : public PDFDocumentService {
public:
    QpdfDocumentService();
    std::shared_ptr<PDFDocument> initWithURL(const std::string& path) override;
    std::shared_ptr<PDFDocument> init() override;
};

} // namespace pdfunlock
