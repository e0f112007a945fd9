// What reaches standard error: Qt's own messages through the filter, and the
// program's log lines.
#include "StderrCapture.h"
#include "platform/SystemLog.h"
#include "platform/qt/FrameworkMessages.h"

#include <QCoreApplication>
#include <QtTest>

using namespace pdfunlock;

Q_DECLARE_METATYPE(QtMsgType)

class MessagesTest : public QObject {
    Q_OBJECT

private slots:
    // Qt's messages on standard error: warnings and worse, but not its chatter
    // nor its notes about what it copes with by itself.
    void frameworkMessages_data() {
        QTest::addColumn<QtMsgType>("type");
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("shown");

        QTest::newRow("debug") << QtDebugMsg << QByteArray("qt.qpa.xcb") << QByteArray("xkb")
                               << false;
        QTest::newRow("info") << QtInfoMsg << QByteArray("qt.qpa.plugin")
                              << QByteArray("Could not load the Qt platform plugin \"xcb\"")
                              << false;
        QTest::newRow("no display") << QtWarningMsg << QByteArray("qt.qpa.xcb")
                                    << QByteArray("could not connect to display") << true;
        QTest::newRow("warning") << QtWarningMsg << QByteArray("default")
                                 << QByteArray("QWidget::repaint: Recursive repaint") << true;
        QTest::newRow("critical") << QtCriticalMsg << QByteArray("default")
                                  << QByteArray("QFont: cannot load") << true;
        QTest::newRow("next platform tried")
            << QtWarningMsg << QByteArray("qt.qpa.plugin")
            << QByteArray("Could not find the Qt platform plugin \"wayland\" in \"\"") << false;
        QTest::newRow("no runtime directory")
            << QtWarningMsg << QByteArray("default")
            << QByteArray("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-x'")
            << false;
    }
    void frameworkMessages() {
        QFETCH(QtMsgType, type);
        QFETCH(QByteArray, category);
        QFETCH(QByteArray, text);
        QFETCH(bool, shown);

        const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
        quietFrameworkMessages();
        testing::StderrCapture capture;
        {
            const QMessageLogger logger(nullptr, 0, nullptr, category.constData());
            switch (type) {
            case QtDebugMsg:
                logger.debug("%s", text.constData());
                break;
            case QtInfoMsg:
                logger.info("%s", text.constData());
                break;
            case QtWarningMsg:
                logger.warning("%s", text.constData());
                break;
            default:
                logger.critical("%s", text.constData());
                break;
            }
        }
        const auto written = QByteArray::fromStdString(capture.take());
        qInstallMessageHandler(testHandler);
        QCOMPARE(written.contains(text), shown);
        QCOMPARE(written.isEmpty(), !shown);
    }

    // Log lines reach standard error exactly as given, one line each.
    void systemLog_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("trailing blank kept") << QByteArray("3 page not exist! ");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("printf directives") << QByteArray("%s %n %x %%");
        QTest::newRow("UTF-8") << QByteArray("Übersicht ページ");
    }
    void systemLog() {
        QFETCH(QByteArray, line);
        SystemLog log;
        testing::StderrCapture capture;
        log.log(line.toStdString());
        const auto written = QByteArray::fromStdString(capture.take());
        QCOMPARE(written, line + "\n");
    }
};

QTEST_GUILESS_MAIN(MessagesTest)
#include "test_messages.moc"
