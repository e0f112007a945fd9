// Documents the system asks the running application to open: macOS sends them
// as QFileOpenEvents (at launch too), not as arguments.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace pdfunlock {

// Install it as an event filter on the application object.
class QtOpenDocumentsFilter final : public QObject {
public:
    using OpenFiles = std::function<void(const std::vector<std::string>&)>;

    // Paths (in the file system's encoding, like argv) not yet handed over.
    const std::vector<std::string>& pending() const { return pending_; }

    // Once the event loop runs: the paths that came before go to `openFiles` as
    // one list, then `didFinishLaunching` runs; later paths go to `openFiles`
    // one at a time.
    void launchWhenEventLoopStarts(OpenFiles openFiles, std::function<void()> didFinishLaunching);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> pending_;
    OpenFiles deliver_;
};

} // namespace pdfunlock
