#include "platform/qt/QtStrings.h"

#include <QString>

namespace pdfunlock {

std::string QtStrings::localizedString(const std::string& key) const {
    return qtTrId(key.c_str()).toStdString();
}

} // namespace pdfunlock
