// Passwords should not outlive their use in memory this program owns.
#pragma once

#include <cstddef>
#include <string>

namespace pdfunlock {

// Zeroes `size` bytes, also when they are freed right after.
inline void wipe(char* bytes, std::size_t size) {
    // volatile so the stores survive the free that follows.
    volatile char* target = bytes;
    for (std::size_t i = 0; i < size; ++i) {
        target[i] = 0;
    }
}

// The whole buffer, not only the text: a string moved from keeps a short
// text in its own buffer after its size became zero.
inline void wipe(std::string& secret) {
    secret.resize(secret.capacity());
    wipe(secret.data(), secret.size());
    secret.clear();
}

// From here on the process leaves no core dump, and on Linux no other process
// of the user may read its memory: a password typed into it would otherwise
// be there to find. Both programs hold one from the start (the window keeps
// it in its field while it is open), so they call this first thing. False
// when any part could not be set.
bool keepSecretsOutOfCoreDumps();

// The path names a file that is not the running user's, or that another user
// may read or write (a group or other permission bit set). False when
// nothing is there: reading it says so.
bool isOpenToOthers(const std::string& path);

} // namespace pdfunlock
