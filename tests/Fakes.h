// Test doubles for the desktop interfaces, and a recording wrapper around a
// real document so tests can see which queries a run made.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pdfunlock::testing {

struct FakeWindow : Window {
    bool visible = false;
    std::vector<std::string> events;
    void makeKeyAndOrderFront() override {
        visible = true;
        events.push_back("front");
    }
    void orderOut() override {
        visible = false;
        events.push_back("out");
    }
    void close() override {
        visible = false;
        events.push_back("close");
    }
    bool isVisible() const override { return visible; }
    std::string representedFilename;
    void setRepresentedFilename(const std::string& path) override { representedFilename = path; }
};

struct FakeTextField : TextField {
    std::string text;
    std::string stringValue() const override { return text; }
    void setStringValue(const std::string& value) override { text = value; }
};

struct Alert {
    AlertStyle style;
    std::string text;
    bool operator==(const Alert&) const = default;
};

struct FakeAlerts : AlertPresenter {
    std::vector<Alert> shown;
    std::function<void()> onShow; // runs while the "modal" alert is up
    void runModal(AlertStyle style, const std::string& messageText) override {
        shown.push_back({style, messageText});
        if (onShow) {
            onShow();
        }
    }
};

// "<key>" becomes "text:<key>", so a test sees which key was looked up; a
// test changes `language` to see when.
struct FakeStrings : Strings {
    mutable int lookups = 0;
    std::string language = "text:";
    std::string localizedString(const std::string& key) const override {
        ++lookups;
        return language + key;
    }
};

struct FakeLog : Log {
    std::vector<std::string> lines;
    void log(const std::string& line) override { lines.push_back(line); }
};

struct FakeApplication : Application {
    int terminations = 0;
    void terminate() override { ++terminations; }
};

// Existence from a set of paths (or a predicate); counts the tests made.
struct FakeFileSystem : FileSystem {
    std::set<std::string> existing;
    std::function<bool(const std::string&)> existsIf;
    mutable long existenceTests = 0;
    std::vector<std::string> removed;
    bool fileExistsAtPath(const std::string& path) const override {
        ++existenceTests;
        return existing.count(path) > 0 || (existsIf && existsIf(path));
    }
    bool removeItemAtPath(const std::string& path) override {
        removed.push_back(path);
        return existing.erase(path) > 0;
    }
    std::optional<unsigned> permissionsAtPath(const std::string&) const override { return 0644u; }
};

// Forwards to a real document and records every call by name. Individual
// answers can be overridden.
class SpyDocument : public PDFDocument {
public:
    explicit SpyDocument(std::shared_ptr<PDFDocument> inner) : inner_(std::move(inner)) {}

    std::vector<std::string> calls;
    std::set<std::string> refuse; // permission queries that answer false
    std::set<int> missingPages;   // indices whose pageAtIndex gives nothing
    bool withoutURL = false;      // documentURL gives nothing
    std::string movedTo;          // documentURL gives this path instead
    bool repaired = false;        // isDamaged answers true
    std::function<bool(const std::string&, unsigned)> writeOverride;
    std::function<void()> afterWrite; // runs once a write answered true

