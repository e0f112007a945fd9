#include "platform/qpdf/SinglePassStreams.h"

#include <exception>

namespace pdfunlock {
namespace {

// Mirrors the writer's own choice with compression on, decoding nothing and
// no content normalization.
bool writerCopiesAsRead(QPDFObjectHandle stream) {
    auto filter = stream.getDict().getKey("/Filter");
    if (filter.isNameAndEquals("/FlateDecode") || filter.isNameAndEquals("/Fl")) {
        return true; // not recompressed
    }
    // With no pipeline this only answers whether the writer's request could
    // be met, without reading the data.
    return !stream.pipeStreamData(nullptr, qpdf_ef_compress, qpdf_dl_none, true, false);
}

} // namespace

bool writerCopiesStreamAsRead(QPDFObjectHandle stream) {
    // The writer decompresses metadata whatever its filters; token filters
    // change the data. Both stay the writer's business.
    return stream.getFilterOnWrite() && !stream.isDataModified() &&
           !stream.getDict().isDictionaryOfType("/Metadata") && writerCopiesAsRead(stream);
}

SinglePassStreams::SinglePassStreams(QPDF& pdf) {
    try {
        for (auto& object : pdf.getAllObjects()) {
            if (object.isStream() && writerCopiesStreamAsRead(object)) {
                object.setFilterOnWrite(false);
                marked_.push_back(object);
            }
        }
    } catch (const std::exception&) {
        // Whatever was not marked is written the usual way.
    }
}

SinglePassStreams::~SinglePassStreams() {
    for (auto& object : marked_) {
        object.setFilterOnWrite(true);
    }
}

} // namespace pdfunlock
