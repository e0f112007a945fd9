// The window's own captions: translation ids beside the message keys of
// removal/IDSKey.h, in the same form. The lupdate input (src/CMakeLists.txt),
// tools/check-translations.sh and the tests are made from this list.
#pragma once

#include <array>

#define PDFUNLOCK_UI_KEYS(X) X(IDS_UI_REMOVE) X(IDS_UI_CLOSE) X(IDS_UI_PASSWORD)

namespace pdfunlock::captions {

#define PDFUNLOCK_UI_ID(name) inline constexpr const char name[] = #name;
PDFUNLOCK_UI_KEYS(PDFUNLOCK_UI_ID)
#undef PDFUNLOCK_UI_ID

#define PDFUNLOCK_UI_ENTRY(name) name,
inline constexpr std::array allCaptionKeys = {PDFUNLOCK_UI_KEYS(PDFUNLOCK_UI_ENTRY)};
#undef PDFUNLOCK_UI_ENTRY

} // namespace pdfunlock::captions
