// A quicker copy of a whole document that keeps its objects in object
// streams. In an encrypted file only an object stream as a whole is
// encrypted, not the objects in it, so an object stream whose objects all go
// into the copy unchanged can go across as its decrypted bytes, still
// compressed, without parsing and writing every object in it again. Every
// other object is written from qpdf's objects, under the source's own numbers
// and a new cross-reference stream.
#pragma once

#include <memory>
#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

class LooseObjectPrefetch;

class ObjectStreamPassthrough {
public:
    // A plan for the copy writeWhole(source, info, minimum) would write, or
    // nullptr unless this way is sure to give the same document: no repair or
    // warning so far; object streams to carry; every object the copy holds
    // listed in the source's table; every stream one the writer would copy
    // as read; and a permanent identifier. An object stream that also holds
    // objects the copy leaves out (the old catalog, the old information, an
    // object an update replaced) or whose table disagrees with the source's
    // is written anew from the objects it keeps.
    // The objects outside object streams come from `prefetch` when it read
    // them all.
    static std::unique_ptr<ObjectStreamPassthrough>
    plan(QPDF& source, QPDFObjectHandle info, const PDFVersion& minimum,
         std::shared_ptr<LooseObjectPrefetch> prefetch = nullptr);

    // Writes the copy into `out`. False when reading the source met anything
    // the plan did not expect; what was written then is no copy.
    bool write(Pipeline& out);

    ~ObjectStreamPassthrough();
    ObjectStreamPassthrough(const ObjectStreamPassthrough&) = delete;
    ObjectStreamPassthrough& operator=(const ObjectStreamPassthrough&) = delete;

private:
    struct Plan;
    explicit ObjectStreamPassthrough(std::unique_ptr<Plan> plan);
    std::unique_ptr<Plan> plan_;
};

} // namespace pdfunlock
