// QtOpenDocumentsFilter with synthetic QFileOpenEvents, the way macOS hands
// documents to a running application, alone and wired to the delegate as main() does.
#include "Fakes.h"
#include "app/AppDelegate.h"
#include "platform/qt/OpenDocumentsFilter.h"

#include <QApplication>
#include <QFileOpenEvent>
#include <QtTest>

using namespace pdfunlock;
using namespace pdfunlock::testing;

namespace {

using Paths = std::vector<std::string>;

// Sends a file-open event for `file` to the application; true if it was consumed.
bool sendFileOpen(const QString& file) {
    QFileOpenEvent event(file);
    return QCoreApplication::sendEvent(qApp, &event);
}

bool sendFileOpen(const QUrl& url) {
    QFileOpenEvent event(url);
    return QCoreApplication::sendEvent(qApp, &event);
}

class EventCounter : public QObject {
public:
    int events = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++events;
            return true;
        }
        return QObject::event(event);
    }
};

// What the filter handed on, in order: "open:a|b" for a list, "launch".
struct Calls {
    std::vector<std::string> log;
    QtOpenDocumentsFilter::OpenFiles openFiles() {
        return [this](const Paths& paths) {
            std::string entry = "open:";
            for (size_t i = 0; i < paths.size(); ++i) {
                entry += (i ? "|" : "") + paths[i];
            }
            log.push_back(entry);
        };
    }
    std::function<void()> launch() {
        return [this] { log.push_back("launch"); };
    }
};

// A delegate with fake services; the PDF service opens nothing and notes the paths.
struct Delegate {
    FakeAlerts alerts;
    FakeStrings strings;
    FakeLog log;
    FakeFileSystem files;
    struct NoPdf : PDFDocumentService {
        Paths opened;
        std::shared_ptr<PDFDocument> initWithURL(const std::string& path) override {
            opened.push_back(path);
            return nullptr;
        }
        std::shared_ptr<PDFDocument> init() override { return nullptr; }
    } pdf;
    FakeApplication application;
    FakeWindow window;
    FakeTextField pwd;
    FakeTextField pwdInfo;
    AppDelegate delegate{AppServices{alerts, strings, log, files, pdf, application},
                         Outlets{window, pwd, pwdInfo}};
    bool launched = false;

    // As main() wires it.
    void launchWhenEventLoopStarts(QtOpenDocumentsFilter& filter) {
        filter.launchWhenEventLoopStarts([this](const Paths& paths) { delegate.openFiles(paths); },
                                         [this] {
                                             launched = true;
                                             delegate.applicationDidFinishLaunching();
                                         });
    }
};

} // namespace

