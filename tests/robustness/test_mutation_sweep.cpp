// Thousands of deterministically damaged copies of locked fixture PDFs, each
// through the launch checks and, with its password, the whole removal: no
// crash, no hang, one alert, the source untouched, and any copy written is one
// poppler opens, unencrypted, with the pages we copied. Each is removed with
// the copy written on one thread and on two: same outcome, same bytes.
#include "Support.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/QuietQpdf.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>
#include <thread>
#include <tuple>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 3;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kSlowdown = 3;
#else
constexpr int kSlowdown = 1;
#endif
#else
constexpr int kSlowdown = 1;
#endif
// A hang guard, not a performance test: one file normally takes milliseconds.
constexpr auto kPerFileBound = std::chrono::seconds(10 * kSlowdown);
// ThreadSanitizer slows the removal tenfold: a tenth of the variants there,
// enough for every kind of damage on every base.
#if defined(__SANITIZE_THREAD__)
constexpr int kVariantsPerBase = 33;
#else
constexpr int kVariantsPerBase = 300;
#endif

// splitmix64: fixed output for a seed on every platform, unlike the standard
// distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, bound); 0 when bound is 0.
    qsizetype below(qsizetype bound) {
        return bound <= 0 ? 0 : static_cast<qsizetype>(next() % static_cast<std::uint64_t>(bound));
    }
    qsizetype between(qsizetype low, qsizetype high) { return low + below(high - low + 1); }

private:
    std::uint64_t state_;
};

const char* const kAbsurd[] = {
    "-1",
    "0",
    "-2147483648",
    "2147483647",
    "2147483648",
    "4294967295",
    "4294967296",
    "9223372036854775807",
    "-9223372036854775808",
    "99999999999999999999999999",
    "1e308",
    "-0.5",
};

// Keys whose number sizes or counts something a reader trusts.
const char* const kCountingKeys[] = {"/Length", "/Count", "/Size", "/Prev", "/N",
                                     "/First",  "/R",     "/V",    "/P",    "/W",
                                     "/Index",  "/Kids",  "/Root", "/Info", "/Encrypt"};

const char* const kStructureWords[] = {"xref", "trailer", "startxref", "%%EOF", "/XRef"};

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<qsizetype> occurrences(const QByteArray& bytes, const char* word) {
    std::vector<qsizetype> found;
    for (qsizetype at = bytes.indexOf(word); at >= 0; at = bytes.indexOf(word, at + 1)) {
        found.push_back(at);
    }
    return found;
}

// Applies one damage of a kind chosen by the variant number, so every kind
// gets its share; describes what it did for a failure message.
class Mutator {
public:
    Mutator(QByteArray bytes, std::uint64_t seed) : bytes_(std::move(bytes)), rng_(seed) {}

    static constexpr int kKinds = 11;
    static constexpr const char* kKindNames[kKinds] = {
        "truncation",       "bit flips",         "zeroed range", "shuffled range",
        "removed/inserted", "near xref/trailer", "startxref",    "xref entries",
        "absurd numbers",   "copied range",      "combined",
    };

    void apply(int kind) {
        switch (kind) {
        case 0:
            truncate();
            break;
        case 1:
            flipBits();
            break;
        case 2:
            zeroRange();
            break;
        case 3:
            shuffleRange();
            break;
        case 4:
            removeOrInsert();
            break;
        case 5:
            nearStructure();
            break;
        case 6:
            startxrefOffset();
            break;
        case 7:
            xrefEntries();
            break;
        case 8:
            absurdNumber();
            break;
        case 9:
            copyRange();
            break;
        default:
            for (int n = static_cast<int>(rng_.between(2, 4)); n > 0; --n) {
                apply(static_cast<int>(rng_.below(kKinds - 1)));
            }
            break;
        }
    }

    const QByteArray& bytes() const { return bytes_; }
    const std::string& description() const { return description_; }

private:
    void note(const std::string& text) {
        description_ += (description_.empty() ? "" : "; ") + text;
    }

    void truncate() {
        // Half anywhere, half in the last kilobyte where the trailer lives.
        const qsizetype size = bytes_.size();
        const qsizetype at = rng_.below(2) ? rng_.below(size) : size - rng_.between(1, 1024);
        bytes_.truncate(std::max<qsizetype>(0, at));
        note("truncated to " + std::to_string(bytes_.size()));
    }

