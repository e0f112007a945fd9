#include "platform/QtDesktop.h"
#include "platform/SystemLog.h"
#include "removal/IDSKey.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTextLayout>
#include <QTranslator>
#include <QtTest>
#include <fcntl.h>
#include <map>
#include <unistd.h>

using namespace pdfunlock;

namespace {

// Ids of the window's own captions, beside the message keys.
const std::vector<std::string> uiIds = {"IDS_UI_REMOVE", "IDS_UI_CLOSE", "IDS_UI_PASSWORD"};

std::vector<std::string> allIds() {
    std::vector<std::string> ids;
    for (const auto key : allIDSKeys) {
        ids.emplace_back(rawValue(key));
    }
    ids.insert(ids.end(), uiIds.begin(), uiIds.end());
    return ids;
}

std::map<std::string, std::string> currentTexts() {
    std::map<std::string, std::string> texts;
    const QtStrings strings;
    for (const auto& id : allIds()) {
        texts[id] = strings.localizedString(id);
    }
    return texts;
}

// The widths of the lines that `label` breaks its text into.
QList<qreal> lineWidths(const QLabel& label) {
    QTextLayout layout(label.text(), label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QList<qreal> widths;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.contentsRect().width());
        widths << line.naturalTextWidth();
    }
    layout.endLayout();
    return widths;
}

// Languages of the translators installed by installTranslations.
QStringList installedLanguages() {
    QStringList languages;
    for (const auto* translator : qApp->findChildren<QTranslator*>()) {
        languages << translator->language();
    }
    return languages;
}

// Everything written to standard error while `write` runs.
QByteArray capturedStandardError(const std::function<void()>& write) {
    QTemporaryFile file;
    if (!file.open()) {
        return "cannot open a temporary file";
    }
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    write();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

} // namespace

Q_DECLARE_METATYPE(QtMsgType)

class MessagesTest : public QObject {
    Q_OBJECT

    std::map<std::string, std::string> english_;

private slots:
    void initTestCase() {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::English)));
        english_ = currentTexts();
    }

    // The user's locale picks the language; region and script variants find
    // it. Qt's own texts (the field's context menu) follow the same language.
    void translations_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("qtCopy");

        QTest::newRow("en") << QLocale("en_US") << "en"
                            << "&Copy";
        QTest::newRow("de") << QLocale("de_DE") << "de"
                            << "&Kopieren";
        QTest::newRow("de (Austria)") << QLocale("de_AT") << "de"
                                      << "&Kopieren";
        QTest::newRow("ja") << QLocale("ja_JP") << "ja"
                            << "コピー(&C)";
        QTest::newRow("no translation: English") << QLocale("fr_FR") << "en"
                                                 << "&Copy";
        QTest::newRow("C locale: English") << QLocale::c() << "en"
                                           << "&Copy";
    }
    void translations() {
        QFETCH(QLocale, locale);
        QFETCH(QString, language);
        QFETCH(QString, qtCopy);

        QVERIFY(installTranslations(*qApp, locale));
        // Replaces the previous language rather than stacking on it: ours,
        // and Qt's unless English.
        QVERIFY(installedLanguages().contains(language));
        QCOMPARE(installedLanguages().size(), language == "en" ? 1 : 2);
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), qtCopy);

        for (const auto& [id, text] : currentTexts()) {
            QVERIFY2(!text.empty() && text != id, id.c_str());
            if (language == "en") {
                QCOMPARE(text, english_.at(id));
            } else {
                QVERIFY2(text != english_.at(id), id.c_str());
            }
        }
    }

    // Captions come from the translations at construction, not from the form;
    // each button has its own mnemonic, which screen readers do not read out.
    // The prompt's lines are of even length: no word left alone on the last.
    void windowCaptions_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("removeName");
        QTest::addColumn<QString>("closeName");
        QTest::addColumn<QKeySequence>("removeKey");
        QTest::addColumn<QKeySequence>("closeKey");
        QTest::newRow("en") << QLocale(QLocale::English) << "Remove Password"
                            << "Close" << QKeySequence("Alt+R") << QKeySequence("Alt+C");
        QTest::newRow("de") << QLocale(QLocale::German) << "Passwort entfernen"
                            << "Schließen" << QKeySequence("Alt+E") << QKeySequence("Alt+S");
        QTest::newRow("ja") << QLocale(QLocale::Japanese) << "パスワードを解除"
                            << "閉じる" << QKeySequence("Alt+R") << QKeySequence("Alt+C");
    }
    void windowCaptions() {
        QFETCH(QLocale, locale);
        QFETCH(QString, removeName);
        QFETCH(QString, closeName);
        QFETCH(QKeySequence, removeKey);
        QFETCH(QKeySequence, closeKey);
        QVERIFY(installTranslations(*qApp, locale));
        const QtStrings strings;
        auto text = [&](const char* id) {
            return QString::fromStdString(strings.localizedString(id));
        };

        QtMainWindow form([] {}, [] {});
        const auto* remove = form.widget().findChild<QPushButton*>("removeButton");
        const auto* close = form.widget().findChild<QPushButton*>("closeButton");
        const auto* pwd = form.widget().findChild<QLineEdit*>("pwd");
        QVERIFY(remove && close && pwd);
        QCOMPARE(remove->text(), text("IDS_UI_REMOVE"));
        QCOMPARE(remove->accessibleName(), removeName);
        QCOMPARE(QKeySequence::mnemonic(remove->text()), removeKey);
        QCOMPARE(close->text(), text("IDS_UI_CLOSE"));
        QCOMPARE(close->accessibleName(), closeName);
        QCOMPARE(QKeySequence::mnemonic(close->text()), closeKey);
        QCOMPARE(pwd->accessibleName(), text("IDS_UI_PASSWORD"));

        form.pwdInfo().setStringValue(strings.localizedString("IDS_PWD"));
        form.widget().adjustSize();
        const auto lines = lineWidths(*form.widget().findChild<QLabel*>("pwdInfo"));
        QVERIFY2(lines.last() * 2 >= lines.first(), qPrintable(QString::number(lines.size())));
    }

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
        const auto written = capturedStandardError([&] {
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
        });
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
        const auto written = capturedStandardError([&] { log.log(line.toStdString()); });
        QCOMPARE(written, line + "\n");
    }
};

QTEST_MAIN(MessagesTest)
#include "test_messages.moc"
