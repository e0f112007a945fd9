#include "platform/qpdf/ObjectStreamPassthrough.h"

#include "platform/qpdf/CrossReferenceStream.h"
#include "platform/qpdf/StoredObjects.h"
#include "platform/qpdf/WholeDocumentWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <qpdf/QPDFXRefEntry.hh>
#include <set>
#include <string>

namespace pdfunlock {

namespace {

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

bool holdsReference(QPDFObjectHandle object) {
    if (object.isIndirect()) {
        return true;
    }
    if (object.isArray()) {
        const auto items = object.getArrayAsVector();
        return std::any_of(items.begin(), items.end(), holdsReference);
    }
    if (object.isDictionary()) {
        for (const auto& [key, value] : object.getDictAsMap()) {
            if (holdsReference(value)) {
                return true;
            }
        }
    }
    return false;
}

// Whether an object stream's dictionary can go across as it stands: every
// value but /Length (which the copy spells out) direct, /Type the name
// /ObjStm, /N and /First integers, and /Filter absent, a name or an array of
// names of filters qpdf decodes, so that its head could be read.
bool carriedDictionary(QPDFObjectHandle dict) {
    static const std::set<std::string> decoded = {
        "/FlateDecode", "/Fl",  "/LZWDecode",      "/LZW", "/ASCII85Decode",
        "/A85",         "/AHx", "/ASCIIHexDecode", "/RL",  "/RunLengthDecode",
    };
    for (const auto& [key, value] : dict.getDictAsMap()) {
        if (key != "/Length" && holdsReference(value)) {
            return false;
        }
    }
    if (!dict.getKey("/Type").isNameAndEquals("/ObjStm") || !dict.getKey("/N").isInteger() ||
        !dict.getKey("/First").isInteger()) {
        return false;
    }
    auto filter = dict.getKey("/Filter");
    auto filters = filter.isArray()  ? filter.getArrayAsVector()
                   : filter.isNull() ? std::vector<QPDFObjectHandle>{}
                                     : std::vector<QPDFObjectHandle>{filter};
    return std::all_of(filters.begin(), filters.end(), [](QPDFObjectHandle name) {
        return name.isName() && decoded.count(name.getName());
    });
}

} // namespace

struct ObjectStreamPassthrough::Plan {
    enum class Kind { Object, Stream, ObjectStreamAsRead, ObjectStreamAnew };
    struct Piece {
        QPDFObjGen og;
        Kind kind;
        std::vector<QPDFObjGen> members; // of an object stream written anew, in order
    };

