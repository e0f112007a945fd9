// The running window for several documents: its form, the desktop and PDF
// services, the batch job and the controller, connected once. The process
// entry (`pdfunlock --batch`) and the GUI test build it alike.
#pragma once

#include "batch/BatchWindowController.h"
#include "batch/BatchWindowJobs.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/AlertPresenter.h"
#include "platform/qt/OpenDocumentsFilter.h"
#include "platform/qt/QtBatchWindow.h"
#include "platform/qt/QtStrings.h"

#include <memory>
#include <string>
#include <vector>

namespace pdfunlock {

class BatchDesktopApp {
public:
    // Needs the QApplication; `log` receives the fixed diagnostic lines.
    // `jobs`: files handled at once, by default as many as the process has
    // processors.
    explicit BatchDesktopApp(Log& log, unsigned jobs = 0);
    // The same window over another job (the tests' stand-in).
    explicit BatchDesktopApp(BatchJobs& jobs);
    BatchDesktopApp(const BatchDesktopApp&) = delete;
    BatchDesktopApp& operator=(const BatchDesktopApp&) = delete;

    BatchWindowController& controller() { return controller_; }
    QtBatchWindow& form() { return form_; }
    const Strings& strings() const { return strings_; }

    // Once the event loop runs: `paths` (the command line's documents and
    // folders), then those the system sent as events until then, as one
    // list, and the window comes up with them (empty without any).
    void launchWhenEventLoopStarts(const std::vector<std::string>& paths);

private:
    BatchDesktopApp(Log* log, unsigned jobs, BatchJobs* other);

    QtBatchWindow form_;
    QtAlertPresenter alerts_;
    QtStrings strings_;
    PosixFileSystem files_;
    QpdfDocumentService pdf_;
    std::unique_ptr<BatchJobs> ownJobs_;
    BatchWindowController controller_;
    QtOpenDocumentsFilter openDocuments_;
};

} // namespace pdfunlock
