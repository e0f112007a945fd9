// Ending the running application's event loop.
#pragma once

#include "platform/Desktop.h"

namespace pdfunlock {

class QtApplication final : public Application {
public:
    void terminate() override;
};

} // namespace pdfunlock
