#include "removal/DocumentOperations.h"

#include "removal/LogLines.h"

namespace pdfunlock {

void copyTo(PDFDocument& source, PDFDocument& destination, Log& log) {
    // Both counts are read once: every page goes in at the destination's
    // initial end, each in front of the one inserted before it.
    const int sourceCount = source.pageCount();
    const int insertionIndex = destination.pageCount();
    if (sourceCount == 0) {
        return;
    }
    for (int i = sourceCount - 1; i >= 0; --i) {
        if (auto page = source.pageAtIndex(i)) {
            destination.insertPage(page, insertionIndex);
        } else {
            log.log(pageNotExistLine(i));
        }
    }
}

namespace {

std::string textAttribute(const PDFDocument& document, const std::string& key) {
    const auto attributes = document.documentAttributes();
    if (!attributes) {
        return {};
    }
    const auto entry = attributes->find(key);
    if (entry == attributes->end()) {
        return {};
    }
    if (const auto* text = std::get_if<std::string>(&entry->second)) {
        return *text;
    }
    return {};
}

} // namespace

std::string getCreator(const PDFDocument& document) {
    return textAttribute(document, PDFDocumentCreatorAttribute);
}

std::string getProducer(const PDFDocument& document) {
    return textAttribute(document, PDFDocumentProducerAttribute);
}

void setCreator(PDFDocument& document, const std::string& creator) {
    if (!document.documentAttributes()) {
        document.setDocumentAttributes(DocumentAttributes{});
    }
    auto attributes = document.documentAttributes();
    if (!attributes) {
        document.setDocumentAttributes(std::nullopt);
        return;
    }
    (*attributes)[PDFDocumentCreatorAttribute] = creator;
    document.setDocumentAttributes(attributes);
}

} // namespace pdfunlock
