// The embedded translations (resources/translations, compiled into the
// program) and Qt's own, for the user's language. Needs only a
// QCoreApplication, so a command without windows speaks the same languages.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace pdfunlock {

// Installs the embedded translations for the first of the locale's languages
// that has one, else English, and Qt's own for the same language; replaces
// translations installed by an earlier call. False if not even English could
// be loaded.
bool installTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

} // namespace pdfunlock
