// Small interfaces over the desktop: window, text fields, alerts, localized
// strings, files, log and the application itself. The Qt/POSIX implementations
// live beside this file; tests use fakes.
#pragma once

#include <optional>
#include <string>

namespace pdfunlock {

class Window {
public:
    virtual ~Window() = default;
    virtual void makeKeyAndOrderFront() = 0;
    virtual void orderOut() = 0;
    virtual void close() = 0;
    virtual bool isVisible() const = 0;
    // The document the window stands for, named in its title.
    virtual void setRepresentedFilename(const std::string& path) = 0;
};

class TextField {
public:
    virtual ~TextField() = default;
    virtual std::string stringValue() const = 0; // UTF-8
    virtual void setStringValue(const std::string& text) = 0;
};

// Values as the desktop framework numbers its alert styles.
enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    // Application-modal; returns once the user has dismissed it.
    virtual void runModal(AlertStyle style, const std::string& messageText) = 0;
};

class Strings {
public:
    virtual ~Strings() = default;
    // The key's text in the user's language, looked up on every call.
    virtual std::string localizedString(const std::string& key) const = 0;
};

class Log {
public:
    virtual ~Log() = default;
    // One fixed diagnostic line, already formatted.
    virtual void log(const std::string& line) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True if a file, directory... exists at the path; a symbolic link counts
    // by what it points to.
    virtual bool fileExistsAtPath(const std::string& path) const = 0;
    // True if anything has this name, a link to nowhere included: a name for
    // a new file must not be one that writing could follow.
    virtual bool isNameTaken(const std::string& path) const { return fileExistsAtPath(path); }
    virtual bool removeItemAtPath(const std::string& path) = 0;
    // Permission bits (07777 mask) of the item at the path, nullopt if unknown.
    virtual std::optional<unsigned> permissionsAtPath(const std::string& path) const = 0;
    // Whose files this program's own are (the effective user id); defined in
    // PosixFileSystem.cpp.
    virtual unsigned runningUserId() const;
};

class Application {
public:
    virtual ~Application() = default;
    // Ends the event loop with status 0.
    virtual void terminate() = 0;
};

} // namespace pdfunlock
