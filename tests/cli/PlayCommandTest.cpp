// tolvan-cli play against a real PulseAudio server: what reaches the sink's
// monitor must be the recording's samples, in full, without gaps and to the
// last one.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <thread>
#include <vector>

#include "playback/ImaAdpcm.h"
#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/G729Vectors.h"
#include "tests/support/OtherWavWriters.h"
#include "tests/support/PulseServer.h"
#include "tests/support/RunProgram.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

// The samples a device recording's ADPCM data decodes to, block by block.
std::vector<int16_t> DecodedBlocks(const std::vector<uint8_t>& recording) {
    const size_t blocks = (recording.size() - kRecordingHeadBytes) / kImaBlockBytes;
    std::vector<int16_t> samples(blocks * kImaBlockSamples);
    DecodeImaBlocks(recording.data() + kRecordingHeadBytes, blocks, samples.data());
    return samples;
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

    PulseServer server_;
    TempFolder work_;
};

// A recording to play: its name, and a maker that writes it into the work
// folder and gives back the samples that must be heard.
struct HeardCase {
    const char* what;
    const char* name;
    std::function<std::vector<int16_t>(const TempFolder& work)> make;
    size_t from = 800;  // the samples a new stream may lose
};

void PrintTo(const HeardCase& c, std::ostream* os) { *os << c.what; }

// The maker of a PCM WAV file called name holding count samples of speech.
std::function<std::vector<int16_t>(const TempFolder&)> SpeechPcmWav(std::string name, size_t count, uint32_t seed) {
    return [=](const TempFolder& work) {
        const std::vector<int16_t> speech = MakeSpeechLikeSignal(count, seed);
        WriteWholeFile(work.File(name), PcmWavOf(speech));
        return speech;
    };
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
    EXPECT_EQ(MissingFromTheEnd(recorded, expected, 800), "");
}

class PlayCommandHeard : public PlayCommand, public testing::WithParamInterface<HeardCase> {};

TEST_P(PlayCommandHeard, EverySampleFromTheFirst100MsToTheLastReachesTheSink) {
    const HeardCase& c = GetParam();
    const std::vector<int16_t> expected = c.make(work_);
    if (expected.empty()) GTEST_SKIP() << "no G.729 test vectors in " << G729VectorsDir();
    ProgramResult result;
    const std::vector<int16_t> recorded = PlayAndRecord(work_.File(c.name), "100", result);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, std::string("正在播放第1条语音：") + c.name + "\n");
    EXPECT_EQ(MissingFromTheEnd(recorded, expected, c.from), "");
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, PlayCommandHeard,
    testing::Values(
        HeardCase{"PcmWavOf4000Samples", "plain.WAV", SpeechPcmWav("plain.WAV", 4000, 43)},
        // Less than the 0.1 s a new stream waits for before it starts.
        HeardCase{"PcmWavOf500Samples", "short.wav",
                  [](const TempFolder& work) {
                      std::vector<int16_t> tone(500);
                      for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>((i * 2654435761u) >> 20);
                      WriteWholeFile(work.File("short.wav"), PcmWavOf(tone));
                      return tone;
                  },
                  80},
        HeardCase{"PcmWavOf20000Samples", "VOC00002.wav", SpeechPcmWav("VOC00002.wav", 20000, 42)},
        // ffmpeg puts a LIST chunk between fmt and data.
        HeardCase{"PcmWavWrittenByFfmpeg", "ffmpeg.wav",
                  [](const TempFolder& work) {
                      const std::vector<int16_t> speech = MakeSpeechLikeSignal(6000, 45);
                      EXPECT_EQ(WriteWithFfmpeg(work.File("ffmpeg.wav"), speech), "");
                      return speech;
                  }},
        // Three whole ADPCM blocks, 0.77 s: the last block is heard too.
        HeardCase{"DeviceRecordingOfThreeWholeBlocks", "VOC00003.wav",
                  [](const TempFolder& work) {
                      const std::vector<uint8_t> recording = MakeDeviceRecording(
                          'Z', "13800138000", 2020, 5, 6, 7, 8, MakeSpeechLikeSignal(3 * kImaBlockSamples, 44));
                      WriteWholeFile(work.File("VOC00003.wav"), recording);
                      return DecodedBlocks(recording);
                  }},
        // Three seconds of speech, as tolvan-cli normalise converts them.
        HeardCase{"DeviceRecordingAsNormaliseConvertsIt", "VOC00001.wav",
                  [](const TempFolder& work) {
                      const std::vector<int16_t> speech = MakeSpeechLikeSignal(3 * 8000, 41);
                      WriteWholeFile(work.File("VOC00001.wav"),
                                     MakeDeviceRecording('Z', "13800138000", 2020, 5, 6, 7, 8, speech));
                      EXPECT_EQ(
                          RunProgram(work.Str(), TOLVAN_CLI, {"normalise", "VOC00001.wav", "expected.wav"}).status, 0);
                      return SamplesFrom(ReadWholeFile(work.File("expected.wav")), 44);
                  }},
        // 215 frames of random bits: the last group holds 15 of its 20
        // frames. Heard as tolvan-cli decode decodes them.
        HeardCase{"LdvStreamAsDecodeDecodesIt", "VOC00008.ldv",
                  [](const TempFolder& work) {
                      std::vector<uint8_t> stream(2150);
                      uint32_t x = 8;
                      for (uint8_t& b : stream) b = static_cast<uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
                      WriteWholeFile(work.File("VOC00008.ldv"), stream);
                      EXPECT_EQ(
                          RunProgram(work.Str(), TOLVAN_CLI, {"decode", "VOC00008.ldv", "expected.wav"}).status, 0);
                      return SamplesFrom(ReadWholeFile(work.File("expected.wav")), 44);
                  }},
        // 176 frames: the last group holds 16 of its 20 frames. Heard as the
        // reference decoder's output.
        HeardCase{"LdvStream", "VOC00009.ldv",
                  [](const TempFolder& work) {
                      const std::filesystem::path vectors = G729VectorsDir();
                      if (!std::filesystem::exists(vectors / "TEST.ldv")) return std::vector<int16_t>{};
                      std::filesystem::copy_file(vectors / "TEST.ldv", work.File("VOC00009.ldv"));
                      return SamplesFrom(ReadWholeFile(vectors / "TEST.pcm"), 0);
                  }}),
    [](const testing::TestParamInfo<HeardCase>& info) { return std::string(info.param.what); });

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

TEST(PlayCommandUsage, AWavOfAnotherFormIsRefusedWithTheReason) {
    TempFolder work;
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(8000, 3);
    ASSERT_EQ(WriteWithFfmpeg(work.File("stereo.wav"), speech, {"-ar", "16000", "-ac", "2"}), "");
    const ProgramResult result = RunProgram(work.Str(), TOLVAN_CLI, {"play", "stereo.wav"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "选择播放的通话记录文件打开失败！\n"
              "tolvan-cli play: stereo.wav: 16000 Hz, 2 channels, 16-bit PCM samples; the player plays 8000 Hz mono "
              "16-bit PCM only\n");
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
