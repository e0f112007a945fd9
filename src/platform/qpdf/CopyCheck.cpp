#include "platform/qpdf/CopyCheck.h"

#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/QuietQpdf.h"
#include "platform/qpdf/StoredObjects.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QUtil.hh>
#include <set>

namespace pdfunlock {

namespace {

using Token = QPDFTokenizer::Token;

class Checker {
public:
    Checker(QPDF& copy, const Carried* carried)
        : copy_(copy), carried_(carried), table_(copy.getXRefTable()) {}

    // Each object stream's head lists what the table puts in it.
    bool objectStreams() {
        for (const auto& [number, listed] : objectStreamListings(table_)) {
            const QPDFObjGen og(number, 0);
            const auto entry = table_.find(og);
            if (listed.empty() || entry == table_.end() || entry->second.getType() != 1) {
                return false;
            }
            auto stream = copy_.getObject(og);
            if (!stream.isStream() || !objectStreamAgrees(stream, listed)) {
                return false;
            }
        }
        return true;
    }

    // The bodies outside object streams follow one another from the header
    // on, each where its entry says and under its number, with nothing
    // between them; every reference in them names an object of the copy.
    bool looseBodies(const std::shared_ptr<InputSource>& input) {
        std::vector<std::pair<qpdf_offset_t, QPDFObjGen>> bodies;
        for (const auto& [og, entry] : table_) {
            if (entry.getType() == 1) {
                bodies.emplace_back(entry.getOffset(), og);
            }
        }
        std::sort(bodies.begin(), bodies.end());
        qpdf_offset_t at = 0;
        for (const auto& [offset, og] : bodies) {
            // Before it nothing but space (and the header's comments).
            const auto header =
                std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj";
            if (offset < at || !blank(*input, at, offset, at == 0) ||
                bytes(*input, offset, header.size() + 1) != header + next(*input, offset, header)) {
                return false;
            }
            input->seek(offset + static_cast<qpdf_offset_t>(header.size()), SEEK_SET);
            auto& tokens = tokens_;
            tokens.clear();
            do {
                tokens.push_back(read(input));
                if (tokens.back().getType() == QPDFTokenizer::tt_eof) {
                    return false;
                }
            } while (!tokens.back().isWord("endobj") && !tokens.back().isWord("stream"));
            if (!referencesHeld(tokens)) {
                return false;
            }
            if (tokens.back().isWord("stream")) {
                const auto length = streamLength(tokens);
                char eol = 0;
                if (input->read(&eol, 1) == 1 && eol == '\r') {
                    input->read(&eol, 1);
                }
                if (!length || eol != '\n') {
                    return false;
                }
                input->seek(input->tell() + *length, SEEK_SET);
                if (!word(*input, "endstream") || !word(*input, "endobj")) {
                    return false;
                }
            }
            at = input->tell();
        }
        // Then the cross-reference section.
        input->seek(at, SEEK_SET);
        if (word(*input, "startxref")) {
            return true;
        }
        input->seek(at, SEEK_SET);
        return word(*input, "xref");
    }

    // Every reference in the objects inside object streams names an object
    // of the copy; those the source's are name what they name there.
    bool compressedObjects() {
        if (carried_ && !std::all_of(carried_->references.begin(), carried_->references.end(),
                                     [this](QPDFObjGen og) { return holds(og); })) {
            return false;
        }
        for (const auto& [og, entry] : table_) {
            if (entry.getType() == 2 && !referencesHeld(object(og))) {
                return false;
            }
        }
        for (const char* key : {"/Root", "/Info"}) {
            auto value = copy_.getTrailer().getKey(key);
            if (value.isIndirect() && !holds(value.getObjGen())) {
                return false;
            }
        }
        return true;
    }

    // What the copy's page tree says it holds.
    int declaredPages() {
        auto count =
            resolved(resolved(resolved(copy_.getTrailer().getKey("/Root")).getKey("/Pages"))
                         .getKey("/Count"));
        return count.isInteger() && count.getIntValue() >= 0 &&
                       count.getIntValue() <= std::numeric_limits<int>::max()
                   ? static_cast<int>(count.getIntValue())
                   : -1;
    }

