#include "BatchDesktopApp.h"
#include "DesktopApp.h"
#include "platform/Secrets.h"
#include "platform/SystemLog.h"
#include "platform/qt/FrameworkMessages.h"
#include "platform/qt/Translations.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* usage =
    "Usage: pdfunlock [OPTION]... [--] FILE.pdf\n"
    "  or:  pdfunlock --batch [OPTION]... [--] FILE.pdf|FOLDER...\n"
    "Asks for the password of a locked PDF from Tessivon scanning software and\n"
    "saves an unprotected copy beside it (FILE_copy.pdf).\n"
    "\n"
    "      --batch    a window for several documents sharing one password: the\n"
    "                 PDFs named and those in the folders named\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "  --             end of options: what follows are documents, even if they\n"
    "                 start with '-'\n"
    "\n"
    "Before '--', Qt's own options (-platform, -style...) are understood too.\n";

// Output to standard output; 0 unless it could not be written.
int print(const char* text) {
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // The password field holds what was typed for as long as the window is open.
    pdfunlock::keepSecretsOutOfCoreDumps();
    // A write past the file size limit (ulimit -f) then fails with EFBIG and
    // the save reports it, instead of the signal ending the process.
    std::signal(SIGXFSZ, SIG_IGN);

    // Help and version need no display: answered before Qt starts. Qt sees
    // only what comes before "--"; what follows are documents, whatever
    // their names look like.
    int optionsEnd = 1;
    bool batch = false;
    std::vector<char*> qtArgv(argv, argv + 1);
    while (optionsEnd < argc && std::strcmp(argv[optionsEnd], "--") != 0) {
        char* arg = argv[optionsEnd++];
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            return print(usage);
        }
        if (std::strcmp(arg, "--version") == 0) {
            return print("pdfunlock " PDFUNLOCK_VERSION "\n");
        }
        if (std::strcmp(arg, "--batch") == 0) {
            batch = true;
        } else {
            qtArgv.push_back(arg);
        }
    }
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);

    pdfunlock::quietFrameworkMessages();
    QApplication app(qtArgc, qtArgv.data());
    pdfunlock::installTranslations(app);

    // QApplication has taken its own options out; what is left are the
    // documents. argv rather than arguments() keeps the bytes of file names
    // that are not valid in the locale's encoding.
    std::vector<std::string> paths(qtArgv.begin() + 1, qtArgv.begin() + qtArgc);
    for (int i = optionsEnd + 1; i < argc; ++i) {
        paths.emplace_back(argv[i]);
    }

    pdfunlock::SystemLog log;
    if (batch) {
        pdfunlock::BatchDesktopApp desktop(log);
        desktop.launchWhenEventLoopStarts(paths);
        return app.exec();
    }
    pdfunlock::DesktopApp desktop(log);
    desktop.launchWhenEventLoopStarts(paths);
    return app.exec();
}
