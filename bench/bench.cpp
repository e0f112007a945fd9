// Times the real removal job (launch checks, unlock, checks, copy, write,
// verifying re-open, final alert) against what a user could run instead on the
// same inputs: `qpdf --password=PW --decrypt`, `mutool clean -D` and a pikepdf
// page copy. Each repetition is a fresh child process, the tools alternating;
// besides wall-clock time it reports CPU time, which load from other
// processes on the machine disturbs less.
//
// e) is text in other proportions than b) and c): long pages of prose in eight
// fonts, with three incremental updates that give some pages new bodies
// outside the object streams.
//
// On the text inputs a row "(checks)" times what the job reads besides writing
// the copy (launch open, unlock, page count, verifying open, nothing on a
// second thread): qpdf's least time for the job, whatever the copy costs.
//
// d), f), g) and h) are batches: a folder of locked scans (d) 200 of 1-5 MB,
// f) 200 of one page on one job, g) 150 of 3 MB, h) 2000 of one page),
// pdfunlock-cli against `xargs -P <jobs> -n 1` of qpdf --decrypt and of mutool
// clean, a pikepdf loop over the folder, and the copy floor: `cp -r` of the
// folder and `sync`. With --baseline-cli, another build's pdfunlock-cli runs
// beside this one.
//
//   pdfunlock-bench [--reps N] [--data DIR] [--only a|b|c|d|e|f|g|h|i]
//                   [--baseline-cli PATH]
//
// i) is 2,000 one-page scans in 20 folders: the window for several documents
// (as `pdfunlock --batch` builds it, offscreen, Enter pressed as soon as it is
// up, ended once every row is done) against pdfunlock-cli on the same folder.
#include "Fakes.h"
#include "app/AppDelegate.h"
#include "fixtures/FixtureMaker.h"
#include "platform/DirectoryListing.h"
#include "platform/PosixFileSystem.h"
#include "platform/qpdf/QpdfDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pdfunlock;

namespace {

// The child: exactly what the window's remove button runs.
int runRemoval(const std::string& path, const std::string& password) {
    // The tests' stand-ins for the window, alerts and log; messages as their keys.
    testing::FakeWindow window;
    testing::FakeTextField pwd, pwdInfo;
    testing::FakeAlerts alerts;
    testing::FakeStrings strings;
    strings.language.clear();
    testing::FakeLog log;
    PosixFileSystem files;
    QpdfDocumentService pdf;
    testing::FakeApplication application;
    AppDelegate delegate(AppServices{alerts, strings, log, files, pdf, application},
                         Outlets{window, pwd, pwdInfo});
    delegate.openFiles({path});
    delegate.applicationDidFinishLaunching();
    const auto last = [&] {
        return alerts.shown.empty() ? std::string() : alerts.shown.back().text;
    };
    if (!window.visible) {
        std::fprintf(stderr, "launch refused: %s\n", last().c_str());
        return 2;
    }
    pwd.text = password;
    delegate.removePDFpwd();
    if (last() != "IDS_MSG_COMPLETE") {
        std::fprintf(stderr, "removal ended with %s\n", last().c_str());
        return 3;
    }
    return 0;
}

// The child: only what every removal job reads besides writing the copy, as
// the job does it: the launch open, the unlock, the page count, the verifying
// open of `copy`, and dropping the documents at exit. No second thread: this
// is qpdf's own least time on the input.
int runChecks(const std::string& path, const std::string& password, const std::string& copy) {
    QpdfDocumentService pdf(16 * 1024 * 1024, false);
    auto source = pdf.initWithURL(path);
    if (!source || !source->unlockWithPassword(password) || source->pageCount() <= 0) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 2;
    }
    auto check = pdf.initWithURL(copy);
    if (!check || check->declaredPageCount() != source->pageCount()) {
        std::fprintf(stderr, "cannot read %s\n", copy.c_str());
        return 3;
    }
    return 0;
}