    QPDF* source = nullptr;
    std::vector<QPDFObjGen> references; // every object the copy's objects name
    std::string version;
    std::vector<Piece> pieces; // in object number order, one a number
    CrossReferenceStream xref; // numbers and identifiers; offsets filled while writing
    QPDFObjectHandle catalog;
    std::string info; // empty: none
};

ObjectStreamPassthrough::ObjectStreamPassthrough(std::unique_ptr<Plan> plan)
    : plan_(std::move(plan)) {}

ObjectStreamPassthrough::~ObjectStreamPassthrough() = default;

std::unique_ptr<ObjectStreamPassthrough>
ObjectStreamPassthrough::plan(QPDF& source, QPDFObjectHandle info, const PDFVersion& minimum) {
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
        plan->xref.firstIdentifier = id.getArrayItem(0).getStringValue();

        const auto table = source.getXRefTable();
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
        // and what the rest then reads depends on the order of reading.
        for (const auto& [og, entry] : table) {
            source.getObject(og).getTypeCode();
        }
        if (source.numWarnings() > 0) {
            return nullptr;
        }

        // Everything the copy holds, from its new catalog down.
        plan->catalog = wholeCatalog(source.getRoot());
        std::vector<char> seen(entries.size(), 0);
        std::vector<QPDFObjGen> reached;
        const bool whole = eachReached(plan->catalog, [&](QPDFObjectHandle object) {
            const auto og = object.getObjGen();
            if (!entryOf(og) || og == encryption) {
                return Visit::Stop; // dangling, or something no copy should hold
            }
            if (seen[static_cast<size_t>(og.getObj())]) {
                return Visit::Skip;
            }
            seen[static_cast<size_t>(og.getObj())] = 1;
            reached.push_back(og);
            // Unreadable: the writer's business.
            return object.isNull() ? Visit::Stop : Visit::Follow;
        });
        if (!whole) {
            return nullptr;
        }
        if (source.numWarnings() > 0) {
            return nullptr;
        }

        std::sort(reached.begin(), reached.end());
        plan->references = reached;
        std::map<int, std::vector<QPDFObjGen>> kept; // object stream -> objects the copy holds
        for (const auto& og : reached) {
            const auto& entry = *entryOf(og);
            if (entry.getType() == 2) {
                kept[entry.getObjStreamNumber()].push_back(og);
                continue;
            }
            auto object = source.getObject(og);
            if (entry.getType() != 1 || (object.isStream() && !copiedAsStored(object))) {
                return nullptr; // an object stream among them, or a stream to re-encode
            }
            plan->pieces.push_back({og, object.isStream() ? Kind::Stream : Kind::Object, {}});
        }

        const auto looseCount = static_cast<std::ptrdiff_t>(plan->pieces.size());
        auto& compressed = plan->xref.compressed;
        compressed.assign(entries.size(), {0, 0});
        const auto listings = objectStreamListings(table);
        for (auto& [number, members] : kept) {
            const QPDFObjGen og(number, 0);
            const auto* entry = entryOf(og);
            if (!entry || entry->getType() != 1 || seen[static_cast<size_t>(number)]) {
                return nullptr; // not an object of its own, or one the copy holds as well
            }
            auto stream = source.getObject(og);
            if (!stream.isStream()) {
                return nullptr;
            }
            const auto& listed = listings.at(number);
            // Every object the table puts in it goes into the copy.
            // Its head is read by the check of the copy, which a head that
            // lists them otherwise fails.
            const bool asRead = !listed.empty() && members.size() == listed.size() &&
                                carriedDictionary(stream.getDict()) &&
                                objectStreamDictionaryAgrees(stream.getDict(), listed.size());
            if (source.numWarnings() > 0) {
                return nullptr;
            }
            const auto& order = asRead ? listed : members;
            for (size_t i = 0; i < order.size(); ++i) {
                compressed[static_cast<size_t>(order[i].getObj())] = {number, static_cast<int>(i)};
            }
            plan->pieces.push_back(
                {og, asRead ? Kind::ObjectStreamAsRead : Kind::ObjectStreamAnew, members});
        }
        // Both runs are in number order already.
        std::inplace_merge(plan->pieces.begin(), plan->pieces.begin() + looseCount,
                           plan->pieces.end(),
                           [](const Plan::Piece& a, const Plan::Piece& b) { return a.og < b.og; });
        for (size_t i = 1; i < plan->pieces.size(); ++i) {
            if (plan->pieces[i].og.getObj() == plan->pieces[i - 1].og.getObj()) {
                return nullptr;
            }
        }

        plan->xref.root = highest + 1;
        int next = highest + 2;
        if (info.isDictionary()) {
            plan->info = info.unparseResolved();
            plan->xref.info = next++;
        }
        plan->xref.number = next;

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

const std::vector<QPDFObjGen>& ObjectStreamPassthrough::references() const {
    return plan_->references;
}

bool ObjectStreamPassthrough::write(Pipeline& pipeline, const std::string& secondIdentifier) {
    using Kind = Plan::Kind;
    auto& plan = *plan_;
    QPDF& source = *plan.source;
    const auto warnings = source.numWarnings();
    CountingOutput out(pipeline);
    out.put("%PDF-" + plan.version + "\n%\xbf\xf7\xa2\xfe\n");

    auto xref = plan.xref;
    xref.secondIdentifier = secondIdentifier;
    xref.offsets.assign(static_cast<size_t>(xref.number) + 1, {0, 0});
    for (const auto& piece : plan.pieces) {
        xref.offsets[static_cast<size_t>(piece.og.getObj())] = {out.written(), piece.og.getGen()};
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
    xref.offsets[static_cast<size_t>(xref.root)] = {out.written(), 0};
    out.put(std::to_string(xref.root) + " 0 obj\n" + plan.catalog.unparse() + "\nendobj\n");
    if (xref.info) {
        xref.offsets[static_cast<size_t>(xref.info)] = {out.written(), 0};
        out.put(std::to_string(xref.info) + " 0 obj\n" + plan.info + "\nendobj\n");
    }
    out.put(xref.written(out.written()));
    return source.numWarnings() == warnings;
}

} // namespace pdfunlock
