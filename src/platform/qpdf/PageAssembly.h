// The page-by-page copy: pages of other documents brought into a new one.
#pragma once

#include "platform/qpdf/LinkRepair.h"
#include "platform/qpdf/PageOrder.h"

#include <memory>
#include <qpdf/QPDF.hh>
#include <vector>

namespace pdfunlock {

class PageAssembly {
public:
    // Rebuilds `pdf`'s page tree to hold `order`, copying in the pages of
    // other documents with their links, layers and form fields; afterwards
    // every entry of `order` refers to a page of `pdf`. Only ever appends to
    // the tree, which qpdf does in constant time per page.
    void rebuild(const std::shared_ptr<QPDF>& pdf, std::vector<PageRef>& order);

private:
    QPDFObjectHandle copyIn(QPDF& pdf, const PageRef& ref);

    LinkRepair links_; // also keeps every source alive until the write
};

} // namespace pdfunlock
