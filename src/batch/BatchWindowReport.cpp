#include "batch/BatchWindowReport.h"

#include "batch/BatchReport.h"
#include "platform/qt/JsonText.h"

#include <algorithm>
#include <string_view>

namespace pdfunlock {

namespace {

std::string csvField(const std::string& value) {
    std::string text = readableText(value);
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string::npos) {
        text.insert(0, 1, '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i > 0 ? "," : "") + csvField(fields[i]);
    }
    return line + "\r\n";
}

} // namespace

std::string reportText(const std::vector<FileResult>& results, ReportFormat format,
                       const Strings& strings) {
    if (format == ReportFormat::JsonLines) {
        std::string text;
        for (const FileResult& result : results) {
            text += fileJsonLine(result, strings) + "\n";
        }
        return text;
    }
    // Every column on every line: a field a file does not have is empty.
    std::string text = csvLine({kFileFieldNames.begin(), kFileFieldNames.end()});
    for (const FileResult& result : results) {
        const FileFields fields = fileFields(result, strings);
        std::vector<std::string> values;
        for (const char* name : kFileFieldNames) {
            const auto field = std::find_if(fields.begin(), fields.end(),
                                            [&](const auto& f) { return f.first == name; });
            std::string value;
            if (field != fields.end() && field->second.text()) {
                value = *field->second.text();
            } else if (field != fields.end() && field->second.number()) {
                value = std::to_string(*field->second.number());
            }
            values.push_back(std::move(value));
        }
        text += csvLine(values);
    }
    return text;
}

} // namespace pdfunlock
