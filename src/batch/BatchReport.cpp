#include "batch/BatchReport.h"

#include "platform/Paths.h"
#include "platform/qt/JsonText.h"

#include <cstdio>

namespace pdfunlock {

namespace {

// A name on one line: newlines, tabs and other control bytes as escapes, and
// the backslash doubled so that the escapes stay readable.
std::string oneLine(const std::string& name) {
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        } else {
            shown += c;
        }
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

std::string fileJsonLine(const FileResult& result, const Strings& strings) {
    return jsonObjectLine({{"source", result.source},
                           {"result", std::string(rawValue(result.message))},
                           {"copy", result.copy},
                           {"message", localizedText(strings, result.message)}});
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
