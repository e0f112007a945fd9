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

} // namespace pdfunlock
