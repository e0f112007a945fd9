#include "platform/qpdf/InflationBudget.h"

#include "platform/qpdf/RawObjects.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QUtil.hh>
#include <set>
#include <stdexcept>
#include <string>

namespace pdfunlock {

namespace {

constexpr std::uint64_t kSlack = 1 << 20;
constexpr std::uint64_t kUnbounded = std::numeric_limits<std::uint64_t>::max();
// References followed from one value before giving up on it.
constexpr int kMostReferences = 64;

std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > kUnbounded / b ? kUnbounded : a * b;
}

// The most a stream's filters can make of a byte: deflate 1032, LZW codes of
// 9 bits and more for strings of up to 4096 bytes, run length 128 for 2,
// ASCII85 4 for "z", one after the other. Filters qpdf does not decode pass
// the data.
std::uint64_t widening(QPDFObjectHandle filters) {
    std::uint64_t most = 1;
    for (auto& filter :
         filters.isArray() ? filters.getArrayAsVector() : std::vector<QPDFObjectHandle>{filters}) {
        const std::string name = filter.isName() ? filter.getName() : "";
        most = times(most, name == "/FlateDecode" || name == "/Fl"       ? 1032
                           : name == "/LZWDecode" || name == "/LZW"      ? 4096
                           : name == "/RunLengthDecode" || name == "/RL" ? 64
                           : name == "/ASCII85Decode" || name == "/A85"  ? 4
                                                                         : 1);
    }
    return most;
}

// A decoded cross-reference stream: how much it gave, and its rows.
struct Decoded {
    std::uint64_t count = 0;
    bool over = false;
    std::string rows;
};

} // namespace

// The cross-reference sections from startxref, newest first, as qpdf reads them.
class InflationBudget::Sections {
public:
    explicit Sections(std::shared_ptr<InputSource> source)
        : reader_(std::move(source)), table_(reader_) {}

    void run() {
        for (qpdf_offset_t at = reader_.startxref(); at > 0 && visited_.insert(at).second;) {
            try {
                at = section(at);
            } catch (const RawRefusal&) {
                throw;
            } catch (const std::exception&) {
                break; // qpdf rebuilds the table here, inflating nothing more
            }
        }
        if (!streams_) {
            return; // no object stream without a cross-reference stream
        }
        try {
            for (auto& value : early_) {
                int left = kMostReferences;
                reader_.resolveAll(value, lookup(), left);
            }
        } catch (const RawRefusal&) {
            throw;
        } catch (const std::exception&) {
            throw RawRefusal("a table qpdf would rebuild before it reads the trailer's values");
        }
    }

    Lookup lookup() {
        return [this](int number, int generation) { return table_.find(number, generation); };
    }
    RawReader& reader() { return reader_; }
    RawTable& table() { return table_; }
    std::uint64_t entriesCost() const { return entriesCost_; }
    bool streams() const { return streams_; }

private:
    // The values qpdf reads of a section's dictionary as it goes, and of
    // the newest one (the trailer) before it checks the password.
    void readEarly(QPDFObjectHandle dict, std::initializer_list<const char*> keys) {
        if (!trailer_.isInitialized()) {
            trailer_ = dict;
            early_.push_back(dict.getKey("/Encrypt"));
            early_.push_back(dict.getKey("/ID"));
        }
        for (const char* key : keys) {
            early_.push_back(dict.getKey(key));
        }
    }

    // One section; where the next one is, 0 when qpdf would stop or rebuild.
    qpdf_offset_t section(qpdf_offset_t at) {
        auto& source = reader_.source();
        source.seek(at, SEEK_SET);
        for (char c = 0; source.read(&c, 1) == 1;) {
            if (!QUtil::is_space(c)) {
                source.unreadCh(c);
                break;
            }
        }
        const qpdf_offset_t start = source.tell();
        char word[7] = {};
        source.read(word, 6);
        if (std::string(word, 4) != "xref" || !QUtil::is_space(word[4])) {
            return stream(at, false);
        }
        const qpdf_offset_t table = start + (QUtil::is_space(word[5]) ? 6 : 5);
        struct TrailerFinder : InputSource::Finder {
            RawReader& reader;
            explicit TrailerFinder(RawReader& r) : reader(r) {}
            bool check() override { return reader.token().isWord("trailer"); }
        } finder(reader_);
        if (!source.findFirst("trailer", table, 0, finder)) {
            return 0;
        }
        const qpdf_offset_t end = source.getLastOffset();
        auto trailer = reader_.value();
        if (!trailer.isDictionary()) {
            return 0;
        }
        readEarly(trailer, {"/Size", "/Prev", "/XRefStm"});
        table_.addTable(table, end, false);
        if (trailer.hasKey("/XRefStm")) {
            auto stm = trailer.getKey("/XRefStm");
            if (!stm.isInteger()) {
                return 0;
            }
            stream(stm.getIntValue(), true);
        }
        table_.addTable(table, end, true);
        auto prev = trailer.getKey("/Prev");
        return prev.isInteger() ? prev.getIntValue() : 0;
    }