struct Sample {
    double seconds = 0;
    double cpuSeconds = 0; // user and system: what other load on the machine disturbs least
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
    const auto cpu = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {std::chrono::duration<double>(end - start).count(),
            cpu(usage.ru_utime) + cpu(usage.ru_stime), usage.ru_maxrss};
}

// Makes an input in a child process: Linux keeps a process's peak resident
// set across exec, so memory the maker took here would count in the peak of
// every tool started after it.
void makeInput(const fixtures::Fixture& fixture, const std::string& path) {
    std::fflush(stdout); // or the child would print what is buffered once more
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            fixtures::makeFixture(fixture, path);
            _exit(0);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(), e.what());
            _exit(1);
        }
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::exit(1);
    }
}

struct Input {
    std::string key;
    std::string description;
    fixtures::Fixture fixture;
};

struct Stats {
    double median, min, max, cpuMedian;
    long rssKiB;
};

Stats summarize(std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
    long rss = 0;
    for (const auto& s : samples) {
        rss = std::max(rss, s.maxRssKiB);
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    };
    std::vector<double> wall, cpu;
    for (const auto& s : samples) {
        wall.push_back(s.seconds);
        cpu.push_back(s.cpuSeconds);
    }
    return {median(wall), samples.front().seconds, samples.back().seconds, median(cpu), rss};
}

// A tool the user could run instead: the command for (source, password, output).
struct Tool {
    std::string name;
    std::function<std::vector<std::string>(const std::string&, const std::string&,
                                           const std::string&)>
        command;
};

bool succeeds(const std::string& shellCommand) {
    return std::system((shellCommand + " >/dev/null 2>&1").c_str()) == 0;
}

// What a few lines of pikepdf do: a new document with the pages and the
// Creator of the source, saved.
constexpr const char* kPikepdfCopy = R"(import sys, pikepdf
src = pikepdf.open(sys.argv[1], password=sys.argv[2])
dst = pikepdf.new()
dst.pages.extend(src.pages)
dst.docinfo["/Creator"] = str(src.docinfo.get("/Creator", ""))
dst.save(sys.argv[3])
)";

std::vector<Tool> competitors() {
    std::vector<Tool> tools;
    tools.push_back({"qpdf",
                     [](const std::string& in, const std::string& pw,
                        const std::string& out) -> std::vector<std::string> {
                         return {"qpdf", "--password=" + pw, "--decrypt", in, out};
                     }});
    if (succeeds("mutool -v")) {
        tools.push_back({"mutool",
                         [](const std::string& in, const std::string& pw,
                            const std::string& out) -> std::vector<std::string> {
                             return {"mutool", "clean", "-D", "-p", pw, in, out};
                         }});
    } else {
        std::printf("mutool: not installed, skipped (Debian: mupdf-tools)\n");
    }
    // Debian's module is for Debian's interpreter, which may not be first on PATH.
    std::string python;
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        if (succeeds(std::string(candidate) + " -c 'import pikepdf'")) {
            python = candidate;
            break;
        }
    }
    if (!python.empty()) {
        tools.push_back({"pikepdf",
                         [python](const std::string& in, const std::string& pw,
                                  const std::string& out) -> std::vector<std::string> {
                             return {python, "-c", kPikepdfCopy, in, pw, out};
                         }});
    } else {
        std::printf("pikepdf: not installed, skipped (Debian: python3-pikepdf)\n");
    }
    return tools;
}

constexpr const char* kPikepdfLoop = R"(import sys, os, pikepdf
src_dir, pw, out_dir = sys.argv[1:4]
for name in sorted(os.listdir(src_dir)):
    src = pikepdf.open(os.path.join(src_dir, name), password=pw)
    dst = pikepdf.new()
    dst.pages.extend(src.pages)
    dst.docinfo["/Creator"] = str(src.docinfo.get("/Creator", ""))
    dst.save(os.path.join(out_dir, name))
)";

std::string pythonWithPikepdf() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        if (succeeds(std::string(candidate) + " -c 'import pikepdf'")) {
            return candidate;
        }
    }
    return {};
}

