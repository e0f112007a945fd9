// The window and text-field interfaces over Qt widgets.
#pragma once

#include "platform/Desktop.h"

#include <QString>
#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace pdfunlock {

class QtWidgetWindow final : public Window {
public:
    explicit QtWidgetWindow(QWidget& widget) : widget_(widget) {}
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    void close() override;
    bool isVisible() const override;
    void setRepresentedFilename(const std::string& path) override;

private:
    QWidget& widget_;
};

class QtLineEditField final : public TextField {
public:
    explicit QtLineEditField(QLineEdit& edit) : edit_(edit) {}
    std::string stringValue() const override;
    void setStringValue(const std::string& text) override;

private:
    QLineEdit& edit_;
};

// Shows its text as plain text, whatever it contains. A word-wrapped label
// keeps its minimum width as the narrowest it gets and widens, up to a third
// more, so that its lines come out of even length.
class QtLabelField final : public TextField {
public:
    explicit QtLabelField(QLabel& label);
    std::string stringValue() const override;
    void setStringValue(const std::string& text) override;

private:
    QLabel& label_;
    int narrowest_;
};

// A caption as a screen reader says it: without its mnemonic, "(&R)" included.
QString withoutMnemonic(QString caption);

} // namespace pdfunlock
