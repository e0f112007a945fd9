// The window for several documents as `pdfunlock --batch` builds it, under
// the offscreen platform: on real encrypted PDFs, and over a fake job that
// lists thousands of documents without any PDF.
#include "BatchDesktopApp.h"
#include "Fakes.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/Translations.h"
#include "removal/IDSKey.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

using namespace pdfunlock;
namespace fx = pdfunlock::fixtures;

namespace {

// Documents without PDFs: a folder stands for the documents listed under its
// path, found a round at a time; any other path is one document. Each file
// takes `perFile` on one of `jobs` threads and ends as `outcomes` says for
// its path (a copy beside it by default, or below the output folder). The
// output folder "/nowhere" cannot be opened.
class FakeJobs final : public BatchJobs {
public:
    std::map<std::string, std::vector<Document>> folders;
    std::map<std::string, FileReason> outcomes;
    unsigned jobs = 2;
    std::chrono::milliseconds perFile{0};
    std::atomic<std::size_t> started{0};
    std::atomic<bool> anyStarted{false};

    static Document document(const std::string& folder, const std::string& shown) {
        return {folder + "/" + shown, shown, std::nullopt};
    }

    bool find(const std::vector<std::string>& paths, const std::string& to,
              const std::atomic<bool>& stop, const Found& found) override {
        {
            std::lock_guard lock(mutex_);
            output_ = to;
        }
        if (to == "/nowhere") {
            return false;
        }
        for (const std::string& path : paths) {
            const auto folder = folders.find(path);
            if (folder == folders.end()) {
                const auto slash = path.rfind('/');
                found({{path, slash == std::string::npos ? path : path.substr(slash + 1), {}}});
                continue;
            }
            const std::vector<Document>& all = folder->second;
            for (std::size_t at = 0; at < all.size() && !stop; at += 100) {
                const auto end = all.begin() + std::ptrdiff_t(std::min(at + 100, all.size()));
                found({all.begin() + std::ptrdiff_t(at), end});
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        return true;
    }

    void run(BatchFeed& feed, const std::string&, const Finished& finished) override {
        std::vector<std::thread> workers;
        for (unsigned i = 0; i < jobs; ++i) {
            workers.emplace_back([&] {
                for (auto taken = feed.take(1); !taken.files.empty(); taken = feed.take(1)) {
                    ++started;
                    anyStarted = true;
                    std::this_thread::sleep_for(perFile);
                    const std::string& file = taken.files.front();
                    const auto known = outcomes.find(file);
                    FileOutcome outcome;
                    outcome.reason = known == outcomes.end() ? FileReason::Copied : known->second;
                    if (outcomeRow(outcome.reason).tally == Tally::Copied) {
                        outcome.copyPath = output() + file.substr(0, file.size() - 4) + "_copy.pdf";
                    }
                    finished(taken.first, outcome);
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    }

    std::string output() {
        std::lock_guard lock(mutex_);
        return output_;
    }

private:
    std::mutex mutex_;
    std::string output_; // of the last walk
};

struct BatchGui {
    explicit BatchGui(unsigned jobs) : own(std::in_place, log, jobs), app(*own) {}
    explicit BatchGui(BatchJobs& jobs) : own(std::nullopt), fake(std::in_place, jobs), app(*fake) {}
    testing::FakeLog log;
    std::optional<BatchDesktopApp> own;
    std::optional<BatchDesktopApp> fake;
    BatchDesktopApp& app;

    template <typename T> T* child(const char* name) {
        return app.form().widget().findChild<T*>(name);
    }
    QAbstractItemModel& rows() { return *child<QTreeView>("documents")->model(); }
    QString cell(int row, int column) { return rows().index(row, column).data().toString(); }
    QProgressBar& progress() { return *child<QProgressBar>("progress"); }
    QLineEdit& password() { return *child<QLineEdit>("password"); }
    QPushButton& button(const char* name) { return *child<QPushButton>(name); }
    QString status() { return child<QLabel>("status")->text(); }

    // The row of the document shown as `name`: its state, reason and copy.
    QStringList row(const QString& name) {
        for (int i = 0; i < rows().rowCount(); ++i) {
            if (cell(i, 0) == name) {
                return {cell(i, 1), cell(i, 2), cell(i, 3)};
            }
        }
        return {};
    }
    int count(const char* state) {
        int n = 0;
        for (int i = 0; i < rows().rowCount(); ++i) {
            n += cell(i, 1) == qtTrId(state);
        }
        return n;
    }

    void launch(const std::vector<std::string>& paths) {
        app.launchWhenEventLoopStarts(paths);
        QTRY_VERIFY(app.form().widget().isVisible());
    }
    void stop(const QString& how) {
        if (how.isEmpty()) {
            QTest::keyClick(&app.form().widget(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(&button(qPrintable(how)), Qt::LeftButton);
        }
    }
    // Drops local paths on the window; true when it took them.
    bool drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data.setUrls(urls);
        QWidget& window = app.form().widget();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &drop);
        return drop.isAccepted();
    }
};

// Cancel, and the two ways of closing during a batch.
void waysToStop() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel button") << "cancelButton" << false;
    QTest::newRow("close button") << "closeButton" << true;
    QTest::newRow("Escape") << "" << true;
}

// The names in a folder, hidden ones included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString text(IDS_KEY key, const QString& arg = {}) {
    QString t = qtTrId(std::string(rawValue(key)).c_str());
    return arg.isEmpty() ? t : t.arg(arg);
}

QString phrase(FileReason reason) {
    return text(outcomeRow(reason).phrase);
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

    // In every language: a dialog to screen readers, and each button and the
    // check box with a mnemonic of its own.
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
        for (const char* name : {"startButton", "retryButton", "cancelButton", "closeButton",
                                 "addFilesButton", "addFolderButton", "saveInButton",
                                 "openFolderButton", "saveReportButton", "showPassword"}) {
            const auto* button = gui.child<QAbstractButton>(name);
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
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
        gui.launch({dir.path().toStdString()});
        QTRY_COMPARE(gui.rows().rowCount(), int(kinds.size()));
        QTRY_VERIFY(!gui.app.controller().isWalking());
        QCOMPARE(gui.app.form().widget().windowTitle(), QString("7 documents"));
        // Known without a password: the link, and the earlier run's copy.
        QCOMPARE(gui.row("g link.pdf").value(0), qtTrId("IDS_UI_BATCH_REFUSED"));
        QCOMPARE(gui.row("f done.pdf").value(0), qtTrId("IDS_UI_BATCH_ALREADY_COPIED"));
        QVERIFY(gui.button("startButton").isDefault());
        QVERIFY(!gui.button("retryButton").isEnabled());

        QTest::keyClicks(&gui.password(), "user");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(gui.button("retryButton").isEnabled(), 20000);
        QCOMPARE(gui.progress().value(), int(kinds.size()));
        for (const Kind& kind : kinds) {
            const QStringList row = gui.row(kind.name);
            QCOMPARE((QStringList{row.value(0), row.value(2)}),
                     (QStringList{qtTrId(kind.state), kind.copy}));
        }
        // The reason behind each row, for its code in the report.
        for (const FileResult& result : gui.app.controller().list().results()) {
            const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) {
                return result.source.ends_with(std::string("/") + k.name);
            });
            QVERIFY(kind != kinds.end());
            QCOMPARE(outcomeRow(result.outcome.reason).code, std::string_view(kind->reason));
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
        QCOMPARE(gui.row("b other password.pdf").value(2), QString("b other password_copy.pdf"));
        QVERIFY(!gui.button("retryButton").isEnabled());
        QVERIFY(QFile::exists(dir.filePath("b other password_copy.pdf")));
        QVERIFY(gui.log.lines.empty());
    }

    // A long batch, one file at a time, stopped from the window while the
    // event loop keeps running: the files under way finish, no other starts,
    // nothing partial is left; a closed window goes once they are done.
    void stopLongBatch_data() { waysToStop(); }
    void stopLongBatch() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        QTemporaryDir dir;
        for (const QString& name : entries(longBatch_.path())) {
            QVERIFY(QFile::copy(longBatch_.filePath(name), dir.filePath(name)));
        }
        const int total = int(entries(dir.path()).size());

        BatchGui gui(1);
        gui.launch({dir.path().toStdString()});
        QTRY_COMPARE(gui.rows().rowCount(), total);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(5);
        QTest::keyClicks(&gui.password(), "user");
        QTest::mouseClick(&gui.button("startButton"), Qt::LeftButton);
        QVERIFY(gui.app.controller().isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(gui.progress().value() >= 2, 20000);
        const int ticksWhileRunning = ticks;

        gui.stop(how);
        QTRY_VERIFY_WITH_TIMEOUT(!gui.app.controller().isRunning(), 20000);
        QCOMPARE(gui.app.form().widget().isVisible(), !closes);

        QVERIFY2(ticksWhileRunning > 0, "the event loop stood still during the batch");
        const int copied = gui.count("IDS_UI_BATCH_COPIED");
        QVERIFY2(copied < total, qPrintable(QString::number(copied)));
        QCOMPARE(gui.count("IDS_UI_BATCH_CANCELLED"), total - copied);
        const QStringList copies = entries(dir.path()).filter("_copy.pdf");
        QCOMPARE(int(copies.size()), copied);
        QCOMPARE(int(entries(dir.path()).size()), total + copied);
        if (!closes) {
            // What was never started can be started again.
            QVERIFY(gui.button("startButton").isEnabled());
        }
    }

    // Thousands of documents while the walk still finds them and the event
    // loop is kept busy: the batch starts with the first ones, the total
    // stays fixed once the walk is over, and a stop lets only the files under
    // way finish; Close says so at once.
    void thousandsStartAtOnceAndStopNow_data() { waysToStop(); }
    void thousandsStartAtOnceAndStopNow() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        constexpr int total = 3000;
        FakeJobs jobs;
        jobs.perFile = std::chrono::milliseconds(4);
        for (int i = 0; i < total; ++i) {
            jobs.folders["/scans"].push_back(FakeJobs::document(
                "/scans", QString("%1/scan %2.pdf").arg(i / 500).arg(i).toStdString()));
        }
        BatchGui gui(jobs);
        QTimer busy; // a window thread that is slow to take its events
        QObject::connect(&busy, &QTimer::timeout,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(15)); });
        busy.start(0);

        QElapsedTimer sinceEnter;
        gui.launch({"/scans"});
        QTest::keyClicks(&gui.password(), "pw");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        sinceEnter.start();
        QTRY_VERIFY(jobs.anyStarted);
        qInfo("first of %d files started %lld ms after Enter", total, sinceEnter.elapsed());

        QTRY_VERIFY_WITH_TIMEOUT(!gui.app.controller().isWalking(), 20000);
        QCOMPARE(gui.progress().maximum(), total);
        QTRY_VERIFY_WITH_TIMEOUT(jobs.started >= 100, 20000);
        const std::size_t before = jobs.started;
        gui.stop(how);
        const QString stopping =
            closes ? text(IDS_KEY::IDS_BATCH_CLOSING) : text(IDS_KEY::IDS_BATCH_STOPPING);
        QCOMPARE(gui.status(), stopping);
        QVERIFY(gui.app.form().widget().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!gui.app.controller().isRunning(), 20000);
        QCOMPARE(gui.app.form().widget().isVisible(), !closes);

        const std::size_t started = jobs.started;
        QVERIFY2(started - before <= jobs.jobs, qPrintable(QString::number(started - before)));
        QCOMPARE(gui.count("IDS_UI_BATCH_COPIED"), int(started));
        QCOMPARE(gui.count("IDS_UI_BATCH_CANCELLED"), total - int(started));
        QCOMPARE(gui.progress().value(), int(started));
        QCOMPARE(gui.progress().maximum(), total);
    }

