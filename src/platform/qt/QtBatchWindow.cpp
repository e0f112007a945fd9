#include "platform/qt/QtBatchWindow.h"

#include "platform/qt/ApplicationIdentity.h"
#include "platform/qt/BatchRowsModel.h"
#include "platform/qt/CaptionKeys.h"
#include "ui_BatchWindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace pdfunlock {

namespace {

// A dialog's title from the caption of the button that opens it: no
// mnemonic, no ellipsis.
QString dialogTitle(const char* id) {
    QString title = withoutMnemonic(qtTrId(id));
    while (title.endsWith(QChar(u'…')) || title.endsWith(QChar(u' '))) {
        title.chop(1);
    }
    return title;
}

void setCaption(QAbstractButton& button, const char* id) {
    const QString caption = qtTrId(id);
    button.setText(caption);
    button.setAccessibleName(withoutMnemonic(caption));
}

// The local files and folders a drop carries, in the file system's encoding.
std::vector<std::string> localPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
            }
        }
    }
    return paths;
}

} // namespace

void QtMainThread::post(std::function<void()> work) {
    QMetaObject::invokeMethod(&receiver_, std::move(work), Qt::QueuedConnection);
}

void QtMainThread::postAfter(std::chrono::milliseconds delay, std::function<void()> work) {
    // The timer starts on the receiver's thread: a timer belongs to the
    // thread that starts it.
    QObject* receiver = &receiver_;
    post([receiver, delay, work = std::move(work)]() mutable {
        QTimer::singleShot(delay, receiver, std::move(work));
    });
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

void QtBatchDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (takesDrops && !localPaths(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void QtBatchDialog::dragMoveEvent(QDragMoveEvent* event) {
    if (takesDrops) {
        event->acceptProposedAction();
    }
}

void QtBatchDialog::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = localPaths(event->mimeData());
    if (takesDrops && !paths.empty() && dropped) {
        event->acceptProposedAction();
        dropped(paths);
    }
}

QtBatchWindow::QtBatchWindow(Actions actions)
    : widget_(std::make_unique<QtBatchDialog>()), ui_(std::make_unique<Ui::BatchWindow>()),
      model_(nullptr), order_(nullptr), window_(*widget_),
      password_((ui_->setupUi(widget_.get()), *ui_->password)), mainThread_(*widget_),
      actions_(std::move(actions)) {
    // The application's one window: in the task bar and window switcher like
    // any main window, not a dialog kept above (and listed under) another.
    widget_->setWindowFlags(Qt::Window);
    widget_->shouldClose = actions_.shouldClose;
    widget_->dropped = actions_.add;
    widget_->setAcceptDrops(true);
    // A path dropped on the field is no password: the drop goes to the window.
    ui_->password->setAcceptDrops(false);

    // uic's tr() is not id-based: captions come from the translation ids here.
    ui_->prompt->setText(qtTrId(captions::IDS_UI_BATCH_PROMPT));
    const QString password = qtTrId(captions::IDS_UI_PASSWORD);
    ui_->password->setAccessibleName(password);
    ui_->password->setPlaceholderText(password);
    ui_->documents->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_DOCUMENTS));
    ui_->progress->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_PROGRESS));
    ui_->progress->setFormat(QStringLiteral("%v / %m"));
    setProgress(0, 0);
    ui_->details->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_CURRENT));
    ui_->status->setAccessibleName(qtTrId(captions::IDS_UI_BATCH_STATUS));
    setCaption(*ui_->addFilesButton, captions::IDS_UI_BATCH_ADD_FILES);
    setCaption(*ui_->addFolderButton, captions::IDS_UI_BATCH_ADD_FOLDER);
    setCaption(*ui_->showPassword, captions::IDS_UI_BATCH_SHOW_PASSWORD);
    setCaption(*ui_->openFolderButton, captions::IDS_UI_BATCH_OPEN_FOLDER);
    setCaption(*ui_->saveReportButton, captions::IDS_UI_BATCH_SAVE_REPORT);
    setCaption(*ui_->saveInButton, captions::IDS_UI_BATCH_SAVE_IN);
    showCopiesFolder({});
    setCaption(*ui_->startButton, captions::IDS_UI_BATCH_START);
    setCaption(*ui_->retryButton, captions::IDS_UI_BATCH_RETRY);
    setCaption(*ui_->cancelButton, captions::IDS_UI_BATCH_CANCEL);
    setCaption(*ui_->closeButton, captions::IDS_UI_CLOSE);
    widget_->setWindowTitle(qtTrId(captions::IDS_UI_BATCH_TITLE, 0));

    // The rows as added, or sorted by a column (a third click on its header
    // gives the order they were added in again).
    model_ = new BatchRowsModel(widget_.get());
    order_ = new QSortFilterProxyModel(widget_.get());
    order_->setSourceModel(model_);
    order_->setSortRole(BatchRowsModel::SortRole);
    order_->setSortLocaleAware(true);
    ui_->documents->setModel(order_);
    QHeaderView& header = *ui_->documents->header();
    header.setSortIndicatorClearable(true);
    header.setSortIndicator(-1, Qt::AscendingOrder);
    ui_->documents->setSortingEnabled(true);
    // Fixed widths: sizing a column to its contents would measure every row
    // at each change.
    header.setStretchLastSection(false);
    header.setSectionResizeMode(QHeaderView::Interactive);
    header.setSectionResizeMode(BatchRowsModel::ReasonColumn, QHeaderView::Stretch);
    header.resizeSection(BatchRowsModel::DocumentColumn, 240);
    const int icon = widget_->style()->pixelMetric(QStyle::PM_SmallIconSize);
    header.resizeSection(BatchRowsModel::StateColumn,
                         model_->stateWidth(ui_->documents->fontMetrics()) + icon + 24);
    header.resizeSection(BatchRowsModel::CopyColumn, 170);
    ui_->password->setFocus();
    connectActions();
    showDetails();
}

