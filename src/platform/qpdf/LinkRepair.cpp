#include "platform/qpdf/LinkRepair.h"

#include "platform/qpdf/InfoValues.h"

#include <algorithm>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <stdexcept>

namespace pdfunlock {

namespace {

// A page tree or catalog entry that is not a dictionary makes qpdf warn; ask first.
QPDFObjectHandle keyOf(QPDFObjectHandle dictionary, const std::string& key) {
    return dictionary.isDictionary() ? dictionary.getKey(key) : QPDFObjectHandle::newNull();
}

// Resolves a named destination through the catalog's /Dests or /Names /Dests.
QPDFObjectHandle explicitDestination(QPDF& pdf, QPDFObjectHandle dest) {
    if (dest.isName()) {
        dest = keyOf(keyOf(pdf.getRoot(), "/Dests"), dest.getName());
    } else if (dest.isString()) {
        auto tree = keyOf(keyOf(pdf.getRoot(), "/Names"), "/Dests");
        QPDFObjectHandle found;
        if (tree.isDictionary() &&
            QPDFNameTreeObjectHelper(tree, pdf, false).findObject(dest.getUTF8Value(), found)) {
            dest = found;
        }
    }
    if (dest.isDictionary()) {
        dest = dest.getKey("/D");
    }
    return dest;
}

} // namespace

void LinkRepair::recordCopy(const std::shared_ptr<QPDF>& source, QPDFObjectHandle page,
                            QPDFObjectHandle copy) {
    auto& entry = sources_[source.get()];
    entry.pdf = source;
    entry.copies.try_emplace(page.getObjGen(), page, copy);
}

void LinkRepair::relinkCopies() {
    for (auto& [key, source] : sources_) {
        for (auto& [og, pair] : source.copies) {
            auto from = keyOf(pair.first, "/Annots");
            auto to = keyOf(pair.second, "/Annots");
            if (!from.isArray() || !to.isArray()) {
                continue;
            }
            const int count = std::min(from.getArrayNItems(), to.getArrayNItems());
            for (int i = 0; i < count; ++i) {
                try {
                    relink(source, from.getArrayItem(i), to.getArrayItem(i));
                } catch (const std::exception&) {
                    // A link we cannot follow keeps whatever qpdf made of it.
                }
            }
        }
    }
}

void LinkRepair::relink(Source& source, QPDFObjectHandle from, QPDFObjectHandle to) {
    if (!from.isDictionary() || !to.isDictionary() ||
        !from.getKey("/Subtype").isNameAndEquals("/Link")) {
        return;
    }
    if (auto dest = copiedDestination(source, from.getKey("/Dest")); dest.isArray()) {
        to.replaceKey("/Dest", dest);
    }
    auto action = from.getKey("/A");
    auto copiedAction = to.getKey("/A");
    if (action.isDictionary() && copiedAction.isDictionary() &&
        action.getKey("/S").isNameAndEquals("/GoTo")) {
        if (auto dest = copiedDestination(source, action.getKey("/D")); dest.isArray()) {
            copiedAction.replaceKey("/D", dest);
        }
    }
}

// The destination rewritten to the copy of its target page, or null when the
// target was not copied here.
QPDFObjectHandle LinkRepair::copiedDestination(Source& source, QPDFObjectHandle dest) {
    dest = explicitDestination(*source.pdf, dest);
    if (!dest.isArray() || dest.getArrayNItems() == 0) {
        return QPDFObjectHandle::newNull();
    }
    auto target = source.copies.find(dest.getArrayItem(0).getObjGen());
    if (!dest.getArrayItem(0).isIndirect() || target == source.copies.end()) {
        return QPDFObjectHandle::newNull();
    }
    auto copied = QPDFObjectHandle::newArray({target->second.second});
    long budget = kUnparseBudget;
    for (int i = 1; i < dest.getArrayNItems(); ++i) {
        copied.appendItem(QPDFObjectHandle::parse(unparseDirect(dest.getArrayItem(i), budget)));
    }
    return copied;
}

} // namespace pdfunlock
