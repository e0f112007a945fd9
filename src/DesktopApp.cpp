#include "DesktopApp.h"

#include "platform/qt/ApplicationIdentity.h"

#include <QApplication>

namespace pdfunlock {

DesktopApp::DesktopApp(Log& log)
    : form_([this] { delegate_.removePDFpwd(); }, [this] { delegate_.onClose(); }),
      alerts_(&form_.widget()),
      delegate_(AppServices{alerts_, strings_, log, files_, pdf_, application_},
                Outlets{form_.window(), form_.pwd(), form_.pwdInfo()}) {
    setApplicationIdentity(QStringLiteral(PDFUNLOCK_APP_ID));
    QApplication::setQuitOnLastWindowClosed(
        delegate_.applicationShouldTerminateAfterLastWindowClosed());
    QCoreApplication::instance()->installEventFilter(&openDocuments_);
}

void DesktopApp::launchWhenEventLoopStarts(const std::vector<std::string>& paths) {
    if (!paths.empty()) {
        delegate_.openFiles(paths);
    }
    // From inside the event loop, so that ending the application there works.
    openDocuments_.launchWhenEventLoopStarts(
        [this](const std::vector<std::string>& opened) { delegate_.openFiles(opened); },
        [this] { delegate_.applicationDidFinishLaunching(); });
}

} // namespace pdfunlock
