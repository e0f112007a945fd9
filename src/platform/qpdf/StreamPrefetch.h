// Reads and decrypts the large streams of an encrypted document on a second
// thread while qpdf's writer writes, so that the cipher and the writer each
// have a core.
#pragma once

#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

class OpenFile;

// The writer writes a twin of the held source: a second QPDF object over the
// same file, opened with the source's encryption key, whose large streams get
// their data from a worker thread. The worker holds a third QPDF object of its
// own over the same file and decrypts those streams in the order the writer
// will ask for them, at most a fixed number of bytes ahead. A stream the worker
// has not got ready when it is asked for is read from the held source on the
// calling thread, so a wrong guess of the order costs only the overlap.
// No QPDF object is ever touched by two threads.
class StreamPrefetch {
public:
    // Null when it would not pay: an unencrypted or damaged source, or a file
    // under `minimumBytes` (-1: always null). `source` reads `file`, stays
    // untouched and must outlive the result.
    static std::unique_ptr<StreamPrefetch> open(QPDF& source, std::shared_ptr<const OpenFile> file,
                                                long long minimumBytes);
    ~StreamPrefetch();
    StreamPrefetch(const StreamPrefetch&) = delete;
    StreamPrefetch& operator=(const StreamPrefetch&) = delete;

    // The document to write in place of the source.
    QPDF& twin() { return *twin_; }

    // Right before the writer starts: `copied` are the twin's streams that the
    // writer copies as read (see SinglePassStreams), the trailer is final.
    void start(const std::vector<QPDFObjectHandle>& copied);

    // After the write: warnings the twin collected are the source's.
    void handWarningsTo(QPDF& source);

    class Worker;

private:
    StreamPrefetch(QPDF& source, std::shared_ptr<QPDF> twin, std::shared_ptr<const OpenFile> file,
                   std::string hexKey);
    void startWorker(const std::vector<QPDFObjectHandle>& copied);

    QPDF& source_;
    std::shared_ptr<QPDF> twin_;
    std::shared_ptr<const OpenFile> file_;
    std::string hexKey_;
    std::shared_ptr<Worker> worker_;
};

} // namespace pdfunlock
