// tolvan [FOLDER]: the call-recording player. With FOLDER, that folder is
// selected in the folder tree and listed at once.

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

#include "app/CloseOnSignals.h"
#include "app/TolvanApp.h"
#include "platform/PrivateWorkFolder.h"
#include "platform/StandardStreams.h"
#include "resources/BuildInfo.h"

namespace {

const char kUsage[] = "usage: tolvan [FOLDER]\n";
const char kHelp[] =
    "\n"
    "The player window for telephone call recordings. With FOLDER, that folder\n"
    "is selected in the folder tree and its recordings are listed at once; a\n"
    "FOLDER that is not a readable folder opens the window with a message\n"
    "saying so.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "  --             ends the options: what follows is FOLDER\n"
    "The standard options of Qt programs (-platform NAME, -display DISPLAY, ...)\n"
    "are taken too.\n"
    "\n"
    "Exit status: 0 when the window was closed, 1 bad usage or no private\n"
    "working folder. The command-line twin is tolvan-cli.\n";

}  // namespace

int main(int argc, char** argv) {
    // Before anything is opened: no file takes the place of a closed stream.
    if (!platform::FillClosedStandardStreams()) return 1;
    // A signal to end comes to the window from now on, even one that comes
    // before the window exists.
    CloseOnSignals::Catch();
    // Answered before Qt looks for a display, so that they work anywhere.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("%s%s", kUsage, kHelp);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tolvan %s\n", kTolvanVersion);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvan"));
    QApplication::setApplicationVersion(QString::fromLatin1(kTolvanVersion));
    // Ties the window to its desktop entry and icon where the window system
    // asks (Wayland's app id).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kTolvanAppId));

    // Qt has taken its own options out of the arguments by now.
    QStringList folders;
    bool optionsEnded = false;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            std::fprintf(stderr, "tolvan: unknown option '%s'\n%s", qPrintable(a), kUsage);
            return 1;
        } else {
            folders << a;
        }
    }
    if (folders.size() > 1) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    // FOLDER is taken from where the program was started, before the
    // program moves into its own working folder.
    const QString folder = folders.isEmpty() ? QString() : QDir(folders.first()).absolutePath();
    const platform::PrivateWorkFolder work;
    if (!work.Ok()) {
        std::fprintf(stderr, "tolvan: %s\n", work.Error().c_str());
        return 1;
    }
    CTolvanApp tolvan(folder);
    return tolvan.InitInstance();
}
