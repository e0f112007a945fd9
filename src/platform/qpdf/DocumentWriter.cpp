#include "platform/qpdf/DocumentWriter.h"

#include "platform/NoReplaceSaveFile.h"
#include "platform/qpdf/SinglePassStreams.h"

#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

namespace pdfunlock {

namespace {

// qpdf's writer output into a save file. qpdf may finish its pipelines while
// unwinding, where an exception would end the process: failures stay in the
// file, which the caller asks.
class SaveFilePipeline : public Pipeline {
public:
    explicit SaveFilePipeline(NoReplaceSaveFile& file)
        : Pipeline("output file", nullptr), file_(file) {}
    using Pipeline::write;
    void write(unsigned char const* data, size_t len) override { file_.write(data, len); }
    void finish() override {}

private:
    NoReplaceSaveFile& file_;
};

} // namespace

void writeUnencrypted(QPDF& pdf, Pipeline& out, const PDFVersion& minimum,
                      const BeforeWrite& beforeWrite) {
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&out);
    writer.setPreserveEncryption(false);
    // Stream data goes across as the source has it, only decrypted: decoding
    // and re-encoding every page would change nothing but the time taken.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setMinimumPDFVersion(minimum);
    // Two unlocks of one source give one copy, so copies can be compared.
    // The first /ID element is the source's when it has one, and names the
    // document; the second then is qpdf's fixed one. Deriving it from the
    // content instead hashes the whole copy on the writer's thread, half as
    // long again as the rest of a large scan's write.
    auto id = pdf.getTrailer().getKey("/ID");
    if (id.isArray() && id.getArrayNItems() == 2 && id.getArrayItem(0).isString() &&
        !id.getArrayItem(0).getStringValue().empty()) {
        writer.setStaticID(true);
    } else {
        writer.setDeterministicID(true);
    }
    const SinglePassStreams singlePass(pdf);
    if (beforeWrite) {
        beforeWrite(singlePass.copiedAsRead());
    }
    writer.write();
}

bool writeNewFile(const SaveTarget& path, unsigned permissions,
                  const std::function<void(Pipeline&)>& produce) {
    NoReplaceSaveFile file(path, permissions);
    if (file.open()) {
        return false;
    }
    try {
        SaveFilePipeline out(file);
        produce(out);
    } catch (const std::exception&) {
        return false; // the file cleans up after itself
    }
    return !file.commit();
}

} // namespace pdfunlock
