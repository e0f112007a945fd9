// pdfunlock-cli: the removal job on many files with one password or a
// keyring, from a terminal, a script or a timer. Needs no display: QtCore
// only, for the translations.
#include "batch/BatchInputs.h"
#include "batch/BatchReport.h"
#include "batch/BatchRun.h"
#include "batch/CommandLine.h"
#include "batch/WatchCommand.h"
#include "platform/DirectoryListing.h"
#include "platform/ListFiles.h"
#include "platform/OutputFolder.h"
#include "platform/PosixFileSystem.h"
#include "platform/Secrets.h"
#include "platform/SystemLog.h"
#include "platform/Terminal.h"
#include "platform/qpdf/QpdfDocument.h"
#include "platform/qt/FrameworkMessages.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

using namespace pdfunlock;

namespace {

// What makes the command stop before any file: the message and its arguments.
struct UsageError {
    IDS_KEY message;
    std::vector<std::string> arguments;
};

int usageError(const Strings& strings, const UsageError& error) {
    // The arguments are names the user gave: shown as the file lines show them.
    std::vector<std::string> shown;
    for (const auto& argument : error.arguments) {
        shown.push_back(shownName(argument));
    }
    writeAll(STDERR_FILENO, "pdfunlock-cli: " + localizedText(strings, error.message, shown) +
                                "\n" + localizedText(strings, IDS_KEY::IDS_CLI_TRY_HELP) + "\n");
    return kExitUsage;
}

// The files' lines to standard output (with -q only those that need
// attention), and on a terminal a progress line on standard error that every
// other line first clears, so the two never mix.
class Reporter {
public:
    Reporter(const Strings& strings, const CommandLine& line, std::size_t total)
        : strings_(strings), json_(line.json), quiet_(line.quiet),
          progressShown_(!line.quiet && isTerminal(STDERR_FILENO)),
          start_(std::chrono::steady_clock::now()) {
        progress_.total = total;
    }

    void file(const FileResult& result, bool counted = true) {
        std::lock_guard lock(mutex_);
        const Attention attention = outcomeRow(result.outcome.reason).attention;
        if (counted) {
            ++progress_.done;
            progress_.failed += attention == Attention::Needed ? 1 : 0;
            watch_.add(result.outcome);
            progress_.passwordRefused = watch_.allRefused();
        }
        if (!quiet_ || attention == Attention::Needed) {
            clear();
            writeAll(STDOUT_FILENO,
                     (json_ ? fileJsonLine(result, strings_) : fileLine(result, strings_)) + "\n");
        }
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
        progressShown_ = false;
    }

private:
    void clear() {
        if (progressShown_ && drawn_) {
            writeAll(STDERR_FILENO, "\r\033[K");
            drawn_ = false;
        }
    }
    void draw() {
        if (!progressShown_) {
            return;
        }
        progress_.elapsed = std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::steady_clock::now() - start_);
        writeAll(STDERR_FILENO, "\r\033[K" + progressText(progress_, strings_));
        drawn_ = true;
    }