    // The copy's pages, in its order, each with the resources of the page
    // it copies.
    bool pages(const std::vector<QPDFObjectHandle>& expected) {
        std::vector<QPDFObjectHandle> leaves;
        std::vector<char> seen(table_.empty() ? 0 : table_.rbegin()->first.getObj() + 1, 0);
        auto root = copy_.getTrailer().getKey("/Root");
        if (!root.isIndirect() || !holds(root.getObjGen()) ||
            !collect(resolved(resolved(root).getKey("/Pages")), leaves, seen, 0) ||
            leaves.size() != expected.size()) {
            return false;
        }
        for (size_t i = 0; i < leaves.size(); ++i) {
            if (!sameResources(leaves[i], expected[i])) {
                return false;
            }
        }
        return true;
    }

private:
    Token read(const std::shared_ptr<InputSource>& input) {
        return tokenizer_.readToken(input, "copy");
    }

    // Up to `length` bytes from `offset` on.
    static std::string bytes(InputSource& input, qpdf_offset_t offset, size_t length) {
        std::string text(length, '\0');
        input.seek(offset, SEEK_SET);
        text.resize(input.read(text.data(), length));
        return text;
    }

    // The byte after `prefix` at `offset` when it ends a token there.
    static std::string next(InputSource& input, qpdf_offset_t offset, const std::string& prefix) {
        const auto after = bytes(input, offset + static_cast<qpdf_offset_t>(prefix.size()), 1);
        return !after.empty() && (QUtil::is_space(after[0]) || std::strchr("<[(/%", after[0]))
                   ? after
                   : std::string();
    }

