#include "platform/qpdf/WriteOrder.h"

#include <deque>
#include <functional>

namespace pdfunlock {

std::vector<QPDFObjectHandle> predictedWriteOrder(QPDF& pdf, const std::set<QPDFObjGen>& wanted) {
    std::vector<QPDFObjectHandle> order;
    std::deque<QPDFObjectHandle> queue;
    std::set<QPDFObjGen> seen;
    std::function<void(QPDFObjectHandle, int)> visit;
    // The references in a value, in the order the writer meets them.
    const auto children = [&](QPDFObjectHandle value, int depth) {
        if (depth >= 64) {
            return;
        }
        if (value.isArray()) {
            for (auto& item : value.aitems()) {
                visit(item, depth + 1);
            }
        } else if (value.isDictionary()) {
            for (auto& [key, item] : value.ditems()) {
                visit(item, depth + 1);
            }
        }
    };
    visit = [&](QPDFObjectHandle value, int depth) {
        if (!value.isIndirect()) {
            children(value, depth);
        } else if (seen.insert(value.getObjGen()).second) {
            queue.push_back(value);
        }
    };
    auto trailer = pdf.getTrailer();
    visit(trailer.getKey("/Root"), 0);
    for (auto& [key, item] : trailer.ditems()) {
        if (key != "/ID" && key != "/Encrypt" && key != "/Prev" && key != "/XRefStm") {
            visit(item, 0);
        }
    }
    while (!queue.empty()) {
        auto object = queue.front();
        queue.pop_front();
        if (!object.isStream()) {
            children(object, 0);
            continue;
        }
        if (wanted.count(object.getObjGen())) {
            order.push_back(object);
        }
        // The writer writes its own /Length.
        for (auto& [key, item] : object.getDict().ditems()) {
            if (key != "/Length") {
                visit(item, 1);
            }
        }
    }
    return order;
}

} // namespace pdfunlock