    // A batch of every outcome: a reason on each row (readable by a screen
    // reader and on the details line), rows sortable by state, paths that
    // tell repeated names apart, the summary at the end, and Escape asking
    // before the report of the failures is lost.
    void mixedBatchSaysWhatHappened() {
        struct Kind {
            const char* shown;
            std::optional<FileReason> found; // known from the walk
            FileReason outcome;
            const char* state;
        };
        const std::vector<Kind> kinds = {
            {"2024/Statement 01.pdf", {}, FileReason::Copied, "IDS_UI_BATCH_COPIED"},
            {"2025/Statement 01.pdf", {}, FileReason::CopiedNameHeld, "IDS_UI_BATCH_COPIED"},
            {"other.pdf", {}, FileReason::WrongPassword, "IDS_UI_BATCH_WRONG_PASSWORD"},
            {"letter.pdf", {}, FileReason::NotProtected, "IDS_UI_BATCH_NOT_PROTECTED"},
            {"writer.pdf", {}, FileReason::RefusedOrigin, "IDS_UI_BATCH_REFUSED"},
            {"full disk.pdf", {}, FileReason::SaveFailed, "IDS_UI_BATCH_FAILED"},
            {"done.pdf", FileReason::CopiedBefore, FileReason::CopiedBefore,
             "IDS_UI_BATCH_ALREADY_COPIED"},
            {"link.pdf", FileReason::LinkNotFollowed, FileReason::LinkNotFollowed,
             "IDS_UI_BATCH_REFUSED"},
        };
        FakeJobs jobs;
        for (const Kind& kind : kinds) {
            BatchJobs::Document document = FakeJobs::document("/mix", kind.shown);
            if (kind.found) {
                document.outcome = BatchJobs::Outcome{};
                document.outcome->reason = *kind.found;
            }
            jobs.outcomes[document.path] = kind.outcome;
            jobs.folders["/mix"].push_back(document);
        }
        BatchGui gui(jobs);
        gui.launch({"/mix"});
        QTRY_VERIFY(!gui.app.controller().isWalking());
        QCOMPARE(gui.row("done.pdf").value(0), qtTrId("IDS_UI_BATCH_ALREADY_COPIED"));
        QTest::keyClicks(&gui.password(), "pw");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY(!gui.app.controller().isRunning());

        QAbstractItemModel& rows = gui.rows();
        for (const Kind& kind : kinds) {
            const QString reason = phrase(kind.outcome);
            QCOMPARE(gui.row(kind.shown).mid(0, 2), (QStringList{qtTrId(kind.state), reason}));
        }
        auto& view = *gui.child<QTreeView>("documents");
        view.setCurrentIndex(rows.index(2, 0));
        const QString stateAndReason = gui.cell(2, 1) + ": " + gui.cell(2, 2);
        QCOMPARE(rows.index(2, 0).data(Qt::AccessibleDescriptionRole).toString(), stateAndReason);
        QVERIFY(gui.child<QLabel>("details")->text().contains(stateAndReason));

        view.sortByColumn(1, Qt::AscendingOrder);
        QStringList states;
        for (int i = 0; i < rows.rowCount(); ++i) {
            states << gui.cell(i, 1);
        }
        QCOMPARE(states,
                 (QStringList{qtTrId("IDS_UI_BATCH_COPIED"), qtTrId("IDS_UI_BATCH_COPIED"),
                              qtTrId("IDS_UI_BATCH_ALREADY_COPIED"),
                              qtTrId("IDS_UI_BATCH_WRONG_PASSWORD"),
                              qtTrId("IDS_UI_BATCH_NOT_PROTECTED"), qtTrId("IDS_UI_BATCH_REFUSED"),
                              qtTrId("IDS_UI_BATCH_REFUSED"), qtTrId("IDS_UI_BATCH_FAILED")}));

        // As the command sums up: by reason in the order of the reasons.
        const auto line = [](FileReason reason, const char* name) {
            return "  " + phrase(reason) + ": 1 (" + name + ")";
        };
        const QStringList summary = {
            text(IDS_KEY::IDS_BATCH_SUMMARY).arg(2).arg(kinds.size()),
            text(IDS_KEY::IDS_BATCH_SUMMARY_ALREADY, "1"),
            text(IDS_KEY::IDS_BATCH_SUMMARY_REFUSED, "5"),
            line(FileReason::NotProtected, "letter.pdf"),
            line(FileReason::RefusedOrigin, "writer.pdf"),
            line(FileReason::WrongPassword, "other.pdf"),
            line(FileReason::SaveFailed, "full disk.pdf"),
            line(FileReason::LinkNotFollowed, "link.pdf"),
        };
        QCOMPARE(gui.status().split('\n'), summary);

        // Keep, then Discard: only the second lets the window go.
        for (const auto answer : {QMessageBox::Cancel, QMessageBox::Discard}) {
            QTimer::singleShot(0, [answer] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                box->button(answer)->click();
            });
            QTest::keyClick(&gui.app.form().widget(), Qt::Key_Escape);
            QCOMPARE(gui.app.form().widget().isVisible(), answer == QMessageBox::Cancel);
        }
    }