double folderMegabytes(const fs::path& dir, const std::string& suffix = "") {
    double bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (suffix.empty() || name.ends_with(suffix)) {
            bytes += double(entry.file_size());
        }
    }
    return bytes / 1e6;
}

// A batch: a folder of locked files, all with one password. Every tool
// reads the same folder; pdfunlock-cli writes its copies beside the sources
// (fsynced and verified), the others into a folder of their own. The copy
// floor is `cp -r` of the folder and `sync`.
struct Batch {
    std::string key;
    std::string label;
    std::string folder;
    int files = 0;
    std::vector<fixtures::Fixture> kinds; // file i is a copy of kinds[i % size]
    unsigned jobs = 0;                    // 0: the command's default, as many as cores
};

void benchBatch(const fs::path& data, const std::string& self, const std::string& baselineCli,
                const std::string& password, const Batch& batch, int reps) {
    const fs::path folder = data / batch.folder;
    const auto source = [&](int i) { return folder / ("scan" + std::to_string(i) + ".pdf"); };
    if (!fs::exists(source(batch.files - 1))) {
        fs::create_directories(folder);
        const int kinds = static_cast<int>(batch.kinds.size());
        for (int i = 0; i < kinds; ++i) {
            makeInput(batch.kinds[static_cast<size_t>(i)], source(i).string());
        }
        for (int i = kinds; i < batch.files; ++i) {
            fs::copy_file(source(i % kinds), source(i));
        }
    }
    const fs::path passwordFile = data / "batch-password";
    if (FILE* f = std::fopen(passwordFile.c_str(), "w")) {
        std::fprintf(f, "%s\n", password.c_str());
        std::fclose(f);
    }
    const fs::path out = data / "batch-out";
    const std::string jobs = std::to_string(batch.jobs ? batch.jobs : usableProcessors());
    const auto removeCopies = [&] {
        for (int i = 0; i < batch.files; ++i) {
            fs::remove(folder / ("scan" + std::to_string(i) + "_copy.pdf"));
        }
        fs::remove_all(out);
        fs::create_directories(out);
    };

    struct Runner {
        std::string name;
        std::vector<std::string> command;
        bool copiesBeside = false; // writes *_copy.pdf into the folder
    };
    std::vector<Runner> runners;
    const auto cli = [&](const std::string& name, const std::string& program) {
        runners.push_back(
            {name,
             {"sh", "-c", "exec \"$0\" -j \"$1\" --password-file \"$2\" \"$3\" >/dev/null 2>&1",
              program, jobs, passwordFile.string(), folder.string()},
             true});
    };
    cli("cli -j" + jobs, (fs::path(self).parent_path() / "pdfunlock-cli").string());
    if (!baselineCli.empty()) {
        cli("old -j" + jobs, baselineCli);
    }
    // Each file by a process of its own, `jobs` at once; "$2" is the file.
    const auto xargs = [&](const std::string& name, const std::string& perFile) {
        runners.push_back({name,
                           {"sh", "-c",
                            "find \"$0\" -name 'scan*[0-9].pdf' -print0 | xargs -0 -P " + jobs +
                                " -n 1 sh -c '" + perFile + "' \"$1\" \"$2\"",
                            folder.string(), password, out.string()}});
    };
    xargs("qpdf -P" + jobs, "exec qpdf --password=\"$0\" --decrypt \"$2\" \"$1/${2##*/}\"");
    if (succeeds("mutool -v")) {
        xargs("mutool -P" + jobs, "exec mutool clean -D -p \"$0\" \"$2\" \"$1/${2##*/}\"");
    }
    if (const std::string python = pythonWithPikepdf(); !python.empty()) {
        runners.push_back(
            {"pikepdf", {python, "-c", kPikepdfLoop, folder.string(), password, out.string()}});
    }
    runners.push_back(
        {"cp+sync",
         {"sh", "-c", "cp -r \"$0\" \"$1/folder\" && sync", folder.string(), out.string()}});

    std::vector<std::vector<Sample>> samples(runners.size());
    std::vector<double> written(runners.size());
    for (int r = 0; r < reps; ++r) {
        for (size_t t = 0; t < runners.size(); ++t) {
            removeCopies();
            samples[t].push_back(runChild(runners[t].command));
            written[t] = runners[t].copiesBeside        ? folderMegabytes(folder, "_copy.pdf")
                         : runners[t].name == "cp+sync" ? folderMegabytes(out / "folder")
                                                        : folderMegabytes(out);
        }
    }
    removeCopies();
    const Stats ours = summarize(samples[0]);
    for (size_t t = 0; t < runners.size(); ++t) {
        const Stats b = summarize(samples[t]);
        std::printf("%-26s %-9s %8.3f %8.3f %8.3f %7.2f %7.3f %9.0f %9.1f %9.1f\n",
                    t == 0 ? (batch.key + ") " + batch.label).c_str() : "", runners[t].name.c_str(),
                    b.median, b.min, b.max, b.median / ours.median, b.cpuMedian,
                    batch.files / b.median, double(b.rssKiB) / 1024, written[t]);
    }
    const double floor = summarize(samples.back()).median;
    std::printf("%-26s pdfunlock-cli: %.2f ms of CPU per file; / (cp -r + sync) = %.2f", "",
                1000 * ours.cpuMedian / batch.files, ours.median / floor);
    if (!baselineCli.empty()) {
        std::printf("; / old = %.2f", ours.median / summarize(samples[1]).median);
    }
    std::printf("\n%-26s (files/s in the pages/s column; peak_MiB: the largest single process)\n",
                "");
}

