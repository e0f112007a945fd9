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
#include <string>
#include <vector>

namespace pdfunlock {

class ObjectStreamPassthrough {
public:
    // A plan for the copy writeWhole(source, info, minimum) would write, or
    // nullptr unless this way is sure to give the same document: no repair or
    // warning so far; object streams to carry; every object the copy holds
    // listed in the source's table, under one number each; every stream one
    // the writer would copy as read; and a permanent identifier. An object
    // stream goes across as read only when every object the table puts in it
    // goes into the copy, its head lists them in the table's order and its
    // dictionary holds direct values only, of the types a reader expects
    // (its head is left to the check of the copy); any other is written anew
    // from the objects it keeps.
    // Reads every object the source's table lists: when that makes qpdf
    // warn, the source read otherwise than a reader of only what the copy
    // needs would (see writeWholeCopy).
    static std::unique_ptr<ObjectStreamPassthrough> plan(QPDF& source, QPDFObjectHandle info,
                                                         const PDFVersion& minimum);

    // Writes the copy into `out`, with `secondIdentifier` as the second /ID
    // element. False when reading the source met anything the plan did not
    // expect; what was written then is no copy.
    bool write(Pipeline& out, const std::string& secondIdentifier);

    // Every object the objects of the copy name, as the source read them:
    // what the check of the copy takes the objects in the object streams
    // carried across to name (see checkedCopy).
    const std::vector<QPDFObjGen>& references() const;

    ~ObjectStreamPassthrough();
    ObjectStreamPassthrough(const ObjectStreamPassthrough&) = delete;
    ObjectStreamPassthrough& operator=(const ObjectStreamPassthrough&) = delete;

private:
    struct Plan;
    explicit ObjectStreamPassthrough(std::unique_ptr<Plan> plan);
    std::unique_ptr<Plan> plan_;
};

} // namespace pdfunlock
