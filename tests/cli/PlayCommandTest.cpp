// tolvan-cli play against a real PulseAudio server: what reaches the sink's
// monitor must be the recording's samples, in full and without gaps.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/G729Vectors.h"
#include "tests/support/PulseServer.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

std::vector<uint8_t> PcmWavOf(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> file(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize);
    const uint32_t size = static_cast<uint32_t>(samples.size() * 2);
    for (int i = 0; i < 4; ++i) file[40 + i] = static_cast<uint8_t>(size >> (8 * i));
    for (int16_t s : samples) {
        file.push_back(static_cast<uint8_t>(s));
        file.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return file;
}

class PlayCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Running()) GTEST_SKIP() << server_.Why();
    }

    // Plays path through tolvan-cli while the sink's monitor is recorded.
    std::vector<int16_t> PlayAndRecord(const std::string& path, const std::string& volume, ProgramResult& result) {
        PulseServer::Recording recording(server_);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        result = RunProgram(work_.Str(), TOLVAN_CLI, {"play", path, "--volume", volume});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return recording.Stop();
    }

    // recorded holds expected, sample for sample, from its first sounds
    // after the first 50 ms (which a new stream may lose) to the start of its
    // last chunk (which Stop may cut).
    static void ExpectHeard(const std::vector<int16_t>& recorded, const std::vector<int16_t>& expected,
                            size_t chunkSamples) {
        size_t from = 400;
        auto sounding = [&](size_t i) { return std::count(expected.begin() + i, expected.begin() + i + 64, 0) < 48; };
        while (from + 64 < expected.size() && !sounding(from)) ++from;
        ASSERT_LT(from + 64, expected.size());
        const long at = FindSamples(recorded, expected, from);
        ASSERT_GE(at, 0) << "the recording's first sounds never reached the sink";
        const size_t end = (expected.size() - 1) / chunkSamples * chunkSamples;
        ASSERT_GE(recorded.size(), static_cast<size_t>(at) + (end - from)) << "the sink heard too little";
        size_t mismatches = 0, first = 0;
        for (size_t i = from; i < end; ++i) {
            if (recorded[static_cast<size_t>(at) + i - from] != expected[i] && mismatches++ == 0) first = i;
        }
        EXPECT_EQ(mismatches, 0u) << "first difference at sample " << first << " of " << expected.size();
    }

    PulseServer server_;
    TempFolder work_;
};

TEST_F(PlayCommand, DeviceRecordingIsHeardAsItsConvertedSamples) {
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(3 * 8000, 41);
    WriteWholeFile(work_.File("VOC00001.wav"), MakeDeviceRecording('Z', "13800138000", 2020, 5, 6, 7, 8, speech));
    ASSERT_EQ(RunProgram(work_.Str(), TOLVAN_CLI, {"normalise", "VOC00001.wav", "expected.wav"}).status, 0);
    const std::vector<int16_t> expected = SamplesFrom(ReadWholeFile(work_.File("expected.wav")), 44);

    ProgramResult result;
    const std::vector<int16_t> recorded = PlayAndRecord(work_.File("VOC00001.wav"), "100", result);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "正在播放第1条语音：VOC00001.wav\n");
    ExpectHeard(recorded, expected, 2048);
}

TEST_F(PlayCommand, ARecordingInAFolderDeeperThan259BytesIsHeard) {
    std::string folder = work_.Str();
    while (folder.size() < 1000) folder += "/" + std::string(200, 'd');
    std::filesystem::create_directories(folder);
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(2 * 8000, 43);
    WriteWholeFile(folder + "/VOC00001.wav", MakeDeviceRecording('Z', "13800138000", 2020, 5, 6, 7, 8, speech));
    ASSERT_EQ(RunProgram(folder, TOLVAN_CLI, {"normalise", "VOC00001.wav", "expected.wav"}).status, 0);
    const std::vector<int16_t> expected = SamplesFrom(ReadWholeFile(folder + "/expected.wav"), 44);

    ProgramResult result;
    const std::vector<int16_t> recorded = PlayAndRecord(folder + "/VOC00001.wav", "100", result);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "正在播放第1条语音：VOC00001.wav\n");
    ExpectHeard(recorded, expected, 2048);
}

