#include "removal/IDSKey.h"

namespace pdfunlock {

std::string localizedText(const Strings& strings, IDS_KEY key) {
    return strings.localizedString(std::string(rawValue(key)));
}

std::string localizedText(const Strings& strings, IDS_KEY key,
                          const std::vector<std::string>& arguments) {
    const std::string text = localizedText(strings, key);
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
            result += arguments[index];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

void showMessage(AlertPresenter& alerts, const Strings& strings, IDS_KEY key, AlertStyle style) {
    alerts.runModal(style, localizedText(strings, key));
}

} // namespace pdfunlock
