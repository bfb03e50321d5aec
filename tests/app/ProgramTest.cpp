// The tolvan program as a desktop session starts and ends it: with its
// standard streams closed, and ended by SIGTERM or SIGINT, which it takes
// as its close box, also while a message box is open over the window.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/Faults.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleFolder.h"

namespace fs = std::filesystem;

namespace {

// The working folder the program made in runtime, once it is there.
std::string WorkingFolderIn(const std::string& runtime) {
    for (int waited = 0; waited < 30000; waited += 10) {
        for (const auto& e : fs::directory_iterator(runtime))
            if (e.path().filename().string().starts_with("tolvan-")) return e.path().string();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

class Program : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteSampleFolder(samples_)); }

    pid_t Start(const std::string& runtime) {
        StartOptions options;
        options.closedStreams = {0, 1, 2};
        options.environment = {{"QT_QPA_PLATFORM", "offscreen"},
                               {"XDG_RUNTIME_DIR", runtime},
                               {"XDG_CONFIG_HOME", work_.File("config")},
                               {"HOME", work_.Str()}};
        return StartProgram(work_.Str(), TOLVAN_APP, {samples_}, options);
    }

    TempFolder work_, runtime_;
    std::string samples_ = work_.File("samples");
};

TEST_F(Program, ClosedStreamsAreDevNullAndASignalIsTheCloseBox) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const pid_t pid = Start(runtime_.Str());
        ASSERT_FALSE(WorkingFolderIn(runtime_.Str()).empty());
        // No file the program opened took the place of a closed stream.
        for (int fd = 0; fd <= 2; ++fd) {
            std::error_code ec;
            EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd), ec), "/dev/null");
        }
        // Time for the window to list the folder.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_EQ(kill(pid, signal), 0);
        EXPECT_EQ(WaitForProgram(pid, std::chrono::seconds(20)), 0);
        EXPECT_TRUE(fs::is_empty(runtime_.Path())) << "the working folder is left";
    }
}

// The working folder on a full disk: the scan cannot keep its result, so a
// message box says why over the window; the signal closes it and the window.
TEST_F(Program, ASignalClosesAMessageBoxAndTheWindow) {
    const FullDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    const pid_t pid = Start(disk.Path());
    ASSERT_FALSE(WorkingFolderIn(disk.Path()).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    EXPECT_EQ(WaitForProgram(pid, std::chrono::seconds(20)), 0);
    for (const auto& e : fs::directory_iterator(disk.Path()))
        EXPECT_FALSE(e.path().filename().string().starts_with("tolvan-")) << e.path();
}

}  // namespace
