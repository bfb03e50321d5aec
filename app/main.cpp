// tolvan [FOLDER]: the call-recording player. With FOLDER, that folder is
// selected in the folder tree and listed at once.

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/CloseOnSignals.h"
#include "app/TolvanApp.h"
#include "platform/PrivateWorkFolder.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
    // Before anything is opened: no file takes the place of a closed stream.
    if (!platform::FillClosedStandardStreams()) return 1;
    // A signal to end comes to the window from now on, even one that comes
    // before the window exists.
    CloseOnSignals::Catch();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvan"));
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        std::fprintf(stderr, "usage: tolvan [FOLDER]\n");
        return 1;
    }
    // FOLDER is taken from where the program was started, before the
    // program moves into its own working folder.
    const QString folder = args.size() == 2 ? QDir(args.at(1)).absolutePath() : QString();
    const platform::PrivateWorkFolder work;
    if (!work.Ok()) {
        std::fprintf(stderr, "tolvan: %s\n", work.Error().c_str());
        return 1;
    }
    CTolvanApp tolvan(folder);
    return tolvan.InitInstance();
}
