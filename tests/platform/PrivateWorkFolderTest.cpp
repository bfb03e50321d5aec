// The process's private working folder: where it is made, with what mode,
// that it goes away with what was left in it, and that the folder of a
// killed process goes at the next start.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/PrivateWorkFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

TEST(PrivateWorkFolder, IsTheCurrentFolderUntilItIsRemoved) {
    TempFolder runtime, start(/*enter=*/true);
    const ScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", runtime.Str());
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
}

TEST(PrivateWorkFolder, FallsBackToTheTemporaryFolder) {
    const ScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", "/nonexistent-tolvan-runtime");
    {
        platform::PrivateWorkFolder work;
        ASSERT_TRUE(work.Ok()) << work.Error();
        EXPECT_EQ(fs::path(work.Path()).parent_path(), fs::temp_directory_path());
    }
}

TEST(PrivateWorkFolder, AKilledProcessFolderIsRemovedAtTheNextStartAndNoLivingOne) {
    TempFolder runtime;
    const ScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", runtime.Str());

    // A child makes its folder, leaves a file in it and is killed.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::PrivateWorkFolder work;
        std::ofstream("temp.$$$") << "half";
        const char done = work.Ok() ? 'y' : 'n';
        if (write(ready[1], &done, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char done = 0;
    ASSERT_EQ(read(ready[0], &done, 1), 1);
    close(ready[0]);
    ASSERT_EQ(done, 'y');
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const fs::path killed = fs::directory_iterator(runtime.Path())->path();

    // Kept: a living process's folder, one without the lock file (made by
    // hand, or still being made) and folders of other names.
    const fs::path unlocked = runtime.Path() / "tolvan-1-abcdef";
    const fs::path other = runtime.Path() / "other-1";
    fs::create_directory(unlocked);
    fs::create_directory(other);
    {
        platform::PrivateWorkFolder living;
        ASSERT_TRUE(living.Ok()) << living.Error();
        EXPECT_FALSE(fs::exists(killed));
        {
            platform::PrivateWorkFolder next;
            ASSERT_TRUE(next.Ok()) << next.Error();
            EXPECT_TRUE(fs::exists(living.Path()));
        }
        EXPECT_TRUE(fs::exists(living.Path()));
    }
    EXPECT_TRUE(fs::exists(unlocked));
    EXPECT_TRUE(fs::exists(other));
}
