// A qpdf document object that keeps its warnings to itself: qpdf would print
// them to standard error, which carries only this program's log lines.
#pragma once

#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>

namespace pdfunlock {

inline void makeQuiet(QPDF& pdf) {
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    pdf.setLogger(logger);
    pdf.setSuppressWarnings(true);
}

// Quiet, and recovering damaged files as other readers do.
inline std::shared_ptr<QPDF> quietQpdf() {
    auto pdf = std::make_shared<QPDF>();
    makeQuiet(*pdf);
    pdf->setAttemptRecovery(true);
    return pdf;
}

} // namespace pdfunlock
