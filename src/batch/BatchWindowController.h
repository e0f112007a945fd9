// The window for several documents: the list of documents, one password, a
// batch started, cancelled or retried from it. The batch runs on a thread of
// its own; what it reports comes back through MainThread, so the window
// stays responsive and is only touched from its own thread.
#pragma once

#include "platform/BatchDesktop.h"
#include "platform/Desktop.h"
#include "removal/FileOutcomes.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pdfunlock {

// The batch job as the window runs it.
class BatchJobs {
public:
    struct Outcome {
        // Its row in kFileOutcomes: the stable code, the short phrase and
        // the message shown.
        FileReason reason = FileReason::SaveFailed;
        std::string copyPath; // empty when there is no copy
    };
    using Finished = std::function<void(std::size_t index, const Outcome& outcome)>;
    // A row of the list: a document, or what the walk skipped with its outcome.
    struct Document {
        std::string path;
        std::optional<Outcome> skipped;
    };

    virtual ~BatchJobs() = default;
    // The documents the opened paths stand for (folders walked), each once,
    // and what the walk took no document from (links, unreadable folders).
    virtual std::vector<Document> documents(const std::vector<std::string>& inputs) = 0;
    // Runs the job on `files`; returns once every file has finished or, after
    // `cancel` is set, once the files under way have. The callbacks come from
    // any thread; `index` is the file's position in `files`. A file that was
    // never started is not reported.
    virtual void run(const std::vector<std::string>& files, const std::string& password,
                     const std::atomic<bool>& cancel, const Finished& finished) = 0;
};

struct BatchWindowServices {
    BatchJobs& jobs;
    MainThread& mainThread;
    AlertPresenter& alerts;
    Strings& strings;
    Application& application;
};

struct BatchWindowOutlets {
    Window& window;
    TextField& password;
    BatchView& view;
};

class BatchWindowController {
public:
    BatchWindowController(BatchWindowServices services, BatchWindowOutlets outlets);
    // Cancels a batch still running and waits for the files under way.
    ~BatchWindowController();
    BatchWindowController(const BatchWindowController&) = delete;
    BatchWindowController& operator=(const BatchWindowController&) = delete;

    // The open-documents event: the first non-empty list wins.
    void openFiles(const std::vector<std::string>& paths);
    // Fills the list and shows the window, or says that there is nothing to do.
    void applicationDidFinishLaunching();

    // The window's actions.
    void start(); // the documents not yet handled
    void retry(); // the documents that refused the password, with the one typed now
    void cancel();
    // The window asks before it closes: while a batch runs, the batch is
    // cancelled and the window closes once the files under way are done.
    bool windowShouldClose();

    bool isRunning() const { return running_; }
    const std::vector<std::string>& documents() const { return files_; }
    BatchRowState state(std::size_t row) const { return states_.at(row); }
    // How the row's document ended, once it has (its code and phrase are in
    // kFileOutcomes).
    std::optional<FileReason> reason(std::size_t row) const { return reasons_.at(row); }

private:
    void run(std::vector<std::size_t> rows);
    void show(std::size_t row, const BatchJobs::Outcome& outcome);
    void fileFinished(std::size_t row, const BatchJobs::Outcome& outcome);
    void batchEnded();
    void updateActions();
    bool any(BatchRowState state) const;
    bool anyToStart() const;

    BatchWindowServices services_;
    BatchWindowOutlets outlets_;
    std::vector<std::string> opened_;
    std::vector<std::string> files_;
    std::vector<BatchRowState> states_;
    std::vector<std::optional<FileReason>> reasons_;
    bool running_ = false;
    bool closeWhenEnded_ = false;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

} // namespace pdfunlock
