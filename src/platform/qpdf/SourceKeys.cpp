#include "platform/qpdf/SourceKeys.h"

#include "platform/Secrets.h"
#include "platform/qpdf/PasswordForms.h"

namespace pdfunlock {

SourceKeys::SourceKeys(StandardSecurity security, std::string expected)
    : security_(std::move(security)), expected_(std::move(expected)) {
    wipe(expected); // what the move left behind
}

SourceKeys::~SourceKeys() {
    wipe(expected_);
}

std::optional<FileKey> SourceKeys::derive(const std::string& typed, bool& userForm,
                                          bool& emptyForm) {
    std::optional<FileKey> found;
    userForm = false;
    emptyForm = false;
    tryPasswordForms(
        typed,
        [&](const std::string& form) {
            found = deriveFileKey(security_, form);
            const bool user = found && found->user;
            emptyForm = user && isEmptyPassword(security_, form);
            userForm = user && !emptyForm;
            return found.has_value();
        },
        [this] { return security_.R; });
    return found;
}

void SourceKeys::tryExpected() {
    if (!expectedTried_ && !expected_.empty()) {
        expectedTried_ = true;
        expectedKey_ = derive(expected_, expectedIsUser_, expectedIsEmpty_);
    }
}

std::optional<FileKey> SourceKeys::withoutPassword() {
    tryExpected();
    if (expectedIsUser_) {
        return std::nullopt;
    }
    if (expectedIsEmpty_ && expectedKey_) {
        return expectedKey_; // the same key, derived once
    }
    // Whether the document opens without a password is a question about the
    // user password alone.
    return deriveFileKey(security_, "", true);
}

std::optional<FileKey> SourceKeys::forPassword(const std::string& typed) {
    if (expected_.empty() || typed != expected_) {
        bool userForm = false;
        bool emptyForm = false;
        return derive(typed, userForm, emptyForm);
    }
    tryExpected();
    auto key = std::move(expectedKey_);
    expectedKey_.reset();
    expectedTried_ = false;
    wipe(expected_);
    return key;
}

} // namespace pdfunlock
