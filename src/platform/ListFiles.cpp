#include "platform/ListFiles.h"

#include "platform/Secrets.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace pdfunlock {

namespace {

constexpr std::size_t kBlock = 64 * 1024;

// Hands each piece of `fd` ended by `separator` (or by the end) to `take`,
// in one buffer of at most `longest` bytes and a block; stops when `take`
// answers false. False when reading failed or a piece was longer.
bool eachPiece(int fd, char separator, std::size_t longest, std::string& piece,
               const std::function<bool(std::string&)>& take, bool& tooLong) {
    std::string block(kBlock, '\0');
    piece.reserve(longest + 1); // never reallocated: wiped once, by the caller
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0) {
            if (!piece.empty()) {
                take(piece);
            }
            break;
        }
        bool more = true;
        for (ssize_t i = 0; i < got && more; ++i) {
            if (block[static_cast<std::size_t>(i)] == separator) {
                more = take(piece);
                piece.clear();
            } else if (piece.size() == longest) {
                tooLong = true;
                more = false;
            } else {
                piece += block[static_cast<std::size_t>(i)];
            }
        }
        if (!more) {
            break;
        }
    }
    wipe(block);
    return ok && !tooLong;
}

int openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

} // namespace

PasswordList readPasswordList(const std::string& path) {
    PasswordList list;
    const int fd = openForReading(path);
    if (fd < 0) {
        list.problem = PasswordList::Problem::Unreadable;
        return list;
    }
    // Reserved once: the strings are never moved, so no copy is left behind.
    list.passwords.reserve(kMostListedPasswords);
    list.lines.reserve(kMostListedPasswords);
    std::size_t line = 0;
    bool tooLong = false;
    std::string piece;
    const bool read = eachPiece(
        fd, '\n', kLongestPasswordLine + 1, piece,
        [&](std::string& text) {
            ++line;
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            if (text.size() > kLongestPasswordLine) {
                tooLong = true;
                return false;
            }
            if (line > kMostPasswordListLines ||
                (!text.empty() && list.passwords.size() == kMostListedPasswords)) {
                list.problem = PasswordList::Problem::TooMany;
                return false;
            }
            if (!text.empty()) {
                list.passwords.emplace_back(text);
                list.lines.push_back(line);
            }
            return true;
        },
        tooLong);
    ::close(fd);
    wipe(piece);
    if (tooLong) {
        list.problem = PasswordList::Problem::LineTooLong;
    } else if (!read && list.problem == PasswordList::Problem::None) {
        list.problem = PasswordList::Problem::Unreadable;
    } else if (list.passwords.empty() && list.problem == PasswordList::Problem::None) {
        list.problem = PasswordList::Problem::Empty;
    }
    if (list.problem != PasswordList::Problem::None) {
        for (auto& password : list.passwords) {
            wipe(password);
        }
        list.passwords.clear();
        list.lines.clear();
    }
    return list;
}

NameList readNameList(int fd, char separator) {
    NameList list;
    bool tooLong = false;
    std::size_t seen = 0;
    std::string piece;
    const bool read = eachPiece(
        fd, separator, kLongestListedName, piece,
        [&](std::string& name) {
            if (++seen > kMostListedNames) {
                list.problem = NameList::Problem::TooMany;
                return false;
            }
            if (!name.empty()) {
                list.names.push_back(name);
            }
            return true;
        },
        tooLong);
    if (tooLong) {
        list.problem = NameList::Problem::NameTooLong;
    } else if (!read && list.problem == NameList::Problem::None) {
        list.problem = NameList::Problem::Unreadable;
    }
    return list;
}

NameList readNameListFile(const std::string& path, char separator) {
    const int fd = openForReading(path);
    if (fd < 0) {
        NameList list;
        list.problem = NameList::Problem::Unreadable;
        return list;
    }
    NameList list = readNameList(fd, separator);
    ::close(fd);
    return list;
}

} // namespace pdfunlock
