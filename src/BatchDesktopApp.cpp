#include "BatchDesktopApp.h"

#include "platform/DirectoryListing.h"
#include "platform/qt/ApplicationIdentity.h"

#include <QApplication>

namespace pdfunlock {

BatchDesktopApp::BatchDesktopApp(Log& log, unsigned jobs)
    : form_(QtBatchWindow::Actions{[this] { controller_.start(); }, [this] { controller_.retry(); },
                                   [this] { controller_.cancel(); },
                                   [this] { return controller_.windowShouldClose(); }}),
      alerts_(&form_.widget()), jobs_(pdf_, files_, log, jobs > 0 ? jobs : usableProcessors()),
      controller_(BatchWindowServices{jobs_, form_.mainThread(), alerts_, strings_, application_},
                  BatchWindowOutlets{form_.window(), form_.password(), form_}) {
    setApplicationIdentity(QStringLiteral(PDFUNLOCK_APP_ID));
    QApplication::setQuitOnLastWindowClosed(true);
    QCoreApplication::instance()->installEventFilter(&openDocuments_);
}

void BatchDesktopApp::launchWhenEventLoopStarts(const std::vector<std::string>& paths) {
    if (!paths.empty()) {
        controller_.openFiles(paths);
    }
    openDocuments_.launchWhenEventLoopStarts(
        [this](const std::vector<std::string>& opened) { controller_.openFiles(opened); },
        [this] { controller_.applicationDidFinishLaunching(); });
}

} // namespace pdfunlock
