// Objects read as the file has them, without qpdf's document and before qpdf
// reads anything: what the checks of the inflation budget look at first.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <qpdf/InputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock {

// The file is refused; told apart from the parse errors after which qpdf
// would rebuild the table.
struct RawRefusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where a cross-reference entry puts an object.
struct Located {
    int type = 0;             // 0 free, 1 in the file, 2 in an object stream
    qpdf_offset_t offset = 0; // type 1: where; type 2: the object stream's number
    int generation = 0;       // type 1
};
// The entry qpdf would use for number and generation, if any. An empty
// lookup takes every reference for one that may not be there.
using Lookup = std::function<std::optional<Located>(int number, int generation)>;

struct RawEntry {
    int number;
    Located at;
};

// The layout of a cross-reference stream's rows, from its dictionary's
// direct values as qpdf reads them: nothing where qpdf gives up on it.
struct RawRows {
    int widths[3] = {};
    std::uint64_t width = 0; // of a row
    std::uint64_t rows = 0;
    std::vector<std::pair<long long, long long>> ranges; // first number, count

    static std::optional<RawRows> of(QPDFObjectHandle dict);
    // The row for `number` in `data` (the rows as decoded), if any.
    std::optional<Located> find(const std::string& data, int number) const;
    // The object streams the rows in `data` name.
    void containers(const std::string& data, std::vector<int>& into) const;
};

// Counts what a decoder gives and stops it past `cap`. With a row width, the
// rows of a cross-reference stream up to `rows` are kept as they come.
class RawCounter : public Pipeline {
public:
    explicit RawCounter(std::uint64_t cap) : Pipeline("inflation budget", nullptr), cap_(cap) {}
    void write(unsigned char const* data, size_t len) override {
        count_ += len;
        if (count_ > cap_) {
            over_ = true;
            throw std::length_error("inflates beyond the budget");
        }
        if (kept_.size() < rows_ * width_) {
            kept_.append(reinterpret_cast<const char*>(data),
                         std::min<std::uint64_t>(len, rows_ * width_ - kept_.size()));
        }
    }
    void finish() override {}
    void keepRows(size_t width, std::uint64_t rows) {
        width_ = width;
        rows_ = rows;
    }
    std::uint64_t count() const { return count_; }
    bool over() const { return over_; }
    const std::string& kept() const { return kept_; }

private:
    std::uint64_t cap_;
    std::uint64_t count_ = 0;
    bool over_ = false;
    size_t width_ = 0;
    std::uint64_t rows_ = 0;
    std::string kept_;
};

// What reading `bytes` gave the last few times on this thread, or `make`'s
// answer now: the unlock reads the tables the launch checks read, of the same
// file. Only keys of up to 1 MiB are kept, eight of each kind.
template <class T> T rememberedFor(std::string bytes, const std::function<T()>& make) {
    thread_local std::vector<std::pair<std::string, T>> kept;
    for (const auto& [key, value] : kept) {
        if (key == bytes) {
            return value;
        }
    }
    T value = make();
    if (bytes.size() <= (1u << 20)) {
        if (kept.size() == 8) {
            kept.erase(kept.begin());
        }
        kept.emplace_back(std::move(bytes), value);
    }
    return value;
}

// An indirect object as the file has it at an offset.
struct RawObject {
    QPDFObjectHandle object; // references in it are left unresolved
    qpdf_offset_t data = -1; // where a stream's data begins
};

class RawReader {
public:
    explicit RawReader(std::shared_ptr<InputSource> source);

    InputSource& source() { return *source_; }
    // The offset after the last "startxref" near the end, as qpdf finds it; 0
    // when there is none.
    qpdf_offset_t startxref();
    QPDFTokenizer::Token token(size_t longest = 0);
    // The object at the current position, parsed into a scratch document.
    QPDFObjectHandle value();

    // "n g obj" and the object; for a stream where its data begins, after
    // the line end as qpdf takes it. Nothing when the numbers are not there
    // (or not `number`); throws for an object that does not parse.
    std::optional<RawObject> objectAt(qpdf_offset_t offset, int number = -1);

    // The length qpdf takes for a stream's data: `length` when "endstream"
    // follows it, else up to the first "endstream" or "endobj".
    std::uint64_t dataLength(const RawObject& stream, QPDFObjectHandle length);

    // The data through qpdf's own decoders for `filter` and `parameters`
    // into `into`; an exception on the way (into's, or the data's) ends it.
    void decode(const RawObject& stream, std::uint64_t length, QPDFObjectHandle filter,
                QPDFObjectHandle parameters, Pipeline& into);

    // `value` with a reference resolved through `lookup` (a null when the
    // table has no such object). Throws RawRefusal for a reference into an
    // object stream (qpdf would inflate the stream to read it), to an object
    // not where the table says (qpdf would rebuild the table and look
    // again), or past `left` references.
    QPDFObjectHandle resolved(QPDFObjectHandle value, const Lookup& lookup, int& left);
    // The same for every value reachable from `value`.
    void resolveAll(QPDFObjectHandle value, const Lookup& lookup, int& left);

    // The subsections of a classic table from `offset` to its "trailer" at
    // `end`, line by line as qpdf reads them; throws where qpdf would.
    std::vector<RawEntry> table(qpdf_offset_t offset, qpdf_offset_t end);

private:
    qpdf_offset_t afterLineEnd();
    // `text`, then what lies from `offset` to `end`, as table lines.
    std::vector<RawEntry> lines(std::string text, qpdf_offset_t offset, qpdf_offset_t end);

private:
    std::shared_ptr<InputSource> source_;
    std::shared_ptr<QPDF> scratch_;
    QPDFTokenizer tokenizer_;
};

// The entries of the sections read, newest first, in the order qpdf takes
// them (the first found wins): a table's entries in use, then those of its
// /XRefStm, then its free ones. A table is read, and a cross-reference
// stream's rows decoded, when a lookup first needs them.
class RawTable {
public:
    explicit RawTable(RawReader& reader) : reader_(reader) {}
    void addTable(qpdf_offset_t offset, qpdf_offset_t end, bool free) {
        blocks_.push_back({offset, end, free, {}, {}});
    }
    void addStream(RawRows layout, std::function<std::string()> rows) {
        blocks_.push_back({-1, -1, false, std::move(layout), std::move(rows)});
    }
    std::optional<Located> find(int number, int generation);
    // Every object stream a cross-reference stream names, once.
    std::vector<int> containers();

private:
    struct Block {
        qpdf_offset_t table;
        qpdf_offset_t end;
        bool free;
        std::optional<RawRows> layout;
        std::function<std::string()> rows; // decodes; then the rows themselves
        std::optional<std::string> decoded = std::nullopt;
    };
    const std::string& rowsOf(Block& block);

    RawReader& reader_;
    std::vector<Block> blocks_;
    std::map<qpdf_offset_t, std::vector<RawEntry>> tables_;
};

} // namespace pdfunlock
