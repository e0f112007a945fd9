// The password window: the form of resources/MainWindow.ui behind the window
// and text-field interfaces.
#pragma once

#include "platform/qt/WidgetAdapters.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}

namespace pdfunlock {

// The window with its captions in the user's language (install the
// translations first): a dialog (its accessible role; Return presses the
// remove button, Escape closes it) that stays a normal top-level window.
// Hidden until the delegate shows it. The two actions are the buttons'. When
// the window is still up after the remove action (the password was wrong),
// the field's text is selected, so that typing replaces it.
class QtMainWindow {
public:
    QtMainWindow(std::function<void()> removeAction, std::function<void()> closeAction);
    ~QtMainWindow();
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;

    Window& window() { return window_; }
    TextField& pwd() { return pwd_; }
    TextField& pwdInfo() { return pwdInfo_; }

    QDialog& widget() { return *widget_; }

private:
    std::unique_ptr<QDialog> widget_;
    std::unique_ptr<Ui::MainWindow> ui_;
    QtWidgetWindow window_;
    QtLineEditField pwd_;
    QtLabelField pwdInfo_;
    std::function<void()> remove_;
    std::function<void()> close_;
};

} // namespace pdfunlock