QtBatchWindow::~QtBatchWindow() = default;

void QtBatchWindow::connectActions() {
    const auto call = [](const std::function<void()>& action) {
        if (action) {
            action();
        }
    };
    QDialog* owner = widget_.get();
    QObject::connect(ui_->startButton, &QPushButton::clicked, owner,
                     [this, call] { call(actions_.start); });
    QObject::connect(ui_->retryButton, &QPushButton::clicked, owner,
                     [this, call] { call(actions_.retry); });
    QObject::connect(ui_->cancelButton, &QPushButton::clicked, owner,
                     [this, call] { call(actions_.cancel); });
    QObject::connect(ui_->closeButton, &QPushButton::clicked, owner, [this] { widget_->close(); });
    QObject::connect(ui_->saveReportButton, &QPushButton::clicked, owner,
                     [this, call] { call(actions_.saveReport); });
    QObject::connect(ui_->addFilesButton, &QPushButton::clicked, owner,
                     [this] { addChosen(false); });
    QObject::connect(ui_->addFolderButton, &QPushButton::clicked, owner,
                     [this] { addChosen(true); });
    QObject::connect(ui_->saveInButton, &QPushButton::clicked, owner, [this] {
        const QString dir = QFileDialog::getExistingDirectory(
            widget_.get(), dialogTitle(captions::IDS_UI_BATCH_SAVE_IN));
        if (!dir.isEmpty() && actions_.saveCopiesIn) {
            actions_.saveCopiesIn(QFile::encodeName(dir).toStdString());
        }
    });
    QObject::connect(ui_->showPassword, &QCheckBox::toggled, owner, [this](bool shown) {
        ui_->password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    const auto openFolder = [this](std::optional<std::size_t> row) {
        if (actions_.openFolder) {
            actions_.openFolder(row);
        }
    };
    QObject::connect(ui_->openFolderButton, &QPushButton::clicked, owner,
                     [this, openFolder] { openFolder(currentRow()); });
    // The menu key and Shift+F10 open it too, on the current row.
    QObject::connect(ui_->documents, &QWidget::customContextMenuRequested, owner,
                     [this, openFolder](const QPoint& at) {
                         const auto row = currentRow();
                         if (!row) {
                             return;
                         }
                         QMenu menu(ui_->documents);
                         QAction* open = menu.addAction(qtTrId(captions::IDS_UI_BATCH_OPEN_FOLDER));
                         // Opened by the keyboard, Return takes it at once.
                         menu.setActiveAction(open);
                         if (menu.exec(ui_->documents->viewport()->mapToGlobal(at)) == open) {
                             openFolder(row);
                         }
                     });
    QObject::connect(ui_->documents->selectionModel(), &QItemSelectionModel::currentChanged, owner,
                     [this] {
                         showDetails();
                         updateOpenFolder();
                     });
}

void QtBatchWindow::addChosen(bool folder) {
    if (!actions_.add) {
        return;
    }
    QStringList chosen;
    if (folder) {
        const QString dir = QFileDialog::getExistingDirectory(
            widget_.get(), dialogTitle(captions::IDS_UI_BATCH_ADD_FOLDER));
        if (!dir.isEmpty()) {
            chosen.append(dir);
        }
    } else {
        chosen = QFileDialog::getOpenFileNames(
            widget_.get(), dialogTitle(captions::IDS_UI_BATCH_ADD_FILES), QString(),
            qtTrId(captions::IDS_UI_BATCH_PDF_FILTER));
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        paths.push_back(QFile::encodeName(path).toStdString());
    }
    if (!paths.empty()) {
        actions_.add(paths);
    }
}

void QtBatchWindow::addRows(const std::vector<BatchRow>& rows) {
    model_->addRows(rows);
    widget_->setWindowTitle(qtTrId(captions::IDS_UI_BATCH_TITLE, model_->rowCount()));
}

void QtBatchWindow::updateRows(const std::vector<std::pair<std::size_t, BatchRow>>& rows) {
    model_->updateRows(rows);
    const auto current = currentRow();
    if (current && std::any_of(rows.begin(), rows.end(),
                               [&](const auto& row) { return row.first == *current; })) {
        showDetails();
    }
    // The latest outcome stays in view as the batch goes on, unless the user
    // is on a row of their own.
    if (!current && !rows.empty() && rows.back().second.state != BatchRowState::Waiting &&
        rows.back().second.state != BatchRowState::Cancelled) {
        ui_->documents->scrollTo(order_->mapFromSource(model_->index(int(rows.back().first), 0)));
    }
}

void QtBatchWindow::setProgress(std::size_t done, std::size_t total) {
    // A maximum of 0 would show a busy bar: an empty list is idle.
    ui_->progress->setMaximum(std::max(1, static_cast<int>(total)));
    ui_->progress->setValue(static_cast<int>(done));
    ui_->progress->setTextVisible(total > 0);
}

void QtBatchWindow::setStatus(const std::string& text) {
    ui_->status->setText(QString::fromStdString(text));
}

void QtBatchWindow::setActions(const BatchActions& actions) {
    enabled_ = actions;
    ui_->startButton->setEnabled(actions.start);
    ui_->retryButton->setEnabled(actions.retry);
    ui_->cancelButton->setEnabled(actions.cancel);
    ui_->addFilesButton->setEnabled(actions.add);
    ui_->addFolderButton->setEnabled(actions.add);
    ui_->saveInButton->setEnabled(actions.add);
    widget_->takesDrops = actions.add;
    ui_->saveReportButton->setEnabled(actions.saveReport);
    // Typed before the documents are there, or for the next start or retry.
    ui_->password->setEnabled(actions.start || actions.retry || actions.add);
    updateOpenFolder();
    // Return in the field presses what can be done next.
    if (actions.start) {
        ui_->startButton->setDefault(true);
    } else if (actions.retry) {
        ui_->retryButton->setDefault(true);
    }
}

void QtBatchWindow::focusPassword() {
    ui_->password->setFocus();
    ui_->password->selectAll();
}

void QtBatchWindow::showFolder(const std::string& path) {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

std::optional<ReportFile> QtBatchWindow::chooseReportFile() {
    const QString csv = qtTrId(captions::IDS_UI_BATCH_REPORT_CSV);
    const QString json = qtTrId(captions::IDS_UI_BATCH_REPORT_JSON);
    QFileDialog dialog(widget_.get(), dialogTitle(captions::IDS_UI_BATCH_SAVE_REPORT),
                       QDir::home().filePath(QStringLiteral("pdfunlock-report.csv")),
                       csv + QStringLiteral(";;") + json);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == json ? QStringLiteral("jsonl") : QStringLiteral("csv"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().front();
    const bool lines = path.endsWith(QStringLiteral(".jsonl"), Qt::CaseInsensitive) ||
                       path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
    return ReportFile{QFile::encodeName(path).toStdString(),
                      lines ? ReportFormat::JsonLines : ReportFormat::Csv};
}

bool QtBatchWindow::saveText(const std::string& path, const std::string& text) {
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), qint64(text.size())) == qint64(text.size()) && file.commit();
}

UnsavedReport QtBatchWindow::askToSaveReport() {
    QMessageBox box(QMessageBox::Question, applicationName(),
                    qtTrId(captions::IDS_UI_BATCH_UNSAVED_REPORT),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, widget_.get());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedReport::Save;
    case QMessageBox::Discard:
        return UnsavedReport::Discard;
    default:
        return UnsavedReport::Keep;
    }
}

void QtBatchWindow::clearRows() {
    model_->clear();
    widget_->setWindowTitle(qtTrId(captions::IDS_UI_BATCH_TITLE, 0));
    showDetails();
}

void QtBatchWindow::showCopiesFolder(const std::string& folder) {
    ui_->copiesFolder->setText(
        folder.empty() ? qtTrId(captions::IDS_UI_BATCH_COPIES_BESIDE)
                       : qtTrId(captions::IDS_UI_BATCH_COPIES_IN)
                             .arg(QFile::decodeName(QByteArray::fromStdString(folder))));
}

std::optional<std::size_t> QtBatchWindow::currentRow() const {
    const QModelIndex current = order_->mapToSource(ui_->documents->currentIndex());
    if (!current.isValid()) {
        return std::nullopt;
    }
    return std::size_t(current.row());
}

void QtBatchWindow::showDetails() {
    const auto row = currentRow();
    ui_->details->setText(row ? model_->details(int(*row)) : QString());
}

void QtBatchWindow::updateOpenFolder() {
    ui_->openFolderButton->setEnabled(enabled_.openFolder || currentRow().has_value());
}

} // namespace pdfunlock
