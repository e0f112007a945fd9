// Message keys and the one way the program talks to the user: the window's
// alerts and the batch's lines.
#pragma once

#include "platform/Desktop.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

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
    X(IDS_PWD)                                                                                     \
    X(IDS_BATCH_COPY_THERE)                                                                        \
    X(IDS_BATCH_NOT_STARTED)                                                                       \
    X(IDS_BATCH_COPY_NAME_HELD)                                                                    \
    X(IDS_BATCH_CHANGED_WHILE_READ)                                                                \
    X(IDS_BATCH_MOVED)                                                                             \
    X(IDS_BATCH_LINK_SKIPPED)                                                                      \
    X(IDS_BATCH_FOLDER_UNREADABLE)                                                                 \
    X(IDS_BATCH_NO_PDF)                                                                            \
    X(IDS_BATCH_PASSWORD_PROMPT)                                                                   \
    X(IDS_BATCH_PASSWORD_TOO_LONG)                                                                 \
    X(IDS_BATCH_PROGRESS)                                                                          \
    X(IDS_BATCH_SUMMARY)                                                                           \
    X(IDS_BATCH_SUMMARY_ALREADY)                                                                   \
    X(IDS_BATCH_SUMMARY_REFUSED)                                                                   \
    X(IDS_BATCH_SUMMARY_CANCELLED)                                                                 \
    X(IDS_BATCH_LOOKING)                                                                           \
    X(IDS_BATCH_STOPPING)                                                                          \
    X(IDS_BATCH_CLOSING)                                                                           \
    X(IDS_BATCH_REPORT_FAILED)

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
// The same with "%1", "%2"... replaced by the arguments, in one pass: an
// argument that itself holds "%2" stays as it is.
std::string localizedText(const Strings& strings, IDS_KEY key,
                          const std::vector<std::string>& arguments);

// One modal alert holding only the key's localized text; returns once dismissed.
void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style);

} // namespace pdfunlock
