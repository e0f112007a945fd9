#include "platform/qpdf/CopyCheck.h"

#include "platform/qpdf/BlockInputSource.h"
#include "platform/qpdf/LooseBodies.h"
#include "platform/qpdf/QuietQpdf.h"
#include "platform/qpdf/StoredObjects.h"

#include <algorithm>
#include <future>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <system_error>

namespace pdfunlock {

namespace {

class Checker {
public:
    Checker(QPDF& copy, const Carried* carried)
        : copy_(copy), carried_(carried), table_(copy.getXRefTable()) {}

    const std::map<QPDFObjGen, QPDFXRefEntry>& table() const { return table_; }

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

    // Every reference in the objects inside object streams names an object
    // of the copy: for the source's own objects, every one its
    // `references` lists.
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
    bool holds(QPDFObjGen og) const { return table_.count(og) != 0; }

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

    // The leaves under `node` as qpdf counts them: what has no /Kids is a
    // page, whatever it is.
    bool collect(QPDFObjectHandle node, std::vector<QPDFObjectHandle>& leaves,
                 std::vector<char>& seen, int depth) {
        const auto number = static_cast<size_t>(node.getObjGen().getObj());
        if (depth > 64 || number >= seen.size() || seen[number]) {
            return false;
        }
        seen[number] = 1;
        auto kids = node.isDictionary() ? resolved(node.getKey("/Kids")) : node;
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
        if (!sameKeys(have, want) || !want.isDictionary()) {
            return sameKeys(have, want);
        }
        auto haveObjects = resolved(have.getKey("/XObject"));
        auto wantObjects = want.getKey("/XObject");
        if (!sameKeys(haveObjects, wantObjects) || !wantObjects.isDictionary()) {
            return sameKeys(haveObjects, wantObjects);
        }
        for (const auto& key : wantObjects.getKeys()) {
            auto a = resolved(haveObjects.getKey(key));
            auto b = wantObjects.getKey(key);
            if (a.isStream() != b.isStream() ||
                (b.isStream() && described(a.getDict()) != described(b.getDict()))) {
                return false;
            }
        }
        return true;
    }

    // Both dictionaries with the same keys, or both no dictionary.
    static bool sameKeys(QPDFObjectHandle a, QPDFObjectHandle b) {
        return a.isDictionary() == b.isDictionary() &&
               (!a.isDictionary() || a.getKeys() == b.getKeys());
    }

    // The keys of a stream's dictionary but those of its encoding, which a
    // writer sets anew when it compresses data the source left as it was.
    static std::set<std::string> described(QPDFObjectHandle dict) {
        auto keys = dict.getKeys();
        for (const char* encoding : {"/Length", "/Filter", "/DecodeParms"}) {
            keys.erase(encoding);
        }
        return keys;
    }

    QPDF& copy_;
    const Carried* carried_;
    const std::map<QPDFObjGen, QPDFXRefEntry> table_;
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
        // The bodies outside object streams are read on a thread of their
        // own meanwhile: that reads the file alone.
        const auto input = std::make_shared<BlockInputSource>(written);
        const auto& table = checker.table();
        std::future<Bodies> scan;
        try {
            scan = std::async(std::launch::async,
                              [&input, &table] { return checkLooseBodies(input, table, {}); });
        } catch (const std::system_error&) {
            // No thread to spare: read here below.
        }
        const bool rest = checker.objectStreams() && checker.compressedObjects() &&
                          checker.pages(pages) && copy->numWarnings() == 0;
        auto bodies = scan.valid() ? scan.get() : Bodies::NeedLengths;
        if (bodies == Bodies::NeedLengths) {
            bodies = checkLooseBodies(input, table, [&copy](QPDFObjGen og) {
                auto length = copy->getObject(og);
                return length.isInteger() ? std::optional(length.getIntValue()) : std::nullopt;
            });
        }
        if (!rest || bodies != Bodies::Hold || copy->numWarnings() > 0) {
            return nullptr;
        }
        const int declared = checker.declaredPages();
        return std::make_shared<CheckedCopy>(CheckedCopy{copy, written, declared});
    } catch (const std::exception&) {
        return nullptr; // what qpdf cannot read through is no copy either
    }
}

} // namespace pdfunlock
