// Links between pages copied from one document into another.
#pragma once

#include <map>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <utility>

namespace pdfunlock {

// qpdf does not follow a link into a page it is not copying, so a link to a
// page copied later comes out null. Record every page copied, then point each
// link between copied pages of one source at the copy of its target.
class LinkRepair {
public:
    void recordCopy(const std::shared_ptr<QPDF>& source, QPDFObjectHandle page,
                    QPDFObjectHandle copy);
    void relinkCopies();

private:
    struct Source {
        std::shared_ptr<QPDF> pdf;
        // source page -> (that page, its copy)
        std::map<QPDFObjGen, std::pair<QPDFObjectHandle, QPDFObjectHandle>> copies;
    };
    static void relink(Source& source, QPDFObjectHandle from, QPDFObjectHandle to);
    static QPDFObjectHandle copiedDestination(Source& source, QPDFObjectHandle dest);

    std::map<QPDF*, Source> sources_;
};

} // namespace pdfunlock
