// tolvan [FOLDER]: the call-recording player. With FOLDER, that folder is
// selected in the folder tree and listed at once.

#include <QApplication>
#include <cstdio>

#include "app/TolvanApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvan"));
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        std::fprintf(stderr, "usage: tolvan [FOLDER]\n");
        return 1;
    }
    CTolvanApp tolvan(args.size() == 2 ? args.at(1) : QString());
    return tolvan.InitInstance();
}
