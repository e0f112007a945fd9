// The remove button's whole job on real encrypted PDFs, through the delegate,
// with fake window, field, alerts and log.
#include "Harness.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/QuietQpdf.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>
#include <sys/stat.h>

using namespace pdfunlock;
using namespace pdfunlock::testing;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

// The real file system, with knobs for the situations a test cannot make for real.
struct RecordingFileSystem : FileSystem {
    PosixFileSystem real;
    std::function<bool(const std::string&)> alsoTaken;
    bool deletionFails = false;
    std::vector<std::string> removed;
    bool fileExistsAtPath(const std::string& path) const override {
        return (alsoTaken && alsoTaken(path)) || real.fileExistsAtPath(path);
    }
    bool isNameTaken(const std::string& path) const override {
        return (alsoTaken && alsoTaken(path)) || real.isNameTaken(path);
    }
    bool removeItemAtPath(const std::string& path) override {
        removed.push_back(path);
        return !deletionFails && real.removeItemAtPath(path);
    }
    std::optional<unsigned> permissionsAtPath(const std::string& path) const override {
        return real.permissionsAtPath(path);
    }
};

// Sees the held document through a spy, to tell which queries a run made.
struct Harness : DelegateHarness<RecordingFileSystem> {
    std::shared_ptr<SpyDocument> source;

    Harness() {
        pdf.wrapFirstOpened = [this](std::shared_ptr<PDFDocument> document) {
            source = std::make_shared<SpyDocument>(document);
            return source;
        };
    }
};

QByteArray fileDigest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// An independent look at a written file, with qpdf itself.
struct FileFacts {
    bool opens = false;
    bool encrypted = false;
    std::string version;
    std::optional<std::string> creator;
    std::optional<std::string> producer;
};

FileFacts inspect(const std::string& path) {
    FileFacts facts;
    try {
        QPDF pdf;
        makeQuiet(pdf);
        pdf.processFile(path.c_str());
        facts.opens = true;
        facts.encrypted = pdf.isEncrypted();
        facts.version = pdf.getPDFVersion();
        auto info = pdf.getTrailer().getKey("/Info");
        if (info.isDictionary()) {
            if (info.hasKey("/Creator")) {
                facts.creator = info.getKey("/Creator").getUTF8Value();
            }
            if (info.hasKey("/Producer")) {
                facts.producer = info.getKey("/Producer").getUTF8Value();
            }
        }
    } catch (std::exception&) {
        // A file qpdf cannot read: the facts say it does not open.
    }
    return facts;
}

// Rewrites a written copy so that its last page is gone while the page tree
// still counts it, as a copy of a badly damaged source can come out.
bool losePage(const std::string& path) {
    try {
        QPDF pdf;
        pdf.processFile(path.c_str());
        auto kids = pdf.getRoot().getKey("/Pages").getKey("/Kids");
        kids.setArrayItem(kids.getArrayNItems() - 1, QPDFObjectHandle::newNull());
        const std::string rewritten = path + ".tmp";
        QPDFWriter writer(pdf, rewritten.c_str());
        writer.write();
        return std::rename(rewritten.c_str(), path.c_str()) == 0;
    } catch (std::exception&) {
        return false;
    }
}

std::vector<std::string> labels(int count) {
    std::vector<std::string> result;
    for (int i = 1; i <= count; ++i) {
        result.push_back("Page " + std::to_string(i));
    }
    return result;
}

const std::vector<std::string> kPermissionQueries = {
    "allowsPrinting",
    "allowsCopying",
    "allowsCommenting",
    "allowsFormFieldEntry",
    "allowsDocumentChanges",
    "allowsDocumentAssembly",
    "allowsContentAccessibility",
};

long count(const std::vector<std::string>& calls, const std::string& name) {
    return std::count(calls.begin(), calls.end(), name);
}

