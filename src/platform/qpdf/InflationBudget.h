// How much one document may make qpdf inflate, checked before qpdf inflates
// anything: qpdf 11.3 decodes a cross-reference or object stream whole into
// memory, however far its data inflates, and has no limit of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <qpdf/InputSource.hh>
#include <qpdf/QPDF.hh>

namespace pdfunlock {

class InflationBudget {
public:
    // What qpdf may hold for one document: the decoded data of its object
    // streams, plus 100 bytes for each entry of its cross-reference streams
    // (about what qpdf keeps for one); while a cross-reference stream is
    // read, its decoded data besides. A document whose own counts need more
    // is refused as damaged. Honest documents need a small part of it: a
    // text document of 5000 pages about 2 MiB.
    static constexpr std::uint64_t kBytesPerDocument = 64ull << 20;
    static constexpr std::uint64_t kBytesPerEntry = 100;

    // Follows the cross-reference sections from startxref as qpdf will,
    // before qpdf reads them, and inflates each cross-reference stream,
    // counting, up to the size its /W, /Index and /Size call for (and 1 MiB
    // besides) within the budget. Throws QPDFExc (damaged) for a stream that
    // inflates beyond, for one whose dictionary gives its layout or filters
    // by reference, and for a file whose trailer or encryption dictionary
    // leads into an object stream (qpdf would inflate it before the password
    // is checked). Whatever qpdf would reject or rebuild is left to it.
    static InflationBudget beforeParse(const std::shared_ptr<InputSource>& source);

    // After the unlock, before any object is read: whether the object streams
    // of `pdf`'s table stay within what is left of the budget. Each counts
    // as its data's length times the most its filters can inflate; only when
    // those bounds together exceed the budget are the largest decoded,
    // counting, until the rest fits. False also for an object stream that is
    // not where the table says or whose dictionary leads into another one.
    bool objectStreamsFit(QPDF& pdf) const;

    // What the walk read; defined where the walk is.
    class Sections;

private:
    // Null without a cross-reference stream: then there is no object stream.
    std::shared_ptr<Sections> sections_;
};

} // namespace pdfunlock
