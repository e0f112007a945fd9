// Unusual file names, links, a read-only folder and unusual typed passwords,
// through the whole workflow.
#include "Support.h"
#include "fixtures/FixtureMaker.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace pdfunlock;
using namespace pdfunlock::robustness;
namespace fx = pdfunlock::fixtures;

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(fx::Security)

namespace {

// Names are raw bytes here: some rows are not valid UTF-8.
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

// poppler is handed a plain name, whatever the copy is called.
std::optional<PopplerView> popplerViewOfBytes(const std::string& bytes) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("check.pdf");
    if (!writeFile(plain, QByteArray::fromStdString(bytes))) {
        return std::nullopt;
    }
    return popplerView(plain);
}

enum class Reach { Directly, ByRelativePath, ThroughFileLink, ThroughDirectoryLink };

} // namespace

Q_DECLARE_METATYPE(Reach)

class OddInputsTest : public QObject {
    Q_OBJECT

private slots:
    // The copy goes beside the path as given and is named after it.
    void paths_data() {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<std::string>("alert");
        QTest::addColumn<Names>("beside"); // what the opened path's folder holds afterwards

        const std::string complete = "IDS_MSG_COMPLETE";
        auto row = [&](const char* title, const std::string& name, Reach reach = Reach::Directly) {
            const auto dot = name.rfind('.');
            QTest::newRow(title) << name << reach << complete
                                 << Names{name, name.substr(0, dot) + "_copy" + name.substr(dot)};
        };
        row("spaces", "my scan 2024.pdf");
        row("non-ASCII letters", "Grüße – スキャン.pdf");
        row("leading dash", "-scan.pdf");
        row("looks like an option", "--help.pdf");
        row("newline", "line\nbreak.pdf");
        row("quotes and backslash", "a\\b \"c\" 'd' $HOME.pdf");
        row("not valid UTF-8", "scan\xff\xfe.pdf");
        row("relative path", "scan.pdf", Reach::ByRelativePath);
        row("through a link to the file", "alias.pdf", Reach::ThroughFileLink);
        row("through a link to the folder", "scan.pdf", Reach::ThroughDirectoryLink);
        // 251 + "_copy" + ".pdf" passes the 255-byte limit of a name.
        const std::string longest(251, 'n');
        QTest::newRow("copy name too long")
            << longest + ".pdf" << Reach::Directly << std::string("IDS_MSG_FAILED")
            << Names{longest + ".pdf"};
    }

    void paths() {
        QFETCH(std::string, name);
        QFETCH(Reach, reach);
        QFETCH(std::string, alert);
        QFETCH(Names, beside);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const std::string top = QFile::encodeName(root.path()).toStdString();
        // Qt cannot remove names that are not valid UTF-8.
        const struct RemoveAll {
            std::string path;
            ~RemoveAll() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } removeAll{top};
        QVERIFY(::mkdir((top + "/real").c_str(), 0755) == 0);
        QVERIFY(::mkdir((top + "/links").c_str(), 0755) == 0);
        // The file itself always lives in real/, under `name` unless reached
        // through a link to it.
        const std::string stored = reach == Reach::ThroughFileLink ? "scan.pdf" : name;
        const std::string source = top + "/real/" + stored;
        fx::Fixture fixture;
        fixture.pages = 2;
        fx::makeFixture(fixture, source);
        const std::string sourceBefore = slurp(source);

        std::string opened = source;
        std::string openedDir = top + "/real";
        const QString previousDir = QDir::currentPath();
        switch (reach) {
        case Reach::Directly:
            break;
        case Reach::ByRelativePath:
            QVERIFY(QDir::setCurrent(QString::fromStdString(top + "/real")));
            opened = name;
            break;
        case Reach::ThroughFileLink:
            QVERIFY(::symlink("../real/scan.pdf", (top + "/links/" + name).c_str()) == 0);
            opened = top + "/links/" + name;
            openedDir = top + "/links";
            break;
        case Reach::ThroughDirectoryLink:
            QVERIFY(::symlink("real", (top + "/folder").c_str()) == 0);
            opened = top + "/folder/" + name;
            openedDir = top + "/folder";
            break;
        }

        Harness h;
        h.run(opened, "user");
        QDir::setCurrent(previousDir);

        QCOMPARE(h.alertKeys(), std::vector<std::string>{alert});
        QCOMPARE(slurp(source), sourceBefore);
        QCOMPARE(testing::directoryEntries(openedDir), beside);
        if (reach == Reach::ThroughFileLink) {
            QCOMPARE(testing::directoryEntries(top + "/real"), Names{"scan.pdf"});
        }
        if (alert == "IDS_MSG_COMPLETE") {
            const auto view = popplerViewOfBytes(slurp(openedDir + "/" + beside.back()));
            QVERIFY(view && !view->encrypted && view->pages == 2);
        }
    }

