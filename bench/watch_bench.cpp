// pdfunlock-cli --watch under a steady stream of arrivals: N small locked
// scans written (and closed) into a watched folder at R per second. Reports
// whether every one was copied, the delay from a file's close to its line
// (the copy is saved before the line is written), the watcher's peak memory,
// and its resident memory and open descriptors every `--sample` arrivals, to
// see that they stay flat.
//
//   pdfunlock-watch-bench [--files N] [--rate R] [--settle S] [--jobs J]
//                         [--sample K] [--data DIR] [--output]
//
// --output: the copies go to DIR/archive (-o), as a service set up inbox to
// archive has it.
#include "fixtures/FixtureMaker.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
namespace fx = pdfunlock::fixtures;
using Clock = std::chrono::steady_clock;

namespace {

std::string statusField(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":")) {
            return line.substr(field.size() + 1);
        }
    }
    return "?";
}

long openDescriptors(pid_t pid) {
    std::error_code error;
    const auto fds = fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error);
    return error ? -1 : static_cast<long>(std::distance(fds, fs::directory_iterator()));
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

int main(int argc, char** argv) {
    int files = 1000;
    double rate = 50;
    std::string settle = "2";
    std::string jobs = "2";
    int sample = 100;
    fs::path data = fs::temp_directory_path() / "pdfunlock-watch-bench";
    bool output = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0) {
            output = true;
            continue;
        }
        if (i + 1 >= argc) {
            break;
        }
        const std::string name = argv[i++];
        const std::string value = argv[i];
        if (name == "--files") {
            files = std::stoi(value);
        } else if (name == "--rate") {
            rate = std::stod(value);
        } else if (name == "--settle") {
            settle = value;
        } else if (name == "--jobs") {
            jobs = value;
        } else if (name == "--sample") {
            sample = std::stoi(value);
        } else if (name == "--data") {
            data = value;
        }
    }
    fs::remove_all(data);
    fs::create_directories(data / "inbox");
    fs::create_directories(data / "archive");
    fx::Fixture fixture;
    fixture.userPassword = "pw";
    fixture.pages = 2;
    fx::makeFixture(fixture, (data / "scan.pdf").string());
    const std::string scan = readAll(data / "scan.pdf");
    {
        std::ofstream(data / "pw") << "pw\n";
        fs::permissions(data / "pw", fs::perms::owner_read | fs::perms::owner_write);
    }

    int out[2];
    if (::pipe(out) != 0) {
        return 1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const std::string cli = PDFUNLOCK_CLI;
        const std::string pw = (data / "pw").string();
        const std::string inbox = (data / "inbox").string();
        const std::string archive = (data / "archive").string();
        std::vector<const char*> args{cli.c_str(),  "--watch",         "--json",
                                      "--settle",   settle.c_str(),    "-j",
                                      jobs.c_str(), "--password-file", pw.c_str()};
        if (output) {
            args.insert(args.end(), {"-o", archive.c_str()});
        }
        args.insert(args.end(), {"--", inbox.c_str(), nullptr});
        ::execv(cli.c_str(), const_cast<char* const*>(args.data()));
        ::_exit(127);
    }
    ::close(out[1]);

    // Lines as they come, with the time each one came.
    std::map<std::string, Clock::time_point> copied;
    std::size_t notCopied = 0;
    std::string pending;
    const auto readLines = [&](int waitMs) {
        pollfd fd{out[0], POLLIN, 0};
        while (::poll(&fd, 1, waitMs) > 0) {
            char buffer[65536];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0) {
                return;
            }
            const auto now = Clock::now();
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                const auto at = line.find("\"source\": \"");
                const auto name = line.substr(at + 11, line.find('"', at + 11) - at - 11);
                if (line.find("IDS_MSG_COMPLETE") != std::string::npos) {
                    copied.emplace(fs::path(name).filename().string(), now);
                } else {
                    ++notCopied;
                }
            }
            waitMs = 0;
        }
    };

    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the watch set up
    std::printf("%8s %10s %6s\n", "arrived", "rss", "fds");
    std::map<std::string, Clock::time_point> closed;
    const auto start = Clock::now();
    for (int i = 0; i < files; ++i) {
        const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(i / rate));
        while (Clock::now() < due) {
            readLines(static_cast<int>(std::max<long long>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now())
                       .count())));
        }
        char name[32];
        std::snprintf(name, sizeof name, "scan%06d.pdf", i);
        {
            std::ofstream file(data / "inbox" / name, std::ios::binary);
            file << scan;
        }
        closed[name] = Clock::now();
        if ((i + 1) % sample == 0) {
            std::printf("%8d %10s %6ld\n", i + 1, statusField(child, "VmRSS").c_str(),
                        openDescriptors(child));
        }
    }
    const auto lastClose = Clock::now();
    while (copied.size() + notCopied < static_cast<std::size_t>(files) &&
           Clock::now() - lastClose < std::chrono::seconds(120)) {
        readLines(200);
    }
    const std::string peak = statusField(child, "VmHWM");
    const std::string rss = statusField(child, "VmRSS");
    const long fds = openDescriptors(child);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);

    std::vector<double> delays;
    for (const auto& [name, at] : copied) {
        if (const auto close = closed.find(name); close != closed.end()) {
            delays.push_back(std::chrono::duration<double>(at - close->second).count());
        }
    }
    std::sort(delays.begin(), delays.end());
    const double sent = std::chrono::duration<double>(lastClose - start).count();
    std::printf("files %d at %.0f/s (sent in %.1f s), settle %s s, -j %s%s\n", files, rate, sent,
                settle.c_str(), jobs.c_str(), output ? ", -o" : "");
    std::printf("copied %zu, other lines %zu, exit status %d\n", copied.size(), notCopied,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    if (!delays.empty()) {
        std::printf("close->copy: median %.3f s, 90%% %.3f s, worst %.3f s\n",
                    delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back());
    }
    std::printf("peak memory (VmHWM)%s, at the end: VmRSS%s, %ld descriptors\n", peak.c_str(),
                rss.c_str(), fds);
    return copied.size() == static_cast<std::size_t>(files) ? 0 : 1;
}
