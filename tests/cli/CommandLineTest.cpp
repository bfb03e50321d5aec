// tolvan-cli's arguments, read one way by every command: "--" ends the
// options, an option's value is taken as given even when it begins with
// "-", help wherever an option may stand, and one form of usage error.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace fs = std::filesystem;

namespace {

class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        // Names that begin with "-", and a phone number that holds "-h".
        fs::create_directory(work_.Path() / "-calls");
        WriteWholeFile(work_.File("-calls/VOC00001.wav"),
                       MakeDeviceRecording('Z', "0755-h1234", 2019, 4, 5, 6, 7, MakeSpeechLikeSignal(4000, 1)));
        WriteWholeFile(work_.File("-calls/VOC00002.wav"),
                       MakeDeviceRecording('B', "13800138000", 2019, 4, 5, 6, 8, MakeSpeechLikeSignal(4000, 2)));
        WriteWholeFile(work_.File("-in.ldv"), std::vector<uint8_t>(2000, 0x5A));
        WriteWholeFile(work_.File("-in.wav"), ReadWholeFile(work_.File("-calls/VOC00001.wav")));
        fs::create_directory(work_.Path() / "-out");
    }
    ProgramResult Cli(const std::vector<std::string>& args) { return RunProgram(work_.Str(), TOLVAN_CLI, args); }

    TempFolder work_;
};

TEST_F(CommandLine, DoubleDashEndsTheOptionsOfEveryCommand) {
    const struct {
        std::vector<std::string> args;
        std::string out;       // the start of stdout
        std::string written;   // a file the command makes, or ""
    } cases[] = {
        {{"list", "--", "-calls"}, "总共2条记录，第1页，共1页\n1\tVOC00001.wav\t0755\t", ""},
        {{"list", "--all", "--", "-calls"}, "总共2条记录，第1页，共1页\n", ""},
        {{"export", "--out", "-list.xls", "--", "-calls"}, work_.File("-list.xls"), "-list.xls"},
        {{"decode", "--", "-in.ldv", "-decoded.wav"}, "", "-decoded.wav"},
        {{"normalise", "--", "-in.wav", "-normalised.wav"}, "", "-normalised.wav"},
        {{"convert", "--", "-out", "-in.ldv"}, "共1个LDV文件,转换完成1个LDV文件\n", "-out/-in.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const ProgramResult r = Cli(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
        if (!c.written.empty()) {
            EXPECT_GT(fs::file_size(work_.Path() / c.written), 44u);
        }
    }
    // After "--", "--help" is a name like any other.
    const ProgramResult r = Cli({"list", "--", "--help"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tolvan-cli list: --help is not a readable folder: No such file or directory\n");
}

TEST_F(CommandLine, AValueIsTakenAsGivenEvenWhenItBeginsWithADash) {
    // The keyword "-h" finds the one number holding it; it is no help request.
    ProgramResult r = Cli({"list", "./-calls", "--keyword", "-h"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "总共1条记录，第1页，共1页");
    EXPECT_NE(r.out.find("\tVOC00001.wav\t0755\t"), std::string::npos) << r.out;

    // A value is refused for what it is, never for its dash; "--all" after
    // --from is a date (a bad one), not the option.
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } refused[] = {
        {{"list", "./-calls", "--format", "-json"}, 1, "tolvan-cli list: --format takes tsv or json\n"},
        {{"list", "./-calls", "--from", "--all"}, 2, "提示：查询设置中“日期”取值区间为[1 - 31]\n"},
        {{"play", "x.wav", "--volume", "-1"}, 1, "tolvan-cli play: --volume takes a level from 0 to 100\n"},
    };
    for (const auto& c : refused) {
        r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.args.back();
    }
}

TEST_F(CommandLine, EveryCommandReportsUsageErrorsOneWay) {
    const struct {
        std::string command;
        std::string usage;
        std::vector<std::string> operands;  // enough of them
    } commands[] = {
        {"list", "list FOLDER [--from TEXT]", {"x"}},
        {"export", "export FOLDER [--out PATH]", {"x"}},
        {"decode", "decode IN.ldv OUT.wav", {"x", "y"}},
        {"normalise", "normalise IN.wav OUT.wav", {"x", "y"}},
        {"convert", "convert DEST FILE...", {"x", "y"}},
        {"play", "play FILE [--volume 0..100]", {"x"}},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        const std::string usage = "usage: tolvan-cli " + c.usage;
        // An option the command does not know.
        std::vector<std::string> args{c.command, "--bogus"};
        args.insert(args.end(), c.operands.begin(), c.operands.end());
        ProgramResult r = Cli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
                  "tolvan-cli " + c.command + ": unexpected argument '--bogus'\n");
        EXPECT_EQ(r.err.substr(r.err.find('\n') + 1, usage.size()), usage);
        // Too few operands: the usage alone.
        r = Cli({c.command});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.substr(0, usage.size()), usage);
        // Help wherever an option may stand, before a problem or after it.
        for (const char* help : {"--help", "-h"}) {
            r = Cli({c.command, "--bogus", help});
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.out.substr(0, usage.size()), usage);
            EXPECT_NE(r.out.find("Exit status: 0 done"), std::string::npos);
        }
    }
}

}  // namespace
