// What the window for several documents needs of the desktop beyond
// Desktop.h: its list, progress and buttons, and a way back to the thread
// that owns the window. The Qt implementations live in platform/qt; tests use
// fakes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace pdfunlock {

// Where a document of the list stands. The finished states follow the
// job's outcome; the window shows each with a caption of its own.
enum class BatchRowState {
    Waiting,       // not yet handled in this run
    Copied,        // the unprotected copy is saved
    AlreadyCopied, // an earlier run's copy is there: not done again
    WrongPassword, // may be tried again with another password
    NotProtected,
    Refused, // not a PDF, restricted, or not from the scanning software
    Failed,  // no copy could be saved
    Cancelled,
};

class BatchView {
public:
    virtual ~BatchView() = default;
    // One row a document, each Waiting; the window's title counts them.
    virtual void setDocuments(const std::vector<std::string>& paths) = 0;
    // `message` explains the state (empty while there is nothing to say);
    // `copyPath` is the copy's path, empty when there is none.
    virtual void setRow(std::size_t row, BatchRowState state, const std::string& message,
                        const std::string& copyPath) = 0;
    virtual void setProgress(std::size_t done, std::size_t total) = 0;
    // Which buttons act now; the password field takes input whenever a start
    // or a retry does. Closing is always possible.
    virtual void setActions(bool canStart, bool canRetry, bool canCancel) = 0;
    // After a batch that left documents to retry: the field's text is
    // selected and has the focus, so typing replaces it.
    virtual void focusPassword() = 0;
};

// Runs work on the thread that owns the windows, in the order posted, from
// any thread. What is posted after the receiver is gone is dropped.
class MainThread {
public:
    virtual ~MainThread() = default;
    virtual void post(std::function<void()> work) = 0;
};

} // namespace pdfunlock
