// The lists the command reads from files: a keyring of passwords, and the
// names of the files to handle. Both are read in blocks and bounded, so that
// a file without end (/dev/zero) or without line ends is refused at once.
#pragma once

#include "platform/Terminal.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pdfunlock {

// A keyring holds the passwords a user was given (a bank's, an insurer's...),
// not candidates to guess with: at most this many.
inline constexpr std::size_t kMostListedPasswords = 32;
// Lines of any kind, blank ones included.
inline constexpr std::size_t kMostPasswordListLines = 1024;

struct PasswordList {
    enum class Problem { None, Unreadable, LineTooLong, TooMany, Empty };
    Problem problem = Problem::None;
    // The passwords in their order, each without its line ending ("\n" or
    // "\r\n"; nothing else is removed), and the line each was on. Blank
    // lines are skipped. The caller wipes the passwords.
    std::vector<std::string> passwords;
    std::vector<std::size_t> lines;
};

// Each line at most kLongestPasswordLine bytes. Every buffer it used is wiped.
PasswordList readPasswordList(const std::string& path);

// A name longer than the system takes for a path is no name of a file.
inline constexpr std::size_t kLongestListedName = 4096;
inline constexpr std::size_t kMostListedNames = 1000000;

struct NameList {
    enum class Problem { None, Unreadable, NameTooLong, TooMany };
    Problem problem = Problem::None;
    // In their order, as bytes; empty names (two separators in a row) left out.
    std::vector<std::string> names;
};

// The names on `fd`, each ended by `separator` ('\n', or '\0' for names
// that may hold a line end) or by the end of the input.
NameList readNameList(int fd, char separator);
// The same of a file.
NameList readNameListFile(const std::string& path, char separator);

} // namespace pdfunlock
