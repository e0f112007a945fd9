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
    X(IDS_BATCH_PASSWORD_ENTRY)                                                                    \
    X(IDS_BATCH_PASSWORD_HINT)                                                                     \
    X(IDS_BATCH_STOPPED)                                                                           \
    X(IDS_REASON_COPIED)                                                                           \
    X(IDS_REASON_COPIED_NAME_HELD)                                                                 \
    X(IDS_REASON_COPIED_BEFORE)                                                                    \
    X(IDS_REASON_NOT_PROTECTED)                                                                    \
    X(IDS_REASON_REFUSED_ORIGIN)                                                                   \
    X(IDS_REASON_REFUSED_PERMISSION)                                                               \
    X(IDS_REASON_WRONG_PASSWORD)                                                                   \
    X(IDS_REASON_NOT_FOUND)                                                                        \
    X(IDS_REASON_NOT_A_REGULAR_FILE)                                                               \
    X(IDS_REASON_UNREADABLE)                                                                       \
    X(IDS_REASON_EMPTY)                                                                            \
    X(IDS_REASON_DAMAGED)                                                                          \
    X(IDS_REASON_CHANGED_WHILE_READ)                                                               \
    X(IDS_REASON_SAVE_FAILED)                                                                      \
    X(IDS_REASON_TOO_MANY_OPEN_FILES)                                                              \
    X(IDS_REASON_LINK_NOT_FOLLOWED)                                                                \
    X(IDS_REASON_FOLDER_UNREADABLE)                                                                \
    X(IDS_REASON_FOLDER_MOVED)                                                                     \
    X(IDS_REASON_NOT_STARTED)                                                                      \
    X(IDS_DETAIL_READ_ONLY)                                                                        \
    X(IDS_DETAIL_NO_SPACE)                                                                         \
    X(IDS_DETAIL_NAME_TOO_LONG)                                                                    \
    X(IDS_DETAIL_NAME_TAKEN)                                                                       \
    X(IDS_DETAIL_NO_PERMISSION)                                                                    \
    X(IDS_DETAIL_TOO_LARGE)                                                                        \
    X(IDS_DETAIL_NO_FREE_NAME)                                                                     \
    X(IDS_DETAIL_COPY_UNREADABLE)                                                                  \
    X(IDS_DETAIL_OTHER_SECURITY)                                                                   \
    X(IDS_PERMISSION_PRINT)                                                                        \
    X(IDS_PERMISSION_COPY)                                                                         \
    X(IDS_PERMISSION_ANNOTATE)                                                                     \
    X(IDS_PERMISSION_FILL_FORMS)                                                                   \
    X(IDS_PERMISSION_MODIFY)                                                                       \
    X(IDS_PERMISSION_ASSEMBLE)                                                                     \
    X(IDS_PERMISSION_ACCESSIBILITY)                                                                \
    X(IDS_CLI_HELP)                                                                                \
    X(IDS_CLI_TRY_HELP)                                                                            \
    X(IDS_CLI_UNKNOWN_OPTION)                                                                      \
    X(IDS_CLI_NEEDS_NUMBER)                                                                        \
    X(IDS_CLI_NEEDS_FILE)                                                                          \
    X(IDS_CLI_NEEDS_FOLDER)                                                                        \
    X(IDS_CLI_PASSWORD_SOURCES)                                                                    \
    X(IDS_CLI_STDIN_TWICE)                                                                         \
    X(IDS_CLI_NO_PATH)                                                                             \
    X(IDS_CLI_NOT_A_FOLDER)                                                                        \
    X(IDS_CLI_CANNOT_READ)                                                                         \
    X(IDS_CLI_NO_PASSWORD_STDIN)                                                                   \
    X(IDS_CLI_NO_TERMINAL)                                                                         \
    X(IDS_CLI_LIST_TOO_MANY)                                                                       \
    X(IDS_CLI_LIST_EMPTY)                                                                          \
    X(IDS_CLI_NAME_TOO_LONG)                                                                       \
    X(IDS_CLI_TOO_MANY_NAMES)                                                                      \
    X(IDS_CLI_NEEDS_SECONDS)                                                                       \
    X(IDS_CLI_WATCH_ONLY)                                                                          \
    X(IDS_WATCH_POLLING)                                                                           \
    X(IDS_WATCH_FOLDER_GONE)                                                                       \
    X(IDS_WATCH_NONE_LEFT)                                                                         \
    X(IDS_WATCH_PASSWORD_FILE_OPEN)                                                                \
    X(IDS_BATCH_LOOKING)                                                                           \
    X(IDS_BATCH_STOPPING)                                                                          \
    X(IDS_BATCH_CLOSING)                                                                           \
    X(IDS_BATCH_REPORT_FAILED)                                                                     \
    X(IDS_BATCH_OUTPUT_FAILED)

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