    // Started without documents: an empty list that takes files and folders
    // dropped on it, before a start and between runs.
    void emptyStartTakesDrops() {
        FakeJobs jobs;
        jobs.folders["/scans"] = {FakeJobs::document("/scans", "a.pdf"),
                                  FakeJobs::document("/scans", "b.pdf")};
        BatchGui gui(jobs);
        gui.launch({});
        QCOMPARE(gui.rows().rowCount(), 0);
        QVERIFY(!gui.button("startButton").isEnabled());
        QVERIFY(gui.button("addFilesButton").isEnabled() &&
                gui.button("addFolderButton").isEnabled());

        QVERIFY(gui.drop({"/scans"}));
        QTRY_COMPARE(gui.rows().rowCount(), 2);
        QVERIFY(gui.button("startButton").isEnabled());
        QTest::keyClicks(&gui.password(), "pw");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY(!gui.app.controller().isRunning());
        QCOMPARE(gui.count("IDS_UI_BATCH_COPIED"), 2);

        // Between runs: the new file is added, one already listed is not.
        QVERIFY(gui.drop({"/more/c.pdf", "/scans"}));
        QTRY_VERIFY(!gui.app.controller().isWalking());
        QCOMPARE(gui.rows().rowCount(), 3);
        QCOMPARE(gui.row("c.pdf").value(0), qtTrId("IDS_UI_BATCH_WAITING"));
        QVERIFY(gui.button("startButton").isEnabled());
    }

