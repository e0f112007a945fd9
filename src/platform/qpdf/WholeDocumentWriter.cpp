#include "platform/qpdf/WholeDocumentWriter.h"

#include "platform/qpdf/DocumentParts.h"
#include "platform/qpdf/DocumentWriter.h"

#include <map>
#include <optional>
#include <string>

namespace pdfunlock {

namespace {

// The pages under a page tree node, if every node's /Count agrees.
std::optional<size_t> countedLeaves(QPDFObjectHandle node, int depth) {
    if (depth > 64 || !node.isDictionary()) {
        return std::nullopt;
    }
    if (node.getKey("/Type").isNameAndEquals("/Page")) {
        return 1;
    }
    auto kids = node.getKey("/Kids");
    auto count = node.getKey("/Count");
    if (!kids.isArray() || !count.isInteger()) {
        return std::nullopt;
    }
    size_t total = 0;
    for (auto& kid : kids.aitems()) {
        const auto below = countedLeaves(kid, depth + 1);
        if (!below) {
            return std::nullopt;
        }
        total += *below;
    }
    if (count.getIntValue() != static_cast<long long>(total)) {
        return std::nullopt;
    }
    return total;
}

} // namespace

std::shared_ptr<QPDF> wholeSource(const std::vector<PageRef>& order,
                                  const std::shared_ptr<QPDF>& self) {
    if (order.empty() || order.front().owner == self) {
        return nullptr;
    }
    const auto owner = order.front().owner;
    const auto& ownPages = owner->getAllPages();
    if (ownPages.size() != order.size()) {
        return nullptr;
    }
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i].owner != owner || order[i].page.getObjGen() != ownPages[i].getObjGen()) {
            return nullptr;
        }
    }
    // Its page tree goes out as it stands, so it must say what it holds; qpdf
    // reads past a wrong /Count, other readers do not.
    const auto leaves = countedLeaves(owner->getRoot().getKey("/Pages"), 0);
    if (!leaves || *leaves != order.size()) {
        return nullptr;
    }
    return owner;
}

QPDFObjectHandle wholeCatalog(QPDFObjectHandle root) {
    auto catalog = QPDFObjectHandle::newDictionary();
    catalog.replaceKey("/Type", QPDFObjectHandle::newName("/Catalog"));
    catalog.replaceKey("/Pages", root.getKey("/Pages"));
    if (root.getKey("/Dests").isDictionary()) {
        catalog.replaceKey("/Dests", root.getKey("/Dests"));
    }
    if (auto names = root.getKey("/Names"); names.isDictionary() && names.hasKey("/Dests")) {
        auto onlyDests = QPDFObjectHandle::newDictionary();
        onlyDests.replaceKey("/Dests", names.getKey("/Dests"));
        catalog.replaceKey("/Names", onlyDests);
    }
    carryWholeDocumentParts(root, catalog); // layers, form, tagged structure
    return catalog;
}

void writeWhole(QPDF& source, QPDFObjectHandle info, Pipeline& out, const PDFVersion& minimum,
                const BeforeWrite& beforeWrite, bool eachStreamOnce) {
    auto trailer = source.getTrailer();
    const auto saved = trailer.getDictAsMap();
    struct Restore {
        QPDFObjectHandle trailer;
        const std::map<std::string, QPDFObjectHandle>& saved;
        ~Restore() {
            for (const auto& key : trailer.getKeys()) {
                trailer.removeKey(key);
            }
            for (const auto& [key, value] : saved) {
                trailer.replaceKey(key, value);
            }
        }
    } restore{trailer, saved};

    auto catalog = wholeCatalog(source.getRoot());
    for (const auto& key : trailer.getKeys()) {
        // The writer fills in /Size and decides about /ID and /Encrypt.
        if (key != "/Size" && key != "/ID" && key != "/Encrypt") {
            trailer.removeKey(key);
        }
    }
    trailer.replaceKey("/Root", source.makeIndirectObject(catalog));
    if (info.isDictionary()) {
        trailer.replaceKey(
            "/Info", source.makeIndirectObject(QPDFObjectHandle::parse(info.unparseResolved())));
    }
    writeUnencrypted(source, out, minimum, beforeWrite, eachStreamOnce);
}

} // namespace pdfunlock
