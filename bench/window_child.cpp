// The window case of pdfunlock-bench, in a program of its own so that the
// benchmark's other children (and their peak memory) carry no Qt Widgets.
//
//   pdfunlock-bench-window FOLDER PASSWORD
//
// Runs the window for several documents on FOLDER as `pdfunlock --batch`
// builds it, offscreen, Start pressed once it is up while the walk may still
// be going; ends when every row is done. Exit 3 unless every row was copied.
#include "BatchDesktopApp.h"
#include "Fakes.h"
#include "platform/qt/FrameworkMessages.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace pdfunlock;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER PASSWORD\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string password = argv[2];
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quietFrameworkMessages();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    testing::FakeLog log;
    BatchDesktopApp window(log);
    window.launchWhenEventLoopStarts({folder});
    BatchWindowController& controller = window.controller();
    bool started = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!started && window.form().widget().isVisible()) {
            window.form().password().setStringValue(password);
            controller.start();
            started = controller.isRunning();
        } else if (started && !controller.isRunning() && !controller.isWalking()) {
            QApplication::quit();
        }
    });
    poll.start(10);
    app.exec();
    const BatchWindowList& list = controller.list();
    if (list.size() == 0 || list.count(BatchRowState::Copied) != list.size()) {
        std::fprintf(stderr, "window: %zu copies of %zu\n", list.count(BatchRowState::Copied),
                     list.size());
        return 3;
    }
    return 0;
}
