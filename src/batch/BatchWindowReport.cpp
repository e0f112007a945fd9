#include "batch/BatchWindowReport.h"

#include "batch/BatchReport.h"
#include "platform/qt/JsonText.h"

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
    std::string text;
    for (const FileResult& result : results) {
        if (format == ReportFormat::JsonLines) {
            text += fileJsonLine(result, strings) + "\n";
            continue;
        }
        const FileFields fields = fileFields(result, strings);
        std::vector<std::string> names;
        std::vector<std::string> values;
        for (const auto& [name, value] : fields) {
            names.push_back(name);
            values.push_back(value.value_or(std::string()));
        }
        if (text.empty()) {
            text = csvLine(names);
        }
        text += csvLine(values);
    }
    return text;
}

} // namespace pdfunlock
