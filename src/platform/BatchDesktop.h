// What the window for several documents needs of the desktop beyond
// Desktop.h: its list, progress and buttons, the dialogs it opens, and a way
// back to the thread that owns the window. The Qt implementations live in
// platform/qt; tests use fakes.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
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
inline constexpr std::size_t kBatchRowStates = 8;

// A row of the list as the window shows it.
struct BatchRow {
    std::string path;  // the document's path, as found
    std::string shown; // its path from the folder it was found in, or its name
    BatchRowState state = BatchRowState::Waiting;
    std::string reason;   // why it stands so; empty while there is nothing to say
    std::string copyPath; // the copy's path; empty when there is none
};

// Which of the window's actions can be taken now.
struct BatchActions {
    bool start = false;
    bool retry = false;
    bool cancel = false;
    bool add = false; // files and folders, by the buttons and by drops
    bool saveReport = false;
    bool openFolder = false; // without a row chosen: the copies' folder
};

enum class ReportFormat { Csv, JsonLines };

struct ReportFile {
    std::string path;
    ReportFormat format = ReportFormat::Csv;
};

// The answer to closing with a report of failures not yet saved.
enum class UnsavedReport { Save, Discard, Keep };

class BatchView {
public:
    virtual ~BatchView() = default;
    // Rows at the end of the list, in the order given; the window's title
    // counts them all.
    virtual void addRows(const std::vector<BatchRow>& rows) = 0;
    // Rows shown anew, by their position in the order they were added.
    virtual void updateRows(const std::vector<std::pair<std::size_t, BatchRow>>& rows) = 0;
    // `done` documents of `total` are handled.
    virtual void setProgress(std::size_t done, std::size_t total) = 0;
    // The line under the progress: what the window is doing, or how the
    // batch went.
    virtual void setStatus(const std::string& text) = 0;
    // Which buttons act now; the password field takes input whenever a start
    // or a retry does. Closing is always possible.
    virtual void setActions(const BatchActions& actions) = 0;
    // After a batch that left documents to retry: the field's text is
    // selected and has the focus, so typing replaces it.
    virtual void focusPassword() = 0;
    // The folder in the desktop's own file manager.
    virtual void showFolder(const std::string& path) = 0;
    // Asks where to save the report and in which form; nothing when the user
    // cancelled.
    virtual std::optional<ReportFile> chooseReportFile() = 0;
    // The text in a file at the path, replacing it whole or leaving it as it
    // was; false when it could not be saved.
    virtual bool saveText(const std::string& path, const std::string& text) = 0;
    // Asks whether the report of failures may go unsaved.
    virtual UnsavedReport askToSaveReport() = 0;
    // Every row gone, for a list walked anew.
    virtual void clearRows() = 0;
    // Where the copies go: below `folder`, or beside the documents when empty.
    virtual void showCopiesFolder(const std::string& folder) = 0;
};

// Runs work on the thread that owns the windows, in the order posted, from
// any thread. What is posted after the receiver is gone is dropped.
class MainThread {
public:
    virtual ~MainThread() = default;
    virtual void post(std::function<void()> work) = 0;
    // The same, run no sooner than `delay` from now.
    virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> work) = 0;
};

} // namespace pdfunlock