    const Strings& strings_;
    bool json_;
    bool quiet_;
    bool progressShown_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    Progress progress_;
    WrongPasswordWatch watch_;
    bool drawn_ = false;
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

// The passwords to try, or why there are none: one password from the
// terminal, standard input or a file, or a keyring with its line numbers.
std::optional<UsageError> readPasswords(const CommandLine& line, const Strings& strings,
                                        std::vector<std::string>& passwords,
                                        std::vector<std::size_t>& numbers) {
    const UsageError tooLong{IDS_KEY::IDS_BATCH_PASSWORD_TOO_LONG,
                             {std::to_string(kLongestPasswordLine)}};
    if (line.passwordFrom == PasswordFrom::List) {
        PasswordList list = readPasswordList(line.passwordFile);
        switch (list.problem) {
        case PasswordList::Problem::None:
            passwords = std::move(list.passwords);
            numbers = std::move(list.lines);
            return std::nullopt;
        case PasswordList::Problem::Unreadable:
            return UsageError{IDS_KEY::IDS_CLI_CANNOT_READ, {line.passwordFile}};
        case PasswordList::Problem::LineTooLong:
            return tooLong;
        case PasswordList::Problem::TooMany:
            return UsageError{IDS_KEY::IDS_CLI_LIST_TOO_MANY,
                              {line.passwordFile, std::to_string(kMostListedPasswords)}};
        case PasswordList::Problem::Empty:
            return UsageError{IDS_KEY::IDS_CLI_LIST_EMPTY, {line.passwordFile}};
        }
    }
    PasswordLine read;
    UsageError none{IDS_KEY::IDS_CLI_NO_TERMINAL, {}};
    if (line.passwordFrom == PasswordFrom::StandardInput) {
        none = {IDS_KEY::IDS_CLI_NO_PASSWORD_STDIN, {}};
        read = readFirstLine(STDIN_FILENO);
    } else if (line.passwordFrom == PasswordFrom::File) {
        none = {IDS_KEY::IDS_CLI_CANNOT_READ, {line.passwordFile}};
        read = readFirstLineOfFile(line.passwordFile);
    } else {
        read = readPasswordFromTerminal(localizedText(strings, IDS_KEY::IDS_BATCH_PASSWORD_PROMPT));
    }
    if (read.tooLong) {
        return tooLong;
    }
    if (!read.text) {
        return none;
    }
    passwords.push_back(std::move(*read.text));
    wipe(*read.text);
    return std::nullopt;
}

// The paths named on the command line, then those of --files-from.
std::optional<UsageError> namedPaths(const CommandLine& line, std::vector<std::string>& paths) {
    paths = line.paths;
    if (!line.filesFrom) {
        return std::nullopt;
    }
    const char separator = line.nulSeparated ? '\0' : '\n';
    const std::string& from = *line.filesFrom;
    NameList list =
        from == "-" ? readNameList(STDIN_FILENO, separator) : readNameListFile(from, separator);
    switch (list.problem) {
    case NameList::Problem::None:
        paths.insert(paths.end(), std::make_move_iterator(list.names.begin()),
                     std::make_move_iterator(list.names.end()));
        return std::nullopt;
    case NameList::Problem::Unreadable:
        return UsageError{IDS_KEY::IDS_CLI_CANNOT_READ, {from}};
    case NameList::Problem::NameTooLong:
        return UsageError{IDS_KEY::IDS_CLI_NAME_TOO_LONG,
                          {from, std::to_string(kLongestListedName)}};
    case NameList::Problem::TooMany:
        return UsageError{IDS_KEY::IDS_CLI_TOO_MANY_NAMES,
                          {from, std::to_string(kMostListedNames)}};
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    // The password lives in this process until the last file is done.
    keepSecretsOutOfCoreDumps();
    // Past the file size limit a write fails with EFBIG and that file reports
    // it, instead of the signal ending the batch.
    std::signal(SIGXFSZ, SIG_IGN);

    // The translations first: the help and the usage errors are in the
    // user's language too.
    quietFrameworkMessages();
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    installTranslations(app);
    const QtStrings strings;

    // argv as bytes: names that are not valid in the locale stay as they are.
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
        return writeAll(STDOUT_FILENO, localizedText(strings, IDS_KEY::IDS_CLI_HELP,
                                                     {std::to_string(kLongestPasswordLine),
                                                      std::to_string(kMostListedPasswords),
                                                      std::to_string(kWrongPasswordsNoted)}) +
                                           "\n")
                   ? 0
                   : 1;
    case CommandLine::Action::Version:
        return writeAll(STDOUT_FILENO, "pdfunlock-cli " PDFUNLOCK_VERSION "\n") ? 0 : 1;
    case CommandLine::Action::UsageError:
        return usageError(strings, {line.error, line.errorArguments});
    case CommandLine::Action::Run:
        break;
    }

    std::vector<std::string> paths;
    if (const auto error = namedPaths(line, paths)) {
        return usageError(strings, *error);
    }
    std::shared_ptr<OutputFolder> output;
    if (line.outputDir) {
        const auto info = inspectPath(*line.outputDir);
        output = info && info->kind == EntryKind::Folder ? OutputFolder::named(*line.outputDir)
                                                         : nullptr;
        if (!output) {
            return usageError(strings, {IDS_KEY::IDS_CLI_NOT_A_FOLDER, {*line.outputDir}});
        }
    }

    SystemLog systemLog(!line.quiet);
    QpdfDocumentService pdf;
    PosixFileSystem files;
    std::vector<std::string> passwords;
    BatchOptions options{
        line.jobs.value_or(usableProcessors()), line.again, line.stopOnWrongPassword, {}};
    if (line.watch) {
        for (const auto& path : paths) {
            const auto info = inspectPath(path);
            if (!info || info->kind != EntryKind::Folder) {
                return usageError(strings, {IDS_KEY::IDS_CLI_NOT_A_FOLDER, {path}});
            }
        }
        // A service's password file: nobody else's to read or replace.
        if (line.passwordFrom != PasswordFrom::Terminal &&
            line.passwordFrom != PasswordFrom::StandardInput && isOpenToOthers(line.passwordFile)) {
            return usageError(strings,
                              {IDS_KEY::IDS_WATCH_PASSWORD_FILE_OPEN, {line.passwordFile}});
        }
        std::vector<std::size_t> numbers;
        if (const auto error = readPasswords(line, strings, passwords, numbers)) {
            return usageError(strings, *error);
        }
        if (line.passwordFrom == PasswordFrom::List) {
            options.entryNumbers = std::move(numbers);
        }
        return watchFolders(line, paths, std::move(passwords), std::move(options),
                            std::move(output), BatchServices{pdf, files, systemLog}, strings);
    }

    BatchInputs inputs =
        collectInputs(paths, RemovalServices{pdf, files, systemLog}, std::move(output));

    // A batch whose every file was copied before needs no password.
    const bool needsPassword =
        std::any_of(inputs.items.begin(), inputs.items.end(),
                    [&line](const BatchItem& item) { return line.again || !item.earlierCopy; });
    if (needsPassword) {
        std::vector<std::size_t> numbers;
        if (const auto error = readPasswords(line, strings, passwords, numbers)) {
            return usageError(strings, *error);
        }
        if (line.passwordFrom == PasswordFrom::List) {
            options.entryNumbers = std::move(numbers);
        }
    }

    const std::size_t total = inputs.items.size();
    Reporter reporter(strings, line, total);
    ReporterLog log(systemLog, reporter);
    BatchRun run(std::move(inputs.items), std::move(passwords), std::move(options),
                 BatchServices{pdf, files, log},
                 [&reporter](const FileResult& result) { reporter.file(result); });
    // What the walk took no file from: a line each, as a file's.
    for (std::size_t i = 0; i < inputs.skipped.size(); ++i) {
        reporter.file({inputs.skipped[i].path, inputs.skipped[i].outcome, std::nullopt, total + i},
                      false);
    }
    SignalWatch stopSignals([&run](int) { run.cancel(); });
    run.start();
    while (!run.waitFor(std::chrono::milliseconds(500))) {
        reporter.tick();
        if (stopSignals.received() != 0) {
            run.cancel(); // also when the watch could start no thread
        }
    }
    BatchSummary summary = run.wait();
    // In JSON every file gets its line, those a stop left out too; on a
    // line of text the summary counts them.
    if (line.json) {
        for (const auto& result : run.notStarted()) {
            reporter.file(result, false);
        }
    }
    reporter.finish();
    bool namedMissing = false;
    for (std::size_t i = 0; i < inputs.skipped.size(); ++i) {
        const FileReason reason = inputs.skipped[i].outcome.reason;
        summary.add(reason, total + i, inputs.skipped[i].path);
        ++summary.total;
        namedMissing = namedMissing || reason == FileReason::NotFound;
    }
    if (total == 0 && inputs.skipped.empty() && !line.quiet) {
        writeAll(STDERR_FILENO, localizedText(strings, IDS_KEY::IDS_BATCH_NO_PDF) + "\n");
    } else if (total > 0 || !line.quiet) {
        for (const auto& text : summaryLines(summary, strings, line.quiet)) {
            writeAll(STDERR_FILENO, text + "\n");
        }
    }
    if (const int signo = stopSignals.received()) {
        return 128 + signo;
    }
    return exitStatus(summary, namedMissing);
}