    void flipBits() {
        const auto count = rng_.between(1, 16);
        for (qsizetype i = 0; i < count && !bytes_.isEmpty(); ++i) {
            const qsizetype at = rng_.below(bytes_.size());
            bytes_[at] = static_cast<char>(bytes_[at] ^ (1 << rng_.below(8)));
        }
        note(std::to_string(count) + " bits flipped");
    }

    void zeroRange() {
        const qsizetype at = rng_.below(bytes_.size());
        const qsizetype length = std::min(rng_.between(1, 512), bytes_.size() - at);
        std::fill(bytes_.begin() + at, bytes_.begin() + at + length, '\0');
        note("zeroed " + std::to_string(length) + " at " + std::to_string(at));
    }

    void shuffleRange() {
        const qsizetype at = rng_.below(bytes_.size());
        const qsizetype length = std::min(rng_.between(2, 256), bytes_.size() - at);
        for (qsizetype i = length - 1; i > 0; --i) {
            std::swap(bytes_[at + i], bytes_[at + rng_.below(i + 1)]);
        }
        note("shuffled " + std::to_string(length) + " at " + std::to_string(at));
    }

    // Shifts everything after `at`, so every later offset is wrong.
    void removeOrInsert() {
        const qsizetype at = rng_.below(bytes_.size());
        if (rng_.below(2)) {
            const qsizetype length = std::min(rng_.between(1, 1024), bytes_.size() - at);
            bytes_.remove(at, length);
            note("removed " + std::to_string(length) + " at " + std::to_string(at));
        } else {
            QByteArray junk(rng_.between(1, 256), '\0');
            for (auto& c : junk) {
                c = static_cast<char>(rng_.next());
            }
            bytes_.insert(at, junk);
            note("inserted " + std::to_string(junk.size()) + " at " + std::to_string(at));
        }
    }

    void copyRange() {
        const qsizetype from = rng_.below(bytes_.size());
        const qsizetype to = rng_.below(bytes_.size());
        const qsizetype length =
            std::min({rng_.between(1, 2048), bytes_.size() - from, bytes_.size() - to});
        const QByteArray piece = bytes_.mid(from, length);
        bytes_.replace(to, length, piece);
        note("copied " + std::to_string(length) + " from " + std::to_string(from) + " to " +
             std::to_string(to));
    }

    // Damage within a few bytes of a cross-reference keyword.
    void nearStructure() {
        const char* word = kStructureWords[rng_.below(std::size(kStructureWords))];
        const auto found = occurrences(bytes_, word);
        if (found.empty()) {
            return flipBits();
        }
        const qsizetype at = std::clamp<qsizetype>(
            found[static_cast<size_t>(rng_.below(static_cast<qsizetype>(found.size())))] +
                rng_.between(-32, 48),
            0, bytes_.size() - 1);
        const qsizetype length = std::min(rng_.between(1, 24), bytes_.size() - at);
        switch (rng_.below(4)) {
        case 0:
            for (qsizetype i = 0; i < length; ++i) {
                bytes_[at + i] = static_cast<char>(bytes_[at + i] ^ (1 << rng_.below(8)));
            }
            note(std::string("flipped near ") + word);
            break;
        case 1:
            std::fill(bytes_.begin() + at, bytes_.begin() + at + length, ' ');
            note(std::string("blanked near ") + word);
            break;
        case 2:
            bytes_.remove(at, length);
            note(std::string("cut near ") + word);
            break;
        default:
            for (qsizetype i = 0; i < length; ++i) {
                if (isDigit(bytes_[at + i])) {
                    bytes_[at + i] = static_cast<char>('0' + rng_.below(10));
                }
            }
            note(std::string("digits changed near ") + word);
            break;
        }
    }

    // The number after the last startxref: the first thing a reader follows.
    void startxrefOffset() {
        const auto found = occurrences(bytes_, "startxref");
        if (found.empty()) {
            return nearStructure();
        }
        qsizetype at = found.back() + 9;
        while (at < bytes_.size() && isSpace(bytes_[at])) {
            ++at;
        }
        qsizetype end = at;
        while (end < bytes_.size() && isDigit(bytes_[end])) {
            ++end;
        }
        const long long offset = bytes_.mid(at, end - at).toLongLong();
        const long long size = bytes_.size();
        const long long choices[] = {
            0, size, size + 4096, offset + rng_.between(-40, 40), -offset, offset / 2};
        std::string replacement = rng_.below(3) == 0
                                      ? kAbsurd[rng_.below(std::size(kAbsurd))]
                                      : std::to_string(choices[rng_.below(std::size(choices))]);
        bytes_.replace(at, end - at, QByteArray::fromStdString(replacement));
        note("startxref " + replacement);
    }

