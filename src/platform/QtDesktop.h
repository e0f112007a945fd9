// The desktop interfaces over Qt Widgets: the window form, message boxes,
// translations and the application's event loop.
#pragma once

#include "platform/Desktop.h"

#include <QDialog>
#include <QLocale>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCoreApplication;
class QLabel;
class QLineEdit;
class QWidget;

namespace Ui {
class MainWindow;
}

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

// The window of resources/MainWindow.ui with its captions in the user's language
// (install the translations first): a dialog (its accessible role; Return
// presses the remove button, Escape closes it) that stays a normal top-level
// window. Hidden until the delegate shows it. The two actions are the
// buttons'. When the window is still up after the remove action (the password
// was wrong), the field's text is selected, so that typing replaces it.
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

class QtAlertPresenter final : public AlertPresenter {
public:
    // Alerts shown while `window` is visible belong to it.
    explicit QtAlertPresenter(QWidget* window = nullptr) : window_(window) {}
    // A message box holding only the text and an OK button.
    void runModal(AlertStyle style, const std::string& messageText) override;

private:
    QWidget* window_;
};

// Id-based translations: the key is the translation id.
class QtStrings final : public Strings {
public:
    std::string localizedString(const std::string& key) const override;
};

class QtApplication final : public Application {
public:
    void terminate() override;
};

// Installs the embedded translations for the first of the locale's languages
// that has one, else English, and Qt's own for the same language; replaces
// translations installed by an earlier call. False if not even English could
// be loaded.
bool installTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

// Qt's debug and info messages, and its notes about what it sets right by
// itself, stay off standard error, which carries the program's log lines; its
// warnings and fatal errors (no display...) go there as Qt writes them.
void quietFrameworkMessages();

// The name, icon and desktop entry the application's windows show.
void setApplicationIdentity(const QString& appId);

// Documents the system asks the running application to open: macOS sends them
// as QFileOpenEvents (at launch too), not as arguments. Install it as an event
// filter on the application object.
class QtOpenDocumentsFilter final : public QObject {
public:
    using OpenFiles = std::function<void(const std::vector<std::string>&)>;

    // Paths (in the file system's encoding, like argv) not yet handed over.
    const std::vector<std::string>& pending() const { return pending_; }

    // Once the event loop runs: the paths that came before go to `openFiles` as
    // one list, then `didFinishLaunching` runs; later paths go to `openFiles`
    // one at a time.
    void launchWhenEventLoopStarts(OpenFiles openFiles, std::function<void()> didFinishLaunching);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> pending_;
    OpenFiles deliver_;
};

} // namespace pdfunlock
