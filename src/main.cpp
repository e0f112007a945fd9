#include "DesktopApp.h"
#include "platform/QtDesktop.h"
#include "platform/SystemLog.h"

#include <QApplication>
#include <csignal>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // A write past the file size limit (ulimit -f) then fails with EFBIG and
    // the save reports it, instead of the signal ending the process.
    std::signal(SIGXFSZ, SIG_IGN);

    pdfunlock::quietFrameworkMessages();
    QApplication app(argc, argv);
    pdfunlock::installTranslations(app);

    pdfunlock::SystemLog log;
    pdfunlock::DesktopApp desktop(log);

    // QApplication has taken its own options out of argv; what is left are the
    // documents. argv rather than arguments() keeps the bytes of file names
    // that are not valid in the locale's encoding.
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        paths.emplace_back(argv[i]);
    }
    desktop.launchWhenEventLoopStarts(paths);
    return app.exec();
}
