// How the copies written outside qpdf's writer read and write objects.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFXRefEntry.hh>
#include <string>
#include <vector>

namespace pdfunlock {

// `data` compressed as /FlateDecode has it.
inline std::string deflated(const std::string& data) {
    std::string compressed;
    Pl_String sink("deflated", nullptr, compressed);
    Pl_Flate flate("deflate", &sink, Pl_Flate::a_deflate);
    flate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    flate.finish();
    return compressed;
}

// A stream's data as the file has it, only decrypted; nullopt if it could
// not be read without a warning.
std::optional<std::string> storedData(QPDF& pdf, QPDFObjectHandle stream);
// Whether a stream's filters include /Crypt, which the copy cannot carry.
bool hasCryptFilter(QPDFObjectHandle dict);
// Whether a stream goes across so, as qpdf's writer would copy it: neither
// an object or cross-reference stream nor one the writer re-encodes.
bool copiedAsStored(QPDFObjectHandle stream);
// The text of a stream object with `data` (its dictionary is changed) and of
// any other object.
std::string writtenStream(QPDFObjGen og, QPDFObjectHandle dict, const std::string& data);
std::string writtenObject(QPDFObjGen og, QPDFObjectHandle object);
// Whether an object stream can go across as stored: it extends no other
// stream, has no /Crypt filter, and the numbers at its head name `listed`
// (the objects the table puts in it, by index from 0) in that order, as
// readers that trust the table's index need. The first part alone, from
// the dictionary: whether it holds `listed` objects.
bool objectStreamAgrees(QPDFObjectHandle stream, const std::vector<QPDFObjGen>& listed);
bool objectStreamDictionaryAgrees(QPDFObjectHandle dict, size_t listed);
// For each object stream the table names, its objects by index; empty
// when an index is missing or given twice.
std::map<int, std::vector<QPDFObjGen>>
objectStreamListings(const std::map<QPDFObjGen, QPDFXRefEntry>& table);

// Visits each indirect object `top` reaches, through dictionaries, arrays and
// stream dictionaries (a stream's /Length is qpdf's business), each time it
// is met: its children are visited when `reached` answers Follow. False when
// `reached` answered Stop.
enum class Visit { Follow, Skip, Stop };
bool eachReached(QPDFObjectHandle top, const std::function<Visit(QPDFObjectHandle)>& reached);

} // namespace pdfunlock
