// Alerts as Qt message boxes.
#pragma once

#include "platform/Desktop.h"

class QWidget;

namespace pdfunlock {

class QtAlertPresenter final : public AlertPresenter {
public:
    // Alerts shown while `window` is visible belong to it.
    explicit QtAlertPresenter(QWidget* window = nullptr) : window_(window) {}
    // A message box holding only the text and an OK button.
    void runModal(AlertStyle style, const std::string& messageText) override;

private:
    QWidget* window_;
};

} // namespace pdfunlock
