#include "platform/qpdf/StoredObjects.h"

#include "platform/qpdf/SinglePassStreams.h"

#include <algorithm>
#include <qpdf/Pl_String.hh>
#include <qpdf/QUtil.hh>

namespace pdfunlock {

bool hasCryptFilter(QPDFObjectHandle dict) {
    auto filter = dict.getKey("/Filter");
    if (filter.isArray()) {
        for (auto& item : filter.getArrayAsVector()) {
            if (item.isNameAndEquals("/Crypt")) {
                return true;
            }
        }
        return false;
    }
    return filter.isNameAndEquals("/Crypt");
}

std::optional<std::string> storedData(QPDF& pdf, QPDFObjectHandle stream) {
    std::string data;
    Pl_String sink("stored", nullptr, data);
    const auto warnings = pdf.numWarnings();
    // This overload answers whether the data could be read.
    bool filtered = false;
    if (!stream.pipeStreamData(&sink, &filtered, 0, qpdf_dl_none, false, false) ||
        pdf.numWarnings() != warnings) {
        return std::nullopt;
    }
    return data;
}

bool copiedAsStored(QPDFObjectHandle stream) {
    auto dict = stream.getDict();
    return !dict.isDictionaryOfType("/ObjStm") && !dict.isDictionaryOfType("/XRef") &&
           !hasCryptFilter(dict) && writerCopiesStreamAsRead(stream);
}

std::string writtenStream(QPDFObjGen og, QPDFObjectHandle dict, const std::string& data) {
    dict.replaceKey("/Length", QPDFObjectHandle::newInteger(static_cast<long long>(data.size())));
    std::string text = std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n";
    text += dict.unparse();
    text += "\nstream\n";
    text += data;
    text += "\nendstream\nendobj\n";
    return text;
}

std::string writtenObject(QPDFObjGen og, QPDFObjectHandle object) {
    return std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n" +
           object.unparseResolved() + "\nendobj\n";
}

bool objectStreamDictionaryAgrees(QPDFObjectHandle dict, size_t listed) {
    auto count = dict.getKey("/N");
    return listed > 0 && !dict.hasKey("/Extends") && !hasCryptFilter(dict) && count.isInteger() &&
           count.getIntValue() == static_cast<long long>(listed);
}

bool objectStreamAgrees(QPDFObjectHandle stream, const std::vector<QPDFObjGen>& listed) {
    try {
        if (!objectStreamDictionaryAgrees(stream.getDict(), listed.size())) {
            return false;
        }
        // The head is pairs of integers: object number, offset.
        auto decoded = stream.getStreamData(qpdf_dl_generalized);
        const auto* at = reinterpret_cast<const char*>(decoded->getBuffer());
        const auto* end = at + decoded->getSize();
        const auto integer = [&at, end](long long& value) {
            while (at < end && QUtil::is_space(*at)) {
                ++at;
            }
            const auto digits = std::find_if_not(at, end, QUtil::is_digit);
            if (digits == at || digits - at > 18) {
                return false;
            }
            value = QUtil::string_to_ll(std::string(at, digits).c_str());
            at = digits;
            return true;
        };
        for (const auto& og : listed) {
            long long number = 0;
            long long offset = 0;
            if (!integer(number) || number != og.getObj() || !integer(offset)) {
                return false;
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::map<int, std::vector<QPDFObjGen>>
objectStreamListings(const std::map<QPDFObjGen, QPDFXRefEntry>& table) {
    std::map<int, std::vector<std::pair<int, QPDFObjGen>>> byStream;
    for (const auto& [og, entry] : table) {
        if (entry.getType() == 2) {
            byStream[entry.getObjStreamNumber()].emplace_back(entry.getObjStreamIndex(), og);
        }
    }
    std::map<int, std::vector<QPDFObjGen>> listings;
    for (auto& [number, listed] : byStream) {
        std::sort(listed.begin(), listed.end());
        auto& members = listings[number];
        for (size_t i = 0; i < listed.size(); ++i) {
            if (listed[i].first != static_cast<int>(i)) {
                members.clear();
                break;
            }
            members.push_back(listed[i].second);
        }
    }
    return listings;
}

bool eachReached(QPDFObjectHandle top, const std::function<Visit(QPDFObjectHandle)>& reached) {
    std::vector<QPDFObjectHandle> pending{top};
    const auto visit = [&pending](QPDFObjectHandle child) {
        if (child.isIndirect() || child.isArray() || child.isDictionary()) {
            pending.push_back(child);
        }
    };
    while (!pending.empty()) {
        auto object = pending.back();
        pending.pop_back();
        if (object.isIndirect()) {
            const auto next = reached(object);
            if (next == Visit::Stop) {
                return false;
            }
            if (next == Visit::Skip) {
                continue;
            }
        }
        if (object.isStream()) {
            for (const auto& [key, value] : object.getDict().getDictAsMap()) {
                if (key != "/Length") {
                    visit(value);
                }
            }
        } else if (object.isDictionary()) {
            for (const auto& [key, value] : object.getDictAsMap()) {
                visit(value);
            }
        } else if (object.isArray()) {
            for (const auto& item : object.getArrayAsVector()) {
                visit(item);
            }
        }
    }
    return true;
}

} // namespace pdfunlock
