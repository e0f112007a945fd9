// Reads the objects of an encrypted document that lie outside its object
// streams on a thread of its own, from the moment the document is unlocked,
// so that a copy carrying the object streams across finds them ready.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFXRefEntry.hh>
#include <string>
#include <thread>
#include <vector>

namespace pdfunlock {

class OpenFile;

// How a copy that carries object streams across writes the objects outside
// them, on whichever thread reads them.
// - A stream's data as the file has it, only decrypted; nullopt if it could
//   not be read without a warning.
std::optional<std::string> storedData(QPDF& pdf, QPDFObjectHandle stream);
// - Whether a stream's filters include /Crypt, which the copy cannot carry.
bool hasCryptFilter(QPDFObjectHandle dict);
// - Whether a stream goes across so, as qpdf's writer would copy it: neither
//   an object or cross-reference stream nor one the writer re-encodes.
bool copiedAsStored(QPDFObjectHandle stream);
// - The text of a stream object with `data` (its dictionary is changed) and of
//   any other object.
std::string writtenStream(QPDFObjGen og, QPDFObjectHandle dict, const std::string& data);
std::string writtenObject(QPDFObjGen og, QPDFObjectHandle object);
// - Whether an object stream can go across as stored: it extends no other
//   stream, has no /Crypt filter, and the numbers at its head name `listed`
//   (the objects the table puts in it, by index from 0) in that order, as
//   readers that trust the table's index need.
bool objectStreamAgrees(QPDFObjectHandle stream, const std::vector<QPDFObjGen>& listed);
// - For each object stream the table names, its objects by index; empty
//   when an index is missing or given twice.
std::map<int, std::vector<QPDFObjGen>>
objectStreamListings(const std::map<QPDFObjGen, QPDFXRefEntry>& table);

// The thread reads through a twin of the source: a second QPDF object over
// the same file, opened with the source's encryption key, read on that thread
// only and dropped there once done. The source itself is never touched there.
class LooseObjectPrefetch {
public:
    // An object outside the object streams, as a copy writes it.
    struct Object {
        // "n g obj ... endobj\n": its own text, or for a stream its
        // dictionary with a direct /Length and its data as stored, only
        // decrypted. Empty for a null or a stream no copy writes so.
        // For an object stream: its data as stored, only decrypted, when the
        // numbers at its head name the objects the table puts in it, in the
        // table's order; empty otherwise.
        std::string written;
        std::vector<QPDFObjGen> references; // the objects it names (a stream: not its /Length)
    };
    using Objects = std::map<QPDFObjGen, Object>;
    using Table = std::map<QPDFObjGen, QPDFXRefEntry>;

    // Starts reading `file` at once; null when it would not pay: an
    // unencrypted source, one qpdf warned about, one with `bytesPerObject` or
    // more of file for each number its trailer's /Size allows, or a file of
    // `maximumBytes` or more, or one whose only cross-reference section is a
    // table. A source without object streams ends the reading at once.
    // `source` is only read here.
    static std::shared_ptr<LooseObjectPrefetch> start(QPDF& source,
                                                      std::shared_ptr<const OpenFile> file,
                                                      long long maximumBytes,
                                                      unsigned long long bytesPerObject);
    ~LooseObjectPrefetch();
    LooseObjectPrefetch(const LooseObjectPrefetch&) = delete;
    LooseObjectPrefetch& operator=(const LooseObjectPrefetch&) = delete;

    // Waits for the reading to end: every object the source's table lists
    // outside object streams (the encryption dictionary apart), each read
    // where the table says; null when the twin warned, read otherwise than
    // the source, or gave up.
    const Objects* objects();
    // The cross-reference table the twin read, the source's own when
    // objects() is not null.
    const Table& table();

    // Frees what was read, once the copy is written; objects() is null after.
    void release();

private:
    LooseObjectPrefetch() = default;
    void read(std::shared_ptr<const OpenFile> file, std::string hexKey, std::string trailer);

    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    bool stop_ = false; // read by the thread under the mutex, between objects
    bool complete_ = false;
    Objects objects_;
    Table table_;
    std::thread thread_;
};

} // namespace pdfunlock
