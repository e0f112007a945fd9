// Reads and decrypts the large streams of an encrypted document on a second
// thread while qpdf's writer writes, so that the cipher and the writer each
// have a core.
#pragma once

#include "platform/FileKey.h"

#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

namespace pdfunlock {

class OpenFile;
class PrefetchQueue;

// The writer writes a twin of the held source: a second QPDF object over the
// same file, opened with the source's encryption key. Three QPDF objects read
// the file, each on one thread only:
// - the twin, on the writer's thread: every object the copy holds, except the
//   data of the streams handed to the worker;
// - the worker's own, on the worker thread: the data of those streams, in the
//   order the writer is expected to ask for them (see PrefetchQueue for who
//   reads which stream when);
// - the held source, on the writer's thread: the data of a stream the worker
//   has not got ready, read there instead of waiting.
// The data of a stream and its dictionary must come from the same parse, so
// the twin is used only when every object of the file is where its
// cross-reference table says, and the copy is trusted only when none of the
// three warned while it was written: otherwise it is written again from the
// held source alone.
class StreamPrefetch {
public:
    // Null when it would not pay or cannot be trusted: an unencrypted source,
    // one qpdf warned about, one whose objects are not all where its table
    // says (`repaired` is then set: reading them all made qpdf warn), or a
    // file under `minimumBytes` (-1: always null). `source` reads `file` and
    // must outlive the result.
    static std::unique_ptr<StreamPrefetch> open(QPDF& source, std::shared_ptr<const OpenFile> file,
                                                long long minimumBytes, bool& repaired);
    ~StreamPrefetch();
    StreamPrefetch(const StreamPrefetch&) = delete;
    StreamPrefetch& operator=(const StreamPrefetch&) = delete;

    // The document to write in place of the source.
    QPDF& twin() { return *twin_; }

    // Right before the writer starts: `copied` are the twin's streams that the
    // writer copies as read (see SinglePassStreams), the trailer is final.
    void start(const std::vector<QPDFObjectHandle>& copied);

    // After the write: ends the worker; false when any of the three QPDF
    // objects warned (a repair may have given the twin and the readers of
    // stream data different objects), so that the copy must not be kept.
    bool finish();

    class Provider;

private:
    StreamPrefetch(QPDF& source, std::shared_ptr<QPDF> twin, std::shared_ptr<const OpenFile> file,
                   FileKey key);
    void startWorker(const std::vector<QPDFObjectHandle>& copied);

    QPDF& source_;
    std::shared_ptr<QPDF> twin_;
    std::shared_ptr<const OpenFile> file_;
    FileKey key_; // the source's, until the worker has opened with it
    std::shared_ptr<PrefetchQueue> queue_;
    std::shared_ptr<QPDF> workerPdf_; // set on the worker thread, read after it ended
};

} // namespace pdfunlock
