#include "platform/qpdf/DocumentParts.h"

#include <algorithm>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <set>
#include <stdexcept>

namespace pdfunlock {
namespace {

std::set<QPDFObjGen> indirectItems(QPDFObjectHandle array) {
    std::set<QPDFObjGen> items;
    if (array.isArray()) {
        for (auto& item : array.aitems()) {
            if (item.isIndirect()) {
                items.insert(item.getObjGen());
            }
        }
    }
    return items;
}

// Appends to the array under `key` (made if absent) the items it lacks.
void appendMissing(QPDFObjectHandle dictionary, const std::string& key, QPDFObjectHandle items) {
    if (!items.isArray() || items.getArrayNItems() == 0) {
        return;
    }
    auto into = dictionary.getKey(key);
    if (!into.isArray()) {
        into = dictionary.replaceKeyAndGetNew(key, QPDFObjectHandle::newArray());
    }
    auto present = indirectItems(into);
    for (auto& item : items.aitems()) {
        if (!item.isIndirect() || present.insert(item.getObjGen()).second) {
            into.appendItem(item);
        }
    }
}

// The groups of `all` that `listed` does not name.
QPDFObjectHandle groupsBesides(QPDFObjectHandle all, QPDFObjectHandle listed) {
    const auto named = indirectItems(listed);
    auto rest = QPDFObjectHandle::newArray();
    for (auto& group : all.aitems()) {
        if (group.isIndirect() && !named.count(group.getObjGen())) {
            rest.appendItem(group);
        }
    }
    return rest;
}

// Adds a second source's layer configuration to the one the copy has, each
// group keeping the default state it had.
void mergeOptionalContent(QPDFObjectHandle present, QPDFObjectHandle added) {
    auto groups = added.getKey("/OCGs");
    const auto known = indirectItems(present.getKey("/OCGs"));
    const auto incoming = indirectItems(groups);
    if (std::includes(known.begin(), known.end(), incoming.begin(), incoming.end())) {
        return; // nothing new: this source was merged before
    }
    appendMissing(present, "/OCGs", groups);
    auto config = present.getKey("/D");
    if (!config.isDictionary()) {
        config = present.replaceKeyAndGetNew("/D", QPDFObjectHandle::newDictionary());
    }
    auto from = added.getKey("/D");
    if (!from.isDictionary() || !groups.isArray()) {
        return;
    }
    const bool fromOff = from.getKey("/BaseState").isNameAndEquals("/OFF");
    const bool intoOff = config.getKey("/BaseState").isNameAndEquals("/OFF");
    if (fromOff == intoOff) {
        appendMissing(config, "/ON", from.getKey("/ON"));
        appendMissing(config, "/OFF", from.getKey("/OFF"));
    } else if (intoOff) {
        appendMissing(config, "/ON", groupsBesides(groups, from.getKey("/OFF")));
    } else {
        appendMissing(config, "/OFF", groupsBesides(groups, from.getKey("/ON")));
    }
    for (const char* key : {"/Order", "/RBGroups", "/Locked"}) {
        appendMissing(config, key, from.getKey(key));
    }
}

void carryOptionalContent(QPDF& destination, QPDF& source) {
    auto properties = source.getRoot().getKey("/OCProperties");
    if (!properties.isDictionary()) {
        return;
    }
    // qpdf copies only indirect objects. Copied after the pages, the groups
    // it names are the very objects the copied pages' resources use.
    if (!properties.isIndirect()) {
        properties = source.makeIndirectObject(properties.shallowCopy());
    }
    auto copied = destination.copyForeignObject(properties);
    auto root = destination.getRoot();
    if (auto present = root.getKey("/OCProperties"); present.isDictionary()) {
        mergeOptionalContent(present, copied);
    } else {
        root.replaceKey("/OCProperties", copied);
    }
}

// Drops from a copied field the widgets that are on no page of the copy, and
// the fields left without any. Answers whether `node` stays.
bool pruneUnplacedWidgets(QPDFObjectHandle node, const std::set<QPDFObjGen>& placed, int depth) {
    const bool widget = node.getKey("/Subtype").isNameAndEquals("/Widget");
    auto kids = node.getKey("/Kids");
    if (depth < 32 && kids.isArray() && kids.getArrayNItems() > 0) {
        auto kept = QPDFObjectHandle::newArray();
        for (auto& kid : kids.aitems()) {
            if (!kid.isDictionary() || pruneUnplacedWidgets(kid, placed, depth + 1)) {
                kept.appendItem(kid);
            }
        }
        if (kept.getArrayNItems() != kids.getArrayNItems()) {
            node.replaceKey("/Kids", kept);
        }
        if (kept.getArrayNItems() == 0 && !widget) {
            return false;
        }
    }
    return !widget || placed.count(node.getObjGen()) > 0;
}

std::set<QPDFObjGen> annotationsOnPages(QPDF& pdf) {
    std::set<QPDFObjGen> placed;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        const auto onPage = indirectItems(page.getObjectHandle().getKey("/Annots"));
        placed.insert(onPage.begin(), onPage.end());
    }
    return placed;
}

void carryFormFields(QPDF& destination, QPDF& source, const std::vector<CopiedPage>& pages) {
    auto sourceForm = source.getRoot().getKey("/AcroForm");
    if (!sourceForm.isDictionary()) {
        return;
    }
    QPDFAcroFormDocumentHelper from(source);
    // The annotations of every copied page with widgets go through qpdf in one
    // batch: a field with widgets on several pages is then copied once and
    // stays one field, where a page at a time would make a renamed field per page.
    auto batch = QPDFObjectHandle::newArray();
    std::vector<std::pair<QPDFObjectHandle, int>> slices; // page copy, annotations
    std::vector<CopiedPage> again;                        // a page placed twice
    std::set<QPDFObjGen> seen;
    for (const auto& page : pages) {
        if (from.getWidgetAnnotationsForPage(QPDFPageObjectHelper(page.original)).empty()) {
            continue;
        }
        if (!seen.insert(page.original.getObjGen()).second) {
            again.push_back(page);
            continue;
        }
        int count = 0;
        auto original = page.original;
        for (auto& annot : original.getKey("/Annots").aitems()) {
            // qpdf passes over annotations that are streams; so must the count.
            if (annot.isDictionary()) {
                batch.appendItem(annot);
                ++count;
            }
        }
        slices.emplace_back(page.copy, count);
    }
    if (slices.empty()) {
        return;
    }

    auto root = destination.getRoot();
    const bool formMade = !root.getKey("/AcroForm").isDictionary();
    if (formMade) {
        // The source's defaults become the copy's, so that qpdf need not
        // write them into every field.
        auto form = QPDFObjectHandle::newDictionary({{"/Fields", QPDFObjectHandle::newArray()}});
        if (auto da = sourceForm.getKey("/DA"); da.isString()) {
            form.replaceKey("/DA", QPDFObjectHandle::newString(da.getStringValue()));
        }
        if (auto q = sourceForm.getKey("/Q"); q.isInteger()) {
            form.replaceKey("/Q", QPDFObjectHandle::newInteger(q.getIntValue()));
        }
        root.replaceKey("/AcroForm", destination.makeIndirectObject(form));
    }
    try {
        QPDFAcroFormDocumentHelper into(destination);
        std::vector<QPDFObjectHandle> annots;
        std::vector<QPDFObjectHandle> fields;
        std::set<QPDFObjGen> replaced; // only filled for fields of this document
        // Merges the source's /DR and /NeedAppearances into the copy's form.
        into.transformAnnotations(batch, annots, fields, replaced, QPDFMatrix(), &source, &from);
        if (annots.size() != static_cast<size_t>(batch.getArrayNItems())) {
            throw std::runtime_error("annotations lost in the copy");
        }
        auto next = annots.begin();
        for (auto& [copy, count] : slices) {
            copy.replaceKey("/Annots", QPDFObjectHandle::newArray(
                                           std::vector<QPDFObjectHandle>(next, next + count)));
            next += count;
        }
        into.addAndRenameFormFields(fields);
        for (const auto& page : again) {
            std::set<QPDFObjGen> added;
            into.fixCopiedAnnotations(page.copy, page.original, from, &added);
            for (const auto& og : added) {
                fields.push_back(destination.getObjectByObjGen(og));
            }
        }
        const auto placed = annotationsOnPages(destination);
        std::set<QPDFObjGen> empty;
        for (auto& field : fields) {
            if (!pruneUnplacedWidgets(field, placed, 0)) {
                empty.insert(field.getObjGen());
            }
        }
        if (!empty.empty()) {
            into.removeFormFields(empty);
        }
    } catch (const std::exception&) {
        // The widgets stay on the pages as copied, without their fields.
    }
    if (formMade) {
        auto fields = root.getKey("/AcroForm").getKey("/Fields");
        if (!fields.isArray() || fields.getArrayNItems() == 0) {
            root.removeKey("/AcroForm");
        }
    }
}

} // namespace

void carryWholeDocumentParts(QPDFObjectHandle sourceRoot, QPDFObjectHandle catalog) {
    for (const char* key :
         {"/OCProperties", "/AcroForm", "/StructTreeRoot", "/MarkInfo", "/Lang"}) {
        if (auto value = sourceRoot.getKey(key); !value.isNull()) {
            catalog.replaceKey(key, value);
        }
    }
}

void carryPageParts(QPDF& destination, const std::vector<CopiedPage>& pages) {
    std::vector<std::pair<QPDF*, std::vector<CopiedPage>>> bySource;
    for (const auto& page : pages) {
        auto from = std::find_if(bySource.begin(), bySource.end(),
                                 [&](const auto& entry) { return entry.first == page.source; });
        if (from == bySource.end()) {
            from = bySource.insert(from, {page.source, {}});
        }
        from->second.push_back(page);
    }
    for (auto& [source, copied] : bySource) {
        try {
            carryOptionalContent(destination, *source);
        } catch (const std::exception&) {
            // Without its configuration every layer shows: as before.
        }
        try {
            carryFormFields(destination, *source, copied);
        } catch (const std::exception&) {
            // The widgets stay on the pages as copied, without their fields.
        }
    }
}

} // namespace pdfunlock
