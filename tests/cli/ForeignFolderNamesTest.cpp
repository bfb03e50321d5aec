// Recordings in folders whose names CP936 cannot hold (Korean, an emoji),
// that are not UTF-8 at all, or that lie deeper than 259 bytes (up to what
// Linux allows, 4,095 bytes a path): listed with their header columns, from
// outside and from inside, queried, played through the player's conversion,
// exported and converted, all by their names as they are on disk; and
// sources of such names in a batch.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace fs = std::filesystem;

namespace {

// A folder path below the test's folder that makes a path of length bytes
// (the test's folder is "/tmp/tolvan-test-XXXXXX"), of names of up to 200
// bytes.
std::string Deep(size_t length) {
    std::string path;
    for (size_t room = length - std::string("/tmp/tolvan-test-XXXXXX/").size(); path.size() < room;)
        path += (path.empty() ? "" : "/") + std::string(std::min<size_t>(200, room - path.size() - !path.empty()), 'd');
    return path;
}

class ForeignFolderNames : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        folder_ = work_.File(GetParam());
        fs::create_directories(folder_);
        WriteWholeFile(folder_ + "/VOC00001.wav",
                       MakeDeviceRecording('Z', "13812345678", 2018, 3, 4, 5, 6, MakeSpeechLikeSignal(8000, 1)));
        WriteWholeFile(folder_ + "/VOC00002.wav",
                       MakeDeviceRecording('B', "075586001234", 2018, 3, 5, 7, 8, MakeSpeechLikeSignal(8000, 2)));
        WriteWholeFile(folder_ + "/VOC00003.ldv", std::vector<uint8_t>(2000, 0x5A));
    }
    ProgramResult Cli(const std::vector<std::string>& args) { return RunProgram(work_.Str(), TOLVAN_CLI, args); }

    TempFolder work_;
    std::string folder_;
};

TEST_P(ForeignFolderNames, ListAndQueryShowTheHeaderColumns) {
    ProgramResult r = Cli({"list", folder_});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string label, first, second;
    std::getline(lines, label);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(label, "总共2条记录，第1页，共1页");
    EXPECT_EQ(first.substr(0, first.find("\t1秒") == std::string::npos ? first.size() : first.find("\t1秒")),
              "1\tVOC00001.wav\t13812345678\t主叫\t2018-03-04 05:06:00");
    EXPECT_NE(second.find("\t075586001234\t被叫\t2018-03-05 07:08:00\t"), std::string::npos) << second;

    // Named from inside, the folder lists the same.
    EXPECT_EQ(RunProgram(folder_, TOLVAN_CLI, {"list", "."}).out, r.out);
    EXPECT_EQ(RunProgram(folder_, TOLVAN_CLI, {"list", folder_}).out, r.out);

    r = Cli({"list", folder_, "--keyword", "0755"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "总共1条记录，第1页，共1页");
    EXPECT_NE(r.out.find("VOC00002.wav"), std::string::npos);
}

TEST_P(ForeignFolderNames, NormaliseExportAndConvertOpenTheFiles) {
    ProgramResult r = Cli({"normalise", folder_ + "/VOC00001.wav", "out.wav"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GT(ReadWholeFile(work_.File("out.wav")).size(), 44u + 10000);

    r = Cli({"export", folder_, "--out", "list.xls"});
    ASSERT_EQ(r.status, 0) << r.err;
    if (XlrdMissing().empty()) {
        std::string error;
        const std::vector<ReadSheet> sheets = ReadWithXlrd(work_.File("list.xls"), error);
        ASSERT_EQ(sheets.size(), 1u) << error;
        ASSERT_GE(sheets[0].rows.size(), 3u);
        EXPECT_EQ(sheets[0].rows[1][2], "T:13812345678");
        EXPECT_EQ(sheets[0].rows[2][3], "T:被叫");
    }

    fs::create_directory(folder_ + "/out");
    r = Cli({"convert", folder_ + "/out", folder_ + "/VOC00003.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(folder_ + "/out/VOC00003.wav").size(), 44u + 200 * 160);
    fs::remove(folder_ + "/out/VOC00003.wav");
    r = RunProgram(folder_, TOLVAN_CLI, {"convert", "out", "VOC00003.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(folder_ + "/out/VOC00003.wav").size(), 44u + 200 * 160);
}

// Sources whose own names CP936 cannot hold go through a batch as any other
// does, between two plain ones; the batch runs to its end and prints its
// summary.
TEST_P(ForeignFolderNames, ABatchConvertsSourcesOfEveryName) {
    const std::string stem = fs::path(GetParam()).filename().string();
    const std::string name = stem + ".ldv";
    WriteWholeFile(work_.File(name), std::vector<uint8_t>(1000, 0x33));
    WriteWholeFile(work_.File("plain.ldv"), std::vector<uint8_t>(1000, 0x44));
    fs::create_directory(work_.Path() / "out");
    const ProgramResult r = Cli({"convert", "out", "plain.ldv", name, folder_ + "/VOC00003.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "共3个LDV文件,转换完成3个LDV文件\n");
    EXPECT_NE(r.err.find("正在转换" + name + "文件(2/3)\n"), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(work_.File("out/" + stem + ".wav")).size(), 44u + 100 * 160);
    EXPECT_EQ(ReadWholeFile(work_.File("out/plain.wav")).size(), 44u + 100 * 160);
    EXPECT_EQ(ReadWholeFile(work_.File("out/VOC00003.wav")).size(), 44u + 200 * 160);
}

std::string CaseName(const testing::TestParamInfo<std::string>& info) {
    static const char* const kNames[] = {"Korean",       "Emoji",         "NotUtf8",
                                         "Deep300Bytes", "Deep1000Bytes", "Deep4000Bytes"};
    return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(Names, ForeignFolderNames,
                         testing::Values(std::string("녹음 recordings"), std::string("通话\xF0\x9F\x93\x9E"),
                                         std::string("bad\xFF\xFE name"), Deep(300), Deep(1000), Deep(4000)),
                         CaseName);

}  // namespace
