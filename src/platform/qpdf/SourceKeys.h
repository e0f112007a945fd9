// The keys a locked source opens with, each password form derived once: the
// empty password's for the launch check (does it open without one?), then
// the typed password's forms. A job that knows its password before the
// launch check (a batch) derives that first: a document has one user
// password, so when a form of it is that password the empty one is not, and
// is never derived.
#pragma once

#include "platform/FileKey.h"

#include <optional>
#include <string>

namespace pdfunlock {

class SourceKeys {
public:
    // `expected`: the password the job will unlock with; empty for none.
    explicit SourceKeys(StandardSecurity security, std::string expected = {});
    ~SourceKeys();
    SourceKeys(const SourceKeys&) = delete;
    SourceKeys& operator=(const SourceKeys&) = delete;

    // The key the empty password opens as the user password; nullopt when
    // the source asks for a password.
    std::optional<FileKey> withoutPassword();
    // The key `typed` opens, its forms tried in turn (see tryPasswordForms);
    // for the expected password, what was found before.
    std::optional<FileKey> forPassword(const std::string& typed);

private:
    // `userForm`: set when the form that opened is the user password and
    // not, to the handler, the empty one; `emptyForm` when it is the empty one.
    std::optional<FileKey> derive(const std::string& typed, bool& userForm, bool& emptyForm);
    void tryExpected();

    StandardSecurity security_;
    std::string expected_; // wiped once it has answered
    bool expectedTried_ = false;
    std::optional<FileKey> expectedKey_;
    bool expectedIsUser_ = false;
    bool expectedIsEmpty_ = false; // a form of it is the empty user password
};

} // namespace pdfunlock
