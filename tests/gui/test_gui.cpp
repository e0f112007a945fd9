// The real window form and message boxes, driven through the delegate of the
// application main() builds, under the offscreen platform.
#include "DesktopApp.h"
#include "Fakes.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qt/CaptionKeys.h"
#include "platform/qt/Translations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace pdfunlock;
namespace fx = pdfunlock::fixtures;

namespace {

// What a message box showed when it came up.
struct ShownBox {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    int buttons = 0;
    bool okIsDefaultAndEscape = false;
    Qt::TextFormat format = Qt::AutoText;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
};

// Answers every message box the way a user pressing Return would, noting what it showed.
class BoxDismisser : public QObject {
public:
    BoxDismisser() {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(10);
    }
    std::vector<ShownBox> shown;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            return;
        }
        ShownBox seen;
        seen.text = box->text();
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.buttons = static_cast<int>(box->buttons().size());
        seen.okIsDefaultAndEscape = box->defaultButton() &&
                                    box->defaultButton() == box->button(QMessageBox::Ok) &&
                                    box->escapeButton() == box->defaultButton();
        seen.format = box->textFormat();
        seen.modality = box->windowModality();
        seen.parent = box->parentWidget();
        shown.push_back(seen);
        if (box->defaultButton()) {
            box->defaultButton()->click();
        } else {
            box->reject();
        }
    }

    QTimer timer_;
};

class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
        }
        return false;
    }
};

// The application main() builds, with its log recorded.
struct Gui {
    testing::FakeLog log;
    DesktopApp app{log};
    QtMainWindow& form = app.form();
    AppDelegate& delegate = app.delegate();

    template <typename T> T* child(const char* name) { return form.widget().findChild<T*>(name); }

    QString text(IDS_KEY key) const {
        return QString::fromStdString(localizedText(app.strings(), key));
    }

    // The opened-documents event, then the launch checks.
    void launch(const std::string& path) {
        delegate.openFiles({path});
        delegate.applicationDidFinishLaunching();
    }
};

// A locked scan (password "user") in `dir`.
std::string lockedScan(const QTemporaryDir& dir) {
    const auto locked = dir.filePath("scan.pdf").toStdString();
    fx::makeFixture(fx::Fixture{}, locked);
    return locked;
}

// Runs `steps` from inside QApplication::exec(), as main() runs the launch.
// Returns exec()'s status, or -1 if the application did not end in time.
int runApplication(const std::function<void()>& steps) {
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(99);
    });
    watchdog.start(10000);
    QTimer::singleShot(0, qApp, steps);
    const int status = QApplication::exec();
    return timedOut ? -1 : status;
}

} // namespace

Q_DECLARE_METATYPE(pdfunlock::AlertStyle)

class GuiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        QFile notes(dir_.filePath("notes.pdf"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("These are notes, not a PDF.\n");
    }

    // The form on its own: usable without a mouse and by a screen reader.
    void formIsKeyboardUsable() {
        Gui gui;
        auto* info = gui.child<QLabel>("pwdInfo");
        auto* pwd = gui.child<QLineEdit>("pwd");
        auto* remove = gui.child<QPushButton>("removeButton");
        auto* close = gui.child<QPushButton>("closeButton");
        QVERIFY(info && pwd && remove && close);
        QVERIFY(!gui.form.widget().isVisible());

        QCOMPARE(pwd->echoMode(), QLineEdit::Password);
        QVERIFY(info->wordWrap());
        QCOMPARE(info->buddy(), pwd);
        QVERIFY(remove->isDefault());
        for (QWidget* control : std::initializer_list<QWidget*>{pwd, remove, close}) {
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }

        // Tab goes field, remove, close and around.
        QWidget* next = pwd;
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            do {
                next = next->nextInFocusChain();
            } while (next->focusPolicy() == Qt::NoFocus || !next->isEnabled());
            order << next->objectName();
        }
        QCOMPARE(order, (QStringList{"removeButton", "closeButton", "pwd"}));
    }

    // A locked document: the window comes up asking for the password, named
    // after the document, and closing it ends the application.
    void lockedDocumentThenClose_data() {
        QTest::addColumn<QKeySequence>("key"); // none: the close button is clicked
        QTest::newRow("close button") << QKeySequence();
        QTest::newRow("Escape key") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("mnemonic") << QKeySequence::mnemonic(qtTrId(captions::IDS_UI_CLOSE));
    }
    void lockedDocumentThenClose() {
        QFETCH(QKeySequence, key);
        const auto locked = path("close.pdf");
        fx::makeFixture(fx::Fixture{}, locked);
        Gui gui;
        BoxDismisser boxes;
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        bool visible = false;
        bool active = false;
        QString title;
        QString prompt;
        QLineEdit::EchoMode echo = QLineEdit::Normal;

        const int status = runApplication([&] {
            gui.launch(locked);
            visible = gui.form.widget().isVisible();
            title = gui.form.widget().windowHandle()->title();
            prompt = gui.child<QLabel>("pwdInfo")->text();
            echo = gui.child<QLineEdit>("pwd")->echoMode();
            if (key.isEmpty()) {
                QTest::mouseClick(gui.child<QPushButton>("closeButton"), Qt::LeftButton);
            } else {
                // Keys reach the window's focus widget only while it is active.
                active = QTest::qWaitForWindowActive(&gui.form.widget());
                QTest::keySequence(&gui.form.widget(), key);
            }
        });

        QCOMPARE(status, 0);
        QVERIFY(visible);
        QVERIFY(active || key.isEmpty());
        QCOMPARE(gui.form.widget().windowFilePath(), QString::fromStdString(locked));
        QCOMPARE(title, QString("close.pdf"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&gui.form.widget())->role(),
                 QAccessible::Dialog);
        QVERIFY(!gui.form.widget().windowIcon().pixmap(32).isNull());
        QCOMPARE(prompt, gui.text(IDS_KEY::IDS_PWD));
        QVERIFY(prompt != "IDS_PWD");
        QCOMPARE(echo, QLineEdit::Password);
        QVERIFY(boxes.shown.empty());
        QVERIFY(!gui.form.widget().isVisible());
        QCOMPARE(lastWindowClosed.count(), 1);
    }

    // A refused launch: one critical message, no window, and the application ends.
    void refusedLaunch_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "gone.pdf";
        QTest::newRow("not a PDF") << "notes.pdf";
    }
    void refusedLaunch() {
        QFETCH(QString, name);
        Gui gui;
        BoxDismisser boxes;
        ShowCounter windowShows;
        gui.form.widget().installEventFilter(&windowShows);

        const int status = runApplication([&] { gui.launch(dir_.filePath(name).toStdString()); });

        QCOMPARE(status, 0);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        const ShownBox& box = boxes.shown.front();
        QCOMPARE(box.text, gui.text(IDS_KEY::IDS_MSG_NO_TESSIVON));
        QVERIFY(box.text != "IDS_MSG_NO_TESSIVON");
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QString("pdfunlock"));
        QCOMPARE(box.buttons, 1);
        QVERIFY(box.okIsDefaultAndEscape);
        QCOMPARE(box.format, Qt::PlainText);
        QCOMPARE(box.modality, Qt::ApplicationModal);
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(windowShows.shows, 0);
    }

    // Each alert style gets its own icon; the text is shown as given.
    void alertStyles_data() {
        QTest::addColumn<AlertStyle>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("warning") << AlertStyle::Warning << QMessageBox::Warning;
        QTest::newRow("informational") << AlertStyle::Informational << QMessageBox::Information;
        QTest::newRow("critical") << AlertStyle::Critical << QMessageBox::Critical;
    }
    void alertStyles() {
        QFETCH(AlertStyle, style);
        QFETCH(QMessageBox::Icon, icon);
        BoxDismisser boxes;
        QtAlertPresenter alerts;
        const int status = runApplication([&] {
            alerts.runModal(style, "<b>1 < 2</b> & ページ");
            QCoreApplication::exit(0);
        });
        QCOMPARE(status, 0);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown.front().icon, icon);
        QCOMPARE(boxes.shown.front().text, QString("<b>1 < 2</b> & ページ"));
        QCOMPARE(boxes.shown.front().format, Qt::PlainText);
    }

    // terminate() ends the application wherever it is called from.
    void terminate_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("before the event loop runs") << "before";
        QTest::newRow("inside the event loop") << "loop";
        QTest::newRow("inside a nested modal loop") << "nested";
    }
    void terminate() {
        QFETCH(QString, from);
        QtApplication application;
        bool nestedEnded = false;
        if (from == "before") {
            application.terminate();
        }
        const int status = runApplication([&] {
            if (from == "loop") {
                application.terminate();
            } else if (from == "nested") {
                QEventLoop nested;
                QTimer::singleShot(0, &nested, [&] { application.terminate(); });
                nested.exec();
                nestedEnded = true;
            }
        });
        QCOMPARE(status, 0);
        QCOMPARE(nestedEnded, from == "nested");
    }

    // Return in the password field presses the remove button. The wrong
    // password's alert belongs to the window, which stays; the other comes
    // once the window is hidden.
    void returnInPasswordField_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("windowStays");

        QTest::newRow("wrong password")
            << "wrong" << int(IDS_KEY::IDS_MSG_INVALIDPWD) << int(QMessageBox::Critical) << true;
        QTest::newRow("user password")
            << "user" << int(IDS_KEY::IDS_MSG_COMPLETE) << int(QMessageBox::Information) << false;
    }
    void returnInPasswordField() {
        QFETCH(QString, password);
        QFETCH(int, message);
        QFETCH(int, icon);
        QFETCH(bool, windowStays);

        QTemporaryDir dir;
        const auto locked = lockedScan(dir);
        Gui gui;
        BoxDismisser boxes;
        bool visibleAfter = false;

        const int status = runApplication([&] {
            gui.launch(locked);
            auto* pwd = gui.child<QLineEdit>("pwd");
            QTest::keyClicks(pwd, password);
            QTest::keyClick(pwd, Qt::Key_Return);
            visibleAfter = gui.form.widget().isVisible();
            if (visibleAfter) {
                QTest::mouseClick(gui.child<QPushButton>("closeButton"), Qt::LeftButton);
            }
        });

        QCOMPARE(status, 0);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown.front().text, gui.text(static_cast<IDS_KEY>(message)));
        QCOMPARE(int(boxes.shown.front().icon), icon);
        QCOMPARE(boxes.shown.front().parent, windowStays ? &gui.form.widget() : nullptr);
        QCOMPARE(visibleAfter, windowStays);
        QCOMPARE(QFile::exists(dir.filePath("scan_copy.pdf")), !windowStays);
    }

    // A user's session: a wrong password with the remove button, then the
    // right one typed over it (the wrong one is selected, the window's focus
    // is back in the field) with Enter; the copy is written and the
    // application ends.
    void wrongThenRightPassword() {
        QTemporaryDir dir;
        const auto locked = lockedScan(dir);
        Gui gui;
        BoxDismisser boxes;
        bool active = false;
        QString afterWrongPassword;

        const int status = runApplication([&] {
            gui.launch(locked);
            active = QTest::qWaitForWindowActive(&gui.form.widget());
            auto* pwd = gui.child<QLineEdit>("pwd");
            QTest::keyClicks(pwd, "wrong");
            QTest::mouseClick(gui.child<QPushButton>("removeButton"), Qt::LeftButton);
            if (gui.form.widget().isVisible() && gui.form.widget().focusWidget() == pwd) {
                afterWrongPassword = pwd->selectedText();
            }
            // The window manager gives the window back the focus the alert had.
            gui.form.widget().activateWindow();
            active = active && QTest::qWaitForWindowActive(&gui.form.widget());
            // To whatever has the focus.
            if (QWidget* focused = QApplication::focusWidget()) {
                QTest::keyClicks(focused, "user");
                QTest::keyClick(focused, Qt::Key_Return);
            }
        });

        QCOMPARE(afterWrongPassword, QString("wrong"));
        QCOMPARE(status, 0);
        QVERIFY(active);
        QCOMPARE(boxes.shown.size(), std::size_t{2});
        QCOMPARE(boxes.shown[0].text, gui.text(IDS_KEY::IDS_MSG_INVALIDPWD));
        QCOMPARE(int(boxes.shown[0].icon), int(QMessageBox::Critical));
        QCOMPARE(boxes.shown[1].text, gui.text(IDS_KEY::IDS_MSG_COMPLETE));
        QCOMPARE(int(boxes.shown[1].icon), int(QMessageBox::Information));
        QVERIFY(!gui.form.widget().isVisible());
        QVERIFY(QFile::exists(dir.filePath("scan_copy.pdf")));
    }
};

QTEST_MAIN(GuiTest)
#include "test_gui.moc"