// Launches on a locked three-page scan (password "user") made in `dir`.
QString launchOnScan(Harness& h, const QTemporaryDir& dir) {
    const QString sourcePath = dir.filePath("scan.pdf");
    fx::Fixture fixture;
    fixture.pages = 3;
    fx::makeFixture(fixture, sourcePath.toStdString());
    h.launch(sourcePath.toStdString());
    return sourcePath;
}

// How a row sets up its run.
struct Run {
    fx::Fixture fixture;
    std::string typed = "user";
    bool noDocument = false;
    std::string refuse; // permission query the spy answers false to
    bool noLocation = false;
    bool directoryGone = false;
    bool allNamesTaken = false;
    // Damaged: cut at the cross-reference table. PageLost: sound file whose
    // page tree still counts a page it no longer holds.
    enum class Write { Real, Garbage, Damaged, PageLost } write = Write::Real;
    bool sourceRepaired = false; // qpdf had to repair the source
    bool deletionFails = false;
};

// What a row expects.
struct Expect {
    Expect() = default;
    explicit Expect(std::string key, AlertStyle alertStyle = AlertStyle::Critical)
        : alert(std::move(key)), style(alertStyle) {}
    std::string alert; // key, empty for none
    AlertStyle style = AlertStyle::Critical;
    bool windowStays = false;
    bool copyStays = false;
    std::vector<std::string> logged;
    int permissionQueries = -1; // how many flags were asked, -1: all seven
    int attributeReads = -1;    // source attribute reads, -1: not checked
    std::string copyCreator;
    bool copyRemoved = false;
};

} // namespace

Q_DECLARE_METATYPE(Run)
Q_DECLARE_METATYPE(Expect)

class WorkflowTest : public QObject {
    Q_OBJECT

private slots:
    void exits_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<Expect>("expect");

        const std::string complete = "IDS_MSG_COMPLETE";
        const std::string failed = "IDS_MSG_FAILED";
        const std::string refused = "IDS_MSG_NO_TESSIVON";
        auto success = [&](std::string creator, int attributeReads) {
            Expect e{complete, AlertStyle::Informational};
            e.copyStays = true;
            e.copyCreator = std::move(creator);
            e.attributeReads = attributeReads;
            return e;
        };