    // A classic table's entries: offsets, generations, in-use markers, or the
    // subsection header.
    void xrefEntries() {
        const auto found = occurrences(bytes_, "\nxref");
        if (found.empty()) {
            return absurdNumber(); // cross-reference streams: damage their numbers
        }
        const qsizetype table = found[static_cast<size_t>(rng_.below(qsizetype(found.size())))];
        const qsizetype header = table + 6; // "0 N" after "\nxref\n"
        const qsizetype entry = header + rng_.between(4, 20 * 12);
        const qsizetype lineStart = std::min(bytes_.size() - 1, entry - (entry - header) % 20);
        switch (rng_.below(4)) {
        case 0: {
            const qsizetype at = lineStart + rng_.below(10);
            if (at < bytes_.size()) {
                bytes_[at] = static_cast<char>('0' + rng_.below(10));
            }
            note("xref offset digit at " + std::to_string(at));
            break;
        }
        case 1:
            if (lineStart + 17 < bytes_.size()) {
                bytes_[lineStart + 17] = bytes_[lineStart + 17] == 'n' ? 'f' : 'n';
            }
            note("xref entry in use flipped");
            break;
        case 2: {
            qsizetype end = header;
            while (end < bytes_.size() && bytes_[end] != '\n') {
                ++end;
            }
            const std::string replacement =
                std::string(rng_.below(2) ? "0 " : "1 ") + kAbsurd[rng_.below(std::size(kAbsurd))];
            bytes_.replace(header, end - header, QByteArray::fromStdString(replacement));
            note("xref subsection " + replacement);
            break;
        }
        default:
            if (lineStart + 20 <= bytes_.size()) {
                bytes_.remove(lineStart, 20);
            }
            note("xref entry removed");
            break;
        }
    }

    // Replaces one to three numbers that follow a counting key.
    void absurdNumber() {
        const int times = static_cast<int>(rng_.between(1, 3));
        for (int n = 0; n < times; ++n) {
            const char* key = kCountingKeys[rng_.below(std::size(kCountingKeys))];
            std::vector<qsizetype> starts;
            for (auto at : occurrences(bytes_, key)) {
                qsizetype p = at + qsizetype(std::strlen(key));
                if (p >= bytes_.size() || !(isSpace(bytes_[p]) || bytes_[p] == '[')) {
                    continue; // a longer name such as /Length1
                }
                while (p < bytes_.size() && (isSpace(bytes_[p]) || bytes_[p] == '[')) {
                    ++p;
                }
                if (p < bytes_.size() && (isDigit(bytes_[p]) || bytes_[p] == '-')) {
                    starts.push_back(p);
                }
            }
            if (starts.empty()) {
                note(std::string("no number after ") + key);
                continue;
            }
            const qsizetype at = starts[static_cast<size_t>(rng_.below(qsizetype(starts.size())))];
            qsizetype end = at + 1;
            while (end < bytes_.size() && (isDigit(bytes_[end]) || bytes_[end] == '.')) {
                ++end;
            }
            const char* value = kAbsurd[rng_.below(std::size(kAbsurd))];
            bytes_.replace(at, end - at, value);
            note(std::string(key) + " " + value);
        }
    }

    QByteArray bytes_;
    Rng rng_;
    std::string description_;
};

struct Base {
    std::string name;
    fx::Fixture fixture;
    int variants = kVariantsPerBase;
};

std::vector<Base> bases() {
    std::vector<Base> result;
    int n = 0;
    for (const auto& [name, security] : fx::encryptionKinds) {
        for (const bool objectStreams : {false, true}) {
            Base base;
            base.fixture.security = security;
            base.fixture.objectStreams = objectStreams;
            base.fixture.pages = 3;
            base.name = std::string(name) + (objectStreams ? " object streams" : "");
            // Alternate links and a small image, so each handler meets both.
            if (n++ % 2 == 0) {
                base.fixture.links = {{0, 2, false}, {2, 0, true}, {1, 1, false}};
                base.name += ", links";
            } else {
                base.fixture.imageBytesPerPage = 3000;
                base.name += ", image";
            }
            // Every other base with object streams: an appended update whose
            // pages replace objects inside them, text in two fonts.
            if (objectStreams && (n / 2) % 2 == 0) {
                base.fixture.incrementalUpdates = 1;
                base.fixture.textLines = 2;
                base.fixture.fonts = 2;
                base.name += ", update";
            }
            result.push_back(base);
        }
    }
    // The layouts qpdf's writer never makes, each cipher in turn; fewer
    // variants each, for they are small and many.
    size_t cipher = 0;
    for (const auto& [name, layout] : fx::handWrittenLayouts) {
        const auto& [cipherName, security] =
            fx::encryptionKinds[cipher++ % std::size(fx::encryptionKinds)];
        Base base;
        base.fixture.layout = layout;
        base.fixture.security = security;
        base.fixture.pages = 3;
        base.name = std::string(name) + ", " + cipherName;
        base.variants = kVariantsPerBase * 2 / 5;
        result.push_back(base);
    }
    return result;
}

