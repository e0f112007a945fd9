// The one object holding the application's state: the opened paths, the locked
// source document and the window's outlets.
#pragma once

#include "platform/Desktop.h"
#include "platform/PDFDocument.h"
#include "removal/IDSKey.h"

#include <memory>
#include <string>
#include <vector>

namespace pdfunlock {

// What the delegate reaches the desktop and the PDF service through.
struct AppServices {
    AlertPresenter& alerts;
    Strings& strings;
    Log& log;
    FileSystem& files;
    PDFDocumentService& pdf;
    Application& application;
};

// The outlets the window form connects: the window and its controls, which
// belong to the form. A delegate cannot be made without them.
struct Outlets {
    Window& window;
    TextField& pwd;
    TextField& pwdInfo;
};

class AppDelegate {
public:
    AppDelegate(AppServices services, Outlets outlets);

    // Outlets: not owned; the window and its controls belong to the window form.
    Window* window() const { return window_; }
    void setWindow(Window* window) { window_ = window; }
    TextField* pwd() const { return pwd_; }
    void setPwd(TextField* pwd) { pwd_ = pwd; }
    TextField* pwdInfo() const { return pwdInfo_; }
    void setPwdInfo(TextField* pwdInfo) { pwdInfo_ = pwdInfo; }

    const std::vector<std::string>& pdfPaths() const { return pdfPaths_; }
    const std::shared_ptr<PDFDocument>& workingPdfDoc() const { return workingPdfDoc_; }

    // The open-documents event: the first non-empty list wins.
    void openFiles(const std::vector<std::string>& paths);
    // Runs the launch checks once.
    void applicationDidFinishLaunching();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

    // Actions of the window's two buttons.
    void onClose();
    void removePDFpwd();

    void showMessage(IDS_KEY key, AlertStyle style);

private:
    void runLaunchChecks();
    // With no visible window left there is nothing for the user to act on, and
    // no dock to quit from: end the application.
    void terminateIfNoWindowVisible();

    AppServices services_;
    Window* window_ = nullptr;
    TextField* pwd_ = nullptr;
    TextField* pwdInfo_ = nullptr;
    std::vector<std::string> pdfPaths_;
    std::shared_ptr<PDFDocument> workingPdfDoc_;
};

} // namespace pdfunlock
