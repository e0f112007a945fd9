// Shared by the robustness tests: the whole workflow driven through the
// delegate with fakes around the real qpdf service and the real file system,
// child processes for what a test cannot do to itself, and an independent
// reader for written copies.
#pragma once

#include "ChildProcess.h"
#include "Harness.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pdfunlock::robustness {

using testing::dropPrivileges;
using testing::inChild;
using testing::nobody;
using testing::SpyDocument;

// The shared delegate harness, plus `beforeWrite`, run right before the copy
// is written to change the world between naming and writing.
struct Harness : testing::DelegateHarness<> {
    std::function<void(const std::string& copyPath)> beforeWrite;
    std::shared_ptr<PDFDocument> copy; // the last new document, for its page count

    Harness() { spyOnCopies(); }
    explicit Harness(long long parallelFrom, bool passObjectStreams = true)
        : DelegateHarness(parallelFrom, passObjectStreams) {
        spyOnCopies();
    }

    void spyOnCopies() {
        pdf.wrapNew = [this](std::shared_ptr<PDFDocument> document) {
            copy = document;
            auto spy = std::make_shared<SpyDocument>(document);
            spy->writeOverride = [this, inner = document](const std::string& path,
                                                          unsigned permissions) {
                if (beforeWrite) {
                    beforeWrite(path);
                }
                return inner->writeToFile(path, permissions);
            };
            return std::static_pointer_cast<PDFDocument>(spy);
        };
    }

    // Launch checks, then the remove button if the window came up.
    void run(const std::string& path, const std::string& typed) {
        launch(path);
        if (window.visible) {
            press(typed);
        }
    }

    // The alert keys shown, without the fake strings' prefix.
    std::vector<std::string> alertKeys() const {
        std::vector<std::string> keys;
        for (const auto& alert : alerts.shown) {
            keys.push_back(alert.text.substr(std::string("text:").size()));
        }
        return keys;
    }
};

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every entry, hidden ones included, sorted.
inline QStringList entries(const QString& dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What poppler's pdfinfo makes of a file: nullopt when it cannot open it,
// else whether it is encrypted and its page count.
struct PopplerView {
    bool encrypted = true;
    int pages = -1;
};
inline std::optional<PopplerView> popplerView(const QString& path) {
    QProcess info;
    info.start("pdfinfo", {"--", path});
    if (!info.waitForFinished(60000) || info.exitStatus() != QProcess::NormalExit ||
        info.exitCode() != 0) {
        return std::nullopt;
    }
    PopplerView view;
    for (const auto& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("Encrypted:")) {
            view.encrypted = !line.mid(10).trimmed().startsWith("no");
        } else if (line.startsWith("Pages:")) {
            view.pages = line.mid(6).trimmed().toInt();
        }
    }
    return view;
}

// qpdf's own command-line tool on a file: its exit status (0 clean, 2 errors,
// 3 warnings), -1 when it could not run.
inline int qpdfCheck(const QString& path) {
    QProcess qpdf;
    qpdf.start("qpdf", {"--check", "--", path});
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return qpdf.exitCode();
}

// The alert keys of a run, one a line, for a child to hand back.
inline std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

} // namespace pdfunlock::robustness
