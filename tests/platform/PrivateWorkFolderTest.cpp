// The process's private working folder: where it is made, with what mode,
// and that it goes away with what was left in it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/PrivateWorkFolder.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

TEST(PrivateWorkFolder, IsTheCurrentFolderUntilItIsRemoved) {
    TempFolder runtime, start(/*enter=*/true);
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = previous ? previous : "";
    setenv("XDG_RUNTIME_DIR", runtime.Str().c_str(), 1);
    std::string made;
    {
        platform::PrivateWorkFolder work;
        ASSERT_TRUE(work.Ok()) << work.Error();
        made = work.Path();
        EXPECT_EQ(fs::path(made).parent_path(), runtime.Path());
        EXPECT_EQ(fs::current_path(), fs::path(made));
        struct stat st {};
        ASSERT_EQ(stat(made.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(work.StartingDirectory(), start.Str());
        EXPECT_EQ(work.Resolve("x/y.wav"), start.Str() + "/x/y.wav");
        EXPECT_EQ(work.Resolve("/abs"), "/abs");
        std::ofstream("WAVFIND.$$$") << "left behind";
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(fs::current_path(), start.Path());
    if (previous)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

TEST(PrivateWorkFolder, FallsBackToTheTemporaryFolder) {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = previous ? previous : "";
    setenv("XDG_RUNTIME_DIR", "/nonexistent-tolvan-runtime", 1);
    {
        platform::PrivateWorkFolder work;
        ASSERT_TRUE(work.Ok()) << work.Error();
        EXPECT_EQ(fs::path(work.Path()).parent_path(), fs::temp_directory_path());
    }
    if (previous)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}
