// The localized strings of the running application: Qt's id-based
// translations, installed by installTranslations.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

// The key is the translation id.
class QtStrings final : public Strings {
public:
    std::string localizedString(const std::string& key) const override;
};

} // namespace pdfunlock
