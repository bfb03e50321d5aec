// Recordings in folders deeper than 259 bytes, up to what Linux allows (a
// path of 4,095 bytes): listed, queried, exported, normalised and converted
// like any others; "list ." and "list $PWD" give the same rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace fs = std::filesystem;

namespace {

// A folder under parent whose path is length bytes long, made of names of
// up to 200 bytes.
std::string DeepFolder(const std::string& parent, size_t length) {
    std::string path = parent;
    while (path.size() < length) path += "/" + std::string(std::min<size_t>(200, length - path.size() - 1), 'd');
    fs::create_directories(path);
    return path;
}

class LongPaths : public testing::TestWithParam<size_t> {
protected:
    void SetUp() override {
        setenv("TZ", "UTC0", 1);
        folder_ = DeepFolder(work_.Str(), GetParam());
        ASSERT_EQ(folder_.size(), GetParam());
        WriteWholeFile(folder_ + "/VOC00001.wav",
                       MakeDeviceRecording('Z', "13812345678", 2018, 3, 4, 5, 6, MakeSpeechLikeSignal(8000, 1)));
        WriteWholeFile(folder_ + "/VOC00002.wav",
                       MakeDeviceRecording('B', "075586001234", 2018, 3, 5, 7, 8, MakeSpeechLikeSignal(8000, 2)));
        WriteWholeFile(folder_ + "/VOC00003.ldv", std::vector<uint8_t>(2000, 0x5A));
    }
    ProgramResult Cli(const std::string& dir, const std::vector<std::string>& args) {
        return RunProgram(dir, TOLVAN_CLI, args);
    }

    TempFolder work_;
    std::string folder_;
};

TEST_P(LongPaths, ListQueryAndExportSeeEveryRecording) {
    const ProgramResult r = Cli(work_.Str(), {"list", folder_});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string label, first, second;
    std::getline(lines, label);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(label, "总共2条记录，第1页，共1页");
    EXPECT_EQ(first.rfind("1\tVOC00001.wav\t13812345678\t主叫\t2018-03-04 05:06:00\t", 0), 0u) << first;
    EXPECT_EQ(second.rfind("2\tVOC00002.wav\t075586001234\t被叫\t2018-03-05 07:08:00\t", 0), 0u) << second;

    // Named from inside, the folder lists the same.
    EXPECT_EQ(Cli(folder_, {"list", "."}).out, r.out);
    EXPECT_EQ(Cli(folder_, {"list", folder_}).out, r.out);

    const ProgramResult query = Cli(folder_, {"list", ".", "--keyword", "0755"});
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out.substr(0, query.out.find('\n')), "总共1条记录，第1页，共1页");

    const ProgramResult exported = Cli(work_.Str(), {"export", folder_, "--out", "list.xls"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, work_.File("list.xls") + "\n");
}

TEST_P(LongPaths, NormaliseAndConvertReadAndWriteThere) {
    ProgramResult r = Cli(work_.Str(), {"normalise", folder_ + "/VOC00001.wav", folder_ + "/out.wav"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GT(ReadWholeFile(folder_ + "/out.wav").size(), 44u + 10000);

    fs::create_directory(folder_ + "/dest");
    r = Cli(work_.Str(), {"convert", folder_ + "/dest", folder_ + "/VOC00003.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "共1个LDV文件,转换完成1个LDV文件\n");
    EXPECT_EQ(ReadWholeFile(folder_ + "/dest/VOC00003.wav").size(), 44u + 200 * 160);

    // And named from inside the folder.
    fs::remove(folder_ + "/dest/VOC00003.wav");
    r = Cli(folder_, {"convert", "dest", "VOC00003.ldv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(folder_ + "/dest/VOC00003.wav").size(), 44u + 200 * 160);
}

INSTANTIATE_TEST_SUITE_P(Depths, LongPaths, testing::Values(size_t{300}, size_t{1000}, size_t{4000}),
                         [](const testing::TestParamInfo<size_t>& info) { return std::to_string(info.param) + "Bytes"; });

}  // namespace
