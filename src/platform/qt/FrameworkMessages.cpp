#include "platform/qt/FrameworkMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>

namespace pdfunlock {

namespace {

// Qt's chatter (debug, info) and its notes about what it copes with by itself.
bool isFrameworkNote(QtMsgType type, const char* category, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) {
        return true;
    }
    if (type != QtWarningMsg) {
        return false;
    }
    // The platform plugins tried in turn (wayland before xcb...): the fatal
    // message says so if none works.
    if (qstrcmp(category, "qt.qpa.plugin") == 0) {
        return true;
    }
    // No runtime directory in the environment (sudo, a bare X server): Qt makes one.
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

QtMessageHandler frameworkHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!isFrameworkNote(type, context.category, message)) {
        frameworkHandler(type, context, message);
    }
    // Qt would abort(): a start without a display is a failure its message
    // explains, not a crash to leave a core dump for.
    if (type == QtFatalMsg) {
        std::_Exit(EXIT_FAILURE);
    }
}

} // namespace

void quietFrameworkMessages() {
    const QtMessageHandler previous = qInstallMessageHandler(quietHandler);
    if (previous != quietHandler) {
        frameworkHandler = previous;
    }
}

} // namespace pdfunlock
