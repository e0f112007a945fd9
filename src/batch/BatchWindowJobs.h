// The batch room's walk and run, as the window for several documents runs them.
#pragma once

#include "batch/BatchInputs.h"
#include "batch/BatchJobs.h"
#include "platform/Desktop.h"
#include "platform/PDFDocument.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pdfunlock {

class BatchWindowJobs final : public BatchJobs {
public:
    // `jobs`: files handled at once.
    BatchWindowJobs(PDFDocumentService& pdf, FileSystem& files, Log& log, unsigned jobs);

    bool find(const std::vector<std::string>& paths, const std::string& output,
              const std::atomic<bool>& stop, const Found& found) override;
    void run(BatchFeed& feed, const std::string& password, const Finished& finished) override;

private:
    std::vector<BatchItem> itemsOf(const std::vector<std::string>& files);

    PDFDocumentService& pdf_;
    FileSystem& files_;
    Log& log_;
    unsigned jobs_;
    std::mutex mutex_;                       // a walk and a run at once
    std::map<std::string, BatchItem> items_; // by path, as the walks found them
    // Each output folder held from the first walk that named it.
    std::map<std::string, std::shared_ptr<OutputFolder>> outputs_;
};

} // namespace pdfunlock
