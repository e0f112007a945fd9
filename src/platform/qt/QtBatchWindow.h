// The window for several documents over Qt Widgets: the form of
// resources/BatchWindow.ui with its captions in the user's language, a dialog
// (its accessible role; Return presses the start button, or the retry button
// once nothing is left to start) that stays a normal top-level window. It
// takes files and folders by its buttons (the desktop's own dialogs) and by
// drops, sorts its list by any column, and reads out the current row on a
// details line.
#pragma once

#include "platform/BatchDesktop.h"
#include "platform/qt/WidgetAdapters.h"

#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QSortFilterProxyModel;

namespace Ui {
class BatchWindow;
}

namespace pdfunlock {

class BatchRowsModel;

// Runs posted work in the event loop of the receiver's thread; a queued call
// still waiting when the receiver is destroyed is dropped.
class QtMainThread final : public MainThread {
public:
    explicit QtMainThread(QObject& receiver) : receiver_(receiver) {}
    void post(std::function<void()> work) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> work) override;

private:
    QObject& receiver_;
};

// Every way of closing the window (its close button, the window manager,
// Escape, `Window::close`) asks `shouldClose` first. Local files and folders
// dropped on it go to `dropped` while `takesDrops`.
class QtBatchDialog final : public QDialog {
public:
    std::function<bool()> shouldClose;
    std::function<void(const std::vector<std::string>&)> dropped;
    bool takesDrops = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class QtBatchWindow final : public BatchView {
public:
    struct Actions {
        std::function<void()> start;
        std::function<void()> retry;
        std::function<void()> cancel;
        std::function<bool()> shouldClose;
        std::function<void(const std::vector<std::string>&)> add;
        std::function<void(std::optional<std::size_t>)> openFolder; // a row, or the copies'
        std::function<void()> saveReport;
        std::function<void(const std::string&)> saveCopiesIn; // a folder
    };

    explicit QtBatchWindow(Actions actions);
    ~QtBatchWindow() override;
    QtBatchWindow(const QtBatchWindow&) = delete;
    QtBatchWindow& operator=(const QtBatchWindow&) = delete;

    Window& window() { return window_; }
    TextField& password() { return password_; }
    MainThread& mainThread() { return mainThread_; }
    QDialog& widget() { return *widget_; }

    void addRows(const std::vector<BatchRow>& rows) override;
    void updateRows(const std::vector<std::pair<std::size_t, BatchRow>>& rows) override;
    void setProgress(std::size_t done, std::size_t total) override;
    void setStatus(const std::string& text) override;
    void setActions(const BatchActions& actions) override;
    void focusPassword() override;
    void showFolder(const std::string& path) override;
    std::optional<ReportFile> chooseReportFile() override;
    bool saveText(const std::string& path, const std::string& text) override;
    UnsavedReport askToSaveReport() override;
    void clearRows() override;
    void showCopiesFolder(const std::string& folder) override;

private:
    void connectActions();
    void addChosen(bool folder);
    // The row of the list's current item, in the order the rows were added.
    std::optional<std::size_t> currentRow() const;
    void showDetails();
    void updateOpenFolder();

    std::unique_ptr<QtBatchDialog> widget_;
    std::unique_ptr<Ui::BatchWindow> ui_;
    BatchRowsModel* model_;        // owned by the widget
    QSortFilterProxyModel* order_; // the rows as sorted, owned by the widget
    QtWidgetWindow window_;
    QtLineEditField password_;
    QtMainThread mainThread_;
    Actions actions_;
    BatchActions enabled_;
};

} // namespace pdfunlock
