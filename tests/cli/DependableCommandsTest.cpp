// tolvan-cli as scripts use it: two runs at once in one folder, files of the
// working names in the starting folder, a folder the program cannot write,
// devices and FIFOs, the same file as input and output, a full disk, and
// the list command's options and formats.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "playback/PcmWavHeader.h"
#include "resources/BuildInfo.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace fs = std::filesystem;

namespace {

ProgramResult Cli(const std::string& dir, const std::vector<std::string>& args) {
    return RunProgram(dir, TOLVAN_CLI, args);
}

std::vector<uint8_t> Recording(double seconds, uint32_t seed, std::string_view phone = "13800138000") {
    return MakeDeviceRecording('Z', phone, 2019, 4, 5, 6, 7, MakeSpeechLikeSignal(size_t(seconds * 8000), seed));
}

class DependableCommands : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        ASSERT_TRUE(WriteSampleFolder(work_.File("a")));
        fs::create_directory(work_.Path() / "b");
        for (int i = 1; i <= 7; ++i)
            WriteWholeFile(work_.File("b/VOC0000" + std::to_string(i) + ".wav"), Recording(0.5, i, "0755-1234567"));
    }
    TempFolder work_;
};

TEST_F(DependableCommands, RunsAtOnceInOneFolderKeepToThemselves) {
    const ProgramResult a = Cli(work_.Str(), {"list", "a", "--all"});
    const ProgramResult b = Cli(work_.Str(), {"list", "b", "--all"});
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    WriteWholeFile(work_.File("x.wav"), Recording(20, 1));
    WriteWholeFile(work_.File("y.wav"), Recording(20, 2));
    ASSERT_EQ(Cli(work_.Str(), {"normalise", "x.wav", "x-alone.wav"}).status, 0);
    ASSERT_EQ(Cli(work_.Str(), {"normalise", "y.wav", "y-alone.wav"}).status, 0);
    const std::vector<uint8_t> xAlone = ReadWholeFile(work_.File("x-alone.wav"));
    const std::vector<uint8_t> yAlone = ReadWholeFile(work_.File("y-alone.wav"));

    for (int round = 0; round < 20; ++round) {
        auto listA = std::async(std::launch::async, [&] { return Cli(work_.Str(), {"list", "a", "--all"}); });
        auto listB = std::async(std::launch::async, [&] { return Cli(work_.Str(), {"list", "b", "--all"}); });
        auto normX = std::async(std::launch::async, [&] { return Cli(work_.Str(), {"normalise", "x.wav", "x-out.wav"}); });
        auto normY = std::async(std::launch::async, [&] { return Cli(work_.Str(), {"normalise", "y.wav", "y-out.wav"}); });
        EXPECT_EQ(listA.get().out, a.out) << round;
        EXPECT_EQ(listB.get().out, b.out) << round;
        EXPECT_EQ(normX.get().status, 0);
        EXPECT_EQ(normY.get().status, 0);
        EXPECT_EQ(ReadWholeFile(work_.File("x-out.wav")), xAlone) << round;
        EXPECT_EQ(ReadWholeFile(work_.File("y-out.wav")), yAlone) << round;
    }
}

