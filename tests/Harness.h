// An AppDelegate wired to fakes, as the window form wires the real one, over
// the real qpdf service (seen through a spy) and a file system of the test's
// choice.
#pragma once

#include "Fakes.h"
#include "app/AppDelegate.h"
#include "platform/PosixFileSystem.h"
#include "platform/QpdfDocument.h"

#include <string>

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
    AppDelegate delegate{AppServices{alerts, strings, log, files, pdf, application}};

    DelegateHarness() {
        delegate.setWindow(&window);
        delegate.setPwd(&pwd);
        delegate.setPwdInfo(&pwdInfo);
    }
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

} // namespace pdfunlock::testing
