// pdfunlock-cli: the removal job on many files with one password, from a
// terminal or a script. Needs no display: QtCore only, for the translations.
#include "batch/BatchInputs.h"
#include "batch/BatchReport.h"
#include "batch/BatchRun.h"
#include "batch/CommandLine.h"
#include "platform/DirectoryListing.h"
#include "platform/PosixFileSystem.h"
#include "platform/Secrets.h"
#include "platform/SystemLog.h"
#include "platform/Terminal.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/FrameworkMessages.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

using namespace pdfunlock;

namespace {

constexpr int kUsageError = 2;

int usageError(const std::string& message) {
    writeAll(STDERR_FILENO,
             "pdfunlock-cli: " + message + "\nTry 'pdfunlock-cli --help' for more information.\n");
    return kUsageError;
}

// Lines to standard output, and on a terminal a progress line on standard
// error that every other line first clears, so the two never mix.
class Reporter {
public:
    Reporter(const Strings& strings, std::size_t total)
        : strings_(strings), total_(total), progress_(isTerminal(STDERR_FILENO)),
          start_(std::chrono::steady_clock::now()) {}

    void fileFinished(const std::string& line) {
        std::lock_guard lock(mutex_);
        ++done_;
        clear();
        writeAll(STDOUT_FILENO, line + "\n");
        draw();
    }
    void out(const std::string& line) {
        std::lock_guard lock(mutex_);
        clear();
        writeAll(STDOUT_FILENO, line + "\n");
        draw();
    }
    void err(const std::function<void()>& write) {
        std::lock_guard lock(mutex_);
        clear();
        write();
        draw();
    }
    void tick() {
        std::lock_guard lock(mutex_);
        draw();
    }
    void finish() {
        std::lock_guard lock(mutex_);
        clear();
        progress_ = false;
    }

private:
    void clear() {
        if (progress_ && shown_) {
            writeAll(STDERR_FILENO, "\r\033[K");
            shown_ = false;
        }
    }
    void draw() {
        if (!progress_) {
            return;
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::steady_clock::now() - start_);
        writeAll(STDERR_FILENO, "\r\033[K" + progressText(done_, total_, elapsed, strings_));
        shown_ = true;
    }

    const Strings& strings_;
    std::size_t total_;
    bool progress_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::size_t done_ = 0;
    bool shown_ = false;
};

// The fixed log lines, written so that they do not break the progress line.
class ReporterLog final : public Log {
public:
    ReporterLog(Log& inner, Reporter& reporter) : inner_(inner), reporter_(reporter) {}
    void log(const std::string& line) override {
        reporter_.err([&] { inner_.log(line); });
    }

private:
    Log& inner_;
    Reporter& reporter_;
};

PasswordLine readPassword(const CommandLine& line, const Strings& strings, std::string& problem) {
    switch (line.passwordFrom) {
    case PasswordFrom::StandardInput:
        problem = "standard input holds no password";
        return readFirstLine(STDIN_FILENO);
    case PasswordFrom::File:
        problem = "cannot read a password from " + line.passwordFile;
        return readFirstLineOfFile(line.passwordFile);
    case PasswordFrom::Terminal:
        problem = "no terminal to ask for the password: use --password-stdin or --password-file";
        return readPasswordFromTerminal(localizedText(strings, IDS_KEY::IDS_BATCH_PASSWORD_PROMPT));
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    // The password lives in this process until the last file is done.
    keepSecretsOutOfCoreDumps();
    // Past the file size limit a write fails with EFBIG and that file reports
    // it, instead of the signal ending the batch.
    std::signal(SIGXFSZ, SIG_IGN);

    // argv as bytes: names that are not valid in the locale stay as they are.
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
        return writeAll(STDOUT_FILENO, kCliUsage) ? 0 : 1;
    case CommandLine::Action::Version:
        return writeAll(STDOUT_FILENO, "pdfunlock-cli " PDFUNLOCK_VERSION "\n") ? 0 : 1;
    case CommandLine::Action::UsageError:
        return usageError(line.error);
    case CommandLine::Action::Run:
        break;
    }

    quietFrameworkMessages();
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    installTranslations(app);
    const QtStrings strings;
    SystemLog systemLog;
    QpdfDocumentService pdf;
    PosixFileSystem files;

    BatchInputs inputs = collectInputs(line.paths, RemovalServices{pdf, files, systemLog});
    // What the walk took no file from: a line each, as a file's.
    const auto skippedLine = [&](const SkippedPath& skipped) {
        const FileResult result{skipped.path, skipped.reason, std::nullopt};
        return line.json ? fileJsonLine(result, strings) : fileLine(result, strings);
    };
    if (inputs.items.empty()) {
        for (const auto& skipped : inputs.skipped) {
            writeAll(STDOUT_FILENO, skippedLine(skipped) + "\n");
        }
        writeAll(STDERR_FILENO, localizedText(strings, IDS_KEY::IDS_BATCH_NO_PDF) + "\n");
        return kUsageError;
    }

    // A batch whose every file was copied before needs no password.
    std::string password;
    const bool needsPassword =
        line.again || std::any_of(inputs.items.begin(), inputs.items.end(),
                                  [](const BatchItem& item) { return !item.earlierCopy; });
    if (needsPassword) {
        std::string problem;
        auto read = readPassword(line, strings, problem);
        if (read.tooLong) {
            return usageError(localizedText(strings, IDS_KEY::IDS_BATCH_PASSWORD_TOO_LONG,
                                            {std::to_string(kLongestPasswordLine)}));
        }
        if (!read.text) {
            return usageError(problem);
        }
        password = std::move(*read.text);
        wipe(*read.text);
    }

    Reporter reporter(strings, inputs.items.size());
    ReporterLog log(systemLog, reporter);
    for (const auto& skipped : inputs.skipped) {
        reporter.out(skippedLine(skipped));
    }

    BatchRun run(std::move(inputs.items), std::move(password),
                 BatchOptions{line.jobs.value_or(usableProcessors()), line.again},
                 BatchServices{pdf, files, log}, [&](const FileResult& result) {
                     reporter.fileFinished(line.json ? fileJsonLine(result, strings)
                                                     : fileLine(result, strings));
                 });
    wipe(password);
    SignalWatch stopSignals([&run](int) { run.cancel(); });
    run.start();
    while (!run.waitFor(std::chrono::milliseconds(500))) {
        reporter.tick();
        if (stopSignals.received() != 0) {
            run.cancel(); // also when the watch could start no thread
        }
    }
    BatchSummary summary = run.wait();
    // Every file gets its line, the ones a stop left out too.
    for (const auto& result : run.notStarted()) {
        reporter.out(line.json ? fileJsonLine(result, strings) : fileLine(result, strings));
    }
    reporter.finish();
    for (const auto& skipped : inputs.skipped) {
        ++summary.refused[skipped.reason];
    }
    for (const auto& text : summaryLines(summary, strings)) {
        writeAll(STDERR_FILENO, text + "\n");
    }
    if (const int signo = stopSignals.received()) {
        return 128 + signo;
    }
    return summary.allCopied() && inputs.skipped.empty() ? 0 : 1;
}
