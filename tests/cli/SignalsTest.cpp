// tolvan-cli ended by a signal in the middle of its work: real signals sent
// to the real program. After SIGINT, SIGTERM or SIGHUP it exits with 128 +
// the signal's number and leaves neither the temporary file of the output it
// was writing nor its private working folder; SIGKILL leaves the temporary
// file, never a part of an output under its final name.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    return names;
}

// A temporary "*.part" file of at least size bytes in folder.
bool HasPartFile(const fs::path& folder, uintmax_t size) {
    for (const auto& e : fs::directory_iterator(folder)) {
        std::error_code ec;
        if (e.path().extension() == ".part" && fs::file_size(e.path(), ec) >= size && !ec) return true;
    }
    return false;
}

// Waits until ready() holds, for a minute at most.
bool WaitUntil(const std::function<bool()>& ready) {
    for (int waited = 0; waited < 60000; ++waited) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

class Signals : public testing::Test {
protected:
    void SetUp() override {
        big_ = work_.File("big");
        fs::create_directory(big_);
        for (int i = 1; i <= 2000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "VOC%05d.wav", i);
            ASSERT_TRUE(WriteArchiveRecording(big_ + "/" + name, i, 4096));
        }
        WriteWholeFile(work_.File("VOC00002.ldv"), std::vector<uint8_t>(400000, 0x55));
        WriteWholeFile(work_.File("x.wav"), MakeDeviceRecording('Z', "1", 2019, 4, 5, 6, 7,
                                                                MakeSpeechLikeSignal(20 * 8000, 3)));
        fs::create_directory(dest_);
        options_.environment = {{"XDG_RUNTIME_DIR", runtime_.Str()}};
    }

    // Starts args and sends signal once busy() says it is in the middle of
    // its work; -1 when it never was.
    pid_t SignalWhileBusy(int signal, const std::vector<std::string>& args, const std::function<bool()>& busy) {
        const pid_t pid = StartProgram(work_.Str(), TOLVAN_CLI, args, options_);
        if (!WaitUntil(busy) || kill(pid, signal) != 0) {
            WaitForProgram(pid);
            return -1;
        }
        return pid;
    }

    // Ends args with signal while it is busy and checks what is left.
    void EndWhileBusy(int signal, const std::vector<std::string>& args, const std::function<bool()>& busy) {
        SCOPED_TRACE(args[0] + " " + std::to_string(signal));
        const pid_t pid = SignalWhileBusy(signal, args, busy);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(WaitForProgram(pid), 128 + signal);
        EXPECT_TRUE(NamesIn(dest_).empty());
        EXPECT_TRUE(NamesIn(runtime_.Path()).empty()) << "the working folder is left";
    }

    TempFolder work_, runtime_;
    std::string big_;
    fs::path dest_ = work_.Path() / "dest";
    StartOptions options_;
};

TEST_F(Signals, EndTheCommandAndLeaveNothingOfIt) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // While the workbook is being written beside its destination.
        EndWhileBusy(signal, {"export", big_, "--out", "dest/a.xls"}, [&] { return HasPartFile(dest_, 0); });
        // While a converted recording is being written.
        EndWhileBusy(signal, {"convert", "dest", "VOC00002.ldv"}, [&] { return HasPartFile(dest_, 45); });
        // While the output goes into a FIFO that is not read: the output is
        // gathered in the working folder, and its copy into the FIFO waits.
        const std::string fifo = work_.File("pipe");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        EndWhileBusy(signal, {"normalise", "x.wav", "pipe"}, [&] {
            pollfd p{reader, POLLIN, 0};
            return poll(&p, 1, 0) == 1;
        });
        close(reader);
        fs::remove(fifo);
    }
}

// SIGKILL cannot be caught: the command leaves no file under its final name,
// but its temporary "*.part" file stays beside it.
TEST_F(Signals, KilledHalfWayNoFileUnderItsFinalNameIsPartial) {
    const struct {
        std::vector<std::string> args;
        uintmax_t partSize;  // once the temporary file holds this much
    } commands[] = {
        {{"export", big_, "--out", "dest/a.xls"}, 0},
        {{"convert", "dest", "VOC00002.ldv"}, 45},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.args[0]);
        const pid_t pid = SignalWhileBusy(SIGKILL, c.args, [&] { return HasPartFile(dest_, c.partSize); });
        ASSERT_GT(pid, 0);
        EXPECT_EQ(WaitForProgram(pid), -1);
        const std::vector<std::string> left = NamesIn(dest_);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(fs::path(left[0]).extension(), ".part") << left[0];
        fs::remove(dest_ / left[0]);
    }
}

// A signal the program was started with ignored, as nohup ignores SIGHUP,
// stays ignored: the command goes on to its end.
TEST_F(Signals, AnIgnoredSignalStaysIgnored) {
    options_.ignoredSignals = {SIGHUP};
    const pid_t pid =
        SignalWhileBusy(SIGHUP, {"convert", "dest", "VOC00002.ldv"}, [&] { return HasPartFile(dest_, 45); });
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitForProgram(pid), 0);
    EXPECT_EQ(NamesIn(dest_), std::vector<std::string>{"VOC00002.wav"});
    EXPECT_TRUE(NamesIn(runtime_.Path()).empty());
}

}  // namespace
