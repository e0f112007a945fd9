#include "platform/qpdf/InfoValues.h"

namespace pdfunlock {

std::string unparseDirect(QPDFObjectHandle object, long& budget, int depth) {
    if (depth > 32 || --budget < 0 || object.isStream()) {
        return "null";
    }
    if (object.isArray()) {
        std::string text = "[";
        for (auto& item : object.aitems()) {
            text += " " + unparseDirect(item, budget, depth + 1);
        }
        return text + " ]";
    }
    if (object.isDictionary()) {
        std::string text = "<<";
        for (auto& [key, value] : object.ditems()) {
            text += " " + QPDFObjectHandle::newName(key).unparse() + " " +
                    unparseDirect(value, budget, depth + 1);
        }
        return text + " >>";
    }
    auto text = object.unparseResolved();
    budget -= static_cast<long>(text.size());
    return budget < 0 ? "null" : text;
}

AttributeValue toAttribute(QPDFObjectHandle value) {
    if (value.isString()) {
        return value.getUTF8Value();
    }
    if (value.isInteger()) {
        return value.getIntValue();
    }
    if (value.isReal()) {
        return value.getNumericValue();
    }
    if (value.isBool()) {
        return value.getBoolValue();
    }
    if (value.isName()) {
        return PDFName{value.getName().substr(1)};
    }
    long budget = kUnparseBudget;
    return PDFOtherValue{unparseDirect(value, budget)};
}

QPDFObjectHandle toObject(const AttributeValue& value) {
    struct Convert {
        QPDFObjectHandle operator()(const std::string& text) const {
            return QPDFObjectHandle::newUnicodeString(text);
        }
        QPDFObjectHandle operator()(long long number) const {
            return QPDFObjectHandle::newInteger(number);
        }
        QPDFObjectHandle operator()(double number) const {
            return QPDFObjectHandle::newReal(number);
        }
        QPDFObjectHandle operator()(bool flag) const { return QPDFObjectHandle::newBool(flag); }
        QPDFObjectHandle operator()(const PDFName& name) const {
            return QPDFObjectHandle::newName("/" + name.name);
        }
        QPDFObjectHandle operator()(const PDFOtherValue& other) const {
            return QPDFObjectHandle::parse(other.unparsed, "document attribute");
        }
    };
    return std::visit(Convert{}, value);
}

std::optional<DocumentAttributes> readAttributes(QPDF& pdf) {
    try {
        auto info = pdf.getTrailer().getKey("/Info");
        if (!info.isDictionary()) {
            return std::nullopt;
        }
        DocumentAttributes attributes;
        for (auto& [key, value] : info.ditems()) {
            if (!value.isNull()) {
                attributes.emplace(key.substr(1), toAttribute(value));
            }
        }
        return attributes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void writeAttributes(QPDF& pdf, const std::optional<DocumentAttributes>& attributes) {
    try {
        if (!attributes) {
            pdf.getTrailer().removeKey("/Info");
            return;
        }
        auto info = QPDFObjectHandle::newDictionary();
        for (const auto& [key, value] : *attributes) {
            try {
                info.replaceKey("/" + key, toObject(value));
            } catch (const std::exception&) {
                // Text that does not parse as a PDF object is left out.
            }
        }
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
    } catch (const std::exception&) {
        // The attributes stay as they were; setting them reports nothing.
    }
}

} // namespace pdfunlock
