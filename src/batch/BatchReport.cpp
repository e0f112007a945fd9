#include "batch/BatchReport.h"

#include "platform/Paths.h"
#include "platform/SystemErrors.h"
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

std::string shownName(const std::string& name) {
    return oneLine(name);
}

std::string outcomeText(const FileOutcome& outcome, const Strings& strings) {
    std::string text = localizedText(strings, outcomeRow(outcome.reason).phrase);
    if (outcome.detailPhrase) {
        text += " (" + localizedText(strings, *outcome.detailPhrase) + ")";
    } else if (outcome.systemError != 0) {
        text += " (" + errorText(outcome.systemError) + ")";
    }
    return text;
}

std::string fileLine(const FileResult& result, const Strings& strings) {
    std::string line = oneLine(result.source) + ": " + outcomeText(result.outcome, strings);
    if (result.entry) {
        line += ", " + localizedText(strings, IDS_KEY::IDS_BATCH_PASSWORD_ENTRY,
                                     {std::to_string(*result.entry)});
    }
    if (const auto& copy = result.outcome.copyPath) {
        line += " (" + oneLine(paths::lastPathComponent(*copy)) + ")";
    }
    return line;
}

FileFields fileFields(const FileResult& result, const Strings& strings) {
    const FileOutcome& outcome = result.outcome;
    const FileOutcomeRow& row = outcomeRow(outcome.reason);
    FileFields members = {
        {"source", result.source},
        {"source_base64", base64(result.source)},
        {"reason", std::string(row.code)},
    };
    if (!outcome.detail.empty()) {
        members.emplace_back("detail", outcome.detail);
    }
    if (result.entry) {
        members.emplace_back("password_entry", static_cast<long long>(*result.entry));
    }
    members.emplace_back("result", std::string(rawValue(row.message)));
    members.emplace_back("copy", outcome.copyPath);
    members.emplace_back("copy_base64", outcome.copyPath ? std::optional(base64(*outcome.copyPath))
                                                         : std::nullopt);
    members.emplace_back("message", outcomeText(outcome, strings));
    return members;
}

std::string fileJsonLine(const FileResult& result, const Strings& strings) {
    return jsonObjectLine(fileFields(result, strings));
}

std::string progressText(const Progress& progress, const Strings& strings) {
    const auto seconds = progress.elapsed.count();
    char time[32];
    std::snprintf(time, sizeof time, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    std::string text = localizedText(strings, IDS_KEY::IDS_BATCH_PROGRESS,
                                     {std::to_string(progress.done), std::to_string(progress.total),
                                      std::to_string(progress.failed), time});
    if (progress.passwordRefused) {
        text += " " + localizedText(strings, IDS_KEY::IDS_BATCH_PASSWORD_HINT,
                                    {std::to_string(kWrongPasswordsNoted)});
    }
    return text;
}

std::vector<std::string> summaryLines(const BatchSummary& summary, const Strings& strings,
                                      bool quiet) {
    std::vector<std::string> lines;
    if (!quiet) {
        lines.push_back(
            localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY,
                          {std::to_string(summary.copied), std::to_string(summary.total)}));
        if (summary.alreadyDone > 0) {
            lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_ALREADY,
                                          {std::to_string(summary.alreadyDone)}));
        }
        std::size_t notCopied = 0;
        for (const auto& [reason, group] : summary.notCopied) {
            notCopied += group.count;
        }
        if (notCopied > 0) {
            lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_REFUSED,
                                          {std::to_string(notCopied)}));
        }
        // By reason, in the table's order: how many, and the first names.
        for (const auto& [reason, group] : summary.notCopied) {
            std::string line = "  " + localizedText(strings, outcomeRow(reason).phrase) + ": " +
                               std::to_string(group.count) + " (";
            for (std::size_t i = 0; i < group.first.size(); ++i) {
                line += (i > 0 ? ", " : "") + oneLine(group.first[i].second);
            }
            lines.push_back(line + (group.count > group.first.size() ? ", ...)" : ")"));
        }
    }
    if (summary.stoppedOnWrongPassword) {
        lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_STOPPED,
                                      {std::to_string(kWrongPasswordsNoted)}));
    }
    if (summary.notStarted > 0) {
        lines.push_back(localizedText(strings, IDS_KEY::IDS_BATCH_SUMMARY_CANCELLED,
                                      {std::to_string(summary.notStarted)}));
    }
    return lines;
}

int exitStatus(const BatchSummary& summary, bool namedPathMissing) {
    if (namedPathMissing) {
        return kExitUsage;
    }
    if (summary.any(Attention::Needed)) {
        return kExitAttention;
    }
    return summary.any(Attention::LeftAlone) ? kExitLeftAlone : kExitDone;
}

} // namespace pdfunlock
