// The window for several documents: the list of documents, one password, a
// batch started, cancelled or retried from it, files and folders added, the
// report saved. The walk and the batch run on threads of their own; what they
// report comes back through MainThread in coalesced rounds, so the window
// stays responsive however fast files finish, and is only touched from its
// own thread.
#pragma once

#include "batch/BatchJobs.h"
#include "batch/BatchWindowList.h"
#include "platform/BatchDesktop.h"
#include "platform/Desktop.h"
#include "removal/FileOutcomes.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pdfunlock {

struct BatchWindowServices {
    BatchJobs& jobs;
    MainThread& mainThread;
    AlertPresenter& alerts;
    Strings& strings;
};

struct BatchWindowOutlets {
    Window& window;
    TextField& password;
    BatchView& view;
};

class BatchWindowController {
public:
    BatchWindowController(BatchWindowServices services, BatchWindowOutlets outlets);
    // Stops the walk and the batch and waits for the files under way.
    ~BatchWindowController();
    BatchWindowController(const BatchWindowController&) = delete;
    BatchWindowController& operator=(const BatchWindowController&) = delete;

    // The open-documents event: before launching, the first non-empty list
    // wins; afterwards the paths are added.
    void openFiles(const std::vector<std::string>& paths);
    // Shows the window, empty or with the opened paths being walked.
    void applicationDidFinishLaunching();

    // The window's actions.
    void add(const std::vector<std::string>& paths); // files and folders, walked off this thread
    void start();                                    // the documents not yet handled
    void retry(); // the documents that refused the password, with the one typed now
    void cancel();
    // The window asks before it closes: about a report of failures not yet
    // saved; while a batch runs, the batch is cancelled and the window closes
    // once the files under way are done.
    bool windowShouldClose();
    // The folder of the row's copy (of the row itself when it has none), or
    // without a row the folder all copies are in.
    void openFolder(std::optional<std::size_t> row);
    // Asks where, then saves the report; false when nothing was saved.
    bool saveReport();
    bool saveReport(const ReportFile& file);
    // Copies go below `folder` from now on (empty: beside the documents):
    // the list is walked again for it, its earlier copies looked for there.
    void saveCopiesIn(const std::string& folder);

    // The one phrase each outcome is shown with: the reason column, the
    // details line, the summary.
    std::string reasonText(const BatchJobs::Outcome& outcome) const;

    bool isRunning() const { return running_; }
    bool isWalking() const { return walking_; }
    const BatchWindowList& list() const { return list_; }
    const std::string& status() const { return status_; }

private:
    // The way back from the walk's and the run's threads: one post pending at
    // a time, however many results wait in it, and at most one round every
    // kRoundEvery, so that the window is not drawn anew for every file.
    static constexpr std::chrono::milliseconds kRoundEvery{40};
    struct Inbox {
        std::mutex mutex;
        std::vector<std::function<void()>> work;
        bool posted = false;
        std::chrono::steady_clock::time_point lastRound;
        BatchWindowController* owner = nullptr;
    };

    void deliver(std::function<void()> work);
    static void drain(const std::shared_ptr<Inbox>& inbox);
    void walkNext();
    void documentsFound(std::vector<BatchJobs::Document> documents);
    void walkEnded(bool walked);
    void run(const std::vector<std::size_t>& rows, bool takesFound);
    void fileFinished(std::size_t index, const BatchJobs::Outcome& outcome);
    void batchEnded();
    void stopWalking();
    void setRow(std::size_t row, std::optional<BatchJobs::Outcome> outcome);
    void refresh();
    std::string statusNow() const;
    BatchActions actionsNow() const;

    BatchWindowServices services_;
    BatchWindowOutlets outlets_;
    std::shared_ptr<Inbox> inbox_;
    bool launched_ = false;
    std::vector<std::string> opened_;

    BatchWindowList list_;
    std::string status_;
    bool walkedOnce_ = false;
    bool ranOnce_ = false;

    std::vector<std::vector<std::string>> added_; // as added, for a new walk
    std::vector<std::vector<std::string>> toWalk_;
    std::string output_;         // where the copies go; empty: beside the documents
    std::size_t listNumber_ = 0; // which list the walks under way fill
    bool walking_ = false;
    std::atomic<bool> stopWalk_{false};
    std::thread walker_;

    bool running_ = false;
    bool closing_ = false;     // the window goes once the batch has ended
    bool saveOnClose_ = false; // ... after the report is saved
    bool reportUnsaved_ = false;
    std::unique_ptr<BatchFeed> feed_;
    bool feedTakesFound_ = false;
    std::vector<std::size_t> runRows_; // the row of each file in the feed
    std::thread worker_;
};

} // namespace pdfunlock
