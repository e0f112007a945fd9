// libFuzzer target: the bytes are a PDF opened with pdfunlock. Launch checks,
// then the removal with the password "user" (the seeds' password): open,
// unlock, checks, page copy, write beside the source, re-open. Besides
// crashes and sanitizer reports, a broken promise aborts: not exactly one
// alert, the source changed, anything left behind but a sound copy, or a
// different outcome or copy when the copy is written on two threads.
#include "Harness.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace pdfunlock;
using namespace pdfunlock::testing;

namespace {

std::string workDir;

[[noreturn]] void broken(const char* promise) {
    std::fprintf(stderr, "pdfunlock promise broken: %s\n", promise);
    std::abort();
}

bool writeAll(const std::string& path, const uint8_t* data, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
    if (fd < 0) {
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) {
            ::close(fd);
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return ::close(fd) == 0;
}

std::string readAll(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return bytes;
    }
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

void removeWorkDir() {
    for (const auto& name : directoryEntries(workDir)) {
        ::unlink((workDir + "/" + name).c_str());
    }
    ::rmdir(workDir.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed if possible: every copy is fsync'ed.
    std::string base = "/tmp";
    if (const char* chosen = std::getenv("PDFUNLOCK_FUZZ_TMP")) {
        base = chosen;
    } else if (::access("/dev/shm", W_OK) == 0) {
        base = "/dev/shm";
    }
    std::string pattern = base + "/pdfunlock-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    workDir = pattern;
    std::atexit(removeWorkDir);
    return 0;
}

namespace {

// One removal of the input, the copy written on two threads from
// `parallelFrom` bytes on (-1: never), with object streams carried across as
// they are or not; the alert and the copy's bytes.
std::string removal(const uint8_t* data, size_t size, long long parallelFrom,
                    bool passObjectStreams) {
    const std::string source = workDir + "/scan.pdf";
    const std::string copy = workDir + "/scan_copy.pdf";
    if (!writeAll(source, data, size)) {
        return {};
    }

    DelegateHarness<> h(parallelFrom, passObjectStreams);
    h.launch(source);
    if (h.window.visible) {
        h.press("user");
    }
    const auto& alerts = h.alerts;
    const auto& window = h.window;
    const auto& application = h.application;
    auto& pdf = h.realPdf;

    if (alerts.shown.size() != 1) {
        broken("exactly one alert");
    }
    const std::string& alert = alerts.shown.front().text;
    if (application.terminations != (window.visible ? 0 : 1) ||
        window.visible != (alert == "text:IDS_MSG_INVALIDPWD")) {
        broken("only a wrong password keeps the window");
    }
    const std::string now = readAll(source);
    if (now.size() != size ||
        (size > 0 && now.compare(0, size, reinterpret_cast<const char*>(data), size) != 0)) {
        broken("the source is unchanged");
    }
    const bool complete = alert == "text:IDS_MSG_COMPLETE";
    if (directoryEntries(workDir).size() != (complete ? 2u : 1u)) {
        broken("nothing but a complete copy is left beside the source");
    }
    const std::string result = alert + "\n" + readAll(copy);
    if (complete) {
        const auto check = pdf.initWithURL(copy);
        if (!check || check->isLocked() || check->isDamaged() || check->pageCount() <= 0) {
            broken("the copy opens cleanly, unencrypted, with pages");
        }
        ::unlink(copy.c_str());
    }
    ::unlink(source.c_str());
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto single = removal(data, size, -1, false);
    if (single != removal(data, size, 0, false)) {
        broken("one thread and two give the same outcome and copy");
    }
    // The copy with object streams carried across is another file of the
    // same document (compared object by object in the damage sweep).
    const auto passing = removal(data, size, 1LL << 40, true);
    if (passing.substr(0, passing.find('\n')) != single.substr(0, single.find('\n'))) {
        broken("object streams carried across give the same outcome");
    }
    return 0;
}
