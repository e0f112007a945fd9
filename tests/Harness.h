// An AppDelegate wired to fakes, as the window form wires the real one, over
// the real qpdf service (seen through a spy) and a file system of the test's
// choice.
#pragma once

#include "Fakes.h"
#include "app/AppDelegate.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <vector>

namespace pdfunlock::testing {

template <class Files = PosixFileSystem> struct DelegateHarness {
    FakeWindow window;
    FakeTextField pwd;
    FakeTextField pwdInfo;
    FakeAlerts alerts;
    FakeStrings strings;
    FakeLog log;
    Files files;
    QpdfDocumentService realPdf;
    SpyService pdf{realPdf};
    FakeApplication application;
    AppDelegate delegate{AppServices{alerts, strings, log, files, pdf, application},
                         Outlets{window, pwd, pwdInfo}};

    DelegateHarness() = default;
    // A service that takes the two-thread write from `parallelFrom` bytes on,
    // and carries object streams across as they are or not.
    explicit DelegateHarness(long long parallelFrom, bool passObjectStreams = true)
        : realPdf(parallelFrom, passObjectStreams) {}
    DelegateHarness(const DelegateHarness&) = delete;
    DelegateHarness& operator=(const DelegateHarness&) = delete;

    // The opened-documents event, then the launch checks.
    void launch(const std::string& path) {
        delegate.openFiles({path});
        delegate.applicationDidFinishLaunching();
    }

    // Types into the password field and presses the remove button.
    void press(const std::string& typed) {
        pwd.text = typed;
        delegate.removePDFpwd();
    }
};

// The names in a folder, hidden ones included, sorted; by raw bytes, so that
// names that are not valid UTF-8 come back as they are.
inline std::vector<std::string> directoryEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pdfunlock::testing
