#include "platform/qt/QtBatchWindow.h"

#include "platform/qt/CaptionKeys.h"
#include "ui_BatchWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidgetItem>

namespace pdfunlock {

namespace {

enum Column { DocumentColumn, StateColumn, CopyColumn };

// A path in the file system's encoding, as argv gave it.
QString decodedPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

const char* captionId(BatchRowState state) {
    switch (state) {
    case BatchRowState::Waiting:
        return captions::IDS_UI_BATCH_WAITING;
    case BatchRowState::Copied:
        return captions::IDS_UI_BATCH_COPIED;
    case BatchRowState::AlreadyCopied:
        return captions::IDS_UI_BATCH_ALREADY_COPIED;
    case BatchRowState::WrongPassword:
        return captions::IDS_UI_BATCH_WRONG_PASSWORD;
    case BatchRowState::NotProtected:
        return captions::IDS_UI_BATCH_NOT_PROTECTED;
    case BatchRowState::Refused:
        return captions::IDS_UI_BATCH_REFUSED;
    case BatchRowState::Failed:
        return captions::IDS_UI_BATCH_FAILED;
    case BatchRowState::Cancelled:
        return captions::IDS_UI_BATCH_CANCELLED;
    }
    return captions::IDS_UI_BATCH_FAILED;
}

QIcon iconFor(const QStyle& style, BatchRowState state) {
    switch (state) {
    case BatchRowState::Copied:
    case BatchRowState::AlreadyCopied:
        return style.standardIcon(QStyle::SP_DialogApplyButton);
    case BatchRowState::WrongPassword:
    case BatchRowState::NotProtected:
    case BatchRowState::Cancelled:
        return style.standardIcon(QStyle::SP_MessageBoxWarning);
    case BatchRowState::Refused:
    case BatchRowState::Failed:
        return style.standardIcon(QStyle::SP_MessageBoxCritical);
    case BatchRowState::Waiting:
        break;
    }
    return {};
}

void setCaption(QAbstractButton& button, const char* id) {
    const QString caption = qtTrId(id);
    button.setText(caption);
    button.setAccessibleName(withoutMnemonic(caption));
}

} // namespace

void QtMainThread::post(std::function<void()> work) {
    QMetaObject::invokeMethod(&receiver_, std::move(work), Qt::QueuedConnection);
}

void QtBatchDialog::closeEvent(QCloseEvent* event) {
    if (shouldClose && !shouldClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void QtBatchDialog::reject() {
    if (!shouldClose || shouldClose()) {
        QDialog::reject();
    }
}

QtBatchWindow::QtBatchWindow(Actions actions)
    : widget_(std::make_unique<QtBatchDialog>()), ui_(std::make_unique<Ui::BatchWindow>()),
      window_(*widget_), password_((ui_->setupUi(widget_.get()), *ui_->password)),
      mainThread_(*widget_), actions_(std::move(actions)) {
    // The application's one window: in the task bar and window switcher like
    // any main window, not a dialog kept above (and listed under) another.
    widget_->setWindowFlags(Qt::Window);
    widget_->shouldClose = actions_.shouldClose;

    // uic's tr() is not id-based: captions come from the translation ids here.
    ui_->prompt->setText(qtTrId(captions::IDS_UI_BATCH_PROMPT));
    const QString password = qtTrId(captions::IDS_UI_PASSWORD);
    ui_->password->setAccessibleName(password);
    ui_->password->setPlaceholderText(password);
    ui_->documents->setHeaderLabels({qtTrId(captions::IDS_UI_BATCH_DOCUMENT),
                                     qtTrId(captions::IDS_UI_BATCH_STATE),
                                     qtTrId(captions::IDS_UI_BATCH_COPY)});
    ui_->documents->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_DOCUMENTS));
    ui_->progress->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_PROGRESS));
    ui_->progress->setFormat(QStringLiteral("%v / %m"));
    QHeaderView& header = *ui_->documents->header();
    header.setStretchLastSection(false);
    header.setSectionResizeMode(DocumentColumn, QHeaderView::Stretch);
    header.setSectionResizeMode(StateColumn, QHeaderView::ResizeToContents);
    header.setSectionResizeMode(CopyColumn, QHeaderView::Stretch);
    setCaption(*ui_->startButton, captions::IDS_UI_BATCH_START);
    setCaption(*ui_->retryButton, captions::IDS_UI_BATCH_RETRY);
    setCaption(*ui_->cancelButton, captions::IDS_UI_BATCH_CANCEL);
    setCaption(*ui_->closeButton, captions::IDS_UI_CLOSE);
    ui_->password->setFocus();

    auto call = [](const std::function<void()>& action) {
        if (action) {
            action();
        }
    };
    QObject::connect(ui_->startButton, &QPushButton::clicked, widget_.get(),
                     [this, call] { call(actions_.start); });
    QObject::connect(ui_->retryButton, &QPushButton::clicked, widget_.get(),
                     [this, call] { call(actions_.retry); });
    QObject::connect(ui_->cancelButton, &QPushButton::clicked, widget_.get(),
                     [this, call] { call(actions_.cancel); });
    QObject::connect(ui_->closeButton, &QPushButton::clicked, widget_.get(),
                     [this] { widget_->close(); });
}

