#include "platform/qt/MainWindow.h"

#include "platform/qt/CaptionKeys.h"
#include "platform/qt/WidgetAdapters.h"
#include "ui_MainWindow.h"

namespace pdfunlock {

namespace {

std::unique_ptr<Ui::MainWindow> setUpForm(QDialog& dialog) {
    auto ui = std::make_unique<Ui::MainWindow>();
    ui->setupUi(&dialog);
    // The application's one window: in the task bar and window switcher like
    // any main window, not a dialog kept above (and listed under) another.
    dialog.setWindowFlags(Qt::Window);
    return ui;
}

} // namespace

QtMainWindow::QtMainWindow(std::function<void()> removeAction, std::function<void()> closeAction)
    : widget_(std::make_unique<QDialog>()), ui_(setUpForm(*widget_)), window_(*widget_),
      pwd_(*ui_->pwd), pwdInfo_(*ui_->pwdInfo), remove_(std::move(removeAction)),
      close_(std::move(closeAction)) {
    // uic's tr() is not id-based: captions come from the translation ids here.
    const QString remove = qtTrId(captions::IDS_UI_REMOVE);
    const QString close = qtTrId(captions::IDS_UI_CLOSE);
    const QString password = qtTrId(captions::IDS_UI_PASSWORD);
    ui_->removeButton->setText(remove);
    ui_->removeButton->setAccessibleName(withoutMnemonic(remove));
    ui_->closeButton->setText(close);
    ui_->closeButton->setAccessibleName(withoutMnemonic(close));
    ui_->pwd->setAccessibleName(password);
    ui_->pwd->setPlaceholderText(password);
    ui_->pwd->setFocus();

    QObject::connect(ui_->removeButton, &QPushButton::clicked, widget_.get(), [this] {
        if (remove_) {
            remove_();
        }
        if (widget_->isVisible()) {
            ui_->pwd->setFocus();
            ui_->pwd->selectAll();
        }
    });
    QObject::connect(ui_->closeButton, &QPushButton::clicked, widget_.get(), [this] {
        if (close_) {
            close_();
        }
    });
}

QtMainWindow::~QtMainWindow() = default;

} // namespace pdfunlock
