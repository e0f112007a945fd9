// Times the real removal job (launch checks, unlock, checks, copy, write,
// verifying re-open, final alert) against `qpdf --password=PW --decrypt` on the
// same inputs, each repetition in a fresh child process, alternating the two.
//
//   pdfunlock-bench [--reps N] [--data DIR] [--only a|b|c]
#include "app/AppDelegate.h"
#include "fixtures/FixtureMaker.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pdfunlock;

namespace {

// Non-interactive stand-ins for the window and its alerts.
struct HeadlessWindow : Window {
    bool visible = false;
    void makeKeyAndOrderFront() override { visible = true; }
    void orderOut() override { visible = false; }
    void close() override { visible = false; }
    bool isVisible() const override { return visible; }
    void setRepresentedFilename(const std::string&) override {}
};
struct Field : TextField {
    std::string text;
    std::string stringValue() const override { return text; }
    void setStringValue(const std::string& value) override { text = value; }
};
struct RecordedAlert : AlertPresenter {
    std::string last;
    void runModal(AlertStyle, const std::string& text) override { last = text; }
};
struct KeysAsText : Strings {
    std::string localizedString(const std::string& key) const override { return key; }
};
struct QuietLog : Log {
    void log(const std::string&) override {}
};
struct NoApplication : Application {
    void terminate() override {}
};

// The child: exactly what the window's remove button runs.
int runRemoval(const std::string& path, const std::string& password) {
    HeadlessWindow window;
    Field pwd, pwdInfo;
    RecordedAlert alerts;
    KeysAsText strings;
    QuietLog log;
    PosixFileSystem files;
    QpdfDocumentService pdf;
    NoApplication application;
    AppDelegate delegate(AppServices{alerts, strings, log, files, pdf, application},
                         Outlets{window, pwd, pwdInfo});
    delegate.openFiles({path});
    delegate.applicationDidFinishLaunching();
    if (!window.visible) {
        std::fprintf(stderr, "launch refused: %s\n", alerts.last.c_str());
        return 2;
    }
    pwd.text = password;
    delegate.removePDFpwd();
    if (alerts.last != "IDS_MSG_COMPLETE") {
        std::fprintf(stderr, "removal ended with %s\n", alerts.last.c_str());
        return 3;
    }
    return 0;
}

struct Sample {
    double seconds = 0;
    long maxRssKiB = 0;
};

Sample runChild(const std::vector<std::string>& argv) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s (status %d)\n", argv[0].c_str(), status);
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

struct Input {
    std::string key;
    std::string description;
    fixtures::Fixture fixture;
};

struct Stats {
    double median, min, max;
    long rssKiB;
};

Stats summarize(std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
    long rss = 0;
    for (const auto& s : samples) {
        rss = std::max(rss, s.maxRssKiB);
    }
    const std::size_t n = samples.size();
    const double median =
        n % 2 ? samples[n / 2].seconds : (samples[n / 2 - 1].seconds + samples[n / 2].seconds) / 2;
    return {median, samples.front().seconds, samples.back().seconds, rss};
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--run-removal") == 0) {
        return runRemoval(argv[2], argv[3]);
    }
    int reps = 5;
    fs::path data = "build/bench-data";
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reps" && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--reps N] [--data DIR] [--only a|b|c]\n", argv[0]);
            return 2;
        }
    }
    const std::string self = argv[0];

    std::vector<Input> inputs(3);
    inputs[0].key = "a";
    inputs[0].description = "scan, 400 JPEG pages, AES-256";
    inputs[0].fixture.pages = 400;
    inputs[0].fixture.imageBytesPerPage = 500 * 1000;
    inputs[0].fixture.security = fixtures::Security::AES_256;
    inputs[1].key = "b";
    inputs[1].description = "text, 5000 pages, AES-128";
    inputs[1].fixture.pages = 5000;
    inputs[1].fixture.security = fixtures::Security::AES_128;
    inputs[2].key = "c";
    inputs[2].description = "text, 500 pages, AES-128";
    inputs[2].fixture.pages = 500;
    inputs[2].fixture.security = fixtures::Security::AES_128;
    for (auto& input : inputs) {
        input.fixture.creator = fixtures::Text{"Tessivon Scan 4.2"};
        input.fixture.userPassword = "bench-password";
        input.fixture.ownerPassword = "bench-owner";
    }

    fs::create_directories(data);
    std::printf("%-32s %-9s %8s %8s %8s %7s %9s %9s\n", "input", "tool", "median_s", "min_s",
                "max_s", "ratio", "pages/s", "peak_MiB");
    std::vector<double> medians;
    for (const auto& input : inputs) {
        if (!only.empty() && only != input.key) {
            continue;
        }
        const fs::path source = data / (input.key + ".pdf");
        if (!fs::exists(source)) {
            fixtures::makeFixture(input.fixture, source.string());
        }
        const fs::path copy = data / (input.key + "_copy.pdf");
        const fs::path qpdfOut = data / (input.key + "_qpdf.pdf");
        std::vector<Sample> ours, theirs;
        for (int r = 0; r < reps; ++r) {
            fs::remove(copy);
            ours.push_back(runChild({self, "--run-removal", source.string(), "bench-password"}));
            fs::remove(copy);
            fs::remove(qpdfOut);
            theirs.push_back(runChild({"qpdf", "--password=bench-password", "--decrypt",
                                       source.string(), qpdfOut.string()}));
            fs::remove(qpdfOut);
        }
        const Stats a = summarize(ours);
        const Stats b = summarize(theirs);
        const std::string label = input.key + ") " + input.description;
        std::printf("%-32s %-9s %8.3f %8.3f %8.3f %7.2f %9.0f %9.1f\n", label.c_str(), "pdfunlock",
                    a.median, a.min, a.max, a.median / b.median, input.fixture.pages / a.median,
                    double(a.rssKiB) / 1024);
        std::printf("%-32s %-9s %8.3f %8.3f %8.3f %7s %9.0f %9.1f\n", "", "qpdf", b.median, b.min,
                    b.max, "", input.fixture.pages / b.median, double(b.rssKiB) / 1024);
        medians.push_back(a.median);
    }
    if (only.empty() && medians.size() == 3) {
        std::printf("linearity: pdfunlock time (b) / time (c) = %.2f\n", medians[1] / medians[2]);
    }
    return 0;
}