    // Nothing can be written beside the source: the run fails and leaves
    // everything as it was.
    void readOnlyFolder() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const std::string top = QFile::encodeName(root.path()).toStdString();
        const std::string dir = top + "/shared";
        const std::string source = dir + "/scan.pdf";
        QVERIFY(::chmod(top.c_str(), 0755) == 0);
        QVERIFY(::mkdir(dir.c_str(), 0755) == 0);
        fx::makeFixture(fx::Fixture{}, source);
        QVERIFY(::chmod(source.c_str(), 0444) == 0);
        QVERIFY(::chmod(dir.c_str(), 0555) == 0);
        const std::string before = slurp(source);
        if (::geteuid() == 0 && !nobody()) {
            QSKIP("running as root and there is no user nobody to drop to");
        }

        const auto text = inChild([&]() -> std::string {
            if (!dropPrivileges()) {
                return "could not drop privileges";
            }
            Harness h;
            h.run(source, "user");
            return joined(h.alertKeys());
        });
        ::chmod(dir.c_str(), 0755);
        QVERIFY2(text, "the child did not end normally");
        QCOMPARE(*text, std::string("IDS_MSG_FAILED\n"));
        QCOMPARE(slurp(source), before);
        QCOMPARE(testing::directoryEntries(dir), Names{"scan.pdf"});
    }

    // Whatever is pasted into the field: no crash, and only the document's
    // own password unlocks it.
    void passwords_data() {
        QTest::addColumn<fx::Security>("security");
        QTest::addColumn<std::string>("userPassword");
        QTest::addColumn<std::string>("ownerPassword");
        QTest::addColumn<std::string>("typed");
        QTest::addColumn<std::string>("alert");

        const std::string wrong = "IDS_MSG_INVALIDPWD";
        const std::string complete = "IDS_MSG_COMPLETE";
        const std::string megabyte(1 << 20, 'x');
        const std::string emoji = "\xF0\x9F\x94\x92 Schl\xC3\xBC"
                                  "ssel \xF0\x9F\x98\x80";
        using namespace std::string_literals;
        for (const auto& [name, security] : fx::encryptionKinds) {
            auto row = [&](const std::string& title) {
                return &QTest::newRow((std::string(name) + ": " + title).c_str());
            };
            *row("1 MB pasted") << security << "user"s
                                << "owner"s << megabyte << wrong;
            *row("1 MB starting with the password") << security << "user"s
                                                    << "owner"s
                                                    << "user" + megabyte << wrong;
            *row("NUL inside the password") << security << "user"s
                                            << "owner"s
                                            << "us\0er"s << wrong;
            *row("password then NUL and more") << security << "user"s
                                               << "owner"s
                                               << "user\0more"s << wrong;
            *row("emoji typed, not the password") << security << "user"s
                                                  << "owner"s << emoji << wrong;
            *row("invalid UTF-8 typed") << security << "user"s
                                        << "owner"s
                                        << "\xFF\xFE\xFD"s << wrong;
        }
        // Cut at the NUL this would be the empty owner password. (The older
        // handlers take the user password for an empty owner password.)
        QTest::newRow("AES-256: lone NUL, empty owner password") << fx::Security::AES_256 << "user"s
                                                                 << ""s
                                                                 << "\0"s << wrong;
        // AES-256 passwords are UTF-8, so any character can be one.
        QTest::newRow("AES-256: emoji password")
            << fx::Security::AES_256 << emoji << "owner"s << emoji << complete;
        QTest::newRow("AES-256: emoji owner password")
            << fx::Security::AES_256 << "user"s << emoji << emoji << complete;
        QTest::newRow("AES-256: 1 MB of emoji, wrong") << fx::Security::AES_256 << emoji << "owner"s
                                                       <<
            [&] {
                std::string text;
                while (text.size() < (1u << 20)) {
                    text += emoji;
                }
                return text;
            }() << wrong;
        QTest::newRow("AES-256: 127-byte password")
            << fx::Security::AES_256 << std::string(127, 'p') << "owner"s << std::string(127, 'p')
            << complete;
    }

    void passwords() {
        QFETCH(fx::Security, security);
        QFETCH(std::string, userPassword);
        QFETCH(std::string, ownerPassword);
        QFETCH(std::string, typed);
        QFETCH(std::string, alert);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string source = QFile::encodeName(dir.filePath("scan.pdf")).toStdString();
        fx::Fixture fixture;
        fixture.security = security;
        fixture.userPassword = userPassword;
        fixture.ownerPassword = ownerPassword;
        fx::makeFixture(fixture, source);
        const std::string before = slurp(source);

        Harness h;
        h.run(source, typed);
        QCOMPARE(h.alertKeys(), std::vector<std::string>{alert});
        QCOMPARE(h.window.visible, alert == "IDS_MSG_INVALIDPWD");
        QCOMPARE(slurp(source), before);
        const Names expected =
            alert == "IDS_MSG_COMPLETE" ? Names{"scan.pdf", "scan_copy.pdf"} : Names{"scan.pdf"};
        QCOMPARE(testing::directoryEntries(QFile::encodeName(dir.path()).toStdString()), expected);
    }
};

QTEST_GUILESS_MAIN(OddInputsTest)
#include "test_odd_inputs.moc"
