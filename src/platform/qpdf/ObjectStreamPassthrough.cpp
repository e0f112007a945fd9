#include "platform/qpdf/ObjectStreamPassthrough.h"

#include "platform/qpdf/LooseObjectPrefetch.h"
#include "platform/qpdf/WholeDocumentWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDFXRefEntry.hh>
#include <string>

namespace pdfunlock {

namespace {

// The second /ID element qpdf's writer gives when told to fix it.
constexpr unsigned char kFixedIdentifier[16] = {0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93,
                                                0x23, 0x84, 0x62, 0x64, 0x33, 0x83, 0x27, 0x95};

std::string objectLine(int number, int generation) {
    return std::to_string(number) + " " + std::to_string(generation) + " obj\n";
}

class CountingOutput {
public:
    explicit CountingOutput(Pipeline& out) : out_(out) {}
    void put(const std::string& text) {
        out_.write(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        written_ += text.size();
    }
    unsigned long long written() const { return written_; }

private:
    Pipeline& out_;
    unsigned long long written_ = 0;
};

std::string deflated(const std::string& data) {
    std::string compressed;
    Pl_String sink("deflated", nullptr, compressed);
    Pl_Flate flate("deflate", &sink, Pl_Flate::a_deflate);
    flate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    flate.finish();
    return compressed;
}

int bytesFor(unsigned long long value) {
    int bytes = 1;
    while (value >>= 8) {
        ++bytes;
    }
    return bytes;
}

} // namespace

struct ObjectStreamPassthrough::Plan {
    enum class Kind { Object, Stream, Written, ObjectStreamAsRead, ObjectStreamAnew };
    struct Piece {
        QPDFObjGen og;
        Kind kind;
        std::vector<QPDFObjGen> members;      // of an object stream written anew, in order
        const std::string* written = nullptr; // read ahead by the prefetch
    };

