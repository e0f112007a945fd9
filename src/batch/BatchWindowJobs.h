// The batch room's walk and run, as the window for several documents runs them.
#pragma once

#include "batch/BatchInputs.h"
#include "batch/BatchWindowController.h"
#include "platform/Desktop.h"
#include "platform/PDFDocument.h"

#include <map>
#include <string>
#include <vector>

namespace pdfunlock {

class BatchWindowJobs final : public BatchJobs {
public:
    // `jobs`: files handled at once.
    BatchWindowJobs(PDFDocumentService& pdf, FileSystem& files, Log& log, unsigned jobs);

    std::vector<Document> documents(const std::vector<std::string>& inputs) override;
    void run(const std::vector<std::string>& files, const std::string& password,
             const std::atomic<bool>& cancel, const Finished& finished) override;

private:
    PDFDocumentService& pdf_;
    FileSystem& files_;
    Log& log_;
    unsigned jobs_;
    std::map<std::string, BatchItem> items_; // by path, as the walk found them
};

} // namespace pdfunlock
