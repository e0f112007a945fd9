#include "platform/qt/AlertPresenter.h"

#include "platform/qt/ApplicationIdentity.h"

#include <QMessageBox>

namespace pdfunlock {

namespace {

QMessageBox::Icon iconFor(AlertStyle style) {
    switch (style) {
    case AlertStyle::Warning:
        return QMessageBox::Warning;
    case AlertStyle::Informational:
        return QMessageBox::Information;
    case AlertStyle::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Critical;
}

} // namespace

void QtAlertPresenter::runModal(AlertStyle style, const std::string& messageText) {
    QMessageBox box(window_ && window_->isVisible() ? window_ : nullptr);
    box.setWindowTitle(applicationName());
    box.setIcon(iconFor(style));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(messageText));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace pdfunlock
