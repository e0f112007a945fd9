// Passwords should not outlive their use in memory this program owns.
#pragma once

#include <cstddef>
#include <string>

namespace pdfunlock {

inline void wipe(std::string& secret) {
    // volatile so the stores survive the string being freed right after.
    volatile char* bytes = secret.data();
    for (std::size_t i = 0; i < secret.size(); ++i) {
        bytes[i] = 0;
    }
    secret.clear();
}

} // namespace pdfunlock