QtBatchWindow::~QtBatchWindow() = default;

void QtBatchWindow::setDocuments(const std::vector<std::string>& paths) {
    ui_->documents->clear();
    QList<QTreeWidgetItem*> items;
    for (const std::string& path : paths) {
        const QString decoded = decodedPath(path);
        auto* item = new QTreeWidgetItem({QFileInfo(decoded).fileName()});
        item->setToolTip(DocumentColumn, decoded);
        items.append(item);
    }
    ui_->documents->addTopLevelItems(items);
    for (std::size_t row = 0; row < paths.size(); ++row) {
        setRow(row, BatchRowState::Waiting, {}, {});
    }
    widget_->setWindowTitle(qtTrId(captions::IDS_UI_BATCH_TITLE, static_cast<int>(paths.size())));
}

void QtBatchWindow::setRow(std::size_t row, BatchRowState state, const std::string& message,
                           const std::string& copyPath) {
    QTreeWidgetItem* item = ui_->documents->topLevelItem(static_cast<int>(row));
    if (!item) {
        return;
    }
    item->setText(StateColumn, qtTrId(captionId(state)));
    item->setIcon(StateColumn, iconFor(*widget_->style(), state));
    item->setToolTip(StateColumn, QString::fromStdString(message));
    const QString copy = decodedPath(copyPath);
    item->setText(CopyColumn, copy.isEmpty() ? QString() : QFileInfo(copy).fileName());
    item->setToolTip(CopyColumn, copy);
    // The latest outcome stays in view as the batch goes on.
    if (state != BatchRowState::Waiting && state != BatchRowState::Cancelled) {
        ui_->documents->scrollToItem(item);
    }
}

void QtBatchWindow::setProgress(std::size_t done, std::size_t total) {
    ui_->progress->setMaximum(static_cast<int>(total));
    ui_->progress->setValue(static_cast<int>(done));
}

void QtBatchWindow::setActions(bool canStart, bool canRetry, bool canCancel) {
    ui_->startButton->setEnabled(canStart);
    ui_->retryButton->setEnabled(canRetry);
    ui_->cancelButton->setEnabled(canCancel);
    ui_->password->setEnabled(canStart || canRetry);
    // Return in the field presses what can be done next.
    if (canStart) {
        ui_->startButton->setDefault(true);
    } else if (canRetry) {
        ui_->retryButton->setDefault(true);
    }
}

void QtBatchWindow::focusPassword() {
    ui_->password->setFocus();
    ui_->password->selectAll();
}

} // namespace pdfunlock
