#include "platform/Saslprep.h"

#include "platform/Secrets.h"

#include <cstdlib>
#include <cstring>
#include <stringprep.h>

namespace pdfunlock {

bool saslprep(const std::string& utf8, std::string& prepared) {
    char* output = nullptr;
    // A typed password is a query in RFC 3454's terms: unassigned code
    // points pass, as readers let them.
    const int status = stringprep_profile(utf8.c_str(), &output, "SASLprep",
                                          static_cast<Stringprep_profile_flags>(0));
    if (status != STRINGPREP_OK || !output) {
        std::free(output);
        return false;
    }
    const size_t length = std::strlen(output);
    prepared.assign(output, length);
    wipe(output, length);
    std::free(output);
    return true;
}

} // namespace pdfunlock
