#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace pdfunlock {

namespace {

constexpr const char* translatorName = "pdfunlockTranslations";

} // namespace

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

} // namespace pdfunlock
