// The window's own captions: translation ids beside the message keys of
// removal/IDSKey.h, in the same form. The lupdate input (src/CMakeLists.txt),
// tools/check-translations.sh and the tests are made from this list.
#pragma once

#include <array>

#define PDFUNLOCK_UI_KEYS(X)                                                                       \
    X(IDS_UI_REMOVE)                                                                               \
    X(IDS_UI_CLOSE)                                                                                \
    X(IDS_UI_PASSWORD)                                                                             \
    X(IDS_UI_BATCH_TITLE)                                                                          \
    X(IDS_UI_BATCH_PROMPT)                                                                         \
    X(IDS_UI_BATCH_DOCUMENTS)                                                                      \
    X(IDS_UI_BATCH_DOCUMENT)                                                                       \
    X(IDS_UI_BATCH_STATE)                                                                          \
    X(IDS_UI_BATCH_COPY)                                                                           \
    X(IDS_UI_BATCH_PROGRESS)                                                                       \
    X(IDS_UI_BATCH_START)                                                                          \
    X(IDS_UI_BATCH_RETRY)                                                                          \
    X(IDS_UI_BATCH_CANCEL)                                                                         \
    X(IDS_UI_BATCH_WAITING)                                                                        \
    X(IDS_UI_BATCH_COPIED)                                                                         \
    X(IDS_UI_BATCH_ALREADY_COPIED)                                                                 \
    X(IDS_UI_BATCH_WRONG_PASSWORD)                                                                 \
    X(IDS_UI_BATCH_NOT_PROTECTED)                                                                  \
    X(IDS_UI_BATCH_REFUSED)                                                                        \
    X(IDS_UI_BATCH_FAILED)                                                                         \
    X(IDS_UI_BATCH_CANCELLED)                                                                      \
    X(IDS_UI_BATCH_REASON)                                                                         \
    X(IDS_UI_BATCH_STATE_REASON)                                                                   \
    X(IDS_UI_BATCH_DETAILS)                                                                        \
    X(IDS_UI_BATCH_DETAILS_COPY)                                                                   \
    X(IDS_UI_BATCH_CURRENT)                                                                        \
    X(IDS_UI_BATCH_STATUS)                                                                         \
    X(IDS_UI_BATCH_ADD_FILES)                                                                      \
    X(IDS_UI_BATCH_ADD_FOLDER)                                                                     \
    X(IDS_UI_BATCH_PDF_FILTER)                                                                     \
    X(IDS_UI_BATCH_SHOW_PASSWORD)                                                                  \
    X(IDS_UI_BATCH_OPEN_FOLDER)                                                                    \
    X(IDS_UI_BATCH_SAVE_REPORT)                                                                    \
    X(IDS_UI_BATCH_REPORT_CSV)                                                                     \
    X(IDS_UI_BATCH_REPORT_JSON)                                                                    \
    X(IDS_UI_BATCH_UNSAVED_REPORT)                                                                 \
    X(IDS_UI_BATCH_SAVE_IN)                                                                        \
    X(IDS_UI_BATCH_COPIES_BESIDE)                                                                  \
    X(IDS_UI_BATCH_COPIES_IN)

namespace pdfunlock::captions {

#define PDFUNLOCK_UI_ID(name) inline constexpr const char name[] = #name;
PDFUNLOCK_UI_KEYS(PDFUNLOCK_UI_ID)
#undef PDFUNLOCK_UI_ID

#define PDFUNLOCK_UI_ENTRY(name) name,
inline constexpr std::array allCaptionKeys = {PDFUNLOCK_UI_KEYS(PDFUNLOCK_UI_ENTRY)};
#undef PDFUNLOCK_UI_ENTRY

} // namespace pdfunlock::captions
