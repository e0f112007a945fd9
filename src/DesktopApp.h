// The running application: the window form, the desktop and PDF services and
// the delegate, connected the way the window form connects them. The process
// entry and the GUI test build it alike.
#pragma once

#include "app/AppDelegate.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/AlertPresenter.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/OpenDocumentsFilter.h"
#include "platform/qt/QtApplication.h"
#include "platform/qt/QtStrings.h"

#include <string>
#include <vector>

namespace pdfunlock {

class DesktopApp {
public:
    // Needs the QApplication; `log` receives the fixed diagnostic lines.
    explicit DesktopApp(Log& log);
    DesktopApp(const DesktopApp&) = delete;
    DesktopApp& operator=(const DesktopApp&) = delete;

    AppDelegate& delegate() { return delegate_; }
    QtMainWindow& form() { return form_; }
    const Strings& strings() const { return strings_; }

    // Once the event loop runs: `paths` (the command line's documents), then
    // the documents the system sent as events until then, as one list, and
    // the launch checks.
    void launchWhenEventLoopStarts(const std::vector<std::string>& paths);

private:
    QtMainWindow form_;
    QtAlertPresenter alerts_;
    QtStrings strings_;
    PosixFileSystem files_;
    QpdfDocumentService pdf_;
    QtApplication application_;
    AppDelegate delegate_;
    QtOpenDocumentsFilter openDocuments_;
};

} // namespace pdfunlock
