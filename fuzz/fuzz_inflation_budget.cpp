// libFuzzer target: the bytes are a PDF read by the inflation budget's checks
// and then, as far as they let it through, by qpdf with the password "user",
// every object resolved. The checks must neither crash nor hang, and what
// they let through must not make qpdf inflate past the budget: the run's
// -rss_limit_mb is the judge (fuzz/smoke.sh gives it 1024 MB).
#include "platform/qpdf/InflationBudget.h"

#include <cstdint>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDF.hh>
#include <string>

using namespace pdfunlock;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto source = std::make_shared<BufferInputSource>(
        "fuzz", std::string(reinterpret_cast<const char*>(data), size));
    try {
        const auto budget = InflationBudget::beforeParse(source);
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(source, "user");
        if (budget.objectStreamsFit(pdf)) {
            // Resolves every object: every object stream is inflated.
            pdf.getAllObjects();
        }
    } catch (const std::exception&) {
        // Refused, or nothing qpdf can read: the checks did their part.
    }
    return 0;
}