    // A cross-reference stream: within the budget by the bound of its
    // filters, or else by decoding it, counting.
    qpdf_offset_t stream(qpdf_offset_t at, bool fromTable) {
        auto found = reader_.objectAt(at);
        if (!found || found->data < 0) {
            return 0;
        }
        auto dict = found->object;
        int left = kMostReferences;
        for (const char* key :
             {"/Type", "/W", "/Index", "/Size", "/Prev", "/Filter", "/DecodeParms"}) {
            reader_.resolveAll(dict.getKey(key), nullptr, left);
        }
        const auto layout = RawRows::of(dict);
        if (!layout) {
            return 0;
        }
        streams_ = true;
        if (!fromTable) {
            readEarly(dict, {});
        }
        early_.push_back(dict.getKey("/Length"));
        // qpdf resolves /Length as it reads the dictionary, with the entries
        // of the newer sections.
        const std::uint64_t length =
            reader_.dataLength(*found, reader_.resolved(dict.getKey("/Length"), lookup(), left));
        const std::uint64_t expected = times(layout->rows, layout->width);
        const std::uint64_t listed = times(layout->rows, InflationBudget::kBytesPerEntry);
        const std::uint64_t room = kBytesPerDocument - std::min(entriesCost_, kBytesPerDocument);
        const std::uint64_t cap = std::min(room, expected + kSlack);
        auto decode = [this, found = *found, length, dict, layout, cap]() mutable {
            return decoded(found, length, dict, *layout, cap);
        };
        if (times(length, widening(dict.getKey("/Filter"))) <= room && listed <= room) {
            entriesCost_ += listed; // as if qpdf takes every row: it may take none
        } else {
            const auto rows = decode();
            if (rows.over) {
                throw RawRefusal("a cross-reference stream inflates beyond the budget");
            }
            // qpdf takes the rows only when there are as many as /W and /Index say.
            entriesCost_ += rows.count >= expected ? listed : 0;
            if (entriesCost_ > kBytesPerDocument) {
                throw RawRefusal("a cross-reference stream lists too many objects");
            }
        }
        table_.addStream(*layout, [decode]() mutable { return decode().rows; });
        auto prev = dict.getKey("/Prev");
        return prev.isInteger() ? prev.getIntValue() : 0;
    }

    Decoded decoded(const RawObject& found, std::uint64_t length, QPDFObjectHandle dict,
                    const RawRows& layout, std::uint64_t cap) {
        std::string stored(static_cast<size_t>(std::min<std::uint64_t>(length, 1 << 20)), '\0');
        reader_.source().seek(found.data, SEEK_SET);
        stored.resize(stored.size() == length ? reader_.source().read(stored.data(), length) : 0);
        // Kept per thread: only rows that take little room.
        if (stored.empty() || layout.rows * layout.width > (4u << 20)) {
            return decodedNow(found, length, dict, layout, cap);
        }
        stored += "\n" + dict.getKey("/Filter").unparse() + dict.getKey("/DecodeParms").unparse() +
                  " " + std::to_string(cap);
        return rememberedFor<Decoded>(stored,
                                      [&] { return decodedNow(found, length, dict, layout, cap); });
    }

    Decoded decodedNow(const RawObject& found, std::uint64_t length, QPDFObjectHandle dict,
                       const RawRows& layout, std::uint64_t cap) {
        // qpdf's PNG filter hands on each row by itself, which on rows of a
        // few bytes costs more than the inflating: rows predicted "up" or
        // not at all (as writers predict them) are taken back here.
        auto parameters = dict.getKey("/DecodeParms");
        const auto number = [&parameters](const char* key, long long otherwise) {
            auto value = parameters.getKey(key);
            return value.isInteger() ? value.getIntValue() : otherwise;
        };
        const size_t width = static_cast<size_t>(layout.width);
        if (parameters.isDictionary() && number("/Predictor", 1) >= 10 &&
            number("/Columns", 1) == static_cast<long long>(width) && number("/Colors", 1) == 1 &&
            number("/BitsPerComponent", 8) == 8) {
            RawCounter raw(cap + cap / width + 1);
            raw.keepRows(width + 1, std::min<std::uint64_t>(layout.rows, cap / width));
            reader_.decode(found, length, dict.getKey("/Filter"), QPDFObjectHandle::newNull(), raw);
            const std::string& in = raw.kept();
            std::string rows(in.size() / (width + 1) * width, '\0');
            size_t done = 0; // rows taken back
            for (; done * width < rows.size(); ++done) {
                const char type = in[done * (width + 1)];
                if (type != 0 && type != 2) {
                    break;
                }
                const char* from = in.data() + done * (width + 1) + 1;
                char* to = rows.data() + done * width;
                for (size_t i = 0; i < width; ++i) {
                    to[i] =
                        static_cast<char>(from[i] + (type == 2 && done > 0 ? (to - width)[i] : 0));
                }
            }
            if (done * width == rows.size() && rows.size() / width * (width + 1) == in.size()) {
                return {raw.count() - raw.count() / (width + 1), raw.over(), rows};
            }
        }
        RawCounter counter(cap);
        counter.keepRows(width, std::min<std::uint64_t>(layout.rows, cap / layout.width));
        reader_.decode(found, length, dict.getKey("/Filter"), parameters, counter);
        return {counter.count(), counter.over(), counter.kept()};
    }