// i) 2,000 one-page scans in 20 folders: the window against the command.
void benchWindow(const fs::path& data, const std::string& self, const std::string& password,
                 int reps) {
    const fs::path folder = data / "i-window";
    constexpr int files = 2000;
    constexpr int folders = 20;
    const auto source = [&](int i) {
        return folder / ("box" + std::to_string(i % folders)) /
               ("scan" + std::to_string(i) + ".pdf");
    };
    if (!fs::exists(source(files - 1))) {
        for (int f = 0; f < folders; ++f) {
            fs::create_directories(folder / ("box" + std::to_string(f)));
        }
        fixtures::Fixture scan;
        scan.security = fixtures::Security::AES_256;
        scan.creator = fixtures::Text{"Tessivon Scan 4.2"};
        scan.userPassword = password;
        scan.ownerPassword = "bench-owner";
        scan.pages = 1;
        scan.imageBytesPerPage = 20 * 1000;
        makeInput(scan, source(0).string());
        for (int i = 1; i < files; ++i) {
            fs::copy_file(source(0), source(i));
        }
    }
    const fs::path passwordFile = data / "f-password";
    if (FILE* f = std::fopen(passwordFile.c_str(), "w")) {
        std::fprintf(f, "%s\n", password.c_str());
        std::fclose(f);
    }
    const std::string cli = (fs::path(self).parent_path() / "pdfunlock-cli").string();
    const auto removeCopies = [&] {
        for (int i = 0; i < files; ++i) {
            fs::path copy = source(i);
            copy.replace_filename("scan" + std::to_string(i) + "_copy.pdf");
            fs::remove(copy);
        }
    };
    const std::vector<std::pair<std::string, std::vector<std::string>>> runners = {
        {"cli",
         {"sh", "-c", "exec \"$0\" --password-file \"$1\" \"$2\" >/dev/null 2>&1", cli,
          passwordFile.string(), folder.string()}},
        {"window",
         {(fs::path(self).parent_path() / "pdfunlock-bench-window").string(), folder.string(),
          password}},
    };
    std::vector<std::vector<Sample>> samples(runners.size());
    for (int r = 0; r < reps; ++r) {
        for (std::size_t t = 0; t < runners.size(); ++t) {
            removeCopies();
            samples[t].push_back(runChild(runners[t].second));
        }
    }
    removeCopies();
    const Stats ours = summarize(samples[0]);
    for (std::size_t t = 0; t < runners.size(); ++t) {
        const Stats b = summarize(samples[t]);
        std::printf("%-26s %-9s %8.3f %8.3f %8.3f %7.2f %7.3f %9.0f %9.1f %9s\n",
                    t == 0 ? "i) 2000 one-page scans" : "", runners[t].first.c_str(), b.median,
                    b.min, b.max, b.median / ours.median, b.cpuMedian, files / b.median,
                    double(b.rssKiB) / 1024, "");
    }
    std::printf("%-26s window / pdfunlock-cli = %.2f (files/s in the pages/s column)\n", "",
                summarize(samples[1]).median / ours.median);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--run-removal") == 0) {
        return runRemoval(argv[2], argv[3]);
    }
    if (argc == 5 && std::strcmp(argv[1], "--run-checks") == 0) {
        return runChecks(argv[2], argv[3], argv[4]);
    }
    int reps = 5;
    fs::path data = "build/bench-data";
    std::string only;
    std::string baselineCli;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reps" && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (arg == "--baseline-cli" && i + 1 < argc) {
            baselineCli = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: %s [--reps N] [--data DIR] [--only a|b|c|d|e|f|g|h|i] "
                         "[--baseline-cli PATH]\n",
                         argv[0]);
            return 2;
        }
    }
    const std::string self = argv[0];
    const std::string password = "bench-password";

    // AES-256 as scanners write it today; the text inputs keep their objects
    // in object streams, as such files usually do.
    std::vector<Input> inputs(4);
    inputs[0].key = "a";
    inputs[0].description = "scan, 400 JPEG pages";
    inputs[0].fixture.pages = 400;
    inputs[0].fixture.imageBytesPerPage = 500 * 1000;
    inputs[1].key = "b";
    inputs[1].description = "text, 5000 pages";
    inputs[1].fixture.pages = 5000;
    inputs[1].fixture.objectStreams = true;
    inputs[2].key = "c";
    inputs[2].description = "text, 500 pages";
    inputs[2].fixture.pages = 500;
    inputs[2].fixture.objectStreams = true;
    inputs[3].key = "e";
    inputs[3].description = "text, long pages";
    inputs[3].fixture.pages = 3000;
    inputs[3].fixture.textLines = 40;
    inputs[3].fixture.fonts = 8;
    inputs[3].fixture.incrementalUpdates = 3;
    inputs[3].fixture.objectStreams = true;
    for (auto& input : inputs) {
        input.fixture.security = fixtures::Security::AES_256;
        input.fixture.creator = fixtures::Text{"Tessivon Scan 4.2"};
        input.fixture.userPassword = password;
        input.fixture.ownerPassword = "bench-owner";
    }
    const auto tools = competitors();

    fs::create_directories(data);
    std::printf("AES-256 (R6) inputs; ratio = this tool's median time / pdfunlock's\n");
    std::printf("%-26s %-9s %8s %8s %8s %7s %7s %9s %9s %9s\n", "input", "tool", "median_s",
                "min_s", "max_s", "ratio", "cpu_s", "pages/s", "peak_MiB", "out_MB");
    std::map<std::string, double> medians;
    for (const auto& input : inputs) {
        if (!only.empty() && only != input.key) {
            continue;
        }
        const fs::path source = data / (input.key + "-aes256.pdf");
        if (!fs::exists(source)) {
            makeInput(input.fixture, source.string());
        }
        // The removal job names its copy after the source.
        const fs::path copy = data / (input.key + "-aes256_copy.pdf");
        std::vector<Sample> ours;
        std::vector<Sample> checks; // text inputs: what qpdf needs before any copy
        const bool text = input.fixture.objectStreams;
        std::vector<std::vector<Sample>> theirs(tools.size());
        double oursBytes = 0;
        std::vector<double> theirBytes(tools.size());
        for (int r = 0; r < reps; ++r) {
            fs::remove(copy);
            ours.push_back(runChild({self, "--run-removal", source.string(), password}));
            oursBytes = double(fs::file_size(copy));
            if (text) {
                checks.push_back(
                    runChild({self, "--run-checks", source.string(), password, copy.string()}));
            }
            fs::remove(copy);
            for (size_t t = 0; t < tools.size(); ++t) {
                const fs::path out = data / (input.key + "_" + tools[t].name + ".pdf");
                fs::remove(out);
                theirs[t].push_back(
                    runChild(tools[t].command(source.string(), password, out.string())));
                theirBytes[t] = double(fs::file_size(out));
                fs::remove(out);
            }
        }
        const Stats a = summarize(ours);
        const std::string label = input.key + ") " + input.description;
        const int pages = input.fixture.pages;
        std::printf("%-26s %-9s %8.3f %8.3f %8.3f %7s %7.3f %9.0f %9.1f %9.1f\n", label.c_str(),
                    "pdfunlock", a.median, a.min, a.max, "1.00", a.cpuMedian, pages / a.median,
                    double(a.rssKiB) / 1024, oursBytes / 1e6);
        if (text) {
            const Stats c = summarize(checks);
            std::printf("%-26s %-9s %8.3f %8.3f %8.3f %7.2f %7.3f %9s %9.1f %9s\n", "", "(checks)",
                        c.median, c.min, c.max, c.median / a.median, c.cpuMedian, "",
                        double(c.rssKiB) / 1024, "");
        }
        double fastest = 0;
        std::string fastestName;
        for (size_t t = 0; t < tools.size(); ++t) {
            const Stats b = summarize(theirs[t]);
            std::printf("%-26s %-9s %8.3f %8.3f %8.3f %7.2f %7.3f %9.0f %9.1f %9.1f\n", "",
                        tools[t].name.c_str(), b.median, b.min, b.max, b.median / a.median,
                        b.cpuMedian, pages / b.median, double(b.rssKiB) / 1024,
                        theirBytes[t] / 1e6);
            if (fastestName.empty() || b.median < fastest) {
                fastest = b.median;
                fastestName = tools[t].name;
            }
        }
        if (!fastestName.empty()) {
            std::printf("%-26s pdfunlock / fastest other (%s) = %.2f\n", "", fastestName.c_str(),
                        a.median / fastest);
        }
        medians[input.key] = a.median;
    }
    if (medians.count("b") && medians.count("c")) {
        std::printf("linearity: pdfunlock time (b) / time (c) = %.2f\n",
                    medians["b"] / medians["c"]);
    }
    // The batches: scans as the scanner writes them, AES-256.
    const auto scan = [&](int pages, int imageBytes) {
        fixtures::Fixture f;
        f.security = fixtures::Security::AES_256;
        f.creator = fixtures::Text{"Tessivon Scan 4.2"};
        f.userPassword = password;
        f.ownerPassword = "bench-owner";
        f.pages = pages;
        f.imageBytesPerPage = imageBytes;
        return f;
    };
    std::vector<Batch> batches;
    Batch d{"d", "batch, 200 scans 1-5 MB", "d-batch", 200, {}, 0};
    for (int size = 1; size <= 5; ++size) {
        d.kinds.push_back(scan(2 * size, 500 * 1000));
    }
    batches.push_back(d);
    batches.push_back({"f", "batch, 200 one-page", "f-one-page", 200, {scan(1, 60 * 1000)}, 1});
    batches.push_back({"g", "batch, 150 scans of 3 MB", "g-3mb", 150, {scan(6, 500 * 1000)}, 0});
    batches.push_back({"h", "batch, 2000 one-page", "h-small", 2000, {scan(1, 60 * 1000)}, 0});
    for (const auto& batch : batches) {
        if (only.empty() || only == batch.key) {
            benchBatch(data, self, baselineCli, password, batch, reps);
        }
    }
    if (only.empty() || only == "i") {
        benchWindow(data, self, password, reps);
    }
    return 0;
}
