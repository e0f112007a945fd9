// The window for several documents as `pdfunlock --batch` builds it, on real
// encrypted PDFs, under the offscreen platform.
#include "BatchDesktopApp.h"
#include "Fakes.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/Translations.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace pdfunlock;
namespace fx = pdfunlock::fixtures;

namespace {

struct BatchGui {
    explicit BatchGui(unsigned jobs) : app(log, jobs) {}
    testing::FakeLog log;
    BatchDesktopApp app;

    template <typename T> T* child(const char* name) {
        return app.form().widget().findChild<T*>(name);
    }
    QTreeWidget& list() { return *child<QTreeWidget>("documents"); }
    QProgressBar& progress() { return *child<QProgressBar>("progress"); }
    QLineEdit& password() { return *child<QLineEdit>("password"); }
    QPushButton& button(const char* name) { return *child<QPushButton>(name); }

    // The row of the document named `name`: its state and copy as shown.
    QStringList row(const QString& name) {
        for (int i = 0; i < list().topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list().topLevelItem(i);
            if (item->text(0) == name) {
                return {item->text(1), item->text(2)};
            }
        }
        return {};
    }

    void launch(const std::string& path) {
        app.launchWhenEventLoopStarts({path});
        QTRY_VERIFY(app.form().widget().isVisible());
    }
};

// The names in a folder, hidden ones included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir longBatch_; // sources of the batch that gets cancelled

private slots:
    void initTestCase() {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        fx::Fixture large;
        large.pages = 2;
        large.imageBytesPerPage = 400000;
        for (int i = 0; i < 30; ++i) {
            fx::makeFixture(large,
                            longBatch_.filePath(QString("scan %1.pdf").arg(i, 2, 10, QChar('0')))
                                .toStdString());
        }
    }