    RawReader reader_;
    RawTable table_;
    std::set<qpdf_offset_t> visited_;
    std::vector<QPDFObjectHandle> early_; // what qpdf reads before the password is checked
    QPDFObjectHandle trailer_;
    std::uint64_t entriesCost_ = 0;
    bool streams_ = false;
};

InflationBudget InflationBudget::beforeParse(const std::shared_ptr<InputSource>& source) {
    auto sections = std::make_shared<Sections>(source);
    try {
        sections->run();
    } catch (const RawRefusal& refusal) {
        throw QPDFExc(qpdf_e_damaged_pdf, source->getName(), "", 0, refusal.what());
    }
    InflationBudget budget;
    if (sections->streams()) {
        budget.sections_ = std::move(sections);
    }
    return budget;
}

bool InflationBudget::objectStreamsFit(QPDF& pdf) const {
    if (!sections_) {
        return true;
    }
    try {
        // Without a repair qpdf's table is the one the walk read; after one,
        // qpdf's own is asked.
        const auto table =
            pdf.numWarnings() == 0 ? std::map<QPDFObjGen, QPDFXRefEntry>() : pdf.getXRefTable();
        std::vector<int> containers;
        Lookup lookup = sections_->lookup();
        if (table.empty()) {
            containers = sections_->table().containers();
        } else {
            for (const auto& [og, entry] : table) {
                if (entry.getType() == 2) {
                    containers.push_back(entry.getObjStreamNumber());
                }
            }
            lookup = [&table](int number, int generation) -> std::optional<Located> {
                const auto it = table.find(QPDFObjGen(number, generation));
                if (it == table.end()) {
                    return std::nullopt;
                }
                const auto& entry = it->second;
                return Located{entry.getType(), entry.getType() == 1 ? entry.getOffset() : 0,
                               generation};
            };
        }
        auto& reader = sections_->reader();
        std::vector<std::pair<std::uint64_t, int>> bounds; // the most each can inflate to
        for (const int number : containers) {
            const auto at = lookup(number, 0);
            if (!at || at->type != 1) {
                continue; // no stream qpdf can read: it inflates nothing
            }
            auto found = reader.objectAt(at->offset, number);
            if (!found || found->data < 0) {
                return false;
            }
            auto dict = found->object;
            int left = kMostReferences;
            for (const char* key : {"/Length", "/Filter", "/DecodeParms"}) {
                reader.resolveAll(dict.getKey(key), lookup, left);
            }
            std::uint64_t bound =
                reader.dataLength(*found, reader.resolved(dict.getKey("/Length"), lookup, left));
            auto filters = reader.resolved(dict.getKey("/Filter"), lookup, left);
            if (filters.isArray()) {
                std::vector<QPDFObjectHandle> items;
                for (auto& item : filters.getArrayAsVector()) {
                    items.push_back(reader.resolved(item, lookup, left));
                }
                filters = QPDFObjectHandle::newArray(items);
            }
            bound = times(bound, widening(filters));
            bounds.emplace_back(bound, number);
        }
        // The largest decoded, counting, until the bounds of the rest fit.
        std::sort(bounds.rbegin(), bounds.rend());
        bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
        std::vector<std::uint64_t> rest(bounds.size() + 1, 0);
        for (size_t i = bounds.size(); i-- > 0;) {
            rest[i] = std::min(kUnbounded / 2, rest[i + 1] + bounds[i].first);
        }
        const std::uint64_t room =
            kBytesPerDocument - std::min(sections_->entriesCost(), kBytesPerDocument);
        std::uint64_t measured = 0;
        for (size_t i = 0; i < bounds.size() && measured + rest[i] > room; ++i) {
            RawCounter counter(room - measured);
            auto stream = pdf.getObject(bounds[i].second, 0);
            if (stream.isStream()) {
                try {
                    stream.pipeStreamData(&counter, nullptr, 0, qpdf_dl_specialized, true, false);
                } catch (const std::exception&) {
                    // Stopped at the cap, or the data does not decode.
                }
            }
            if (counter.over()) {
                return false;
            }
            measured += counter.count();
        }
        return true;
    } catch (const std::exception&) {
        return false; // refused on the way, or the table is beyond reading
    }
}

} // namespace pdfunlock
