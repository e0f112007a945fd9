// The window for several documents over Qt Widgets: the form of
// resources/BatchWindow.ui with its captions in the user's language, a dialog
// (its accessible role; Return presses the start button, or the retry button
// once nothing is left to start) that stays a normal top-level window.
#pragma once

#include "platform/BatchDesktop.h"
#include "platform/qt/WidgetAdapters.h"

#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>

namespace Ui {
class BatchWindow;
}

namespace pdfunlock {

// Runs posted work in the event loop of the receiver's thread; a queued call
// still waiting when the receiver is destroyed is dropped.
class QtMainThread final : public MainThread {
public:
    explicit QtMainThread(QObject& receiver) : receiver_(receiver) {}
    void post(std::function<void()> work) override;

private:
    QObject& receiver_;
};

// Every way of closing the window (its close button, the window manager,
// Escape, `Window::close`) asks `shouldClose` first.
class QtBatchDialog final : public QDialog {
public:
    std::function<bool()> shouldClose;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};

class QtBatchWindow final : public BatchView {
public:
    struct Actions {
        std::function<void()> start;
        std::function<void()> retry;
        std::function<void()> cancel;
        std::function<bool()> shouldClose;
    };

    explicit QtBatchWindow(Actions actions);
    ~QtBatchWindow() override;
    QtBatchWindow(const QtBatchWindow&) = delete;
    QtBatchWindow& operator=(const QtBatchWindow&) = delete;

    Window& window() { return window_; }
    TextField& password() { return password_; }
    MainThread& mainThread() { return mainThread_; }
    QDialog& widget() { return *widget_; }

    void setDocuments(const std::vector<std::string>& paths) override;
    void setRow(std::size_t row, BatchRowState state, const std::string& message,
                const std::string& copyPath) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setActions(bool canStart, bool canRetry, bool canCancel) override;
    void focusPassword() override;

private:
    std::unique_ptr<QtBatchDialog> widget_;
    std::unique_ptr<Ui::BatchWindow> ui_;
    QtWidgetWindow window_;
    QtLineEditField password_;
    QtMainThread mainThread_;
    Actions actions_;
};

} // namespace pdfunlock
