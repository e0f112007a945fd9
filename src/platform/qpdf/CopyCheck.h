// The check every copy passes before it is kept, made on the written file
// itself: every reference in it names an object it holds; no object number
// stands twice in it (the bodies outside object streams follow one another
// where its table says, with nothing between them, and each object stream's
// head lists what the table puts in it, in the table's order); and each page
// has the resources of the page it copies, each image or form among them a
// dictionary with that one's keys.
#pragma once

#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

class OpenFile;

// What a copy that carries object streams across (see
// ObjectStreamPassthrough) took from its source: every object in its object
// streams is the source's object of that number, as the source's parse has
// it (carried in the bytes it was read from, or written anew by qpdf's
// unparse). Those are not parsed again (their heads are checked): what they
// name is among the source's `references`.
struct Carried {
    QPDF& source;
    const std::vector<QPDFObjGen>& references; // every object the source's objects name
};

// A copy that passed: qpdf's reading of it (as far as the check read it),
// the file it reads, and what its page tree says it holds (-1: nothing
// usable), for the open that verifies it to take over.
struct CheckedCopy {
    std::shared_ptr<QPDF> pdf;
    std::shared_ptr<const OpenFile> file;
    int declaredPages = -1;
};

// `pages`: the pages the copy should hold, in its order, as the document it
// was written from has them. Null when the copy fails the check.
std::shared_ptr<CheckedCopy> checkedCopy(const std::shared_ptr<const OpenFile>& written,
                                         const std::vector<QPDFObjectHandle>& pages,
                                         const Carried* carried = nullptr);

} // namespace pdfunlock
