// The bodies of a written copy's objects outside object streams, read one
// after another from the header on, as a reader that rebuilds the table
// would find them (see CopyCheck). Reads the file and nothing else, so that
// it can run on a thread of its own.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <qpdf/InputSource.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFXRefEntry.hh>

namespace pdfunlock {

enum class Bodies {
    Hold,        // each where `table` says, under its number, nothing between them
    Fail,        // anything else, or a reference to an object `table` lacks
    NeedLengths, // a stream's /Length is a reference and `lengthOf` is empty
};

// `lengthOf` answers a /Length given as a reference.
Bodies checkLooseBodies(const std::shared_ptr<InputSource>& input,
                        const std::map<QPDFObjGen, QPDFXRefEntry>& table,
                        const std::function<std::optional<long long>(QPDFObjGen)>& lengthOf);

} // namespace pdfunlock
