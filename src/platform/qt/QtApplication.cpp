#include "platform/qt/QtApplication.h"

#include <QCoreApplication>
#include <QThread>

namespace pdfunlock {

void QtApplication::terminate() {
    // exit() ends every running loop, a message box's included, but is
    // forgotten if no loop runs yet: then wait for the loop to start.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace pdfunlock