    // "Save Copies In…": the list is walked again for the folder and the
    // copies go below it; a folder that cannot be opened is said so once,
    // and the copies go beside the documents again.
    void copiesInAnotherFolder() {
        FakeJobs jobs;
        jobs.folders["/scans"] = {FakeJobs::document("/scans", "a.pdf")};
        BatchGui gui(jobs);
        gui.launch({"/scans"});
        QTRY_COMPARE(gui.rows().rowCount(), 1);
        gui.app.controller().saveCopiesIn("/out");
        QTRY_VERIFY(!gui.app.controller().isWalking());
        QCOMPARE(jobs.output(), std::string("/out"));
        QCOMPARE(gui.rows().rowCount(), 1);
        QTest::keyClicks(&gui.password(), "pw");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY(!gui.app.controller().isRunning());
        QCOMPARE(gui.app.controller().list().row(0).copyPath, std::string("/out/scans/a_copy.pdf"));

        int alerts = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++alerts;
                box->accept();
            }
        });
        closer.start(10);
        gui.app.controller().saveCopiesIn("/nowhere");
        QTRY_COMPARE(jobs.output(), std::string());
        QTRY_VERIFY(!gui.app.controller().isWalking());
        QCOMPARE(alerts, 1);
        QCOMPARE(gui.rows().rowCount(), 1);
        QCOMPARE(gui.row("a.pdf").value(0), qtTrId("IDS_UI_BATCH_WAITING"));
        QCOMPARE(gui.child<QLabel>("copiesFolder")->text(), qtTrId("IDS_UI_BATCH_COPIES_BESIDE"));
    }

    // The saved report: a line for each document with the command's fields,
    // names in their exact bytes, and no cell a spreadsheet would run.
    void reportFile_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("CSV") << int(ReportFormat::Csv);
        QTest::newRow("JSON lines") << int(ReportFormat::JsonLines);
    }
    void reportFile() {
        QFETCH(int, format);
        FakeJobs jobs;
        // Named relative to where the window was started.
        const std::string odd = "=SUM(A1) \"x\", \xff.pdf";
        jobs.outcomes[odd] = FileReason::WrongPassword;
        BatchGui gui(jobs);
        gui.launch({"/in/a.pdf", odd});
        QTRY_COMPARE(gui.rows().rowCount(), 2);
        QTest::keyClicks(&gui.password(), "pw");
        QTest::keyClick(&gui.password(), Qt::Key_Return);
        QTRY_VERIFY(!gui.app.controller().isRunning());

        QTemporaryDir dir;
        const QString path = dir.filePath("report");
        QVERIFY(gui.app.controller().saveReport({path.toStdString(), ReportFormat(format)}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        const QString complete = phrase(FileReason::Copied);
        const QString wrong = phrase(FileReason::WrongPassword);
        if (ReportFormat(format) == ReportFormat::Csv) {
            QCOMPARE(QString::fromUtf8(saved),
                     "source,source_base64,reason,detail,password_entry,result,copy,copy_base64,"
                     "message\r\n"
                     "/in/a.pdf,L2luL2EucGRm,copied,,,IDS_MSG_COMPLETE,/in/a_copy.pdf,"
                     "L2luL2FfY29weS5wZGY=," +
                         complete + "\r\n\"'=SUM(A1) \"\"x\"\", \uFFFD.pdf\"," +
                         QByteArray::fromStdString(odd).toBase64() +
                         ",wrong-password,,,IDS_MSG_INVALIDPWD,,," + wrong + "\r\n");
            return;
        }
        const QList<QByteArray> lines = saved.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
        QCOMPARE(QByteArray::fromBase64(second["source_base64"].toString().toLatin1()),
                 QByteArray::fromStdString(odd));
        QCOMPARE(second["reason"].toString(), QString("wrong-password"));
        QVERIFY(second["copy"].isNull());
        QCOMPARE(QJsonDocument::fromJson(lines[0]).object()["copy"].toString(),
                 QString("/in/a_copy.pdf"));
    }
};

QTEST_MAIN(BatchWindowTest)
#include "test_batch_window.moc"
