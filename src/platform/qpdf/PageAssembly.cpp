#include "platform/qpdf/PageAssembly.h"

#include "platform/qpdf/DocumentParts.h"

#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <set>

namespace pdfunlock {

void PageAssembly::rebuild(const std::shared_ptr<QPDF>& pdf, std::vector<PageRef>& order) {
    QPDFPageDocumentHelper tree(*pdf);
    auto current = tree.getAllPages();
    for (auto page = current.rbegin(); page != current.rend(); ++page) {
        tree.removePage(*page); // from the end: nothing after it moves
    }
    std::set<QPDFObjGen> placed;
    std::vector<CopiedPage> copied;
    for (auto& ref : order) {
        auto page = ref.owner == pdf ? ref.page : copyIn(*pdf, ref);
        if (!placed.insert(page.getObjGen()).second) {
            // qpdf refuses the same page object twice in one tree.
            page = QPDFPageObjectHelper(page).shallowCopyPage().getObjectHandle();
        }
        tree.addPage(page, false);
        if (ref.owner != pdf) {
            copied.push_back({ref.owner.get(), ref.page, page});
        }
        ref = {pdf, page};
    }
    links_.relinkCopies();
    // After the links: the form's widgets are copied again from the relinked
    // copies.
    carryPageParts(*pdf, copied);
}

QPDFObjectHandle PageAssembly::copyIn(QPDF& pdf, const PageRef& ref) {
    // What the page inherits from its parents would stay behind otherwise.
    ref.owner->pushInheritedAttributesToPage();
    auto copy = pdf.copyForeignObject(ref.page);
    links_.recordCopy(ref.owner, ref.page, copy);
    return copy;
}

} // namespace pdfunlock