TEST_F(PlayCommand, PcmWavIsHeardAsStored) {
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(2 * 8000, 42);
    WriteWholeFile(work_.File("plain.WAV"), PcmWavOf(speech));
    ProgramResult result;
    const std::vector<int16_t> recorded = PlayAndRecord(work_.File("plain.WAV"), "100", result);
    EXPECT_EQ(result.status, 0) << result.err;
    ExpectHeard(recorded, speech, 2048);
}

TEST_F(PlayCommand, LdvStreamIsHeardAsTheReferenceDecoderOutput) {
    const std::filesystem::path vectors = G729VectorsDir();
    if (!std::filesystem::exists(vectors / "TEST.ldv"))
        GTEST_SKIP() << "no G.729 test vectors in " << vectors << " (set TOLVAN_G729_VECTORS to the folder holding them)";
    std::filesystem::copy_file(vectors / "TEST.ldv", work_.File("VOC00009.ldv"));
    const std::vector<int16_t> expected = SamplesFrom(ReadWholeFile(vectors / "TEST.pcm"), 0);
    ProgramResult result;
    const std::vector<int16_t> recorded = PlayAndRecord(work_.File("VOC00009.ldv"), "100", result);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "正在播放第1条语音：VOC00009.ldv\n");
    ExpectHeard(recorded, expected, 1600);
}

TEST_F(PlayCommand, LevelThirtyGivesThirtyPercentOfTheAmplitude) {
    std::vector<int16_t> square(12000);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 8) % 2 ? 10000 : -10000;
    WriteWholeFile(work_.File("square.wav"), PcmWavOf(square));
    ProgramResult result;
    std::vector<int16_t> recorded = PlayAndRecord(work_.File("square.wav"), "30", result);
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<int> levels;
    for (int16_t s : recorded)
        if (s != 0) levels.push_back(std::abs(s));
    ASSERT_GT(levels.size(), 8000u) << recorded.size() << " samples recorded; " << result.out << result.err;
    std::nth_element(levels.begin(), levels.begin() + static_cast<long>(levels.size() / 2), levels.end());
    const int median = levels[levels.size() / 2];
    EXPECT_NEAR(median, 3000, 30);
}

TEST(PlayCommandWithoutServer, SaysTheDeviceCannotBeOpened) {
    TempFolder work;
    WriteWholeFile(work.File("VOC00001.wav"), MakeDeviceRecording('Z', "1", 2020, 1, 1, 1, 1, MakeSpeechLikeSignal(8000, 3)));
    const ProgramResult result = [&] {
        const ScopedEnvironment noServer("PULSE_SERVER", "unix:" + work.File("no-server"));
        return RunProgram(work.Str(), TOLVAN_CLI, {"play", "VOC00001.wav"});
    }();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "音频设备打开失败，无法播放！\n");
}

TEST(PlayCommandUsage, RefusesBadArgumentsAndUnloadableFiles) {
    TempFolder work;
    WriteWholeFile(work.File("VOC00001.txt"), {1, 2, 3});
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"play"}, "usage"},
        {{"play", "a.wav", "--volume", "101"}, "--volume"},
        {{"play", "a.wav", "--volume"}, "--volume"},
        {{"play", "missing.wav"},
         "选择播放的通话记录文件打开失败！\ntolvan-cli play: cannot read missing.wav: No such file or directory\n"},
        {{"play", "VOC00001.txt"}, "选择播放的通话记录文件打开失败！"},
    };
    for (const Case& c : cases) {
        const ProgramResult result = RunProgram(work.Str(), TOLVAN_CLI, c.args);
        EXPECT_EQ(result.status, 1) << c.args.back();
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
