#include "batch/WatchCommand.h"

#include "batch/BatchReport.h"
#include "batch/FolderWatch.h"
#include "platform/DirectoryListing.h"
#include "platform/Secrets.h"
#include "platform/Terminal.h"

#include <unistd.h>

namespace pdfunlock {

namespace {

// Folders the system gives no events for are listed this often.
constexpr std::chrono::milliseconds kFallbackPoll{5000};

// One line per file on standard output (with -q those that need attention),
// the watch's own on standard error: no progress line, nothing but the
// lines, for a terminal or the journal.
class WatchLines final : public WatchListener {
public:
    WatchLines(const Strings& strings, const CommandLine& line)
        : strings_(strings), json_(line.json), quiet_(line.quiet) {}

    void fileDone(const FileResult& result) override {
        if (quiet_ && outcomeRow(result.outcome.reason).attention != Attention::Needed) {
            return;
        }
        writeAll(STDOUT_FILENO,
                 (json_ ? fileJsonLine(result, strings_) : fileLine(result, strings_)) + "\n");
    }
    void skipped(const SkippedPath& skipped) override {
        fileDone({skipped.path, skipped.outcome, std::nullopt, 0});
    }
    void notice(IDS_KEY message, const std::vector<std::string>& arguments) override {
        writeAll(STDERR_FILENO, localizedText(strings_, message, arguments) + "\n");
    }

private:
    const Strings& strings_;
    bool json_;
    bool quiet_;
};

} // namespace

int watchFolders(const CommandLine& line, const std::vector<std::string>& folders,
                 std::vector<std::string> passwords, BatchOptions options,
                 std::shared_ptr<OutputFolder> output, BatchServices services,
                 const Strings& strings) {
    const auto events =
        line.poll ? pollingFolderEvents(*line.poll) : systemFolderEvents(kFallbackPoll);
    WatchLines lines(strings, line);
    const WatchOptions watchOptions{line.settle, options.jobs, std::move(output)};
    options.jobs = 1; // a run a file
    FolderWatch watch(
        watchOptions, *events, RemovalServices{services.pdf, services.files, services.log},
        [&](BatchItem item, BatchRun::OnFinished onFinished) {
            auto run =
                std::make_unique<BatchRun>(std::vector<BatchItem>{std::move(item)}, passwords,
                                           options, services, std::move(onFinished));
            run->start();
            return run;
        },
        lines);
    SignalWatch stopSignals([&watch](int) { watch.stop(); });
    watch.stopWhen([&stopSignals] { return stopSignals.received() != 0; });
    const bool stopped = watch.start(folders) && watch.run();
    for (auto& password : passwords) {
        wipe(password);
    }
    if (!stopped) {
        lines.notice(IDS_KEY::IDS_WATCH_NONE_LEFT, {});
        return 1;
    }
    return 0;
}

} // namespace pdfunlock