class OpenDocumentsTest : public QObject {
    Q_OBJECT

private slots:
    void collectsLocalFilesInOrderAndConsumesTheirEvents() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);

        QVERIFY(sendFileOpen(QStringLiteral("/scans/a.pdf")));
        QVERIFY(sendFileOpen(QStringLiteral("/scans/with space.pdf")));
        // File names in the file system's encoding (UTF-8), as argv has them.
        QVERIFY(sendFileOpen(QString::fromUtf8("/scans/Bericht \xC3\x9C\xE3\x83\x86.pdf")));

        QCOMPARE(filter.pending(), (Paths{"/scans/a.pdf", "/scans/with space.pdf",
                                          "/scans/Bericht \xC3\x9C\xE3\x83\x86.pdf"}));
    }

    void ignoresRemoteUrlsAndPassesOtherEventsOn() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        EventCounter receiver;

        QVERIFY(!sendFileOpen(QUrl(QStringLiteral("https://example.org/scan.pdf"))));
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(&receiver, &user);

        QVERIFY(filter.pending().empty());
        QCOMPARE(receiver.events, 1);
    }

    void uninstalledFilterSeesNothing() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        qApp->removeEventFilter(&filter);

        sendFileOpen(QStringLiteral("/scans/a.pdf"));

        QVERIFY(filter.pending().empty());
    }

    void launchHandsOverEarlierPathsAsOneListThenEachLaterOne() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        Calls calls;

        sendFileOpen(QStringLiteral("/scans/a.pdf"));
        filter.launchWhenEventLoopStarts(calls.openFiles(), calls.launch());
        // Still before the launch runs: joins the first list.
        sendFileOpen(QStringLiteral("/scans/b.pdf"));
        QVERIFY(calls.log.empty());

        QTRY_COMPARE(calls.log,
                     (std::vector<std::string>{"open:/scans/a.pdf|/scans/b.pdf", "launch"}));
        QVERIFY(filter.pending().empty());

        sendFileOpen(QStringLiteral("/scans/c.pdf"));
        sendFileOpen(QStringLiteral("/scans/d.pdf"));
        QCOMPARE(calls.log, (std::vector<std::string>{"open:/scans/a.pdf|/scans/b.pdf", "launch",
                                                      "open:/scans/c.pdf", "open:/scans/d.pdf"}));
        QVERIFY(filter.pending().empty());
    }

    void launchWithoutEarlierPathsOpensNothing() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        Calls calls;

        filter.launchWhenEventLoopStarts(calls.openFiles(), calls.launch());

        QTRY_COMPARE(calls.log, std::vector<std::string>{"launch"});
    }

    void destroyedFilterDropsItsPendingLaunch() {
        Calls calls;
        {
            QtOpenDocumentsFilter filter;
            filter.launchWhenEventLoopStarts(calls.openFiles(), calls.launch());
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(calls.log.empty());
    }

    // Two documents sent as events before the launch reach the delegate as one
    // list, so the launch checks see both and refuse them together.
    void delegateSeesEarlyEventsAsOneList() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        Delegate app;

        sendFileOpen(QStringLiteral("/scans/a.pdf"));
        sendFileOpen(QStringLiteral("/scans/b.pdf"));
        app.launchWhenEventLoopStarts(filter);
        QTRY_VERIFY(app.launched);

        QCOMPARE(app.delegate.pdfPaths(), (Paths{"/scans/a.pdf", "/scans/b.pdf"}));
        QCOMPARE(app.alerts.shown.size(), std::size_t{1});
        QCOMPARE(app.alerts.shown.front().text, std::string("text:IDS_MSG_MULTIFILES"));
        QVERIFY(app.pdf.opened.empty());
    }

    // Arguments come first; documents sent as events, before or after the
    // launch, do not replace them.
    void argumentsWinOverEvents() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        Delegate app;

        app.delegate.openFiles({"/scans/argument.pdf"});
        sendFileOpen(QStringLiteral("/scans/event.pdf"));
        app.launchWhenEventLoopStarts(filter);
        QTRY_VERIFY(app.launched);
        sendFileOpen(QStringLiteral("/scans/later.pdf"));

        QCOMPARE(app.delegate.pdfPaths(), Paths{"/scans/argument.pdf"});
        QCOMPARE(app.pdf.opened, Paths{"/scans/argument.pdf"});
    }

    // A single early document is what the launch checks open; one sent later
    // is neither kept nor opened, since the checks run once.
    void launchChecksOpenTheSingleEarlyDocument() {
        QtOpenDocumentsFilter filter;
        qApp->installEventFilter(&filter);
        Delegate app;

        sendFileOpen(QStringLiteral("/scans/early.pdf"));
        app.launchWhenEventLoopStarts(filter);
        QTRY_VERIFY(app.launched);
        sendFileOpen(QStringLiteral("/scans/later.pdf"));

        QCOMPARE(app.delegate.pdfPaths(), Paths{"/scans/early.pdf"});
        QCOMPARE(app.pdf.opened, Paths{"/scans/early.pdf"});
        QCOMPARE(app.alerts.shown.size(), std::size_t{1});
        QCOMPARE(app.alerts.shown.front().text, std::string("text:IDS_MSG_NO_TESSIVON"));
    }
};

QTEST_MAIN(OpenDocumentsTest)
#include "test_open_documents.moc"