TEST_F(DependableCommands, FilesNamedLikeTheWorkingFilesAreLeftAlone) {
    WriteWholeFile(work_.File("WAVFIND.$$$"), {'m', 'i', 'n', 'e'});
    WriteWholeFile(work_.File("precious"), {'k', 'e', 'e', 'p'});
    fs::create_symlink("precious", work_.Path() / "temp.$$$");
    WriteWholeFile(work_.File("x.wav"), Recording(1, 3));
    EXPECT_EQ(Cli(work_.Str(), {"list", "a"}).status, 0);
    EXPECT_EQ(Cli(work_.Str(), {"normalise", "x.wav", "x-out.wav"}).status, 0);
    EXPECT_EQ(ReadWholeFile(work_.File("WAVFIND.$$$")), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_TRUE(fs::is_symlink(work_.Path() / "temp.$$$"));
    EXPECT_EQ(ReadWholeFile(work_.File("precious")), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST_F(DependableCommands, AStartingFolderThatCannotBeWrittenChangesNothing) {
    // /proc cannot be written, not even by root.
    const ProgramResult r = Cli("/proc", {"list", work_.File("a")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "总共45条记录，第1页，共3页");
}

TEST_F(DependableCommands, DevicesAndFifosAsOutputAreWrittenAsStreams) {
    WriteWholeFile(work_.File("x.wav"), Recording(2, 4));
    ASSERT_EQ(Cli(work_.Str(), {"normalise", "x.wav", "x-file.wav"}).status, 0);
    const std::vector<uint8_t> expected = ReadWholeFile(work_.File("x-file.wav"));

    ProgramResult r = Cli(work_.Str(), {"normalise", "x.wav", "/dev/null"});
    EXPECT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    r = Cli(work_.Str(), {"normalise", "x.wav", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write /dev/full"), std::string::npos) << r.err;

    const std::string fifo = work_.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads it: refused at once rather than waited on.
    r = Cli(work_.Str(), {"normalise", "x.wav", "pipe"});
    EXPECT_EQ(r.status, 1);
    // A reader that is there before the command starts; the output fits the
    // pipe's buffer, so it is read once the command has ended.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    r = Cli(work_.Str(), {"normalise", "x.wav", "pipe"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<uint8_t> streamed(expected.size() + 1);
    const ssize_t got = read(reader, streamed.data(), streamed.size());
    close(reader);
    ASSERT_GE(got, 0);
    streamed.resize(static_cast<size_t>(got));
    EXPECT_EQ(streamed, expected);
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A folder as output is refused.
    r = Cli(work_.Str(), {"decode", "x.wav", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::is_directory(work_.Path() / "a"));
}

TEST_F(DependableCommands, OnlyRegularFilesAreRead) {
    const std::string fifo = work_.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const char* command : {"normalise", "decode"}) {
        for (const char* input : {"pipe", "/dev/null", "a"}) {
            const ProgramResult r = Cli(work_.Str(), {command, input, "out.wav"});
            EXPECT_EQ(r.status, 1) << command << " " << input;
            EXPECT_NE(r.err.find(std::string("cannot read ") + input), std::string::npos) << r.err;
            EXPECT_FALSE(fs::exists(work_.Path() / "out.wav"));
        }
    }
}

TEST_F(DependableCommands, TheSameFileAsInputAndOutputIsRefused) {
    const std::vector<uint8_t> recording = Recording(1, 5);
    WriteWholeFile(work_.File("x.wav"), recording);
    fs::create_symlink("x.wav", work_.Path() / "link.wav");
    for (const char* command : {"normalise", "decode"}) {
        for (const char* out : {"x.wav", "link.wav", "./x.wav"}) {
            const ProgramResult r = Cli(work_.Str(), {command, "x.wav", out});
            EXPECT_EQ(r.status, 1) << command << " " << out;
            EXPECT_NE(r.err.find("both the input and the output"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(ReadWholeFile(work_.File("x.wav")), recording);
}

TEST_F(DependableCommands, AFullDiskLeavesNothingHalfWritten) {
    WriteWholeFile(work_.File("x.wav"), Recording(20, 6));
    WriteWholeFile(work_.File("x.ldv"), std::vector<uint8_t>(20000, 0x55));
    WriteWholeFile(work_.File("old.wav"), {'o', 'l', 'd'});
    // Files limited to 100 kB, as on a disk that fills up while writing.
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"normalise", "x.wav", "old.wav"}, {"decode", "x.ldv", "old.wav"},
          {"normalise", "x.wav", "new.wav"}}) {
        std::vector<std::string> args{"--fsize=100000", TOLVAN_CLI};
        args.insert(args.end(), command.begin(), command.end());
        const ProgramResult r = RunProgram(work_.Str(), "/usr/bin/prlimit", args);
        EXPECT_EQ(r.status, 1) << command[0] << " " << r.err;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadWholeFile(work_.File("old.wav")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(work_.Path() / "new.wav"));
    for (const auto& e : fs::directory_iterator(work_.Path()))
        EXPECT_NE(e.path().extension(), ".part") << e.path();
}

TEST_F(DependableCommands, NormaliseOfAPcmWavGivesTheSamplesThePlayerPlays) {
    std::vector<uint8_t> pcm(PcmWavHeader, PcmWavHeader + 44);
    for (int i = 0; i < 1001; ++i) pcm.push_back(static_cast<uint8_t>(i * 7));
    pcm[40] = 0xE9;  // data size 1001: the odd byte is dropped
    pcm[41] = 0x03;
    WriteWholeFile(work_.File("plain.wav"), pcm);
    const ProgramResult r = Cli(work_.Str(), {"normalise", "plain.wav", "out.wav"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<uint8_t> out = ReadWholeFile(work_.File("out.wav"));
    ASSERT_EQ(out.size(), 44u + 1000);
    EXPECT_EQ(U32At(out, 40), 1000u);
    EXPECT_TRUE(std::equal(out.begin() + 44, out.end(), pcm.begin() + 44));
}

TEST_F(DependableCommands, ListRowsAreOneLineAndJsonKeepsTheExactTexts) {
    fs::create_directory(work_.Path() / "c");
    WriteWholeFile(work_.File("c/VOC00001.wav"), Recording(0.3, 7, "13\t8\n\"0\\"));
    ProgramResult r = Cli(work_.Str(), {"list", "c"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string label, row, extra;
    std::getline(lines, label);
    std::getline(lines, row);
    EXPECT_FALSE(std::getline(lines, extra));
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 6) << row;
    EXPECT_NE(row.find("\t13 8 \"0\\\t"), std::string::npos) << row;

    r = Cli(work_.Str(), {"list", "c", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"label\": \"总共1条记录，第1页，共1页\", \"rows\": [[\"1\", ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\"13\\u00098\\u000a\\\"0\\\\\""), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - 4), "]]}\n");
}

TEST_F(DependableCommands, EveryCommandDescribesItself) {
    ProgramResult r = Cli(work_.Str(), {"list", "--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* item : {"全部类型", "全部主叫", "全部被叫", "全部留言", "全部现场", "passes no", "Exit status"})
        EXPECT_NE(r.out.find(item), std::string::npos) << item;
    for (const char* command : {"export", "decode", "normalise", "convert", "play"}) {
        r = Cli(work_.Str(), {command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find(std::string("usage: tolvan-cli ") + command), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Exit status: 0 done, 1 an error"), std::string::npos) << r.out;
    }
    r = Cli(work_.Str(), {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("tolvan-cli convert DEST FILE..."), std::string::npos);
    EXPECT_NE(r.out.find("tolvan-cli --help | --version"), std::string::npos);
    r = Cli(work_.Str(), {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tolvan-cli ") + kTolvanVersion + "\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(DependableCommands, DecoderWarningsGoToStderr) {
    // Six frames whose last one makes the decoder warn about its LSP
    // stability (found among random frames).
    const char* hex =
        "ec2456928bde217fbab8a01ce804bbbfb996631d9138c3a3d897b52440bb9884f4f38e426ffa48ada28fd1da2ae392940fdee9c84f692b"
        "4a65fcfe0a";
    std::vector<uint8_t> frames;
    for (size_t i = 0; hex[i]; i += 2) frames.push_back(static_cast<uint8_t>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    WriteWholeFile(work_.File("w.ldv"), frames);
    fs::create_directory(work_.Path() / "out");
    const ProgramResult r = Cli(work_.Str(), {"convert", "out", "w.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "共1个LDV文件,转换完成1个LDV文件\n");
    EXPECT_NE(r.err.find("lsp_stability warning Low"), std::string::npos) << r.err;
}

}  // namespace
