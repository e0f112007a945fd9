#include "platform/qpdf/RawObjects.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <qpdf/QUtil.hh>
#include <string>

namespace pdfunlock {

RawReader::RawReader(std::shared_ptr<InputSource> source)
    : source_(std::move(source)), scratch_(QPDF::create()) {
    scratch_->setSuppressWarnings(true);
}

std::optional<RawRows> RawRows::of(QPDFObjectHandle dict) {
    RawRows layout;
    auto w = dict.getKey("/W");
    auto index = dict.getKey("/Index");
    auto size = dict.getKey("/Size");
    if (!dict.getKey("/Type").isNameAndEquals("/XRef") || !w.isArray() || w.getArrayNItems() < 3 ||
        !size.isInteger() || !(index.isArray() || index.isNull())) {
        return std::nullopt;
    }
    for (int i = 0; i < 3; ++i) {
        auto item = w.getArrayItem(i);
        if (!item.isInteger() || item.getIntValue() < 0 || item.getIntValue() > 8) {
            return std::nullopt;
        }
        layout.widths[i] = static_cast<int>(item.getIntValue());
        layout.width += static_cast<std::uint64_t>(layout.widths[i]);
    }
    for (int i = 0; index.isArray() && i + 1 < index.getArrayNItems(); i += 2) {
        auto first = index.getArrayItem(i);
        auto count = index.getArrayItem(i + 1);
        if (!first.isInteger() || !count.isInteger() || count.getIntValue() < 0) {
            return std::nullopt;
        }
        layout.ranges.emplace_back(first.getIntValue(), count.getIntValue());
    }
    if (index.isNull()) {
        layout.ranges.emplace_back(0, std::max(size.getIntValue(), 0LL));
    }
    for (const auto& range : layout.ranges) {
        // Past any file's worth: counted as such, never wrapped.
        layout.rows = std::min<std::uint64_t>(layout.rows + range.second, 1ull << 48);
    }
    if (layout.width == 0 || layout.ranges.empty()) {
        return std::nullopt;
    }
    return layout;
}

// The fields of a row as unsigned numbers: 8 bytes fill one.
static void fieldsOf(const unsigned char* row, const int (&widths)[3], std::uint64_t (&fields)[3]) {
    fields[0] = widths[0] == 0 ? 1 : 0;
    fields[1] = fields[2] = 0;
    for (int f = 0; f < 3; ++f) {
        for (int k = 0; k < widths[f]; ++k) {
            fields[f] = (fields[f] << 8) | *row++;
        }
    }
}

std::optional<Located> RawRows::find(const std::string& data, int number) const {
    std::uint64_t row = 0;
    for (const auto& [first, count] : ranges) {
        const auto offset = static_cast<std::uint64_t>(number) - static_cast<std::uint64_t>(first);
        if (first <= number && offset < static_cast<std::uint64_t>(count)) {
            row += offset;
            if (row >= data.size() / width) {
                return std::nullopt;
            }
            std::uint64_t fields[3];
            fieldsOf(reinterpret_cast<const unsigned char*>(data.data()) + row * width, widths,
                     fields);
            return Located{fields[0] > 2 ? -1 : static_cast<int>(fields[0]),
                           static_cast<qpdf_offset_t>(fields[1]),
                           static_cast<int>(fields[2] & 0x7fffffff)};
        }
        row = std::min<std::uint64_t>(row + static_cast<std::uint64_t>(count), 1ull << 62);
    }
    return std::nullopt;
}

void RawRows::containers(const std::string& data, std::vector<int>& into) const {
    const auto* row = reinterpret_cast<const unsigned char*>(data.data());
    for (size_t left = data.size() / width; left > 0; --left, row += width) {
        std::uint64_t fields[3];
        fieldsOf(row, widths, fields);
        if (fields[0] == 2 && (into.empty() || into.back() != static_cast<long long>(fields[1])) &&
            fields[1] <= static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
            into.push_back(static_cast<int>(fields[1]));
        }
    }
}

const std::string& RawTable::rowsOf(Block& block) {
    if (!block.decoded) {
        block.decoded = block.rows();
    }
    return *block.decoded;
}

std::optional<Located> RawTable::find(int number, int generation) {
    for (auto& block : blocks_) {
        std::optional<Located> at;
        if (block.layout) {
            at = block.layout->find(rowsOf(block), number);
        } else {
            auto it = tables_.find(block.table);
            if (it == tables_.end()) {
                it = tables_.emplace(block.table, reader_.table(block.table, block.end)).first;
            }
            for (const auto& entry : it->second) {
                if (entry.number == number && block.free == (entry.at.type == 0)) {
                    at = entry.at;
                    break;
                }
            }
        }
        if (!at) {
            continue;
        }
        if (at->type == 0) {
            return std::nullopt; // qpdf takes no older entry of a freed number
        }
        if ((at->type == 1 && at->generation == generation) || (at->type == 2 && generation == 0)) {
            return at;
        }
    }
    return std::nullopt;
}

std::vector<int> RawTable::containers() {
    std::vector<int> numbers;
    for (auto& block : blocks_) {
        if (block.layout) {
            block.layout->containers(rowsOf(block), numbers);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

qpdf_offset_t RawReader::startxref() {
    source_->seek(0, SEEK_END);
    const qpdf_offset_t end = source_->tell();
    struct StartFinder : InputSource::Finder {
        RawReader& reader;
        std::string offset;
        explicit StartFinder(RawReader& r) : reader(r) {}
        bool check() override {
            if (!reader.token().isWord("startxref")) {
                return false;
            }
            const auto t = reader.token();
            offset = t.getValue();
            return t.isInteger();
        }
    } finder(*this);
    if (!source_->findLast("startxref", end > 1054 ? end - 1054 : 0, 0, finder)) {
        return 0;
    }
    return QUtil::string_to_ll(finder.offset.c_str());
}

QPDFTokenizer::Token RawReader::token(size_t longest) {
    return tokenizer_.readToken(source_, "inflation check", true, longest);
}

QPDFObjectHandle RawReader::value() {
    bool empty = false;
    return QPDFObjectHandle::parse(source_, "inflation check", tokenizer_, empty, nullptr,
                                   scratch_.get());
}

std::optional<RawObject> RawReader::objectAt(qpdf_offset_t offset, int number) {
    source_->seek(offset, SEEK_SET);
    const auto n = token();
    const auto g = token();
    if (!n.isInteger() || !g.isInteger() || !token().isWord("obj") ||
        (number >= 0 && QUtil::string_to_ll(n.getValue().c_str()) != number)) {
        return std::nullopt;
    }
    RawObject found{value()};
    const qpdf_offset_t after = source_->tell();
    if (!found.object.isDictionary() || !token().isWord("stream")) {
        source_->seek(after, SEEK_SET);
        return found;
    }
    found.data = afterLineEnd();
    return found;
}

qpdf_offset_t RawReader::afterLineEnd() {
    // CR LF, LF or a lone CR; blanks before them are skipped.
    for (char c = 0; source_->read(&c, 1) == 1;) {
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            if (source_->read(&c, 1) == 1 && c != '\n') {
                source_->unreadCh(c);
            }
            break;
        }
        if (!QUtil::is_space(c)) {
            source_->unreadCh(c);
            break;
        }
    }
    return source_->tell();
}

std::uint64_t RawReader::dataLength(const RawObject& stream, QPDFObjectHandle length) {
    source_->seek(0, SEEK_END);
    const qpdf_offset_t end = source_->tell();
    if (length.isInteger() && length.getIntValue() >= 0 &&
        length.getIntValue() <= end - stream.data) {
        source_->seek(stream.data + length.getIntValue(), SEEK_SET);
        if (token().isWord("endstream")) {
            return static_cast<std::uint64_t>(length.getIntValue());
        }
    }
    struct EndFinder : InputSource::Finder {
        RawReader& reader;
        explicit EndFinder(RawReader& r) : reader(r) {}
        bool check() override {
            const auto t = reader.token(20);
            return t.isWord("endstream") || t.isWord("endobj");
        }
    } finder(*this);
    if (!source_->findFirst("end", stream.data, 0, finder)) {
        return 0;
    }
    return static_cast<std::uint64_t>(source_->getLastOffset() - stream.data);
}

void RawReader::decode(const RawObject& stream, std::uint64_t length, QPDFObjectHandle filter,
                       QPDFObjectHandle parameters, Pipeline& into) {
    auto decoded = scratch_->newStream();
    decoded.replaceStreamData(
        [this, data = stream.data, length](Pipeline* out) {
            char buffer[65536];
            for (std::uint64_t done = 0; done < length;) {
                source_->seek(data + static_cast<qpdf_offset_t>(done), SEEK_SET);
                const size_t got =
                    source_->read(buffer, std::min<std::uint64_t>(sizeof buffer, length - done));
                if (got == 0) {
                    break;
                }
                out->write(reinterpret_cast<unsigned char*>(buffer), got);
                done += got;
            }
            out->finish();
        },
        filter, parameters);
    try {
        decoded.pipeStreamData(&into, nullptr, 0, qpdf_dl_specialized, true, false);
    } catch (const std::exception&) {
        // `into` stopped it, or the data does not decode: `into` saw what
        // qpdf would have held of it.
    }
}

QPDFObjectHandle RawReader::resolved(QPDFObjectHandle value, const Lookup& lookup, int& left) {
    if (!value.isIndirect()) {
        return value;
    }
    if (!lookup) {
        throw RawRefusal("a cross-reference stream gives its layout by reference");
    }
    const auto at = lookup(value.getObjectID(), value.getGeneration());
    if (--left < 0 || (at && at->type == 2)) {
        throw RawRefusal("a value qpdf reads early lies in an object stream");
    }
    if (!at || at->type != 1) {
        return QPDFObjectHandle::newNull();
    }
    std::optional<RawObject> found;
    try {
        found = objectAt(at->offset, value.getObjectID());
    } catch (const std::exception&) {
        // Does not parse there: refused below.
    }
    if (!found) {
        throw RawRefusal("a value qpdf reads early is not where the table says");
    }
    return found->object;
}

void RawReader::resolveAll(QPDFObjectHandle value, const Lookup& lookup, int& left) {
    value = resolved(value, lookup, left);
    if (value.isArray()) {
        for (auto& item : value.getArrayAsVector()) {
            resolveAll(item, lookup, left);
        }
    } else if (value.isDictionary()) {
        for (auto& [key, item] : value.getDictAsMap()) {
            resolveAll(item, lookup, left);
        }
    }
}

std::vector<RawEntry> RawReader::table(qpdf_offset_t offset, qpdf_offset_t end) {
    if (end - offset <= (1 << 20)) {
        std::string text(static_cast<size_t>(end - offset), '\0');
        source_->seek(offset, SEEK_SET);
        text.resize(source_->read(text.data(), text.size()));
        return rememberedFor<std::vector<RawEntry>>(text, [&] { return lines(text, end, end); });
    }
    return lines({}, offset, end);
}

std::vector<RawEntry> RawReader::lines(std::string text, qpdf_offset_t offset, qpdf_offset_t end) {
    std::vector<RawEntry> entries;
    long long next = 0;
    long long left = -1; // entries of the subsection still to come; -1 before its first line
    for (qpdf_offset_t at = offset; at < end || !text.empty();) {
        if (at < end) {
            const size_t had = text.size();
            text.resize(had + static_cast<size_t>(std::min<qpdf_offset_t>(end - at, 1 << 20)));
            source_->seek(at, SEEK_SET);
            const size_t got = source_->read(text.data() + had, text.size() - had);
            text.resize(had + got);
            at = got > 0 ? at + static_cast<qpdf_offset_t>(got) : end;
        }
        size_t taken = 0;
        for (;;) {
            const size_t eol = text.find_first_of("\r\n", taken);
            if (eol == std::string::npos && at < end) {
                break; // the rest of the line comes with the next piece
            }
            const std::string line = text.substr(taken, eol - taken);
            taken = eol == std::string::npos ? text.size() : text.find_first_not_of("\r\n", eol);
            taken = taken == std::string::npos ? text.size() : taken;
            long long a = 0;
            long long b = 0;
            char kind = 0;
            if (left <= 0 && std::sscanf(line.c_str(), " %lld %lld %c", &a, &b, &kind) == 2 &&
                a >= 0 && b >= 0) {
                next = a;
                left = b;
            } else if (left > 0 && std::sscanf(line.c_str(), " %lld %lld %c", &a, &b, &kind) == 3 &&
                       (kind == 'n' || kind == 'f') && next <= std::numeric_limits<int>::max()) {
                entries.push_back(
                    {static_cast<int>(next++), {kind == 'n', a, static_cast<int>(b)}});
                --left;
            } else if (line.find_first_not_of(" \t\f") != std::string::npos) {
                throw std::runtime_error("table syntax");
            }
            if (taken >= text.size()) {
                break;
            }
        }
        text.erase(0, taken);
    }
    return entries;
}

} // namespace pdfunlock
