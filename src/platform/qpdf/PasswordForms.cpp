#include "platform/qpdf/PasswordForms.h"

#include "platform/Saslprep.h"
#include "platform/Secrets.h"

#include <algorithm>
#include <qpdf/QUtil.hh>
#include <vector>

namespace pdfunlock {

bool tryPasswordForms(const std::string& typed, const std::function<bool(const std::string&)>& open,
                      const std::function<int()>& revision) {
    // qpdf takes a C string: text with a NUL would be cut there and could
    // match a shorter password, the empty one included.
    if (typed.find('\0') != std::string::npos) {
        return false;
    }
    auto candidates = QUtil::possible_repaired_encodings(typed);
    bool unlocked = false;
    for (auto& candidate : candidates) {
        unlocked = unlocked || open(candidate);
    }
    // Then, for AES-256, the form its handlers compare, when it is another one.
    std::string prepared;
    if (!unlocked && revision() >= 5 && saslprep(typed, prepared) &&
        std::find(candidates.begin(), candidates.end(), prepared) == candidates.end()) {
        unlocked = open(prepared);
    }
    wipe(prepared);
    for (auto& candidate : candidates) {
        wipe(candidate);
    }
    return unlocked;
}

} // namespace pdfunlock
