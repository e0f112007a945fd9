// The password window's form: captions from the translations, mnemonics and
// the prompt's line breaks.
#include "platform/qt/CaptionKeys.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextLayout>
#include <QtTest>

using namespace pdfunlock;

namespace {

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

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
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
        QCOMPARE(remove->text(), text(captions::IDS_UI_REMOVE));
        QCOMPARE(remove->accessibleName(), removeName);
        QCOMPARE(QKeySequence::mnemonic(remove->text()), removeKey);
        QCOMPARE(close->text(), text(captions::IDS_UI_CLOSE));
        QCOMPARE(close->accessibleName(), closeName);
        QCOMPARE(QKeySequence::mnemonic(close->text()), closeKey);
        QCOMPARE(pwd->accessibleName(), text(captions::IDS_UI_PASSWORD));

        form.pwdInfo().setStringValue(strings.localizedString("IDS_PWD"));
        form.widget().adjustSize();
        const auto lines = lineWidths(*form.widget().findChild<QLabel*>("pwdInfo"));
        QVERIFY2(lines.last() * 2 >= lines.first(), qPrintable(QString::number(lines.size())));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
