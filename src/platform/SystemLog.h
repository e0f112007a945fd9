// Diagnostic lines to standard error and to the system log.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

class SystemLog : public Log {
public:
    // Opens the system log connection once per process.
    SystemLog();
    // The line as given plus a newline; the text is never a format.
    void log(const std::string& line) override;
};

} // namespace pdfunlock