    // In every language: a dialog to screen readers, and each button with a
    // mnemonic of its own.
    void captionsInEachLanguage_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en") << QLocale(QLocale::English);
        QTest::newRow("de") << QLocale(QLocale::German);
        QTest::newRow("ja") << QLocale(QLocale::Japanese);
    }
    void captionsInEachLanguage() {
        QFETCH(QLocale, locale);
        QVERIFY(installTranslations(*qApp, locale));
        BatchGui gui(1);
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        QCOMPARE(QAccessible::queryAccessibleInterface(&gui.app.form().widget())->role(),
                 QAccessible::Dialog);
        QSet<QKeySequence> mnemonics;
        for (const char* name : {"startButton", "retryButton", "cancelButton", "closeButton"}) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(gui.button(name).text());
            QVERIFY2(!mnemonic.isEmpty() && !mnemonics.contains(mnemonic), name);
            mnemonics.insert(mnemonic);
        }
    }

    // One document of each kind in a folder: each row says how it went and
    // names its copy; the one locked with another password is retried with it.
    void mixedFolderThenRetry() {
        struct Kind {
            const char* name;
            std::function<void(const std::string&)> make;
            const char* state;      // caption after the first password
            const char* copy;       // and the copy's name
            const char* afterRetry; // caption after the retry
            const char* reason;     // the code the controller answers after the first
        };
        const auto fixture = [](auto change) {
            return [change](const std::string& path) {
                fx::Fixture f;
                change(f);
                fx::makeFixture(f, path);
            };
        };
        const std::vector<Kind> kinds = {
            {"a scan.pdf", fixture([](fx::Fixture&) {}), "IDS_UI_BATCH_COPIED", "a scan_copy.pdf",
             "IDS_UI_BATCH_COPIED", "copied"},
            {"b other password.pdf", fixture([](fx::Fixture& f) { f.userPassword = "second"; }),
             "IDS_UI_BATCH_WRONG_PASSWORD", "", "IDS_UI_BATCH_COPIED", "wrong-password"},
            {"c open.pdf", fixture([](fx::Fixture& f) { f.security = fx::Security::None; }),
             "IDS_UI_BATCH_NOT_PROTECTED", "", "IDS_UI_BATCH_NOT_PROTECTED", "not-protected"},
            {"d writer.pdf", fixture([](fx::Fixture& f) { f.creator = fx::Text{"Office Writer"}; }),
             "IDS_UI_BATCH_REFUSED", "", "IDS_UI_BATCH_REFUSED", "refused-origin"},
            {"e notes.pdf",
             [](const std::string& path) {
                 QFile notes(QString::fromStdString(path));
                 notes.open(QIODevice::WriteOnly);
                 notes.write("Notes, not a PDF.\n");
             },
             "IDS_UI_BATCH_REFUSED", "", "IDS_UI_BATCH_REFUSED", "damaged"},
            {"f done.pdf", fixture([](fx::Fixture&) {}), "IDS_UI_BATCH_ALREADY_COPIED",
             "f done_copy.pdf", "IDS_UI_BATCH_ALREADY_COPIED", "copied-before"},
            // Shown from the start as not followed, and never started.
            {"g link.pdf",
             [](const std::string& path) {
                 QFile::link("a scan.pdf", QString::fromStdString(path));
             },
             "IDS_UI_BATCH_REFUSED", "", "IDS_UI_BATCH_REFUSED", "link-not-followed"},
        };
        QTemporaryDir dir;
        for (const Kind& kind : kinds) {
            kind.make(dir.filePath(kind.name).toStdString());
        }
        // An earlier run's copy (unlocked as the job writes it, naming the same
        // document): not in the list, its source counts as done.
        QpdfDocumentService pdf;
        const auto done = pdf.initWithURL(dir.filePath("f done.pdf").toStdString());
        QVERIFY(done && done->unlockWithPassword("user"));
        QVERIFY(done->writeToFile(dir.filePath("f done_copy.pdf").toStdString()));

        BatchGui gui(2);
        gui.launch(dir.path().toStdString());
        QCOMPARE(gui.list().topLevelItemCount(), int(kinds.size()));
        QCOMPARE(gui.app.form().widget().windowTitle(), QString("7 documents"));
        QCOMPARE(gui.row("g link.pdf").value(0), qtTrId("IDS_UI_BATCH_REFUSED"));
        QVERIFY(gui.button("startButton").isDefault());
        QVERIFY(!gui.button("retryButton").isEnabled());

        QTest::keyClicks(&gui.password(), "user");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(gui.button("retryButton").isEnabled(), 20000);
        QCOMPARE(gui.progress().value(), int(kinds.size()) - 1);
        for (const Kind& kind : kinds) {
            QCOMPARE(gui.row(kind.name), (QStringList{qtTrId(kind.state), kind.copy}));
        }
        // The reason behind each row, for its code and phrase.
        const auto& documents = gui.app.controller().documents();
        for (std::size_t row = 0; row < documents.size(); ++row) {
            const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) {
                return documents[row].ends_with(std::string("/") + k.name);
            });
            QVERIFY(kind != kinds.end());
            const auto reason = gui.app.controller().reason(row);
            QCOMPARE(reason ? outcomeRow(*reason).code : std::string_view(),
                     std::string_view(kind->reason));
        }
        QVERIFY(!gui.button("startButton").isEnabled());
        QVERIFY(gui.button("retryButton").isDefault());
        QCOMPARE(gui.password().selectedText(), QString("user"));

        // The next password replaces the selected one; Return retries.
        QTest::keyClicks(&gui.password(), "second");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!gui.app.controller().isRunning(), 20000);
        for (const Kind& kind : kinds) {
            QCOMPARE(gui.row(kind.name).value(0), qtTrId(kind.afterRetry));
        }
        QCOMPARE(gui.row("b other password.pdf").value(1), QString("b other password_copy.pdf"));
        QVERIFY(!gui.button("retryButton").isEnabled());
        QVERIFY(QFile::exists(dir.filePath("b other password_copy.pdf")));
        QVERIFY(gui.log.lines.empty());
    }

    // A long batch, one file at a time, stopped from the window while the
    // event loop keeps running: the files under way finish, no other starts,
    // nothing partial is left; a closed window goes once they are done.
    void stopLongBatch_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel button") << "cancelButton" << false;
        QTest::newRow("close button") << "closeButton" << true;
        QTest::newRow("Escape") << "" << true;
    }
    void stopLongBatch() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        QTemporaryDir dir;
        for (const QString& name : entries(longBatch_.path())) {
            QVERIFY(QFile::copy(longBatch_.filePath(name), dir.filePath(name)));
        }
        const int total = int(entries(dir.path()).size());

        BatchGui gui(1);
        gui.launch(dir.path().toStdString());
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(5);
        QTest::keyClicks(&gui.password(), "user");
        QTest::mouseClick(&gui.button("startButton"), Qt::LeftButton);
        QVERIFY(gui.app.controller().isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(gui.progress().value() >= 2, 20000);
        const int ticksWhileRunning = ticks;

        if (how.isEmpty()) {
            QTest::keyClick(&gui.app.form().widget(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(&gui.button(qPrintable(how)), Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!gui.app.controller().isRunning(), 20000);
        QCOMPARE(gui.app.form().widget().isVisible(), !closes);

        QVERIFY2(ticksWhileRunning > 0, "the event loop stood still during the batch");
        const int copied = gui.progress().value();
        QVERIFY2(copied < total, qPrintable(QString::number(copied)));
        int cancelled = 0;
        for (int i = 0; i < gui.list().topLevelItemCount(); ++i) {
            cancelled += gui.list().topLevelItem(i)->text(1) == qtTrId("IDS_UI_BATCH_CANCELLED");
        }
        QCOMPARE(cancelled, total - copied);
        const QStringList copies = entries(dir.path()).filter("_copy.pdf");
        QCOMPARE(int(copies.size()), copied);
        QCOMPARE(int(entries(dir.path()).size()), total + copied);
        if (!closes) {
            // What was never started can be started again.
            QVERIFY(gui.button("startButton").isEnabled());
        }
    }
};

QTEST_MAIN(BatchWindowTest)
#include "test_batch_window.moc"
