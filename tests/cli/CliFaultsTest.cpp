// tolvan-cli when the system fails it: standard output on a full disk, files
// limited in size as on a disk that fills up, a full working disk, a device
// as the workbook, files that cannot be opened, and closed standard streams.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/playback/FileBytes.h"
#include "tests/support/Faults.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleFolder.h"
#include "tools/SampleRecording.h"

namespace fs = std::filesystem;

namespace {

// Starts tolvan-cli with args in dir, its standard output going to stdoutPath
// and its standard error nowhere; returns its process id.
pid_t StartCli(const std::string& dir, const std::vector<std::string>& args, const std::string& stdoutPath) {
    StartOptions options;
    options.stdoutPath = stdoutPath;
    return StartProgram(dir, TOLVAN_CLI, args, options);
}

// The names in folder, apart from the ones listed.
std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

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
        EXPECT_EQ(WaitForProgram(pid), 1);
        // The same command with the diagnostics captured.
        std::vector<std::string> args = {"-c", "exec \"$0\" \"$@\" > /dev/full", TOLVAN_CLI};
        args.insert(args.end(), command.begin(), command.end());
        const ProgramResult r = RunProgram(work_.Str(), "/bin/sh", args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("tolvan-cli: cannot write the standard output: No space left on device"),
                  std::string::npos)
            << r.err;
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
    // The scan's result file on a full disk: an error that says why, never
    // an empty list or a part of one.
    for (const char* command : {"list", "export"}) {
        const ProgramResult r = LimitedCli(1000, {command, samples_});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with(std::string("tolvan-cli ") + command + ": cannot write the scan result /"))
            << r.err;
        EXPECT_TRUE(r.err.ends_with("/WAVFIND.$$$: File too large\n")) << r.err;
    }
}

// The working folder on a disk that is full (a tmpfs of the test's own): the
// scan's result cannot be kept, and list and export say so; outputs on that
// disk are refused with the system's reason and leave nothing.
TEST_F(CliFaultsTest, AFullWorkingDiskIsAnErrorThatSaysWhy) {
    const FullDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    {
        const ScopedEnvironment runtime("XDG_RUNTIME_DIR", disk.Path());
        for (const char* command : {"list", "export"}) {
            const ProgramResult r = Cli({command, samples_});
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(r.err.starts_with(std::string("tolvan-cli ") + command + ": cannot write the scan result " +
                                          disk.Path() + "/tolvan-"))
                << r.err;
            EXPECT_TRUE(r.err.ends_with("/WAVFIND.$$$: No space left on device\n")) << r.err;
        }
    }
    const std::string out = disk.Path() + "/out.wav";
    ProgramResult r = Cli({"decode", ldv_, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tolvan-cli decode: cannot write " + out + ": No space left on device\n");
    r = Cli({"convert", disk.Path(), ldv_, work_.File("missing.ldv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "共2个LDV文件,转换完成0个LDV文件\n");
    EXPECT_NE(r.err.find("tolvan-cli convert: " + ldv_ + " not converted: cannot write the output " + disk.Path() +
                         "/VOC00001.wav: No space left on device\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(NamesIn(disk.Path()), std::vector<std::string>{"filler"});
}

// Every error about a file names it and gives the system's reason.
TEST_F(CliFaultsTest, EveryFileErrorNamesTheFileAndTheReason) {
    WriteWholeFile(work_.File("file"), {1});
    const struct {
        std::vector<std::string> args;
        std::string err;  // a line of stderr
    } cases[] = {
        {{"list", "missing"}, "tolvan-cli list: missing is not a readable folder: No such file or directory"},
        {{"list", "file"}, "tolvan-cli list: file is not a readable folder: Not a directory"},
        {{"export", "missing"}, "tolvan-cli export: missing is not a readable folder: No such file or directory"},
        {{"export", "file", "--out", "a.xls"}, "tolvan-cli export: file is not a readable folder: Not a directory"},
        {{"decode", "missing.ldv", "out.wav"}, "tolvan-cli decode: cannot read missing.ldv: No such file or directory"},
        {{"decode", "dest", "out.wav"}, "tolvan-cli decode: cannot read dest: Is a directory"},
        {{"decode", ldv_, "no/out.wav"}, "tolvan-cli decode: cannot create no/out.wav: No such file or directory"},
        {{"normalise", "missing.wav", "out.wav"},
         "tolvan-cli normalise: cannot read missing.wav: No such file or directory"},
        {{"normalise", ldv_, "/dev/full"}, "tolvan-cli normalise: cannot write /dev/full: No space left on device"},
        {{"convert", "missing", ldv_}, "tolvan-cli convert: missing is not a folder: No such file or directory"},
        {{"convert", "file", ldv_}, "tolvan-cli convert: file is not a folder: Not a directory"},
        {{"convert", "dest", "missing.ldv"},
         "tolvan-cli convert: missing.ldv not converted: cannot be read: No such file or directory"},
        {{"play", "missing.wav"}, "tolvan-cli play: cannot read missing.wav: No such file or directory"},
    };
    for (const auto& c : cases) {
        const ProgramResult r = Cli(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_NE(("\n" + r.err).find("\n" + c.err + "\n"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(work_.Path() / "a.xls"));
    EXPECT_FALSE(fs::exists(work_.Path() / "out.wav"));
}

// Started with standard streams closed, no command lets a file it opens
// take their place (the progress text meant for stderr would go into a
// converted recording): outputs are what they would be, and a command whose
// data stdout did not take fails.
TEST_F(CliFaultsTest, ClosedStandardStreamsAreNeverTakenByAFile) {
    ASSERT_EQ(Cli({"decode", ldv_, "reference.wav"}).status, 0);
    const std::vector<uint8_t> reference = ReadWholeFile(work_.File("reference.wav"));
    const struct {
        std::vector<int> closed;
        std::vector<std::string> args;
        int status;
        std::string output;  // the file made, or ""
    } cases[] = {
        {{0, 1, 2}, {"convert", "dest", ldv_}, 1, "dest/VOC00001.wav"},  // the summary went nowhere
        {{1, 2}, {"convert", "dest", ldv_}, 1, "dest/VOC00001.wav"},
        {{2}, {"convert", "dest", ldv_}, 0, "dest/VOC00001.wav"},
        {{0, 1, 2}, {"decode", ldv_, "decoded.wav"}, 0, "decoded.wav"},  // nothing for stdout
        {{0, 1, 2}, {"list", samples_}, 1, ""},
        {{0, 1, 2}, {"export", samples_, "--out", "a.xls"}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " with " + std::to_string(c.closed.size()) + " closed");
        if (!c.output.empty()) fs::remove(work_.File(c.output));
        StartOptions options;
        options.closedStreams = c.closed;
        EXPECT_EQ(WaitForProgram(StartProgram(work_.Str(), TOLVAN_CLI, c.args, options)), c.status);
        if (!c.output.empty()) {
            EXPECT_EQ(ReadWholeFile(work_.File(c.output)), reference);
        }
    }
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

