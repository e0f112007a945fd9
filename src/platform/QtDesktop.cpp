#include "platform/QtDesktop.h"

#include "ui_MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileOpenEvent>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QThread>
#include <QTranslator>
#include <climits>
#include <cstdlib>

namespace pdfunlock {

namespace {

const QString appName = QStringLiteral("pdfunlock");

std::unique_ptr<Ui::MainWindow> setUpForm(QDialog& dialog) {
    auto ui = std::make_unique<Ui::MainWindow>();
    ui->setupUi(&dialog);
    // The application's one window: in the task bar and window switcher like
    // any main window, not a dialog kept above (and listed under) another.
    dialog.setWindowFlags(Qt::Window);
    return ui;
}

// A caption as a screen reader says it: without its mnemonic, "(&R)" included.
QString withoutMnemonic(QString caption) {
    static const QRegularExpression marker(QStringLiteral("\\(&[^&]\\)|&(?=[^&])"));
    return caption.remove(marker).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

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

QMessageBox::Icon iconFor(AlertStyle style) {
    switch (style) {
    case AlertStyle::Warning:
        return QMessageBox::Warning;
    case AlertStyle::Informational:
        return QMessageBox::Information;
    case AlertStyle::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Critical;
}

constexpr const char* translatorName = "pdfunlockTranslations";

// Qt's chatter (debug, info) and its notes about what it copes with by itself.
bool isFrameworkNote(QtMsgType type, const char* category, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) {
        return true;
    }
    if (type != QtWarningMsg) {
        return false;
    }
    // The platform plugins tried in turn (wayland before xcb...): the fatal
    // message says so if none works.
    if (qstrcmp(category, "qt.qpa.plugin") == 0) {
        return true;
    }
    // No runtime directory in the environment (sudo, a bare X server): Qt makes one.
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

QtMessageHandler frameworkHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!isFrameworkNote(type, context.category, message)) {
        frameworkHandler(type, context, message);
    }
    // Qt would abort(): a start without a display is a failure its message
    // explains, not a crash to leave a core dump for.
    if (type == QtFatalMsg) {
        std::_Exit(EXIT_FAILURE);
    }
}

} // namespace

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

QtMainWindow::QtMainWindow(std::function<void()> removeAction, std::function<void()> closeAction)
    : widget_(std::make_unique<QDialog>()), ui_(setUpForm(*widget_)), window_(*widget_),
      pwd_(*ui_->pwd), pwdInfo_(*ui_->pwdInfo), remove_(std::move(removeAction)),
      close_(std::move(closeAction)) {
    // uic's tr() is not id-based: captions come from the translation ids here.
    const QString remove = qtTrId("IDS_UI_REMOVE");
    const QString close = qtTrId("IDS_UI_CLOSE");
    const QString password = qtTrId("IDS_UI_PASSWORD");
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

void QtAlertPresenter::runModal(AlertStyle style, const std::string& messageText) {
    QMessageBox box(window_ && window_->isVisible() ? window_ : nullptr);
    box.setWindowTitle(appName);
    box.setIcon(iconFor(style));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(messageText));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::string QtStrings::localizedString(const std::string& key) const {
    return qtTrId(key.c_str()).toStdString();
}

void QtApplication::terminate() {
    // exit() ends every running loop, a message box's included, but is
    // forgotten if no loop runs yet: then wait for the loop to start.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool installTranslations(QCoreApplication& app, const QLocale& locale) {
    for (auto* previous :
         app.findChildren<QTranslator*>(translatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("pdfunlock"), QStringLiteral("_"),
                          QStringLiteral(":/i18n")) &&
        !translator->load(QStringLiteral(":/i18n/pdfunlock_en.qm"))) {
        return false;
    }
    // Qt's own texts (the field's context menu...) in the language found above:
    // English is built in.
    const QString language = translator->language();
    auto qt = std::make_unique<QTranslator>();
    if (language != QLatin1String("en") &&
        qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qt->setObjectName(translatorName);
        qt->setParent(&app);
        QCoreApplication::installTranslator(qt.release());
    }
    translator->setObjectName(translatorName);
    translator->setParent(&app);
    return QCoreApplication::installTranslator(translator.release());
}

void QtOpenDocumentsFilter::launchWhenEventLoopStarts(OpenFiles openFiles,
                                                      std::function<void()> didFinishLaunching) {
    // Queued on this object: a call still waiting when it is destroyed is dropped.
    QMetaObject::invokeMethod(
        this,
        [this, openFiles = std::move(openFiles),
         didFinishLaunching = std::move(didFinishLaunching)] {
            auto before = std::move(pending_);
            pending_.clear();
            if (!before.empty()) {
                openFiles(before);
            }
            deliver_ = openFiles;
            didFinishLaunching();
        },
        Qt::QueuedConnection);
}

bool QtOpenDocumentsFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FileOpen) {
        return QObject::eventFilter(watched, event);
    }
    // A remote URL has no local file: nothing the application could open.
    const QString file = static_cast<QFileOpenEvent*>(event)->file();
    if (file.isEmpty()) {
        return false;
    }
    std::string path = QFile::encodeName(file).toStdString();
    if (deliver_) {
        deliver_({std::move(path)});
    } else {
        pending_.push_back(std::move(path));
    }
    return true;
}

void quietFrameworkMessages() {
    const QtMessageHandler previous = qInstallMessageHandler(quietHandler);
    if (previous != quietHandler) {
        frameworkHandler = previous;
    }
}

void setApplicationIdentity(const QString& appId) {
    // Window titles read "scan.pdf — pdfunlock" where the platform adds the name.
    QGuiApplication::setApplicationDisplayName(appName);
    // Ties the windows to the installed desktop entry (name and icon on Wayland).
    QGuiApplication::setDesktopFileName(appId);
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(appId, QIcon(QStringLiteral(":/icons/pdfunlock.svg"))));
}

} // namespace pdfunlock
