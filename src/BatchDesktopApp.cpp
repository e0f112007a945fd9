#include "BatchDesktopApp.h"

#include "platform/DirectoryListing.h"
#include "platform/qt/ApplicationIdentity.h"

#include <QApplication>

namespace pdfunlock {

BatchDesktopApp::BatchDesktopApp(Log& log, unsigned jobs) : BatchDesktopApp(&log, jobs, nullptr) {}

BatchDesktopApp::BatchDesktopApp(BatchJobs& jobs) : BatchDesktopApp(nullptr, 0, &jobs) {}

BatchDesktopApp::BatchDesktopApp(Log* log, unsigned jobs, BatchJobs* other)
    : form_(QtBatchWindow::Actions{
          [this] { controller_.start(); }, [this] { controller_.retry(); },
          [this] { controller_.cancel(); }, [this] { return controller_.windowShouldClose(); },
          [this](const std::vector<std::string>& paths) { controller_.add(paths); },
          [this](std::optional<std::size_t> row) { controller_.openFolder(row); },
          [this] { controller_.saveReport(); },
          [this](const std::string& folder) { controller_.saveCopiesIn(folder); }}),
      alerts_(&form_.widget()),
      ownJobs_(other ? nullptr
                     : std::make_unique<BatchWindowJobs>(pdf_, files_, *log,
                                                         jobs > 0 ? jobs : usableProcessors())),
      controller_(
          BatchWindowServices{other ? *other : *ownJobs_, form_.mainThread(), alerts_, strings_},
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
