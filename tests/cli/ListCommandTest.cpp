// tolvan-cli list, run as the built program on the demo folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleFolder.h"
#include "tools/SampleRecording.h"

namespace {

class ListCommandTest : public testing::Test {
protected:
    ListCommandTest() : work_(false) {
        samples_ = work_.File("samples");
        EXPECT_TRUE(WriteSampleFolder(samples_));
        setenv("TZ", "UTC0", 1);
    }

    ProgramResult List(std::vector<std::string> args) {
        args.insert(args.begin(), "list");
        ProgramResult r = RunProgram(work_.Str(), TOLVAN_CLI, args);
        EXPECT_FALSE(std::filesystem::exists(work_.File("WAVFIND.$$$")));
        return r;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    TempFolder work_;
    std::string samples_;
};

}  // namespace

TEST_F(ListCommandTest, WithoutOptionsListsTheFirstPageOfTheFolder) {
    ProgramResult r = List({samples_});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "总共45条记录，第1页，共3页");
    // Seven columns joined by tabs.
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), '\t'), 6);
    EXPECT_EQ(lines[1].substr(0, 15), "1\tVOC00001.wav\t");
    EXPECT_EQ(lines[20].substr(0, 16), "20\tVOC00020.wav\t");
}

TEST_F(ListCommandTest, AllPrintsEveryPageAfterTheLabel) {
    ProgramResult r = List({samples_, "--all"});
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 46u);
    EXPECT_EQ(lines[0], "总共45条记录，第1页，共3页");
    EXPECT_EQ(lines[45].substr(0, 16), "45\tVOC00045.wav\t");

    // Every page, or one page: not both.
    r = List({samples_, "--page", "3", "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(ListCommandTest, OptionsRunTheQuery) {
    ProgramResult r = List({samples_, "--page", "3"});
    auto lines = Lines(r.out);
    EXPECT_EQ(lines[0], "总共45条记录，第3页，共3页");
    EXPECT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].substr(0, 3), "41\t");

    // Every listed row satisfies the query the options describe.
    r = List({samples_, "--type", "全部现场", "--all"});
    EXPECT_EQ(r.status, 0);
    lines = Lines(r.out);
    ASSERT_GT(lines.size(), 1u);
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_NE(lines[i].find("\t\t现场\t"), std::string::npos) << lines[i];

    r = List({samples_, "--keyword", "138", "--from", "2017-01-01", "--to", "2017-12-31", "--all"});
    lines = Lines(r.out);
    ASSERT_GT(lines.size(), 1u);
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find("\t138"), std::string::npos) << lines[i];
        EXPECT_NE(lines[i].find("\t2017-"), std::string::npos) << lines[i];
    }
}

TEST_F(ListCommandTest, AMessageGoesToStderrAndExitsWithTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--from", "2017/03/05"}, "提示：查询设置中“日期”取值区间为[1 - 31]\n"},
        {{"--to", "2017-13-01"}, "提示：查询设备中“月份”取值区间为[1 - 12]\n"},
        {{"--from", "1969-12-31"}, "输入查询的开始日期有误，请重新输入！\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{samples_};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ProgramResult r = List(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "总共0条记录，第0页，共0页\n");
    }
}

TEST_F(ListCommandTest, WhatIsNotAReadableFolderIsAnError) {
    WriteFileBytes(work_.File("file"), std::vector<uint8_t>{1});
    for (const std::string& folder : {work_.File("missing"), work_.File("file")}) {
        ProgramResult r = List({folder});
        EXPECT_EQ(r.status, 1) << folder;
        EXPECT_EQ(r.out, "") << folder;
        EXPECT_EQ(r.err, "tolvan-cli list: " + folder + " is not a readable folder: " +
                             (folder.ends_with("file") ? "Not a directory\n" : "No such file or directory\n"));
    }
}

TEST_F(ListCommandTest, BadUsageIsRefused) {
    for (std::vector<std::string> args : {std::vector<std::string>{}, {samples_, "--page"}, {samples_, "--bogus"}}) {
        ProgramResult r = List(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
}
