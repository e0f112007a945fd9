#include "platform/qpdf/LooseBodies.h"

#include <algorithm>
#include <cstring>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QUtil.hh>
#include <string>
#include <vector>

namespace pdfunlock {

namespace {

using Token = QPDFTokenizer::Token;
using Table = std::map<QPDFObjGen, QPDFXRefEntry>;

// Up to `length` bytes from `offset` on.
std::string bytes(InputSource& input, qpdf_offset_t offset, size_t length) {
    std::string text(length, '\0');
    input.seek(offset, SEEK_SET);
    text.resize(input.read(text.data(), length));
    return text;
}

// The byte after `prefix` at `offset` when it ends a token there.
std::string next(InputSource& input, qpdf_offset_t offset, const std::string& prefix) {
    const auto after = bytes(input, offset + static_cast<qpdf_offset_t>(prefix.size()), 1);
    return !after.empty() && (QUtil::is_space(after[0]) || std::strchr("<[(/%", after[0]))
               ? after
               : std::string();
}

// Whether `from` to `to` holds white space only, or comments too.
bool blank(InputSource& input, qpdf_offset_t from, qpdf_offset_t to, bool comments) {
    const auto text = bytes(input, from, static_cast<size_t>(to - from));
    bool comment = false;
    for (char c : text) {
        comment = comments && (c == '%' || (comment && c != '\r' && c != '\n'));
        if (!comment && !QUtil::is_space(c)) {
            return false;
        }
    }
    return text.size() == static_cast<size_t>(to - from);
}

// Skips white space, then reads `expected`.
bool word(InputSource& input, const std::string& expected) {
    char c = ' ';
    while (QUtil::is_space(c) && input.read(&c, 1) == 1) {
    }
    std::string found(expected.size(), '\0');
    found[0] = c;
    return input.read(found.data() + 1, found.size() - 1) == found.size() - 1 && found == expected;
}

QPDFObjGen reference(const Token& number, const Token& generation) {
    return QPDFObjGen(QUtil::string_to_int(number.getValue().c_str()),
                      QUtil::string_to_int(generation.getValue().c_str()));
}

bool referencesHeld(const std::vector<Token>& tokens, const Table& table) {
    for (size_t i = 2; i < tokens.size(); ++i) {
        if (tokens[i].isWord("R") && tokens[i - 1].isInteger() && tokens[i - 2].isInteger() &&
            !table.count(reference(tokens[i - 2], tokens[i - 1]))) {
            return false;
        }
    }
    return true;
}

// The /Length of the dictionary `tokens` begin with: a number, or the object
// that holds it.
struct Length {
    std::optional<long long> value;
    std::optional<QPDFObjGen> object;
};

Length streamLength(const std::vector<Token>& tokens) {
    int depth = 0;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        const auto type = tokens[i].getType();
        if (type == QPDFTokenizer::tt_dict_open || type == QPDFTokenizer::tt_array_open) {
            ++depth;
        } else if (type == QPDFTokenizer::tt_dict_close || type == QPDFTokenizer::tt_array_close) {
            --depth;
        } else if (depth == 1 && type == QPDFTokenizer::tt_name &&
                   tokens[i].getValue() == "/Length" && tokens[i + 1].isInteger()) {
            if (i + 3 < tokens.size() && tokens[i + 2].isInteger() && tokens[i + 3].isWord("R")) {
                return {std::nullopt, reference(tokens[i + 1], tokens[i + 2])};
            }
            return {QUtil::string_to_ll(tokens[i + 1].getValue().c_str()), std::nullopt};
        }
    }
    return {};
}

} // namespace

Bodies checkLooseBodies(const std::shared_ptr<InputSource>& input, const Table& table,
                        const std::function<std::optional<long long>(QPDFObjGen)>& lengthOf) {
    std::vector<std::pair<qpdf_offset_t, QPDFObjGen>> bodies;
    for (const auto& [og, entry] : table) {
        if (entry.getType() == 1) {
            bodies.emplace_back(entry.getOffset(), og);
        }
    }
    std::sort(bodies.begin(), bodies.end());
    QPDFTokenizer tokenizer;
    std::vector<Token> tokens; // of one object at a time
    qpdf_offset_t at = 0;
    for (const auto& [offset, og] : bodies) {
        // Before it nothing but space (and the header's comments).
        const auto header =
            std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj";
        if (offset < at || !blank(*input, at, offset, at == 0) ||
            bytes(*input, offset, header.size() + 1) != header + next(*input, offset, header)) {
            return Bodies::Fail;
        }
        input->seek(offset + static_cast<qpdf_offset_t>(header.size()), SEEK_SET);
        tokens.clear();
        do {
            tokens.push_back(tokenizer.readToken(input, "copy"));
            if (tokens.back().getType() == QPDFTokenizer::tt_eof) {
                return Bodies::Fail;
            }
        } while (!tokens.back().isWord("endobj") && !tokens.back().isWord("stream"));
        if (!referencesHeld(tokens, table)) {
            return Bodies::Fail;
        }
        if (tokens.back().isWord("stream")) {
            auto length = streamLength(tokens);
            if (length.object) {
                if (!lengthOf) {
                    return Bodies::NeedLengths;
                }
                length.value = lengthOf(*length.object);
            }
            char eol = 0;
            if (input->read(&eol, 1) == 1 && eol == '\r') {
                input->read(&eol, 1);
            }
            if (!length.value || eol != '\n') {
                return Bodies::Fail;
            }
            input->seek(input->tell() + *length.value, SEEK_SET);
            if (!word(*input, "endstream") || !word(*input, "endobj")) {
                return Bodies::Fail;
            }
        }
        at = input->tell();
    }
    // Then the cross-reference section.
    input->seek(at, SEEK_SET);
    if (word(*input, "startxref")) {
        return Bodies::Hold;
    }
    input->seek(at, SEEK_SET);
    return word(*input, "xref") ? Bodies::Hold : Bodies::Fail;
}

} // namespace pdfunlock
