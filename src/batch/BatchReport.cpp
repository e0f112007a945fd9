#include "batch/BatchReport.h"

#include "platform/Paths.h"
#include "platform/qt/JsonText.h"

#include <cstdio>

namespace pdfunlock {

namespace {

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the
// byte there does not begin one (RFC 3629: no overlong forms, no surrogates,
// nothing past U+10FFFF). `code` gets its code point.
std::size_t utf8At(const std::string& text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

// Characters that move or hide text on a terminal without showing: C1
// controls (CSI, OSC...), the bidirectional controls and the line and
// paragraph separators.
bool hidden(char32_t code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) ||
           code == 0x2028 || code == 0x2029;
}

// A name on one line that a terminal shows as it is, in one form: the
// backslash doubled, "\n" and "\t", "\xHH" for any other control byte
// below 0x80 (DEL too) and for each byte that is not part of valid UTF-8,
// "\uHHHH" for a hidden character from U+0080 up. Every other character
// stays, so the form reads back to the very bytes.
std::string oneLine(const std::string& name) {
    std::string shown;
    for (std::size_t at = 0; at < name.size();) {
        char32_t code = 0;
        const std::size_t length = utf8At(name, at, code);
        char escape[8];
        if (length == 0 ||
            (length == 1 && (code < 0x20 || code == 0x7F) && code != '\n' && code != '\t')) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(name[at]));
            shown += escape;
            at += 1;
            continue;
        }
        if (code == '\\') {
            shown += "\\\\";
        } else if (code == '\n') {
            shown += "\\n";
        } else if (code == '\t') {
            shown += "\\t";
        } else if (hidden(code)) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
            shown += escape;
        } else {
            shown.append(name, at, length);
        }
        at += length;
    }
    return shown;
}

} // namespace

std::string fileLine(const FileResult& result, const Strings& strings) {
    std::string line = oneLine(result.source) + ": " + localizedText(strings, result.message);
    if (result.copy) {
        line += " (" + oneLine(paths::lastPathComponent(*result.copy)) + ")";
    }
    return line;
}

FileFields fileFields(const FileResult& result, const Strings& strings) {
    return {{"source", result.source},
            {"source_base64", base64(result.source)},
            {"result", std::string(rawValue(result.message))},
            {"copy", result.copy},
            {"copy_base64", result.copy ? std::optional(base64(*result.copy)) : std::nullopt},
            {"message", localizedText(strings, result.message)}};
}

std::string fileJsonLine(const FileResult& result, const Strings& strings) {
    return jsonObjectLine(fileFields(result, strings));
}

std::string progressText(std::size_t done, std::size_t total, std::chrono::seconds elapsed,
                         const Strings& strings) {
    char time[32];
    std::snprintf(time, sizeof time, "%lld:%02lld", static_cast<long long>(elapsed.count() / 60),
                  static_cast<long long>(elapsed.count() % 60));
    return localizedText(strings, IDS_KEY::IDS_BATCH_PROGRESS,
                         {std::to_string(done), std::to_string(total), time});
}

std::vector<std::string> summaryLines(const BatchSummary& summary, const Strings& strings) {
    std::vector<std::string> lines;
    lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY,
                                  {std::to_string(summary.copied), std::to_string(summary.total)}));
    if (summary.alreadyDone > 0) {
        lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_ALREADY,
                                      {std::to_string(summary.alreadyDone)}));
    }
    std::size_t refused = 0;
    for (const auto& [message, count] : summary.refused) {
        refused += count;
    }
    if (refused > 0) {
        lines.push_back(
            localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_REFUSED, {std::to_string(refused)}));
        for (const auto& [message, count] : summary.refused) {
            lines.push_back("  " + std::to_string(count) + "  " + localizedText(strings, message));
        }
    }
    if (summary.notStarted > 0) {
        lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_CANCELLED,
                                      {std::to_string(summary.notStarted)}));
    }
    return lines;
}

} // namespace pdfunlock
