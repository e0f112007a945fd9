#include "platform/qt/WidgetAdapters.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>
#include <climits>

namespace pdfunlock {

namespace {

// The narrowest width from `narrowest` up at which `text` takes no more lines
// than at `widest`: its lines come out of even length, no word left alone on
// the last one.
int balancedWidth(const QFontMetrics& metrics, const QString& text, int narrowest, int widest) {
    auto height = [&](int width) {
        return metrics.boundingRect(QRect(0, 0, width, INT_MAX / 2), Qt::TextWordWrap, text)
            .height();
    };
    const int lines = height(widest);
    if (height(narrowest) <= lines) {
        return narrowest;
    }
    while (widest - narrowest > 1) {
        const int middle = narrowest + (widest - narrowest) / 2;
        (height(middle) <= lines ? widest : narrowest) = middle;
    }
    return widest;
}

} // namespace

QString withoutMnemonic(QString caption) {
    static const QRegularExpression marker(QStringLiteral("\\(&[^&]\\)|&(?=[^&])"));
    return caption.remove(marker).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

void QtWidgetWindow::makeKeyAndOrderFront() {
    widget_.show();
    widget_.raise();
    widget_.activateWindow();
}

void QtWidgetWindow::orderOut() {
    widget_.hide();
}

void QtWidgetWindow::close() {
    widget_.close();
}

bool QtWidgetWindow::isVisible() const {
    return widget_.isVisible();
}

void QtWidgetWindow::setRepresentedFilename(const std::string& path) {
    // A path in the file system's encoding, as argv gave it.
    widget_.setWindowFilePath(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string QtLineEditField::stringValue() const {
    return edit_.text().toStdString();
}

void QtLineEditField::setStringValue(const std::string& text) {
    edit_.setText(QString::fromStdString(text));
}

QtLabelField::QtLabelField(QLabel& label) : label_(label), narrowest_(label.minimumWidth()) {}

std::string QtLabelField::stringValue() const {
    return label_.text().toStdString();
}

void QtLabelField::setStringValue(const std::string& text) {
    label_.setTextFormat(Qt::PlainText);
    label_.setText(QString::fromStdString(text));
    if (label_.wordWrap() && narrowest_ > 0) {
        label_.setMinimumWidth(
            balancedWidth(label_.fontMetrics(), label_.text(), narrowest_, narrowest_ * 4 / 3));
    }
}

} // namespace pdfunlock