        {
            Run r;
            r.noDocument = true;
            Expect e;
            e.logged = {"self.workingPdfDoc is nil."};
            e.permissionQueries = 0;
            QTest::newRow("no document") << r << e;
        }
        {
            Run r;
            r.typed = "wrong";
            Expect e{"IDS_MSG_INVALIDPWD"};
            e.windowStays = true;
            e.permissionQueries = 0;
            e.attributeReads = 0;
            QTest::newRow("wrong password") << r << e;
        }
        // The text is used as typed: nothing is trimmed.
        for (const auto& [name, typed] : std::vector<std::pair<const char*, std::string>>{
                 {"empty password", ""},
                 {"password with a trailing blank", "user "},
                 {"password with a leading blank", " user"}}) {
            Run r;
            r.typed = typed;
            Expect e{"IDS_MSG_INVALIDPWD"};
            e.windowStays = true;
            e.permissionQueries = 0;
            QTest::newRow(name) << r << e;
        }
        {
            // The empty text is this file's owner password: the unlock alone decides.
            Run r;
            r.fixture.ownerPassword = "";
            r.typed = "";
            QTest::newRow("empty text is the owner password") << r << success("Tessivon Scan", 2);
        }
        {
            // Permission bits off, typed as user: refused at that flag, nothing read after it.
            const std::vector<std::pair<std::string, bool fx::Permissions::*>> flags = {
                {"allowsPrinting", &fx::Permissions::print},
                {"allowsCopying", &fx::Permissions::extract},
                {"allowsCommenting", &fx::Permissions::annotate},
                {"allowsFormFieldEntry", &fx::Permissions::fillForms},
                {"allowsDocumentChanges", &fx::Permissions::modify},
                {"allowsDocumentAssembly", &fx::Permissions::assemble},
                {"allowsContentAccessibility", &fx::Permissions::accessibility},
            };
            for (std::size_t i = 0; i < flags.size(); ++i) {
                Run r;
                r.fixture.security = fx::Security::AES_128;
                // qpdf no longer writes files that deny accessibility (readers must
                // ignore that bit), so the document double refuses it instead.
                if (flags[i].first == "allowsContentAccessibility") {
                    r.refuse = flags[i].first;
                } else {
                    r.fixture.permissions.*flags[i].second = false;
                }
                Expect e{refused};
                e.permissionQueries = static_cast<int>(i) + 1;
                e.attributeReads = 0;
                QTest::newRow(("denies " + flags[i].first).c_str()) << r << e;
            }
        }
        {
            // The owner password grants everything, whatever the bits say.
            Run r;
            r.fixture.permissions.print = false;
            r.fixture.permissions.modify = false;
            r.typed = "owner";
            QTest::newRow("owner password on restricted file") << r << success("Tessivon Scan", 2);
        }
        for (const auto& [name, creator] : std::vector<std::pair<std::string, std::string>>{
                 {"word at start", "Tessivon Scanner 3"},
                 {"word in middle", "Scan by Tessivon Pro"},
                 {"word at end", "Scanner/Tessivon"},
                 {"word is all", "Tessivon"}}) {
            Run r;
            r.fixture.creator = fx::Text{creator};
            r.fixture.producer = fx::Text{"Tessivon PDF Library"};
            // Creator read for the test and again for the copy; the Producer never.
            QTest::newRow(name.c_str()) << r << success(creator, 2);
        }
        for (const auto& creator : {"tessivon scan", "TESSIVON SCAN", "Tessi von", "Tessivo"}) {
            Run r;
            r.fixture.creator = fx::Text{creator};
            r.fixture.producer = fx::Text{"Acme PDF"};
            Expect e{refused};
            e.attributeReads = 2;
            QTest::newRow((std::string("not the word: ") + creator).c_str()) << r << e;
        }
        {
            Run r;
            r.fixture.creator = fx::Text{"Acme Capture"};
            r.fixture.producer = fx::Text{"Tessivon PDF Library"};
            QTest::newRow("word only in Producer") << r << success("Acme Capture", 3);
        }
        {
            Run r;
            r.fixture.creator = fx::Absent{};
            r.fixture.producer = fx::Utf16Text{"Tessivon スキャナー"};
            QTest::newRow("no Creator, Producer holds word") << r << success("", 3);
        }
        {
            Run r;
            r.fixture.creator = 42LL;
            r.fixture.producer = fx::Text{"Tessivon"};
            QTest::newRow("Creator is a number") << r << success("", 3);
        }
        {
            Run r;
            r.fixture.noInfoDictionary = true;
            Expect e{refused};
            QTest::newRow("no document information") << r << e;
        }
        {
            Run r;
            r.fixture.pages = 0;
            QTest::newRow("source without pages") << r << Expect{failed};
        }
        {
            Run r;
            r.noLocation = true;
            Expect e{failed};
            e.logged = {"filePath is empty."};
            QTest::newRow("no location") << r << e;
        }
        {
            Run r;
            r.allNamesTaken = true;
            Expect e{failed};
            e.logged = {"pdf file path is full."};
            QTest::newRow("every name taken") << r << e;
        }
        {
            Run r;
            r.directoryGone = true;
            QTest::newRow("directory cannot be written") << r << Expect{failed};
        }
        {
            Run r;
            r.write = Run::Write::Garbage;
            Expect e{failed};
            e.copyRemoved = true;
            QTest::newRow("copy does not open again") << r << e;
        }
        {
            Run r;
            r.write = Run::Write::Garbage;
            r.deletionFails = true;
            Expect e{failed};
            e.copyRemoved = true;
            e.copyStays = true;
            QTest::newRow("copy does not open, deletion fails") << r << e;
        }
        {
            // From a repaired source every page of the copy is read back.
            Run r;
            r.sourceRepaired = true;
            r.fixture.pages = 3;
            r.write = Run::Write::PageLost;
            Expect e{failed};
            e.copyRemoved = true;
            QTest::newRow("copy of a repaired source lost a page") << r << e;
        }
        {
            Run r;
            r.write = Run::Write::Damaged;
            Expect e{failed};
            e.copyRemoved = true;
            QTest::newRow("copy opens only by repair") << r << e;
        }
        for (const auto& [name, security] : fx::encryptionKinds) {
            for (const std::string typed : {"user", "owner"}) {
                Run r;
                r.fixture.security = security;
                r.fixture.pages = 3;
                r.typed = typed;
                QTest::newRow((std::string(name) + " with " + typed + " password").c_str())
                    << r << success("Tessivon Scan", 2);
            }
        }
        {
            // The copy carries layers, form and structure; the check still opens it.
            Run r;
            r.fixture.hiddenLayer = true;
            r.fixture.form = fx::Form::ValuesOnly;
            r.fixture.tagged = true;
            QTest::newRow("layers, form and tags") << r << success("Tessivon Scan", 2);
        }
        {
            // Pages in object streams, some given newer bodies by appended updates.
            Run r;
            r.fixture.pages = 4;
            r.fixture.objectStreams = true;
            r.fixture.textLines = 3;
            r.fixture.fonts = 3;
            r.fixture.incrementalUpdates = 2;
            QTest::newRow("long pages, fonts, updates") << r << success("Tessivon Scan", 2);
        }
        {
            Run r;
            r.fixture.security = fx::Security::RC4_128;
            r.fixture.userPassword = "Grüße";
            r.typed = "Grüße";
            QTest::newRow("non-ASCII password") << r << success("Tessivon Scan", 2);
        }
        {
            // AES-256 was locked with the SASLprep form of what is typed.
            Run r;
            r.fixture.userPassword = "SaSLprep";
            r.typed = "S\u00aaSL\u00adprep";
            QTest::newRow("password in its SASLprep form") << r << success("Tessivon Scan", 2);
        }
    }

    void exits() {
        QFETCH(Run, run);
        QFETCH(Expect, expect);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sourcePath = dir.filePath("scan.pdf");
        const QString copyPath = dir.filePath("scan_copy.pdf");
        fx::makeFixture(run.fixture, sourcePath.toStdString());
        const QByteArray sourceBefore = fileDigest(sourcePath);
        const QDateTime modifiedBefore = QFileInfo(sourcePath).lastModified();

        Harness h;
        h.files.deletionFails = run.deletionFails;
        if (run.allNamesTaken) {
            h.files.alsoTaken = [](const std::string& path) {
                return path.find("scan_copy") != std::string::npos;
            };
        }
        if (!run.noDocument) {
            h.launch(sourcePath.toStdString());
            QVERIFY(h.source);
            QVERIFY(h.alerts.shown.empty());
            h.log.lines.clear();
            if (!run.refuse.empty()) {
                h.source->refuse.insert(run.refuse);
            }
            h.source->withoutURL = run.noLocation;
            if (run.directoryGone) {
                h.source->movedTo = dir.filePath("gone/scan.pdf").toStdString();
            }
            h.source->repaired = run.sourceRepaired;
            h.source->calls.clear();
        } else {
            h.window.visible = true;
        }
        if (run.write != Run::Write::Real) {
            const auto write = run.write;
            h.pdf.wrapNew = [write](std::shared_ptr<PDFDocument> document) {
                auto spy = std::make_shared<SpyDocument>(document);
                spy->writeOverride = [write, inner = document](const std::string& path,
                                                               unsigned permissions) {
                    if (write == Run::Write::Garbage) {
                        QFile file(QString::fromStdString(path));
                        return file.open(QIODevice::NewOnly) && file.write("not a PDF\n") > 0;
                    }
                    if (!inner->writeToFile(path, permissions)) {
                        return false;
                    }
                    if (write == Run::Write::PageLost) {
                        return losePage(path);
                    }
                    // Cut the file where its cross-reference table begins.
                    QFile file(QString::fromStdString(path));
                    file.open(QIODevice::ReadWrite);
                    const QByteArray bytes = file.readAll();
                    return file.resize(bytes.lastIndexOf("\nxref\n"));
                };
                return std::static_pointer_cast<PDFDocument>(spy);
            };
        }

        h.press(run.typed);

        // One alert at most, with the right key and style.
        if (expect.alert.empty()) {
            QVERIFY(h.alerts.shown.empty());
        } else {
            QCOMPARE(h.alerts.shown, (std::vector<Alert>{{expect.style, "text:" + expect.alert}}));
        }
        QCOMPARE(h.log.lines, expect.logged);
        QCOMPARE(h.window.visible, expect.windowStays);
        // The application ends exactly when no window is left on screen.
        QCOMPARE(h.application.terminations, expect.windowStays ? 0 : 1);
        QCOMPARE(h.pwd.text, run.typed);

        if (h.source) {
            const auto& calls = h.source->calls;
            const int asked = expect.permissionQueries < 0 ? 7 : expect.permissionQueries;
            for (std::size_t i = 0; i < kPermissionQueries.size(); ++i) {
                QCOMPARE(count(calls, kPermissionQueries[i]), i < std::size_t(asked) ? 1L : 0L);
            }
            if (expect.attributeReads >= 0) {
                QCOMPARE(count(calls, "documentAttributes"), long(expect.attributeReads));
            }
            // The source document is never written.
            QCOMPARE(count(calls, "writeToFile"), 0L);
            QCOMPARE(count(calls, "setDocumentAttributes"), 0L);
        }
        QCOMPARE(h.files.removed.empty(), !expect.copyRemoved);
        if (expect.copyRemoved) {
            QCOMPARE(h.files.removed, std::vector<std::string>{copyPath.toStdString()});
        }

        // What is on disk afterwards.
        const QStringList left =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, expect.copyStays ? (QStringList{"scan.pdf", "scan_copy.pdf"})
                                        : QStringList{"scan.pdf"});
        QCOMPARE(fileDigest(sourcePath), sourceBefore);
        QCOMPARE(QFileInfo(sourcePath).lastModified(), modifiedBefore);

        if (expect.copyStays && expect.alert == "IDS_MSG_COMPLETE") {
            const auto facts = inspect(copyPath.toStdString());
            QVERIFY(facts.opens);
            QVERIFY(!facts.encrypted);
            QVERIFY(facts.version >= run.fixture.pdfVersion);
            QCOMPARE(facts.creator.value_or("(absent)"), expect.copyCreator);
            QVERIFY(!facts.producer.has_value());
            QCOMPARE(fx::readPageLabels(copyPath.toStdString()), labels(run.fixture.pages));
        }
    }

    void wrongThenRightPassword() {
        QTemporaryDir dir;
        Harness h;
        launchOnScan(h, dir);
        h.press("usr");
        // Each alert looks its text up when it is shown.
        h.strings.language = "de:";
        h.press("User");
        QCOMPARE(h.alerts.shown,
                 (std::vector<Alert>{{AlertStyle::Critical, "text:IDS_MSG_INVALIDPWD"},
                                     {AlertStyle::Critical, "de:IDS_MSG_INVALIDPWD"}}));
        QVERIFY(h.window.visible);
        QCOMPARE(h.application.terminations, 0);
        h.press("user");
        QCOMPARE(h.alerts.shown.back(), (Alert{AlertStyle::Informational, "de:IDS_MSG_COMPLETE"}));
        QVERIFY(QFileInfo::exists(dir.filePath("scan_copy.pdf")));
        QCOMPARE(h.window.events, (std::vector<std::string>{"front", "out"}));
        QCOMPARE(h.application.terminations, 1);
    }

    // The copy goes beside the source under the lowest free name and is no more
    // readable by others than the source.
    void copyNameAndAccess_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<int>("sourceMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("owner only") << QStringList{} << 0600 << "scan_copy.pdf";
        QTest::newRow("group readable, name taken")
            << QStringList{"scan_copy.pdf", "scan_copy1.pdf"} << 0640 << "scan_copy2.pdf";
        QTest::newRow("read-only source") << QStringList{} << 0400 << "scan_copy.pdf";
        // "name@": a link to nowhere by that name; it is never written through.
        QTest::newRow("link to nowhere takes the name")
            << QStringList{"scan_copy.pdf@"} << 0600 << "scan_copy1.pdf";
    }
    void copyNameAndAccess() {
        QFETCH(QStringList, present);
        QFETCH(int, sourceMode);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString sourcePath = dir.filePath("scan.pdf");
        fx::makeFixture(fx::Fixture{}, sourcePath.toStdString());
        QVERIFY(::chmod(sourcePath.toLocal8Bit().constData(), mode_t(sourceMode)) == 0);
        for (const auto& name : present) {
            if (name.endsWith('@')) {
                QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath(name.chopped(1))));
                continue;
            }
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        const mode_t previousMask = ::umask(022);
        Harness h;
        h.launch(sourcePath.toStdString());
        h.press("user");
        ::umask(previousMask);
        QCOMPARE(h.alerts.shown.back().text, std::string("text:IDS_MSG_COMPLETE"));
        struct stat info {};
        QVERIFY(::stat(dir.filePath(expected).toLocal8Bit().constData(), &info) == 0);
        QCOMPARE(int(info.st_mode & 0777), sourceMode & 0644);
        for (const auto& name : present) {
            QFile file(dir.filePath(name));
            QVERIFY(name.endsWith('@') || file.open(QIODevice::ReadOnly));
            QVERIFY(name.endsWith('@') || file.readAll() == "keep me");
        }
        QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
    }

    // The document unlocked and copied is the file the launch checks opened,
    // whatever stands at its path when the password is typed; the copy still
    // goes beside that path.
    void sourceChangedAfterLaunch_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("alert");
        QTest::newRow("renamed, right password") << "rename"
                                                 << "user"
                                                 << "IDS_MSG_COMPLETE";
        QTest::newRow("deleted, right password") << "delete"
                                                 << "user"
                                                 << "IDS_MSG_COMPLETE";
        QTest::newRow("replaced by an unprotected PDF, wrong password") << "unprotected"
                                                                        << "wrong"
                                                                        << "IDS_MSG_INVALIDPWD";
        QTest::newRow("replaced by another locked PDF, its password") << "other"
                                                                      << "other"
                                                                      << "IDS_MSG_INVALIDPWD";
    }
    void sourceChangedAfterLaunch() {
        QFETCH(QString, change);
        QFETCH(QString, typed);
        QFETCH(QString, alert);
        QTemporaryDir dir;
        Harness h;
        const QString sourcePath = launchOnScan(h, dir);
        QVERIFY(h.window.visible);

        if (change == "rename") {
            QVERIFY(QFile::rename(sourcePath, dir.filePath("renamed.pdf")));
        } else {
            QVERIFY(QFile::remove(sourcePath));
        }
        if (change == "unprotected" || change == "other") {
            fx::Fixture replacement;
            replacement.labelPrefix = "Other ";
            replacement.security = change == "other" ? fx::Security::AES_256 : fx::Security::None;
            replacement.userPassword = "other";
            fx::makeFixture(replacement, sourcePath.toStdString());
        }
        h.press(typed.toStdString());

        QCOMPARE(h.alerts.shown.size(), std::size_t{1});
        QCOMPARE(h.alerts.shown.front().text, "text:" + alert.toStdString());
        const QString copyPath = dir.filePath("scan_copy.pdf");
        QCOMPARE(QFileInfo::exists(copyPath), alert == "IDS_MSG_COMPLETE");
        if (alert == "IDS_MSG_COMPLETE") {
            QCOMPARE(fx::readPageLabels(copyPath.toStdString()), labels(3));
        }
    }
};

QTEST_APPLESS_MAIN(WorkflowTest)
#include "test_workflow.moc"