// Aborts the whole run, naming the variant, when one file takes too long: a
// hang would otherwise only show as the test's overall timeout.
class Watchdog {
public:
    Watchdog() : thread_([this] { watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void start(const std::string& what) {
        std::lock_guard lock(mutex_);
        what_ = what;
        started_ = std::chrono::steady_clock::now();
        running_ = true;
    }
    void done() {
        std::lock_guard lock(mutex_);
        running_ = false;
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            wake_.wait_for(lock, std::chrono::milliseconds(250));
            if (running_ && std::chrono::steady_clock::now() - started_ > kPerFileBound) {
                std::fprintf(stderr, "FAIL: over %lld s on %s\n",
                             static_cast<long long>(kPerFileBound.count()), what_.c_str());
                std::fflush(stderr);
                std::abort();
            }
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string what_;
    std::chrono::steady_clock::time_point started_;
    bool running_ = false;
    bool stop_ = false;
    std::thread thread_;
};

// Tallies for the closing summary.
struct Tally {
    int files = 0;
    std::map<std::string, int> outcomes;
    std::map<std::string, std::map<std::string, int>> byKind;
    int checkedByPoppler = 0;
    int copiesShort = 0;          // copies with fewer pages than the undamaged fixture
    int passedThrough = 0;        // copies with object streams carried as they are
    std::map<int, int> qpdfCheck; // exit status of qpdf --check on the copies
    qint64 slowestMs = 0;
    std::string slowest;
};

// Runs `bytes` as scan.pdf in the empty folder `dir` through the launch checks
// and, with the password "user", the removal; checks every promise and leaves
// the folder empty again. Returns what broke, or an empty text. The copy is
// written on two threads from `parallelFrom` bytes on (-1: never), with
// object streams carried across as they are or not; `result` gets the alert
// and the copy's bytes. The independent readers look at the copy written by
// qpdf's writer only on one thread: the other must give the very same bytes.
std::string runOne(const QString& dir, const QByteArray& bytes, const std::string& what,
                   const std::string& kind, int fixturePages, Watchdog& watchdog, Tally& tally,
                   long long parallelFrom = -1, QByteArray* result = nullptr,
                   bool passObjectStreams = false) {
    const QString source = dir + "/scan.pdf";
    const QString copy = dir + "/scan_copy.pdf";
    if (!writeFile(source, bytes) || ::chmod(QFile::encodeName(source).constData(), 0640) != 0) {
        return "cannot write the source";
    }
    watchdog.start(what);
    QElapsedTimer timer;
    timer.start();
    std::vector<std::string> keys;
    bool windowStays = false;
    bool launched = false;
    int terminations = 0;
    int copiedPages = -1;
    {
        // Any document small enough has what lies outside its object
        // streams read on the second thread.
        Harness h(parallelFrom, passObjectStreams);
        h.run(source.toStdString(), "user");
        keys = h.alertKeys();
        windowStays = h.window.visible;
        launched = !h.window.events.empty();
        terminations = h.application.terminations;
        copiedPages = h.copy ? h.copy->pageCount() : -1;
    }
    watchdog.done();
    ++tally.files;
    if (timer.elapsed() > tally.slowestMs) {
        tally.slowestMs = timer.elapsed();
        tally.slowest = what;
    }

    if (keys.size() != 1) {
        return std::to_string(keys.size()) + " alerts: " + what;
    }
    const std::string& key = keys.front();
    if (result) {
        *result = QByteArray::fromStdString(key + "\n") + readFile(copy);
    }
    const std::string outcome = key + (launched ? " after the password" : " at launch");
    ++tally.outcomes[outcome];
    ++tally.byKind[kind][outcome];
    static const std::set<std::string> possible = {
        "IDS_MSG_NO_TESSIVON", "IDS_MSG_NO_PWD",   "IDS_MSG_INVALIDPWD",
        "IDS_MSG_FAILED",      "IDS_MSG_COMPLETE",
    };
    if (!possible.count(key)) {
        return key + ": " + what;
    }
    if (readFile(source) != bytes) {
        return "source changed: " + what;
    }
    // Only a wrong password leaves the window up for another try.
    if (windowStays != (key == "IDS_MSG_INVALIDPWD") || terminations != (windowStays ? 0 : 1)) {
        return "window or termination wrong: " + what;
    }
    const QStringList left = entries(dir);
    if (key != "IDS_MSG_COMPLETE") {
        if (left != QStringList{"scan.pdf"}) {
            return "left behind (" + left.join(", ").toStdString() + "): " + what;
        }
        QFile::remove(source);
        return {};
    }
    if (left != QStringList{"scan.pdf", "scan_copy.pdf"}) {
        return "not just the copy (" + left.join(", ").toStdString() + "): " + what;
    }
    struct stat info {};
    if (::stat(QFile::encodeName(copy).constData(), &info) != 0 ||
        (info.st_mode & 0777 & ~0640u) != 0) {
        return "copy more open than the source: " + what;
    }
    // Copies written with object streams carried across have a table of
    // ours: an independent reader looks at them too.
    if (parallelFrom >= 0 && !passObjectStreams) {
        QFile::remove(copy);
        QFile::remove(source);
        return {};
    }
    const auto view = popplerView(copy);
    if (!view) {
        return "poppler cannot open the copy: " + what;
    }
    if (view->encrypted || view->pages != copiedPages || copiedPages <= 0) {
        return "poppler sees " + std::to_string(view->pages) + " pages of " +
               std::to_string(copiedPages) + (view->encrypted ? ", encrypted: " : ": ") + what;
    }
    ++tally.checkedByPoppler;
    tally.copiesShort += copiedPages < fixturePages;
    ++tally.qpdfCheck[qpdfCheck(copy)];
    QFile::remove(copy);
    QFile::remove(source);
    return {};
}

// A document information value that spells out to `fanOut` to the power
// `levels` objects: shared references, or (fanOut references to itself) a cycle.
QByteArray explosiveInfo(int levels, int fanOut, bool cycle) {
    QPDF pdf;
    makeQuiet(pdf);
    pdf.emptyPDF();
    QPDFPageDocumentHelper(pdf).addPage(
        pdf.makeIndirectObject("<< /Type /Page /MediaBox [0 0 612 792] >>"_qpdf), false);
    auto node = pdf.makeIndirectObject(QPDFObjectHandle::newArray());
    if (cycle) {
        for (int i = 0; i < fanOut; ++i) {
            node.appendItem(node);
        }
    } else {
        for (int level = 0; level < levels; ++level) {
            auto array = QPDFObjectHandle::newArray();
            for (int i = 0; i < fanOut; ++i) {
                array.appendItem(node);
            }
            node = pdf.makeIndirectObject(array);
        }
    }
    auto info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Tessivon Scan"));
    info.replaceKey("/Keywords", node);
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setR6EncryptionParameters("user", "owner", true, true, true, true, true, true,
                                     qpdf_r3p_full, true);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      qsizetype(buffer->getSize()));
}

void summarize(const Tally& tally, qint64 totalMs) {
    qInfo("%d files in %lld ms; slowest %lld ms (%s)", tally.files, static_cast<long long>(totalMs),
          static_cast<long long>(tally.slowestMs), tally.slowest.c_str());
    for (const auto& [outcome, count] : tally.outcomes) {
        qInfo("  %5d %s", count, outcome.c_str());
    }
    for (const auto& [kind, counts] : tally.byKind) {
        std::string line;
        for (const auto& [outcome, count] : counts) {
            line += " " + outcome.substr(8) + "=" + std::to_string(count);
        }
        qInfo("  %s:%s", kind.c_str(), line.c_str());
    }
    qInfo("  %d copies opened by poppler's pdfinfo, unencrypted, with every page copied; "
          "%d of them hold fewer pages than the undamaged fixture; %d written again with "
          "object streams carried as they are, the same document object by object",
          tally.checkedByPoppler, tally.copiesShort, tally.passedThrough);
    // Damage the source carried (a broken content stream, a page object that
    // is not a page) is copied as it is; qpdf --check reports it.
    for (const auto& [status, count] : tally.qpdfCheck) {
        qInfo("  %5d copies where qpdf --check %s", count,
              status == 0   ? "finds nothing"
              : status == 3 ? "warns"
              : status == 2 ? "reports errors"
                            : "did not run");
    }
}

} // namespace

class MutationSweepTest : public QObject {
    Q_OBJECT

private slots:
    // A row for each base, so that each keeps within the test framework's
    // time bound for one function.
    void damagedFiles_data() {
        QTest::addColumn<int>("baseIndex");
        const auto all = bases();
        for (size_t i = 0; i < all.size(); ++i) {
            QTest::newRow(all[i].name.c_str()) << static_cast<int>(i);
        }
    }

