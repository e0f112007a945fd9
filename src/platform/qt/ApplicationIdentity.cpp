#include "platform/qt/ApplicationIdentity.h"

#include <QGuiApplication>
#include <QIcon>

namespace pdfunlock {

QString applicationName() {
    return QStringLiteral("pdfunlock");
}

void setApplicationIdentity(const QString& appId) {
    // Window titles read "scan.pdf — pdfunlock" where the platform adds the name.
    QGuiApplication::setApplicationDisplayName(applicationName());
    // Ties the windows to the installed desktop entry (name and icon on Wayland).
    QGuiApplication::setDesktopFileName(appId);
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(appId, QIcon(QStringLiteral(":/icons/pdfunlock.svg"))));
}

} // namespace pdfunlock
