#include "app/AppDelegate.h"
#include "platform/PosixFileSystem.h"
#include "platform/QpdfDocument.h"
#include "platform/QtDesktop.h"
#include "platform/SystemLog.h"

#include <QApplication>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    pdfunlock::silenceFrameworkMessages();
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (name and icon on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(PDFUNLOCK_APP_ID));
    pdfunlock::installTranslations(app);
    pdfunlock::QtOpenDocumentsFilter openDocuments;
    app.installEventFilter(&openDocuments);

    pdfunlock::QtMainWindow form;
    pdfunlock::QtAlertPresenter alerts;
    pdfunlock::QtStrings strings;
    pdfunlock::SystemLog log;
    pdfunlock::PosixFileSystem files;
    pdfunlock::QpdfDocumentService pdf;
    pdfunlock::QtApplication application;
    pdfunlock::AppDelegate delegate(
        pdfunlock::AppServices{alerts, strings, log, files, pdf, application});

    QApplication::setQuitOnLastWindowClosed(
        delegate.applicationShouldTerminateAfterLastWindowClosed());
    delegate.setWindow(&form.window());
    delegate.setPwd(&form.pwd());
    delegate.setPwdInfo(&form.pwdInfo());
    form.onRemove([&delegate] { delegate.removePDFpwd(); });
    form.onClose([&delegate] { delegate.onClose(); });

    // QApplication has taken its own options out of argv; what is left are the
    // documents. argv rather than arguments() keeps the bytes of file names
    // that are not valid in the locale's encoding.
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        paths.emplace_back(argv[i]);
    }
    if (!paths.empty()) {
        delegate.openFiles(paths);
    }
    // From inside the event loop, so that ending the application there works;
    // documents the system sent as events until then form one list, after the
    // arguments.
    openDocuments.launchWhenEventLoopStarts(
        [&delegate](const std::vector<std::string>& opened) { delegate.openFiles(opened); },
        [&delegate] { delegate.applicationDidFinishLaunching(); });
    return app.exec();
}
