#include "app/IDSKey.h"

namespace pdfunlock {

std::string localizedText(const Strings& strings, IDS_KEY key) {
    return strings.localizedString(std::string(rawValue(key)));
}

void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style) {
    alerts.runModal(style, localizedText(strings, key));
}

} // namespace pdfunlock
