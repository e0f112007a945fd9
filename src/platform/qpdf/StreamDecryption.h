// The data of an encrypted source's streams, read from the file and
// decrypted in one pass over Nettle. qpdf decrypts AES one 16-byte block at a
// time, each through its pipelines and a cipher call of its own: most of the
// time a scan's copy took.
#pragma once

#include <map>
#include <memory>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <string>
#include <vector>

namespace pdfunlock {

class OpenFile;

class StreamDecryption : public std::enable_shared_from_this<StreamDecryption> {
public:
    // Null unless `pdf`, read from `file` and opened with its key, encrypts
    // its streams with AES (AESV2 under /V 4, AESV3 under /V 5) and read
    // without a warning so far.
    static std::shared_ptr<StreamDecryption> of(QPDF& pdf, std::shared_ptr<const OpenFile> file);
    ~StreamDecryption();
    StreamDecryption(const StreamDecryption&) = delete;
    StreamDecryption& operator=(const StreamDecryption&) = delete;

    // Whether `stream`'s data is decrypted here, and notes where it lies: in
    // the body that the cross-reference table gives its number, after a
    // dictionary and the keyword with its end of line as qpdf reads them,
    // /Length bytes, a whole number of blocks after the initialization
    // vector, followed by endstream; no crypt filter of its own, and no
    // cross-reference, object or metadata stream. Anything else stays qpdf's.
    bool locate(QPDFObjectHandle stream);

    // The data of a located stream as qpdf gives it at qpdf_dl_none (its
    // padding removed as qpdf removes it), written to `out`, which is then
    // finished. Throws when the file can no longer be read. Any thread may
    // read at once.
    void read(QPDFObjGen og, Pipeline& out) const;

    // Whether the smallest of the located `streams` reads here as qpdf reads
    // it: the key, the cipher and the place of the data proved on this very
    // document before a copy takes any stream from here. False for none.
    bool agreesWithQpdf(const std::vector<QPDFObjectHandle>& streams) const;

    // Hands the writer the located ones among `streams` from here: their
    // data is replaced by a provider that reads it so (and throws where the
    // writer would otherwise cut a stream short), once agreesWithQpdf.
    // Answers how many.
    size_t replace(const std::vector<QPDFObjectHandle>& streams);

private:
    struct Extent {
        long long offset = 0;
        long long length = 0;
    };
    StreamDecryption(QPDF& pdf, std::shared_ptr<const OpenFile> file,
                     std::map<QPDFObjGen, QPDFXRefEntry> table, bool perObjectKeys);

    QPDF& pdf_;
    std::shared_ptr<const OpenFile> file_;
    std::string key_;    // wiped when this goes
    bool perObjectKeys_; // AESV2: a key for each object, from the file key
    std::map<QPDFObjGen, QPDFXRefEntry> table_;
    std::map<QPDFObjGen, Extent> located_;
    std::shared_ptr<InputSource> input_; // what locate reads, made once
};

} // namespace pdfunlock