    void damagedFiles() {
        QFETCH(int, baseIndex);
        const auto base = bases().at(static_cast<size_t>(baseIndex));
        const std::uint64_t baseNumber = static_cast<std::uint64_t>(baseIndex) + 1;
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkdir("run"));
        const QString dir = root.filePath("run");
        Tally tally;
        Watchdog watchdog;
        QElapsedTimer total;
        total.start();

        const QString basePath = root.filePath("base.pdf");
        fx::makeFixture(base.fixture, basePath.toStdString());
        const QByteArray original = readFile(basePath);
        QVERIFY(!original.isEmpty());
        for (int i = 0; i < base.variants; ++i) {
            Mutator mutator(original, (baseNumber << 32) | std::uint64_t(i));
            mutator.apply(i % Mutator::kKinds);
            const std::string what =
                base.name + " #" + std::to_string(i) + ": " + mutator.description();
            // One thread and two must give the same outcome and copy; object
            // streams carried as they are, the same outcome and document.
            QByteArray single, parallel, passing;
            for (const auto& [parallelFrom, result, pass] :
                 {std::tuple{-1LL, &single, false}, std::tuple{0LL, &parallel, false},
                  std::tuple{1LL << 40, &passing, true}}) {
                const auto broken =
                    runOne(dir, mutator.bytes(), what, Mutator::kKindNames[i % Mutator::kKinds],
                           base.fixture.pages, watchdog, tally, parallelFrom, result, pass);
                QVERIFY2(broken.empty(), broken.c_str());
            }
            QVERIFY2(single == parallel, ("the paths differ: " + what).c_str());
            const auto outcome = [](const QByteArray& result) {
                return result.left(result.indexOf('\n'));
            };
            QVERIFY2(outcome(passing) == outcome(single), ("the outcomes differ: " + what).c_str());
            if (passing != single) {
                ++tally.passedThrough;
                const QString writerCopy = root.filePath("writer.pdf");
                const QString passedCopy = root.filePath("passed.pdf");
                QVERIFY(writeFile(writerCopy, single.mid(single.indexOf('\n') + 1)));
                QVERIFY(writeFile(passedCopy, passing.mid(passing.indexOf('\n') + 1)));
                const auto difference =
                    fx::documentDifference(writerCopy.toStdString(), passedCopy.toStdString());
                QVERIFY2(difference.empty(), (difference + ": " + what).c_str());
            }
        }
        summarize(tally, total.elapsed());
        QCOMPARE(tally.files, 3 * base.variants);
        // Undamaged enough to carry object streams as they are, more often than not.
        QVERIFY(!base.fixture.objectStreams || tally.passedThrough > kVariantsPerBase / 4);
    }

    // Inputs that once hung or crashed, kept in robustness/regressions, and
    // hostile files of the same families made here.
    void regressions_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QDir kept(PDFUNLOCK_REGRESSIONS);
        const auto files = kept.entryList({"*.pdf"}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const auto& name : files) {
            QTest::newRow(qPrintable(name)) << readFile(kept.filePath(name));
        }
        QTest::newRow("information value of 8^30 shared references") << explosiveInfo(30, 8, false);
        QTest::newRow("information value of 8 references to itself") << explosiveInfo(0, 8, true);
    }

    void regressions() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Tally tally;
        Watchdog watchdog;
        const auto broken =
            runOne(dir.path(), bytes, QTest::currentDataTag(), "regression", 0, watchdog, tally);
        QVERIFY2(broken.empty(), broken.c_str());
    }
};

QTEST_GUILESS_MAIN(MutationSweepTest)
#include "test_mutation_sweep.moc"
