// System errors (errno values) as the command reports them: a stable name for
// scripts and the system's own description for people.
#pragma once

#include <cerrno>
#include <string>

namespace pdfunlock {

// "ENOSPC", "EROFS"...: the same on every run and in every language. Where
// the C library cannot name it, "errno-" and the number.
std::string errorName(int error);

// The C library's description of the error, in the user's language where
// the system has its messages translated.
std::string errorText(int error);

// Out of descriptors: the process's (EMFILE) or the system's (ENFILE).
constexpr bool isDescriptorExhaustion(int error) {
    return error == EMFILE || error == ENFILE;
}

} // namespace pdfunlock
