// Message keys and the one way the program talks to the user.
#pragma once

#include "platform/Desktop.h"

#include <array>
#include <string>
#include <string_view>

namespace pdfunlock {

// Every message key, in order: the one list that the enum, the raw values,
// allIDSKeys, the translation ids kept by lupdate (src/CMakeLists.txt) and
// tools/check-translations.sh are all made from. A key's name is its raw value
// and its id in the translations.
#define PDFUNLOCK_IDS_KEYS(X)                                                                      \
    X(IDS_MSG_STARTUP)                                                                             \
    X(IDS_MSG_MULTIFILES)                                                                          \
    X(IDS_MSG_NO_PWD)                                                                              \
    X(IDS_MSG_NO_TESSIVON)                                                                         \
    X(IDS_MSG_COMPLETE)                                                                            \
    X(IDS_MSG_FAILED)                                                                              \
    X(IDS_MSG_INVALIDPWD)                                                                          \
    X(IDS_PWD)

#define PDFUNLOCK_IDS_CASE(name) name,
enum class IDS_KEY { PDFUNLOCK_IDS_KEYS(PDFUNLOCK_IDS_CASE) };
#undef PDFUNLOCK_IDS_CASE

#define PDFUNLOCK_IDS_ENTRY(name) IDS_KEY::name,
inline constexpr std::array allIDSKeys = {PDFUNLOCK_IDS_KEYS(PDFUNLOCK_IDS_ENTRY)};
#undef PDFUNLOCK_IDS_ENTRY

constexpr std::string_view rawValue(IDS_KEY key) {
    switch (key) {
#define PDFUNLOCK_IDS_RAW(name)                                                                    \
    case IDS_KEY::name:                                                                            \
        return #name;
        PDFUNLOCK_IDS_KEYS(PDFUNLOCK_IDS_RAW)
#undef PDFUNLOCK_IDS_RAW
    }
    return {};
}

// The key's text, looked up now (never cached).
std::string localizedText(const Strings& strings, IDS_KEY key);

// One modal alert holding only the key's localized text; returns once dismissed.
void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style);

} // namespace pdfunlock