    QPDF* source = nullptr;
    std::shared_ptr<LooseObjectPrefetch> prefetch; // keeps what it read while the copy is written
    std::string version;
    std::vector<Piece> pieces; // in object number order
    // By object number: for each object kept inside an object stream, the
    // stream (0: none) and the index.
    std::vector<std::pair<int, int>> compressed;
    QPDFObjectHandle catalog;
    std::string info; // empty: none
    std::string firstIdentifier;
    int catalogNumber = 0;
    int infoNumber = 0;
    int xrefNumber = 0;
};

ObjectStreamPassthrough::ObjectStreamPassthrough(std::unique_ptr<Plan> plan)
    : plan_(std::move(plan)) {}

ObjectStreamPassthrough::~ObjectStreamPassthrough() = default;

std::unique_ptr<ObjectStreamPassthrough>
ObjectStreamPassthrough::plan(QPDF& source, QPDFObjectHandle info, const PDFVersion& minimum,
                              std::shared_ptr<LooseObjectPrefetch> prefetch) {
    using Kind = Plan::Kind;
    try {
        if (source.numWarnings() > 0) {
            return nullptr;
        }
        auto id = source.getTrailer().getKey("/ID");
        if (!id.isArray() || id.getArrayNItems() != 2 || !id.getArrayItem(0).isString() ||
            id.getArrayItem(0).getStringValue().empty()) {
            return nullptr; // the writer derives an identifier from the content then
        }
        auto plan = std::make_unique<Plan>();
        plan->source = &source;
        plan->firstIdentifier = id.getArrayItem(0).getStringValue();

        // The prefetch's twin read the same table, so it need not be copied
        // once more here.
        const LooseObjectPrefetch::Objects* loose = prefetch ? prefetch->objects() : nullptr;
        const auto ownTable = loose ? LooseObjectPrefetch::Table{} : source.getXRefTable();
        const auto& table = loose ? prefetch->table() : ownTable;
        int highest = 0;
        bool objectStreams = false;
        for (const auto& [og, entry] : table) {
            highest = std::max(highest, og.getObj());
            objectStreams = objectStreams || entry.getType() == 2;
        }
        if (!objectStreams) {
            return nullptr; // nothing to gain
        }
        // The copy keeps the source's numbers: numbers far beyond the count
        // of objects would make its table long for nothing.
        if (static_cast<size_t>(highest) > 4 * table.size() + 1024) {
            return nullptr;
        }
        // Looked up by number from here on; two generations of one number
        // are left to qpdf's writer.
        std::vector<std::pair<QPDFObjGen, const QPDFXRefEntry*>> entries(
            static_cast<size_t>(highest) + 1, {QPDFObjGen(), nullptr});
        for (const auto& [og, entry] : table) {
            auto& slot = entries[static_cast<size_t>(og.getObj())];
            if (slot.second) {
                return nullptr;
            }
            slot = {og, &entry};
        }
        const auto entryOf = [&entries](QPDFObjGen og) -> const QPDFXRefEntry* {
            if (og.getObj() <= 0 || static_cast<size_t>(og.getObj()) >= entries.size()) {
                return nullptr;
            }
            const auto& slot = entries[static_cast<size_t>(og.getObj())];
            return slot.first == og ? slot.second : nullptr;
        };
        const auto encryption = source.getTrailer().getKey("/Encrypt").getObjGen();
        // Every object where the table says, as qpdf's writer reads them all
        // before it writes: a read that fails makes qpdf rebuild the table,
        // and what the rest then reads depends on the order of reading. The
        // objects outside object streams may have been read by the prefetch.
        std::vector<const LooseObjectPrefetch::Object*> read(loose ? entries.size() : 0, nullptr);
        if (loose) {
            for (const auto& [og, object] : *loose) {
                if (entryOf(og)) {
                    read[static_cast<size_t>(og.getObj())] = &object;
                }
            }
        }
        for (const auto& [og, entry] : table) {
            if (!loose || entry.getType() != 1 || og == encryption) {
                source.getObject(og).getTypeCode();
            } else if (!read[static_cast<size_t>(og.getObj())]) {
                return nullptr;
            }
        }
        if (source.numWarnings() > 0) {
            return nullptr;
        }
        plan->prefetch = std::move(prefetch);

        // Everything the copy holds, from its new catalog down.
        plan->catalog = wholeCatalog(source.getRoot());
        std::vector<char> seen(entries.size(), 0);
        std::vector<QPDFObjGen> reached;
        std::vector<QPDFObjectHandle> pending{plan->catalog};
        while (!pending.empty()) {
            auto object = pending.back();
            pending.pop_back();
            if (object.isIndirect()) {
                const auto og = object.getObjGen();
                const auto* entry = entryOf(og);
                if (!entry || og == encryption) {
                    return nullptr; // dangling, or something no copy should hold
                }
                if (seen[static_cast<size_t>(og.getObj())]) {
                    continue;
                }
                seen[static_cast<size_t>(og.getObj())] = 1;
                reached.push_back(og);
                if (loose && entry->getType() == 1) {
                    const auto& looseObject = *read[static_cast<size_t>(og.getObj())];
                    if (looseObject.written.empty()) {
                        return nullptr; // a null, or a stream the writer re-encodes
                    }
                    for (const auto& reference : looseObject.references) {
                        pending.push_back(source.getObject(reference));
                    }
                    continue;
                }
                if (object.isNull()) {
                    return nullptr; // unreadable: the writer's business
                }
            }
            const auto visit = [&pending](QPDFObjectHandle child) {
                if (child.isIndirect() || child.isArray() || child.isDictionary()) {
                    pending.push_back(child);
                }
            };
            if (object.isStream()) {
                for (const auto& [key, value] : object.getDict().getDictAsMap()) {
                    if (key != "/Length") {
                        visit(value);
                    }
                }
            } else if (object.isDictionary()) {
                for (const auto& [key, value] : object.getDictAsMap()) {
                    visit(value);
                }
            } else if (object.isArray()) {
                for (const auto& item : object.getArrayAsVector()) {
                    visit(item);
                }
            }
        }
        if (source.numWarnings() > 0) {
            return nullptr;
        }

        std::sort(reached.begin(), reached.end());
        std::map<int, std::vector<QPDFObjGen>> kept; // object stream -> objects the copy holds
        for (const auto& og : reached) {
            const auto& entry = *entryOf(og);
            if (entry.getType() == 2) {
                kept[entry.getObjStreamNumber()].push_back(og);
                continue;
            }
            if (entry.getType() != 1) {
                return nullptr;
            }
            if (loose) {
                plan->pieces.push_back(
                    {og, Kind::Written, {}, &read[static_cast<size_t>(og.getObj())]->written});
                continue;
            }
            auto object = source.getObject(og);
            if (!object.isStream()) {
                plan->pieces.push_back({og, Kind::Object, {}});
                continue;
            }
            if (!copiedAsStored(object)) {
                return nullptr;
            }
            plan->pieces.push_back({og, Kind::Stream, {}});
        }

        plan->compressed.assign(entries.size(), {0, 0});
        const auto listings = objectStreamListings(table);
        for (auto& [number, members] : kept) {
            const QPDFObjGen og(number, 0);
            const auto* entry = entryOf(og);
            if (!entry || entry->getType() != 1) {
                return nullptr;
            }
            auto stream = source.getObject(og);
            if (!stream.isStream()) {
                return nullptr;
            }
            const auto& listed = listings.at(number);
            // Every object the table puts in it goes into the copy.
            bool asRead = !listed.empty() && members.size() == listed.size();
            const std::string* written = nullptr;
            if (asRead && loose) {
                // The prefetch checked the stream and kept its data.
                written = &read[static_cast<size_t>(number)]->written;
                asRead = !written->empty() && stream.getDict().isDictionaryOfType("/ObjStm");
            } else if (asRead) {
                asRead = objectStreamAgrees(stream, listed);
            }
            if (source.numWarnings() > 0) {
                return nullptr;
            }
            const auto& order = asRead ? listed : members;
            for (size_t i = 0; i < order.size(); ++i) {
                plan->compressed[static_cast<size_t>(order[i].getObj())] = {number,
                                                                            static_cast<int>(i)};
            }
            if (written && asRead) {
                plan->pieces.push_back({og, Kind::Written, {}, written});
            } else if (asRead) {
                plan->pieces.push_back({og, Kind::ObjectStreamAsRead, {}});
            } else {
                plan->pieces.push_back({og, Kind::ObjectStreamAnew, members});
            }
        }
        std::sort(plan->pieces.begin(), plan->pieces.end(),
                  [](const Plan::Piece& a, const Plan::Piece& b) { return a.og < b.og; });

        plan->catalogNumber = highest + 1;
        int next = highest + 2;
        if (info.isDictionary()) {
            plan->info = info.unparseResolved();
            plan->infoNumber = next++;
        }
        plan->xrefNumber = next;

        // As qpdf's writer settles it: the source's version, at least
        // `minimum`, and 1.5 for object streams.
        PDFVersion version(1, 5);
        int major = 1;
        int minor = 0;
        if (std::sscanf(source.getPDFVersion().c_str(), "%d.%d", &major, &minor) == 2) {
            version.updateIfGreater(PDFVersion(major, minor));
        }
        version.updateIfGreater(minimum);
        int extension = 0;
        version.getVersion(plan->version, extension);
        return std::unique_ptr<ObjectStreamPassthrough>(
            new ObjectStreamPassthrough(std::move(plan)));
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool ObjectStreamPassthrough::write(Pipeline& pipeline) {
    using Kind = Plan::Kind;
    auto& plan = *plan_;
    QPDF& source = *plan.source;
    const auto warnings = source.numWarnings();
    CountingOutput out(pipeline);
    out.put("%PDF-" + plan.version + "\n%\xbf\xf7\xa2\xfe\n");

    // By number: where each object outside object streams starts (0: not
    // written) and its generation.
    std::vector<std::pair<unsigned long long, int>> offsets(
        static_cast<size_t>(plan.xrefNumber) + 1, {0, 0});
    for (const auto& piece : plan.pieces) {
        offsets[static_cast<size_t>(piece.og.getObj())] = {out.written(), piece.og.getGen()};
        if (piece.kind == Kind::Written) {
            out.put(*piece.written);
            continue;
        }
        auto object = source.getObject(piece.og);
        switch (piece.kind) {
        case Kind::Object:
            out.put(writtenObject(piece.og, object));
            break;
        case Kind::Stream:
        case Kind::ObjectStreamAsRead: {
            const auto data = storedData(source, object);
            if (!data) {
                return false;
            }
            out.put(writtenStream(piece.og, object.getDict().shallowCopy(), *data));
            break;
        }
        case Kind::Written:
            break;
        case Kind::ObjectStreamAnew: {
            std::string numbers;
            std::string bodies;
            for (const auto& member : piece.members) {
                numbers +=
                    std::to_string(member.getObj()) + " " + std::to_string(bodies.size()) + " ";
                bodies += source.getObject(member).unparseResolved() + "\n";
            }
            numbers.back() = '\n';
            auto dict = QPDFObjectHandle::newDictionary();
            dict.replaceKey("/Type", QPDFObjectHandle::newName("/ObjStm"));
            dict.replaceKey(
                "/N", QPDFObjectHandle::newInteger(static_cast<long long>(piece.members.size())));
            dict.replaceKey("/First",
                            QPDFObjectHandle::newInteger(static_cast<long long>(numbers.size())));
            dict.replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));
            out.put(writtenStream(piece.og, dict, deflated(numbers + bodies)));
            break;
        }
        }
    }
    offsets[static_cast<size_t>(plan.catalogNumber)] = {out.written(), 0};
    out.put(objectLine(plan.catalogNumber, 0) + plan.catalog.unparse() + "\nendobj\n");
    if (plan.infoNumber) {
        offsets[static_cast<size_t>(plan.infoNumber)] = {out.written(), 0};
        out.put(objectLine(plan.infoNumber, 0) + plan.info + "\nendobj\n");
    }
    const auto xrefOffset = out.written();

    // Type, then offset or object stream, then generation or index.
    unsigned long long widest = xrefOffset;
    int widestSecond = 0;
    for (const auto& [offset, generation] : offsets) {
        widestSecond = std::max(widestSecond, generation);
    }
    for (const auto& [stream, index] : plan.compressed) {
        widest = std::max<unsigned long long>(widest, static_cast<unsigned long long>(stream));
        widestSecond = std::max(widestSecond, index);
    }
    const int w1 = bytesFor(widest);
    const int w2 = bytesFor(static_cast<unsigned long long>(std::max(widestSecond, 65535)));
    std::string entries;
    const auto field = [&entries](unsigned long long value, int width) {
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
            entries.push_back(static_cast<char>((value >> shift) & 0xff));
        }
    };
    for (int number = 0; number <= plan.xrefNumber; ++number) {
        const auto at = static_cast<size_t>(number);
        if (offsets[at].first != 0) {
            field(1, 1);
            field(offsets[at].first, w1);
            field(static_cast<unsigned long long>(offsets[at].second), w2);
        } else if (at < plan.compressed.size() && plan.compressed[at].first != 0) {
            field(2, 1);
            field(static_cast<unsigned long long>(plan.compressed[at].first), w1);
            field(static_cast<unsigned long long>(plan.compressed[at].second), w2);
        } else if (number == plan.xrefNumber) {
            field(1, 1);
            field(xrefOffset, w1);
            field(0, w2);
        } else {
            field(0, 1);
            field(0, w1);
            field(number == 0 ? 65535 : 0, w2);
        }
    }
    // Written out, since a reference needs the document it belongs to.
    const auto reference = [](int number) { return std::to_string(number) + " 0 R"; };
    const auto identifier = [](const std::string& bytes) {
        return QPDFObjectHandle::newString(bytes).unparse();
    };
    // Each row as its difference from the row above (PNG's Up predictor, as
    // qpdf's writer does): neighbouring entries differ in a byte or two, and
    // the table compresses to a few bytes an entry instead of five.
    const size_t columns = static_cast<size_t>(1 + w1 + w2);
    std::string rows;
    rows.reserve(entries.size() + entries.size() / columns);
    for (size_t at = 0; at < entries.size(); at += columns) {
        rows.push_back(2);
        for (size_t i = 0; i < columns; ++i) {
            const auto above = at >= columns ? entries[at - columns + i] : 0;
            rows.push_back(static_cast<char>(entries[at + i] - above));
        }
    }
    const auto data = deflated(rows);
    std::string trailer = "<< /Type /XRef /Size " + std::to_string(plan.xrefNumber + 1) +
                          " /W [ 1 " + std::to_string(w1) + " " + std::to_string(w2) + " ] /Root " +
                          reference(plan.catalogNumber);
    if (plan.infoNumber) {
        trailer += " /Info " + reference(plan.infoNumber);
    }
    trailer += " /ID [ " + identifier(plan.firstIdentifier) + " " +
               identifier(std::string(reinterpret_cast<const char*>(kFixedIdentifier),
                                      sizeof kFixedIdentifier)) +
               " ] /Filter /FlateDecode /DecodeParms << /Columns " + std::to_string(columns) +
               " /Predictor 12 >> /Length " + std::to_string(data.size()) + " >>";
    out.put(objectLine(plan.xrefNumber, 0) + trailer + "\nstream\n");
    out.put(data);
    out.put("\nendstream\nendobj\n");
    out.put("startxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n");
    if (plan.prefetch) {
        // Written out: the source's document need not hold it any longer.
        plan.pieces.clear();
        plan.prefetch->release();
        plan.prefetch.reset();
    }
    return source.numWarnings() == warnings;
}

} // namespace pdfunlock
