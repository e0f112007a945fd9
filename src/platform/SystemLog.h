// Diagnostic lines to standard error and to the system log.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

class SystemLog : public Log {
public:
    // Opens the system log connection once per process. Without
    // `toStandardError` the lines go to the system log only.
    explicit SystemLog(bool toStandardError = true);
    // The line as given plus a newline; the text is never a format.
    void log(const std::string& line) override;

private:
    bool toStandardError_;
};

} // namespace pdfunlock
