// How many processors this process may run on. POSIX calls only.
#pragma once

namespace pdfunlock {

// Processors this process may run on (at least 1).
unsigned usableProcessors();

} // namespace pdfunlock
