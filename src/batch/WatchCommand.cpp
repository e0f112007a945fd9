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

// One line per file on standard output, the watch's own on standard error:
// no progress line, nothing but the lines, for a terminal or the journal.
class WatchLines final : public WatchListener {
public:
    WatchLines(const Strings& strings, bool json) : strings_(strings), json_(json) {}

    void fileDone(const FileResult& result) override {
        writeAll(STDOUT_FILENO,
                 (json_ ? fileJsonLine(result, strings_) : fileLine(result, strings_)) + "\n");
    }
    void skipped(const SkippedPath& skipped) override {
        fileDone({skipped.path, skipped.reason, std::nullopt});
    }
    void notice(IDS_KEY message, const std::vector<std::string>& arguments) override {
        writeAll(STDERR_FILENO, localizedText(strings_, message, arguments) + "\n");
    }

private:
    const Strings& strings_;
    bool json_;
};

} // namespace

int watchFolders(const CommandLine& line, std::string password, BatchServices services,
                 const Strings& strings) {
    const auto events =
        line.poll ? pollingFolderEvents(*line.poll) : systemFolderEvents(kFallbackPoll);
    WatchLines lines(strings, line.json);
    const WatchOptions options{line.settle, line.jobs.value_or(usableProcessors())};
    const BatchOptions each{1, line.again};
    FolderWatch watch(
        options, *events, RemovalServices{services.pdf, services.files, services.log},
        [&](BatchItem item, BatchRun::OnFinished onFinished) {
            auto run = std::make_unique<BatchRun>(std::vector<BatchItem>{std::move(item)},
                                                  std::string(password), each, services,
                                                  std::move(onFinished));
            run->start();
            return run;
        },
        lines);
    SignalWatch stopSignals([&watch](int) { watch.stop(); });
    const bool stopped = watch.start(line.paths) && watch.run();
    wipe(password);
    if (!stopped) {
        lines.notice(IDS_KEY::IDS_WATCH_NONE_LEFT, {});
        return 1;
    }
    return 0;
}

} // namespace pdfunlock
