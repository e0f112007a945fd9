#include "app/AppDelegate.h"

#include "removal/LaunchChecks.h"
#include "removal/PasswordRemoval.h"

namespace pdfunlock {

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
    auto checked = openLockedDocument(path, services_.files, services_.pdf, services_.log);
    if (checked.refusal) {
        showMessage(*checked.refusal, AlertStyle::Critical);
        return;
    }
    workingPdfDoc_ = std::move(checked.document);
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
    if (const auto message = messageFor(exit)) {
        showMessage(*message, alertStyleFor(*message));
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
