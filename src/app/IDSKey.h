// Message keys and the one way the program talks to the user.
#pragma once

#include "platform/Desktop.h"

#include <array>
#include <string_view>

namespace pdfunlock {

// Each key's raw value is also its key in the translations.
enum class IDS_KEY {
    IDS_MSG_STARTUP,
    IDS_MSG_MULTIFILES,
    IDS_MSG_NO_PWD,
    IDS_MSG_NO_TESSIVON,
    IDS_MSG_COMPLETE,
    IDS_MSG_FAILED,
    IDS_MSG_INVALIDPWD,
    IDS_PWD,
};

inline constexpr std::array<IDS_KEY, 8> allIDSKeys = {
    IDS_KEY::IDS_MSG_STARTUP,    IDS_KEY::IDS_MSG_MULTIFILES,
    IDS_KEY::IDS_MSG_NO_PWD,     IDS_KEY::IDS_MSG_NO_TESSIVON,
    IDS_KEY::IDS_MSG_COMPLETE,   IDS_KEY::IDS_MSG_FAILED,
    IDS_KEY::IDS_MSG_INVALIDPWD, IDS_KEY::IDS_PWD,
};

std::string_view rawValue(IDS_KEY key);

// The key's text, looked up now (never cached).
std::string localizedText(const Strings& strings, IDS_KEY key);

// One modal alert holding only the key's localized text; returns once dismissed.
void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style);

} // namespace pdfunlock
