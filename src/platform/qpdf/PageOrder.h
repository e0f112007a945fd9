// The page order of a document under construction, kept outside qpdf until
// the page tree is needed.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

class OpenFile;

// A page and the qpdf document it lives in. Holding the document keeps the
// page readable: qpdf copies a foreign page's stream data only when writing.
struct PageRef {
    std::shared_ptr<QPDF> owner;
    QPDFObjectHandle page;
    std::shared_ptr<const OpenFile> file = {}; // that document reads; null for a new one
};

// qpdf's insert before an existing page costs time in the page count; a
// backwards copy inserts every page at one index, so those insertions only
// grow a run that is spliced in, reversed, at once.
class PageOrder {
public:
    std::size_t size() const { return pages_.size() + run_.size(); }

    const PageRef& at(std::size_t index) const {
        if (run_.empty() || index < runAt_) {
            return pages_[index];
        }
        if (index < runAt_ + run_.size()) {
            return run_[run_.size() - 1 - (index - runAt_)];
        }
        return pages_[index - run_.size()];
    }

    void insert(PageRef ref, std::size_t index) {
        if (!run_.empty() && index != runAt_) {
            flush();
        }
        runAt_ = index;
        run_.push_back(std::move(ref));
    }

    std::vector<PageRef>& flattened() {
        flush();
        return pages_;
    }

private:
    void flush() {
        pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(runAt_),
                      std::make_move_iterator(run_.rbegin()), std::make_move_iterator(run_.rend()));
        run_.clear();
    }

    std::vector<PageRef> pages_;
    std::vector<PageRef> run_; // in insertion order: the last one comes first
    std::size_t runAt_ = 0;
};

} // namespace pdfunlock
