// What tolvan does with its command line: --help and --version answered on
// stdout where there is no display at all, bad usage refused, and a FOLDER
// that cannot be read opening the window with a message saying so.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/TolvanApp.h"
#include "app/TolvanDlg.h"
#include "resources/BuildInfo.h"
#include "tests/app/GuiTest.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

TEST(ProgramArguments, HelpAndVersionNeedNoDisplay) {
    TempFolder work;
    // The X11 platform, and no server to connect to: a window could not open.
    const ScopedEnvironment platform("QT_QPA_PLATFORM", "xcb");
    const ScopedEnvironment display("DISPLAY", "");
    const ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const struct {
        std::vector<std::string> args;
        std::string out;  // the start of stdout
    } cases[] = {
        {{"--version"}, std::string("tolvan ") + kTolvanVersion + "\n"},
        {{"--help"}, "usage: tolvan [FOLDER]\n"},
        {{"-h"}, "usage: tolvan [FOLDER]\n"},
        {{"somewhere", "--version"}, std::string("tolvan ") + kTolvanVersion + "\n"},
    };
    for (const auto& c : cases) {
        const ProgramResult r = RunProgram(work.Str(), TOLVAN_PROGRAM, c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.args[0];
        EXPECT_EQ(r.err, "") << c.args[0];
    }
    const ProgramResult help = RunProgram(work.Str(), TOLVAN_PROGRAM, {"--help"});
    for (const char* option : {"--help", "--version", "FOLDER", "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

TEST(ProgramArguments, BadUsageIsRefusedBeforeTheWindowOpens) {
    TempFolder work;
    const ScopedEnvironment platform("QT_QPA_PLATFORM", "offscreen");
    const struct {
        std::vector<std::string> args;
        std::string err;  // the end of stderr, after what Qt may have said
    } cases[] = {
        {{"--bogus"}, "tolvan: unknown option '--bogus'\nusage: tolvan [FOLDER]\n"},
        {{"a", "b"}, "usage: tolvan [FOLDER]\n"},
        // After "--" a FOLDER may begin with '-'; two are still too many.
        {{"--", "-a", "-b"}, "usage: tolvan [FOLDER]\n"},
    };
    for (const auto& c : cases) {
        const ProgramResult r = RunProgram(work.Str(), TOLVAN_PROGRAM, c.args);
        EXPECT_EQ(r.status, 1) << c.args[0];
        ASSERT_GE(r.err.size(), c.err.size()) << c.args[0];
        EXPECT_EQ(r.err.substr(r.err.size() - c.err.size()), c.err) << c.args[0];
        EXPECT_EQ(r.out, "") << c.args[0];
    }
}

// The application as main starts it, with a FOLDER that is not a readable
// folder: the window opens, the message box says why over it, the list stays
// empty.
TEST(ProgramArguments, AFolderThatCannotBeReadOpensTheWindowWithAMessage) {
    TempFolder cwd(true);
    std::ofstream(cwd.File("a file")) << "not a folder";
    const struct {
        std::string folder;
        QString reason;
    } cases[] = {
        {cwd.File("录音 gone"), QStringLiteral("No such file or directory")},
        {cwd.File("a file"), QStringLiteral("Not a directory")},
    };
    for (const auto& c : cases) {
        const QString folder = QString::fromStdString(c.folder);
        QString message, pageLabel;
        bool windowShown = false;
        WhenOpen([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                 [&](QWidget* w) {
                     auto* box = qobject_cast<QMessageBox*>(w);
                     message = box->text();
                     auto* window = qobject_cast<CTolvanDlg*>(box->parentWidget());
                     windowShown = window && window->isVisible();
                     box->accept();
                     if (!window) return;
                     // Once the box has gone, the list as it is and the
                     // window closed.
                     QTimer::singleShot(0, window, [window, &pageLabel] {
                         pageLabel = qobject_cast<QLabel*>(window->Control(1033))->text();
                         window->OnCommand(2);  // the close box
                     });
                 });
        // Should no message come, the window is closed all the same.
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* window = qobject_cast<CTolvanDlg*>(w)) window->OnCommand(2);
        });
        fallback.start(8000);
        CTolvanApp app(folder);
        EXPECT_EQ(app.InitInstance(), 0) << c.folder;
        EXPECT_EQ(message, QStringLiteral("无法打开文件夹 %1：%2").arg(folder, c.reason)) << message.toStdString();
        EXPECT_TRUE(windowShown) << c.folder;
        EXPECT_EQ(pageLabel, QStringLiteral("总共0条记录，第0页，共0页")) << c.folder;
    }
}

}  // namespace
