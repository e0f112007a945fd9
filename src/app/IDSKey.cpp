#include "app/IDSKey.h"

namespace pdfunlock {

std::string_view rawValue(IDS_KEY key) {
    switch (key) {
    case IDS_KEY::IDS_MSG_STARTUP:
        return "IDS_MSG_STARTUP";
    case IDS_KEY::IDS_MSG_MULTIFILES:
        return "IDS_MSG_MULTIFILES";
    case IDS_KEY::IDS_MSG_NO_PWD:
        return "IDS_MSG_NO_PWD";
    case IDS_KEY::IDS_MSG_NO_TESSIVON:
        return "IDS_MSG_NO_TESSIVON";
    case IDS_KEY::IDS_MSG_COMPLETE:
        return "IDS_MSG_COMPLETE";
    case IDS_KEY::IDS_MSG_FAILED:
        return "IDS_MSG_FAILED";
    case IDS_KEY::IDS_MSG_INVALIDPWD:
        return "IDS_MSG_INVALIDPWD";
    case IDS_KEY::IDS_PWD:
        return "IDS_PWD";
    }
    return {};
}

std::string localizedText(const Strings& strings, IDS_KEY key) {
    return strings.localizedString(std::string(rawValue(key)));
}

void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style) {
    alerts.runModal(style, localizedText(strings, key));
}

} // namespace pdfunlock
