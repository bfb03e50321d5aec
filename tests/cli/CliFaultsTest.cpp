// tolvan-cli when the system fails it: standard output on a full disk, files
// limited in size as on a disk that fills up, a device as the workbook, and
// the process killed half-way through an export or a conversion.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleFolder.h"
#include "tools/SampleRecording.h"

namespace fs = std::filesystem;

namespace {

// Starts tolvan-cli with args in dir, its standard output going to stdoutPath
// and its standard error nowhere; returns its process id.
pid_t StartCli(const std::string& dir, const std::vector<std::string>& args, const std::string& stdoutPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int quiet = open("/dev/null", O_RDWR);
        if (out < 0 || quiet < 0 || chdir(dir.c_str()) != 0) _exit(127);
        dup2(quiet, 0);
        dup2(out, 1);
        dup2(quiet, 2);
        std::vector<char*> argv{const_cast<char*>(TOLVAN_CLI)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TOLVAN_CLI, argv.data());
        _exit(127);
    }
    return pid;
}

// The exit status of a started command; -1 when it was killed.
int WaitFor(pid_t pid) {
    int raw = 0;
    if (waitpid(pid, &raw, 0) != pid) return -2;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The names in folder, apart from the ones listed.
std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsPart(const std::string& name) { return name.size() > 5 && name.ends_with(".part"); }

class CliFaultsTest : public testing::Test {
protected:
    void SetUp() override {
        samples_ = work_.File("samples");
        ASSERT_TRUE(WriteSampleFolder(samples_));
        ldv_ = work_.File("VOC00001.ldv");
        WriteWholeFile(ldv_, std::vector<uint8_t>(20000, 0x55));
        fs::create_directory(work_.Path() / "dest");
    }
    ProgramResult Cli(const std::vector<std::string>& args) { return RunProgram(work_.Str(), TOLVAN_CLI, args); }
    ProgramResult LimitedCli(uint64_t limit, const std::vector<std::string>& command) {
        std::vector<std::string> args{"--fsize=" + std::to_string(limit), TOLVAN_CLI};
        args.insert(args.end(), command.begin(), command.end());
        return RunProgram(work_.Str(), "/usr/bin/prlimit", args);
    }

    TempFolder work_;
    std::string samples_, ldv_;
};

}  // namespace

// What a command prints is its result: when standard output cannot take it,
// the command fails and says why.
TEST_F(CliFaultsTest, AStandardOutputThatCannotBeWrittenFailsTheCommand) {
    const std::vector<std::vector<std::string>> commands = {
        {"list", samples_, "--all"},
        {"list", samples_, "--all", "--format", "json"},
        {"export", samples_, "--out", work_.File("a.xls")},
        {"convert", work_.File("dest"), ldv_},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        const pid_t pid = StartCli(work_.Str(), command, "/dev/full");
        EXPECT_EQ(WaitFor(pid), 1);
        // The same command with the diagnostics captured.
        std::vector<std::string> args = {"-c", "exec \"$0\" \"$@\" > /dev/full", TOLVAN_CLI};
        args.insert(args.end(), command.begin(), command.end());
        const ProgramResult r = RunProgram(work_.Str(), "/bin/sh", args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("tolvan-cli: cannot write the standard output"), std::string::npos) << r.err;
    }
}

// Workbooks and converted recordings on a disk that fills up: the reason on
// stderr, status 1, and no file, whole or part, left in the destination. The
// limits leave room for the scan's result of the 45 samples (2,700 bytes) and
// for what the command prints (captured in files, limited too); the workbook
// takes 11 KB.
TEST_F(CliFaultsTest, AFullDiskLeavesNoWorkbookAndNoConvertedFile) {
    for (uint64_t limit : {3000u, 8192u}) {
        SCOPED_TRACE(limit);
        ProgramResult r = LimitedCli(limit, {"export", samples_, "--out", "dest/a.xls"});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("cannot write the workbook"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        r = LimitedCli(limit, {"convert", "dest", ldv_});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("VOC00001.ldv not converted: cannot write the output"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "共1个LDV文件,转换完成0个LDV文件\n");
        EXPECT_TRUE(NamesIn(work_.Path() / "dest").empty());
    }
    // The scan's result file on a full disk: an empty list, never a part of one.
    const ProgramResult r = LimitedCli(100, {"list", samples_, "--all"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "总共0条记录，第0页，共0页\n");
}

// The earlier workbook at --out stays whole when the disk fills up while the
// new one is written.
TEST_F(CliFaultsTest, AFullDiskKeepsTheEarlierWorkbook) {
    ASSERT_EQ(Cli({"export", samples_, "--out", "dest/a.xls"}).status, 0);
    const std::vector<uint8_t> earlier = ReadWholeFile(work_.File("dest/a.xls"));
    const ProgramResult r = LimitedCli(8192, {"export", samples_, "--out", "dest/a.xls"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "cannot write the workbook '" + work_.File("dest/a.xls") + "': File too large\n");
    EXPECT_EQ(ReadWholeFile(work_.File("dest/a.xls")), earlier);
    EXPECT_EQ(NamesIn(work_.Path() / "dest"), std::vector<std::string>{"a.xls"});
}

// A device named as the workbook is refused and left as it is.
TEST_F(CliFaultsTest, ADeviceAsTheWorkbookIsRefusedAndKept) {
    for (const char* device : {"/dev/full", "/dev/null"}) {
        const ProgramResult r = Cli({"export", samples_, "--out", device});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("already exists"), std::string::npos) << r.err;
        struct stat st {};
        ASSERT_EQ(stat(device, &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << device;
    }
}

// Killed while writing, the command leaves no file under its final name; its
// temporary "*.part" file stays, as nothing can remove it after SIGKILL.
TEST_F(CliFaultsTest, KilledHalfWayNoFileUnderItsFinalNameIsPartial) {
    const std::string big = work_.File("big");
    fs::create_directory(big);
    for (int i = 1; i <= 2000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "VOC%05d.wav", i);
        ASSERT_TRUE(WriteArchiveRecording(big + "/" + name, i, 4096));
    }
    WriteWholeFile(work_.File("VOC00002.ldv"), std::vector<uint8_t>(400000, 0x55));
    const std::vector<std::vector<std::string>> commands = {
        {"export", big, "--out", "dest/a.xls"},
        {"convert", "dest", work_.File("VOC00002.ldv")},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        const fs::path dest = work_.Path() / "dest";
        const pid_t pid = StartCli(work_.Str(), command, "/dev/null");
        // Killed once its temporary file has appeared (and, for the
        // conversion, holds samples).
        bool killed = false;
        for (int waited = 0; waited < 60000 && !killed; ++waited) {
            for (const std::string& name : NamesIn(dest)) {
                std::error_code ec;
                const uintmax_t size = IsPart(name) ? fs::file_size(dest / name, ec) : 0;
                if (IsPart(name) && !ec && (command[0] == "export" || size > 44)) {
                    killed = kill(pid, SIGKILL) == 0;
                    break;
                }
            }
            if (!killed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(killed);
        EXPECT_EQ(WaitFor(pid), -1);
        const std::vector<std::string> left = NamesIn(dest);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_TRUE(IsPart(left[0])) << left[0];
        fs::remove(dest / left[0]);
    }
}
