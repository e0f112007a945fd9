#include "platform/qpdf/CrossReferenceStream.h"

#include "platform/qpdf/StoredObjects.h"

#include <algorithm>
#include <qpdf/QPDFObjectHandle.hh>

namespace pdfunlock {

namespace {

int bytesFor(unsigned long long value) {
    int bytes = 1;
    while (value >>= 8) {
        ++bytes;
    }
    return bytes;
}

std::string reference(int number) {
    return std::to_string(number) + " 0 R";
}

std::string hexString(const std::string& bytes) {
    return QPDFObjectHandle::newString(bytes).unparseBinary();
}

} // namespace

std::string CrossReferenceStream::written(unsigned long long offset) const {
    // Type, then offset or object stream, then generation or index.
    unsigned long long widest = offset;
    int widestSecond = 0;
    for (const auto& [at, generation] : offsets) {
        widest = std::max(widest, at);
        widestSecond = std::max(widestSecond, generation);
    }
    for (const auto& [stream, index] : compressed) {
        widest = std::max<unsigned long long>(widest, static_cast<unsigned long long>(stream));
        widestSecond = std::max(widestSecond, index);
    }
    const int w1 = bytesFor(widest);
    const int w2 = bytesFor(static_cast<unsigned long long>(std::max(widestSecond, 65535)));
    std::string entries;
    const auto field = [&entries](unsigned long long value, int width) {
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
            entries.push_back(static_cast<char>((value >> shift) & 0xff));
        }
    };
    for (int n = 0; n <= number; ++n) {
        const auto at = static_cast<size_t>(n);
        if (at < offsets.size() && offsets[at].first != 0) {
            field(1, 1);
            field(offsets[at].first, w1);
            field(static_cast<unsigned long long>(offsets[at].second), w2);
        } else if (at < compressed.size() && compressed[at].first != 0) {
            field(2, 1);
            field(static_cast<unsigned long long>(compressed[at].first), w1);
            field(static_cast<unsigned long long>(compressed[at].second), w2);
        } else if (n == number) {
            field(1, 1);
            field(offset, w1);
            field(0, w2);
        } else {
            field(0, 1);
            field(0, w1);
            field(n == 0 ? 65535 : 0, w2);
        }
    }
    // Each row as its difference from the row above (PNG's Up predictor, as
    // qpdf's writer does): neighbouring entries differ in a byte or two, and
    // the table compresses to a few bytes an entry instead of five.
    const size_t columns = static_cast<size_t>(1 + w1 + w2);
    std::string rows;
    rows.reserve(entries.size() + entries.size() / columns);
    for (size_t at = 0; at < entries.size(); at += columns) {
        rows.push_back(2);
        for (size_t i = 0; i < columns; ++i) {
            const auto above = at >= columns ? entries[at - columns + i] : 0;
            rows.push_back(static_cast<char>(entries[at + i] - above));
        }
    }
    const auto data = deflated(rows);
    std::string text = std::to_string(number) + " 0 obj\n<< /Type /XRef /Size " +
                       std::to_string(number + 1) + " /W [ 1 " + std::to_string(w1) + " " +
                       std::to_string(w2) + " ] /Root " + reference(root);
    if (info) {
        text += " /Info " + reference(info);
    }
    text += " /ID [ " + hexString(firstIdentifier) + " " + hexString(secondIdentifier) +
            " ] /Filter /FlateDecode /DecodeParms << /Columns " + std::to_string(columns) +
            " /Predictor 12 >> /Length " + std::to_string(data.size()) + " >>\nstream\n";
    text += data;
    text += "\nendstream\nendobj\nstartxref\n" + std::to_string(offset) + "\n%%EOF\n";
    return text;
}

} // namespace pdfunlock
