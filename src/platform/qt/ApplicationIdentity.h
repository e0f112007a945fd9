// The name, icon and desktop entry the application's windows show.
#pragma once

#include <QString>

namespace pdfunlock {

// "pdfunlock": the title of message boxes, and what the platform adds to
// window titles.
QString applicationName();

// Needs the QGuiApplication.
void setApplicationIdentity(const QString& appId);

} // namespace pdfunlock