    bool isLocked() const override { return record("isLocked"), inner_->isLocked(); }
    int majorVersion() const override { return record("majorVersion"), inner_->majorVersion(); }
    int minorVersion() const override { return record("minorVersion"), inner_->minorVersion(); }
    bool unlockWithPassword(const std::string& password) override {
        record("unlockWithPassword");
        return inner_->unlockWithPassword(password);
    }
    bool allowsPrinting() const override {
        return permission("allowsPrinting", &PDFDocument::allowsPrinting);
    }
    bool allowsCopying() const override {
        return permission("allowsCopying", &PDFDocument::allowsCopying);
    }
    bool allowsCommenting() const override {
        return permission("allowsCommenting", &PDFDocument::allowsCommenting);
    }
    bool allowsFormFieldEntry() const override {
        return permission("allowsFormFieldEntry", &PDFDocument::allowsFormFieldEntry);
    }
    bool allowsDocumentChanges() const override {
        return permission("allowsDocumentChanges", &PDFDocument::allowsDocumentChanges);
    }
    bool allowsDocumentAssembly() const override {
        return permission("allowsDocumentAssembly", &PDFDocument::allowsDocumentAssembly);
    }
    bool allowsContentAccessibility() const override {
        return permission("allowsContentAccessibility", &PDFDocument::allowsContentAccessibility);
    }
    std::optional<DocumentAttributes> documentAttributes() const override {
        record("documentAttributes");
        return inner_->documentAttributes();
    }
    void setDocumentAttributes(const std::optional<DocumentAttributes>& attributes) override {
        record("setDocumentAttributes");
        inner_->setDocumentAttributes(attributes);
    }
    int pageCount() const override { return record("pageCount"), inner_->pageCount(); }
    int declaredPageCount() const override {
        return record("declaredPageCount"), inner_->declaredPageCount();
    }
    std::shared_ptr<PDFPage> pageAtIndex(int index) override {
        record("pageAtIndex:" + std::to_string(index));
        return missingPages.count(index) ? nullptr : inner_->pageAtIndex(index);
    }
    void insertPage(const std::shared_ptr<PDFPage>& page, int index) override {
        record("insertPage:" + std::to_string(index));
        inner_->insertPage(page, index);
    }
    std::optional<std::string> documentURL() const override {
        record("documentURL");
        if (withoutURL) {
            return std::nullopt;
        }
        return movedTo.empty() ? inner_->documentURL() : movedTo;
    }
    // Overridden writes see the target's path (the window writes by path).
    bool writeToFile(const SaveTarget& target, unsigned permissions) override {
        record("writeToFile");
        const bool written = writeOverride ? writeOverride(target.name, permissions)
                                           : inner_->writeToFile(target, permissions);
        if (written && afterWrite) {
            afterWrite();
        }
        return written;
    }
    bool isDamaged() const override { return record("isDamaged"), repaired || inner_->isDamaged(); }
    std::optional<FileState> sourceState() const override { return inner_->sourceState(); }
    std::optional<FileState> openedSourceState() const override {
        return inner_->openedSourceState();
    }
    std::optional<std::string> permanentIdentifier() const override {
        return inner_->permanentIdentifier();
    }

    PDFDocument& inner() { return *inner_; }

private:
    void record(const std::string& name) const {
        const_cast<SpyDocument*>(this)->calls.push_back(name);
    }
    bool permission(const std::string& name, bool (PDFDocument::*query)() const) const {
        record(name);
        return refuse.count(name) ? false : ((*inner_).*query)();
    }
    std::shared_ptr<PDFDocument> inner_;
};

// Forwards to a real service; lets a test wrap the first opened document and
// every new one.
class SpyService : public PDFDocumentService {
public:
    using Wrap = std::function<std::shared_ptr<PDFDocument>(std::shared_ptr<PDFDocument>)>;
    explicit SpyService(PDFDocumentService& inner) : inner_(inner) {}
    Wrap wrapFirstOpened;
    Wrap wrapNew;
    std::function<void()> afterOpen; // after each open of a descriptor
    std::vector<std::string> opened;
    std::shared_ptr<PDFDocument> initWithURL(const std::string& path) override {
        opened.push_back(path);
        auto document = inner_.initWithURL(path);
        return document && wrapFirstOpened && opened.size() == 1 ? wrapFirstOpened(document)
                                                                 : document;
    }
    std::shared_ptr<PDFDocument> initWithDescriptor(int fd, const std::string& path,
                                                    OpenProblem* problem = nullptr) override {
        opened.push_back(path);
        auto document = inner_.initWithDescriptor(fd, path, problem);
        if (afterOpen) {
            afterOpen();
        }
        return document;
    }
    std::optional<std::string> permanentIdentifierAt(int fd,
                                                     OpenProblem* problem = nullptr) override {
        return inner_.permanentIdentifierAt(fd, problem);
    }
    std::shared_ptr<PDFDocument> init() override {
        auto document = inner_.init();
        return wrapNew ? wrapNew(document) : document;
    }

private:
    PDFDocumentService& inner_;
};

} // namespace pdfunlock::testing
