// JSON for scripts, written by Qt's JSON support.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// A member's value: a text, a whole number, or null.
class JsonValue {
public:
    JsonValue(std::optional<std::string> text) : text_(std::move(text)) {} // NOLINT: implicit
    JsonValue(std::string text) : text_(std::move(text)) {}                // NOLINT
    JsonValue(const char* text) : text_(std::string(text)) {}              // NOLINT
    JsonValue(long long number) : number_(number) {}                       // NOLINT
    const std::optional<std::string>& text() const { return text_; }
    const std::optional<long long>& number() const { return number_; }

private:
    std::optional<std::string> text_;
    std::optional<long long> number_;
};

// One JSON object on one line, members in the order given. Bytes that are
// not UTF-8 become U+FFFD.
std::string jsonObjectLine(const std::vector<std::pair<std::string, JsonValue>>& members);

// The bytes as text for reading, as a JSON string holds them: bytes that are
// not UTF-8 become U+FFFD.
std::string readableText(const std::string& bytes);

// The bytes in base64 (RFC 4648, with padding): a JSON string that gives back
// any bytes exactly, names that are not UTF-8 too.
std::string base64(const std::string& bytes);

} // namespace pdfunlock