    // Whether `from` to `to` holds white space only, or comments too.
    static bool blank(InputSource& input, qpdf_offset_t from, qpdf_offset_t to, bool comments) {
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
    static bool word(InputSource& input, const std::string& expected) {
        char c = ' ';
        while (QUtil::is_space(c) && input.read(&c, 1) == 1) {
        }
        std::string found(expected.size(), '\0');
        found[0] = c;
        return input.read(found.data() + 1, found.size() - 1) == found.size() - 1 &&
               found == expected;
    }

    bool holds(QPDFObjGen og) const { return table_.count(og) != 0; }

    bool referencesHeld(const std::vector<Token>& tokens) const {
        for (size_t i = 2; i < tokens.size(); ++i) {
            if (tokens[i].isWord("R") && tokens[i - 1].isInteger() && tokens[i - 2].isInteger() &&
                !holds(QPDFObjGen(QUtil::string_to_int(tokens[i - 2].getValue().c_str()),
                                  QUtil::string_to_int(tokens[i - 1].getValue().c_str())))) {
                return false;
            }
        }
        return true;
    }

    // The /Length of the dictionary `tokens` begin with.
    std::optional<long long> streamLength(const std::vector<Token>& tokens) {
        int depth = 0;
        for (size_t i = 0; i + 1 < tokens.size(); ++i) {
            const auto type = tokens[i].getType();
            if (type == QPDFTokenizer::tt_dict_open || type == QPDFTokenizer::tt_array_open) {
                ++depth;
            } else if (type == QPDFTokenizer::tt_dict_close ||
                       type == QPDFTokenizer::tt_array_close) {
                --depth;
            } else if (depth == 1 && type == QPDFTokenizer::tt_name &&
                       tokens[i].getValue() == "/Length" && tokens[i + 1].isInteger()) {
                const auto first = QUtil::string_to_ll(tokens[i + 1].getValue().c_str());
                if (i + 3 < tokens.size() && tokens[i + 2].isInteger() &&
                    tokens[i + 3].isWord("R")) {
                    auto length = copy_.getObject(
                        QPDFObjGen(static_cast<int>(first),
                                   QUtil::string_to_int(tokens[i + 2].getValue().c_str())));
                    return length.isInteger() ? std::optional(length.getIntValue()) : std::nullopt;
                }
                return first;
            }
        }
        return std::nullopt;
    }

    // The copy's object `og`: the source's parse of it when it lies in an
    // object stream the source's objects went into.
    QPDFObjectHandle object(QPDFObjGen og) {
        const auto entry = table_.find(og);
        if (carried_ && entry != table_.end() && entry->second.getType() == 2) {
            return carried_->source.getObject(og);
        }
        return copy_.getObject(og);
    }

    QPDFObjectHandle resolved(QPDFObjectHandle value) {
        return value.isIndirect() ? object(value.getObjGen()) : value;
    }

    bool referencesHeld(QPDFObjectHandle top) const {
        if (carried_ && top.getOwningQPDF() == &carried_->source) {
            return true; // among what `references` names
        }
        std::vector<QPDFObjectHandle> pending;
        const auto visit = [&pending](QPDFObjectHandle value) {
            if (value.isIndirect() || value.isArray() || value.isDictionary()) {
                pending.push_back(value);
            }
        };
        const auto walk = [&visit](QPDFObjectHandle value) {
            if (value.isArray()) {
                for (const auto& item : value.getArrayAsVector()) {
                    visit(item);
                }
            } else if (value.isDictionary()) {
                for (const auto& [key, item] : value.getDictAsMap()) {
                    visit(item);
                }
            }
        };
        walk(top);
        while (!pending.empty()) {
            auto value = pending.back();
            pending.pop_back();
            if (value.isIndirect()) {
                if (!holds(value.getObjGen())) {
                    return false;
                }
            } else {
                walk(value);
            }
        }
        return true;
    }

    bool collect(QPDFObjectHandle node, std::vector<QPDFObjectHandle>& leaves,
                 std::vector<char>& seen, int depth) {
        const auto number = static_cast<size_t>(node.getObjGen().getObj());
        if (depth > 64 || number >= seen.size() || seen[number] || !node.isDictionary()) {
            return false;
        }
        seen[number] = 1;
        auto kids = resolved(node.getKey("/Kids"));
        if (!kids.isArray()) {
            leaves.push_back(node);
            return true;
        }
        for (const auto& kid : kids.getArrayAsVector()) {
            if (!kid.isIndirect() || !collect(resolved(kid), leaves, seen, depth + 1)) {
                return false;
            }
        }
        return true;
    }

    // A page's resources, from the nearest node above it that has them.
    template <class Resolve>
    static QPDFObjectHandle resources(QPDFObjectHandle page, Resolve resolve) {
        for (int depth = 0; depth < 64 && page.isDictionary(); ++depth) {
            if (page.hasKey("/Resources")) {
                return resolve(page.getKey("/Resources"));
            }
            page = resolve(page.getKey("/Parent"));
        }
        return QPDFObjectHandle::newNull();
    }

    bool sameResources(QPDFObjectHandle page, QPDFObjectHandle original) {
        if (page.getOwningQPDF() == original.getOwningQPDF() &&
            page.getObjGen() == original.getObjGen()) {
            return true; // the very page, as the source read it
        }
        const auto mine = [this](QPDFObjectHandle value) { return resolved(value); };
        const auto theirs = [](QPDFObjectHandle value) { return value; };
        auto have = resources(page, mine);
        auto want = resources(original, theirs);
        if (have.isDictionary() != want.isDictionary()) {
            return false;
        }
        if (!want.isDictionary()) {
            return true;
        }
        if (have.getKeys() != want.getKeys()) {
            return false;
        }
        auto haveObjects = resolved(have.getKey("/XObject"));
        auto wantObjects = want.getKey("/XObject");
        if (haveObjects.isDictionary() != wantObjects.isDictionary()) {
            return false;
        }
        if (!wantObjects.isDictionary()) {
            return true;
        }
        if (haveObjects.getKeys() != wantObjects.getKeys()) {
            return false;
        }
        for (const auto& key : wantObjects.getKeys()) {
            auto a = resolved(haveObjects.getKey(key));
            auto b = wantObjects.getKey(key);
            if (a.isStream() != b.isStream() ||
                (b.isStream() && a.getDict().getKeys() != b.getDict().getKeys())) {
                return false;
            }
        }
        return true;
    }

    QPDF& copy_;
    const Carried* carried_;
    const std::map<QPDFObjGen, QPDFXRefEntry> table_;
    QPDFTokenizer tokenizer_;
    std::vector<Token> tokens_; // of one object at a time
};

} // namespace

std::shared_ptr<CheckedCopy> checkedCopy(const std::shared_ptr<const OpenFile>& written,
                                         const std::vector<QPDFObjectHandle>& pages,
                                         const Carried* carried) {
    try {
        // No repair: a copy that needs one is no copy.
        auto copy = std::make_shared<QPDF>();
        makeQuiet(*copy);
        copy->setAttemptRecovery(false);
        copy->processInputSource(std::make_shared<BlockInputSource>(written));
        if (copy->isEncrypted()) {
            return nullptr;
        }
        Checker checker(*copy, carried);
        if (!checker.objectStreams() ||
            !checker.looseBodies(std::make_shared<BlockInputSource>(written)) ||
            !checker.compressedObjects() || !checker.pages(pages) || copy->numWarnings() > 0) {
            return nullptr;
        }
        const int declared = checker.declaredPages();
        return std::make_shared<CheckedCopy>(CheckedCopy{copy, written, declared});
    } catch (const std::exception&) {
        return nullptr; // what qpdf cannot read through is no copy either
    }
}

} // namespace pdfunlock
