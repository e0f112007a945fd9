// The embedded translations and Qt's own, with no more than a QCoreApplication:
// what a program without windows gets.
#include "platform/qt/CaptionKeys.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"
#include "removal/IDSKey.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>
#include <map>

using namespace pdfunlock;

namespace {

std::vector<std::string> allIds() {
    std::vector<std::string> ids;
    for (const auto key : allIDSKeys) {
        ids.emplace_back(rawValue(key));
    }
    ids.insert(ids.end(), captions::allCaptionKeys.begin(), captions::allCaptionKeys.end());
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

// Languages of the translators installed by installTranslations.
QStringList installedLanguages() {
    QStringList languages;
    for (const auto* translator : qApp->findChildren<QTranslator*>()) {
        languages << translator->language();
    }
    return languages;
}

} // namespace

class TranslationsTest : public QObject {
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
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "test_translations.moc"
