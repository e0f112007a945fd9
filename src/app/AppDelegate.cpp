#include "app/AppDelegate.h"

#include "removal/PasswordRemoval.h"

namespace pdfunlock {

namespace {
constexpr const char* kLogPdfMissing = "pdf is not exists.";
constexpr const char* kLogVersionNot17 = "pdf version is not 1.7";
} // namespace

AppDelegate::AppDelegate(AppServices services, Outlets outlets)
    : services_(services), window_(&outlets.window), pwd_(&outlets.pwd),
      pwdInfo_(&outlets.pwdInfo) {}

void AppDelegate::openFiles(const std::vector<std::string>& paths) {
    if (pdfPaths_.empty()) {
        pdfPaths_ = paths;
    }
}

void AppDelegate::applicationDidFinishLaunching() {
    runLaunchChecks();
    terminateIfNoWindowVisible();
}

void AppDelegate::runLaunchChecks() {
    if (pdfPaths_.empty()) {
        showMessage(IDS_KEY::IDS_MSG_STARTUP, AlertStyle::Critical);
        return;
    }
    if (pdfPaths_.size() > 1) {
        showMessage(IDS_KEY::IDS_MSG_MULTIFILES, AlertStyle::Critical);
        return;
    }
    const std::string& path = pdfPaths_.front();
    // Only a hint in the log: the open below decides.
    if (!services_.files.fileExistsAtPath(path)) {
        services_.log.log(kLogPdfMissing);
    }
    auto document = services_.pdf.initWithURL(path);
    if (!document) {
        showMessage(IDS_KEY::IDS_MSG_NO_TESSIVON, AlertStyle::Critical);
        return;
    }
    if (!document->isLocked()) {
        showMessage(IDS_KEY::IDS_MSG_NO_PWD, AlertStyle::Critical);
        return;
    }
    if (document->majorVersion() == 1 && document->minorVersion() != 7) {
        services_.log.log(kLogVersionNot17);
    }
    workingPdfDoc_ = std::move(document);
    pwdInfo_->setStringValue(localizedText(services_.strings, IDS_KEY::IDS_PWD));
    window_->setRepresentedFilename(path);
    window_->makeKeyAndOrderFront();
}

void AppDelegate::onClose() {
    window_->close();
}

void AppDelegate::removePDFpwd() {
    const RemovalExit exit =
        pdfunlock::removePDFpwd(workingPdfDoc_, RemovalContext{*pwd_, *window_, services_.pdf,
                                                               services_.files, services_.log});
    switch (exit) {
    case RemovalExit::NoDocument:
        break;
    case RemovalExit::InvalidPassword:
        showMessage(IDS_KEY::IDS_MSG_INVALIDPWD, AlertStyle::Critical);
        break;
    case RemovalExit::Restricted:
    case RemovalExit::NotFromTessivon:
        showMessage(IDS_KEY::IDS_MSG_NO_TESSIVON, AlertStyle::Critical);
        break;
    case RemovalExit::SourceWithoutPages:
    case RemovalExit::NoCopyPath:
    case RemovalExit::WriteFailed:
    case RemovalExit::CopyUnreadable:
        showMessage(IDS_KEY::IDS_MSG_FAILED, AlertStyle::Critical);
        break;
    case RemovalExit::Complete:
        showMessage(IDS_KEY::IDS_MSG_COMPLETE, AlertStyle::Informational);
        break;
    }
    terminateIfNoWindowVisible();
}

void AppDelegate::showMessage(IDS_KEY key, AlertStyle style) {
    pdfunlock::showMessage(services_.alerts, services_.strings, key, style);
}

void AppDelegate::terminateIfNoWindowVisible() {
    if (!window_ || !window_->isVisible()) {
        services_.application.terminate();
    }
}

} // namespace pdfunlock
