// Where the user's documents folder is taken from: the user-dirs file of the
// configuration folder, else the home folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/DocumentsFolder.h"
#include "platform/TextCodec.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Documents() { return platform::WideToUtf8(platform::DocumentsFolder()); }

}  // namespace

TEST(DocumentsFolder, ComesFromTheUserDirsFileElseTheHomeFolder) {
    TempFolder home;
    const ScopedEnvironment homeVar("HOME", home.Str());
    const ScopedEnvironment config("XDG_CONFIG_HOME", home.Str() + "/.config");
    fs::create_directories(home.Path() / ".config");
    fs::create_directories(home.Path() / "文档");
    fs::create_directories(home.Path() / "My \"Docs\"");
    fs::create_directories(home.Path() / "elsewhere");
    const std::string userDirs = home.Str() + "/.config/user-dirs.dirs";

    struct Case {
        const char* what;
        std::string file;  // the user-dirs file's text; "-" for no file
        std::string expected;
    };
    const Case cases[] = {
        {"no user-dirs file", "-", home.Str() + "/"},
        {"a Chinese folder under $HOME",
         "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/文档\"\n",
         home.Str() + "/文档/"},
        {"an absolute path", "XDG_DOCUMENTS_DIR=\"" + home.Str() + "/elsewhere\"\n", home.Str() + "/elsewhere/"},
        {"escaped quotes", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n", home.Str() + "/My \"Docs\"/"},
        {"$HOME alone", "XDG_DOCUMENTS_DIR=\"$HOME\"\n", home.Str() + "/"},
        {"a folder that does not exist", "XDG_DOCUMENTS_DIR=\"$HOME/gone\"\n", home.Str() + "/"},
        {"a relative path", "XDG_DOCUMENTS_DIR=\"elsewhere\"\n", home.Str() + "/"},
        {"no documents line", "XDG_MUSIC_DIR=\"$HOME/elsewhere\"\n", home.Str() + "/"},
    };
    for (const Case& c : cases) {
        fs::remove(userDirs);
        if (c.file != "-") std::ofstream(userDirs, std::ios::binary) << c.file;
        EXPECT_EQ(Documents(), c.expected) << c.what;
    }
}

TEST(DocumentsFolder, TheDefaultConfigurationFolderIsUnderHome) {
    TempFolder home;
    const ScopedEnvironment homeVar("HOME", home.Str());
    const ScopedEnvironment config("XDG_CONFIG_HOME", "");  // put back afterwards
    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(home.Path() / ".config");
    fs::create_directories(home.Path() / "Documents");
    std::ofstream(home.Path() / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
    EXPECT_EQ(Documents(), home.Str() + "/Documents/");
}
