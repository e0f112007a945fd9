// Keeps qpdf's writer from reading a stream twice when it cannot re-encode it.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

// Whether qpdf's writer, as we set it up, writes `stream`'s data exactly as
// read (only decrypted).
bool writerCopiesStreamAsRead(QPDFObjectHandle stream);

// qpdf 11's writer first tries to pipe every stream through its compressor;
// for data it may not decode at the decode level in force (JPEG and other
// image codecs at qpdf_dl_none) that attempt reads and decrypts the whole
// stream, throws it away and reads it again raw. Marking such streams as not
// to be filtered on write gives the same output from a single read. Streams
// the writer passes through anyway (already Flate-compressed) are marked too,
// so that every marked stream is one whose data goes out exactly as read.
// The marks last as long as this object: the document is left as it was found.
class SinglePassStreams {
public:
    explicit SinglePassStreams(QPDF& pdf);
    ~SinglePassStreams();
    SinglePassStreams(const SinglePassStreams&) = delete;
    SinglePassStreams& operator=(const SinglePassStreams&) = delete;

    // The streams whose data the writer copies unchanged.
    const std::vector<QPDFObjectHandle>& copiedAsRead() const { return marked_; }

private:
    std::vector<QPDFObjectHandle> marked_;
};

} // namespace pdfunlock
