// What Qt itself writes to standard error.
#pragma once

namespace pdfunlock {

// Qt's debug and info messages, and its notes about what it sets right by
// itself, stay off standard error, which carries the program's log lines; its
// warnings and fatal errors (no display...) go there as Qt writes them.
void quietFrameworkMessages();

} // namespace pdfunlock
