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

SinglePassStreams::SinglePassStreams(QPDF& pdf) {
    try {
        for (auto& object : pdf.getAllObjects()) {
            // The writer decompresses metadata whatever its filters; token
            // filters change the data. Both stay the writer's business.
            if (!object.isStream() || !object.getFilterOnWrite() || object.isDataModified() ||
                object.getDict().isDictionaryOfType("/Metadata")) {
                continue;
            }
            if (writerCopiesAsRead(object)) {
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
