#include "platform/qt/OpenDocumentsFilter.h"

#include <QFile>
#include <QFileOpenEvent>

namespace pdfunlock {

void QtOpenDocumentsFilter::launchWhenEventLoopStarts(OpenFiles openFiles,
                                                      std::function<void()> didFinishLaunching) {
    // Queued on this object: a call still waiting when it is destroyed is dropped.
    QMetaObject::invokeMethod(
        this,
        [this, openFiles = std::move(openFiles),
         didFinishLaunching = std::move(didFinishLaunching)] {
            auto before = std::move(pending_);
            pending_.clear();
            if (!before.empty()) {
                openFiles(before);
            }
            deliver_ = openFiles;
            didFinishLaunching();
        },
        Qt::QueuedConnection);
}

bool QtOpenDocumentsFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FileOpen) {
        return QObject::eventFilter(watched, event);
    }
    // A remote URL has no local file: nothing the application could open.
    const QString file = static_cast<QFileOpenEvent*>(event)->file();
    if (file.isEmpty()) {
        return false;
    }
    std::string path = QFile::encodeName(file).toStdString();
    if (deliver_) {
        deliver_({std::move(path)});
    } else {
        pending_.push_back(std::move(path));
    }
    return true;
}

} // namespace pdfunlock
