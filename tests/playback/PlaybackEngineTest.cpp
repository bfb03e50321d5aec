// The loader and the engine driven as the window drives them, against a
// wave-out device on a manual clock: what is loaded, what is heard, how the
// position slider moves, and the transport commands in every state.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "playback/MemoryPlaybackView.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/PlaybackEngine.h"
#include "playback/RecordingLoader.h"
#include "tests/playback/EngineRig.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

// A PCM WAV file of the player's form holding data as its samples.
std::vector<uint8_t> PcmWav(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file(kPcmWavHeaderSize + data.size());
    std::memcpy(file.data(), PcmWavHeader, kPcmWavHeaderSize);
    if (!data.empty()) std::memcpy(file.data() + kPcmWavHeaderSize, data.data(), data.size());
    const uint32_t size = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) file[40 + i] = static_cast<uint8_t>(size >> (8 * i));
    return file;
}

class PlaybackEngineTest : public ::testing::Test, protected EngineRig {
protected:
    PlaybackEngineTest() : folder_(true) {}

    // Writes the files and lists them, one row each, numbered from 1.
    void List(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files) {
        std::vector<MemoryPlaybackView::Row> rows;
        for (const auto& [name, bytes] : files) {
            WriteWholeFile(folder_.File(name), bytes);
            rows.push_back({platform::Utf8ToWide(std::to_string(rows.size() + 1)), platform::Utf8ToWide(name)});
        }
        view.SetRows(folder_.Wide(), rows);
    }
    // Runs the clock until the engine is idle again; false if it never is.
    bool RunToIdle(int limitMs = 60000) {
        for (int t = 0; t < limitMs && engine.IsPlaying(); t += 10) clock.Advance(10);
        clock.RunPending();
        return !engine.IsPlaying();
    }
    ManualDeviceLog& Device(size_t i) { return *opener.Opened().at(i); }

    TempFolder folder_;
};

TEST_F(PlaybackEngineTest, TenGroupLdvMovesTheSliderInTensAndStopsOnceTheLastChunkIsHeard) {
    List({{"VOC00001.ldv", RandomBytes(2000, 1)}});
    PlayRow(0);
    EXPECT_TRUE(engine.IsPlaying());
    EXPECT_EQ(view.NowPlaying(), u"正在播放第1条语音：VOC00001.ldv");
    EXPECT_EQ(view.PlayNumber(), u"1");
    EXPECT_EQ(engine.ChunkBytes(), 3200);
    ASSERT_TRUE(RunToIdle());
    EXPECT_EQ(view.PositionHistory(), (std::vector<int>{30, 40, 50, 60, 70, 80, 90, 100, 0}));
    // All ten chunks are heard: Stop waits for the buffer holding the last.
    EXPECT_EQ(Device(0).heard.size(), 10u * 3200);
    EXPECT_TRUE(Device(0).closed);
    EXPECT_EQ(view.NowPlaying(), u"");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlaybackEngineTest, EveryRecordingIsHeardToItsLastSampleAndTheSliderEndsAt100) {
    struct Case {
        const char* name;
        size_t bytes;
        size_t heard;                 // bytes of PCM the device plays
        std::vector<int> positions;   // the slider, Stop's 0 last
    };
    const Case cases[] = {
        // Nine whole groups and nine bytes no frame can use.
        {"VOC00001.ldv", 2009, 10 * 3200, {29, 39, 49, 59, 69, 79, 89, 99, 100, 0}},
        // Ten whole groups and one frame.
        {"VOC00001.ldv", 2010, 10 * 3200 + 160, {29, 39, 49, 59, 69, 79, 89, 99, 100, 0}},
        // Six chunks and 1000 bytes: the last chunk is queued at 1000 bytes.
        {"VOC00002.wav", 6 * 4096 + 1000, 6 * 4096 + 1000, {48, 64, 80, 96, 100, 0}},
        {"VOC00002.wav", 2 * 4096, 2 * 4096, {100, 0}},
        {"VOC00002.wav", 4096 + 2, 4096 + 2, {100, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.bytes));
        const bool ldv = std::strstr(c.name, ".ldv") != nullptr;
        const std::vector<uint8_t> data = RandomBytes(c.bytes, 40);
        List({{c.name, ldv ? data : PcmWav(data)}});
        view.ClearPositionHistory();
        const size_t device = opener.Opened().size();
        PlayRow(0);
        ASSERT_TRUE(RunToIdle());
        const std::vector<uint8_t>& heard = Device(device).heard;
        EXPECT_EQ(heard.size(), c.heard);
        if (!ldv) {
            EXPECT_EQ(heard, data);
        }
        EXPECT_EQ(view.PositionHistory(), c.positions);
    }
}

TEST_F(PlaybackEngineTest, DeviceOpensAfterTheWaitWithTheOutputFormatAndVolume) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(40000, 2))}});
    PlayRow(0);
    clock.Advance(99);
    EXPECT_TRUE(opener.Opened().empty());
    clock.Advance(1);
    ASSERT_EQ(opener.Opened().size(), 1u);
    const platform::WaveFormat& f = opener.LastFormat();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 8000u);
    EXPECT_EQ(f.nAvgBytesPerSec, 16000u);
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(Device(0).volumes, (std::vector<uint32_t>{19660u | 19660u << 16}));
    EXPECT_EQ(Device(0).queued, 2u);
    EXPECT_EQ(engine.NextChunk(), 2u);
}

TEST_F(PlaybackEngineTest, PcmAndDeviceRecordingsAreHeardAsTheirSamples) {
    const std::vector<uint8_t> pcm = RandomBytes(6 * 4096 + 1000, 3);
    std::vector<int16_t> speech(10 * 2041);
    std::mt19937 rng(4);
    for (int16_t& s : speech) s = static_cast<int16_t>(static_cast<int>(rng() % 20000) - 10000);
    const std::vector<uint8_t> device = MakeDeviceRecording('Z', "13800138000", 2020, 1, 2, 3, 4, speech);
    List({{"VOC00001.wav", PcmWav(pcm)}, {"VOC00002.wav", device}});

    // The device recording's samples, as the player's conversion makes them.
    ASSERT_TRUE(NormaliseWav(folder_.Wide() + u"/VOC00002.wav"));
    const std::vector<uint8_t> converted = ReadWholeFile(folder_.File(kNormalisedWavName));
    const std::vector<uint8_t> samples(converted.begin() + 44, converted.end());
    std::remove(folder_.File(kNormalisedWavName).c_str());

    PlayRow(0);
    ASSERT_TRUE(RunToIdle());
    EXPECT_EQ(Device(0).heard, pcm);

    PlayRow(1);
    EXPECT_FALSE(std::filesystem::exists(folder_.File(kNormalisedWavName)));
    EXPECT_EQ(engine.RecBytes(), samples.size());
    ASSERT_TRUE(RunToIdle());
    EXPECT_EQ(Device(1).heard, samples);
}

TEST_F(PlaybackEngineTest, RecordingsShorterThanTwoChunksAreHeardWholeWithoutPadding) {
    const std::vector<uint8_t> pcm = RandomBytes(1000, 5);
    List({{"VOC00001.wav", PcmWav(pcm)}, {"VOC00002.ldv", {}}});
    PlayRow(0);
    clock.Advance(100);
    ASSERT_EQ(Device(0).queued, 1u);
    // 1000 bytes play in 63 ms; then the one buffer is back and Stop follows.
    clock.Advance(62);
    EXPECT_TRUE(engine.IsPlaying());
    clock.Advance(1);
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(Device(0).heard, pcm);
    EXPECT_EQ(view.PositionHistory(), (std::vector<int>{100, 0}));

    PlayRow(1);  // an empty LDV file: the device opens, plays nothing and closes
    EXPECT_TRUE(engine.IsPlaying());
    ASSERT_TRUE(RunToIdle());
    ASSERT_EQ(opener.Opened().size(), 2u);
    EXPECT_TRUE(Device(1).heard.empty());
    EXPECT_TRUE(Device(1).closed);
}

TEST_F(PlaybackEngineTest, ASeekBackAfterTheEndWasFoundPlaysOnWithBothBuffers) {
    const std::vector<uint8_t> pcm = RandomBytes(4 * 4096, 32);
    List({{"VOC00001.wav", PcmWav(pcm)}});
    PlayRow(0);
    // Chunks 0 and 1 primed at 100 ms, 2 and 3 queued as they come back; the
    // buffer back at 100 + 3 x 256 ms finds the end and stays out.
    clock.Advance(100 + 3 * 256 + 10);
    ASSERT_EQ(Device(0).queued, 1u);
    engine.OnPositionButtonDown();
    view.MoveSlider(0);
    engine.OnPositionButtonUp();
    clock.RunPending();
    ASSERT_FALSE(engine.IsPaused());
    const size_t before = Device(0).heard.size();
    clock.Advance(256);
    EXPECT_EQ(Device(0).queued, 2u);
    ASSERT_TRUE(RunToIdle());
    // Chunk 3 plays out, then the whole recording again from its start.
    const std::vector<uint8_t>& heard = Device(0).heard;
    ASSERT_EQ(heard.size(), before + 4096 + pcm.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), heard.begin() + static_cast<long>(before + 4096)));
}

TEST_F(PlaybackEngineTest, FillChunkTakesWholeFramesAndStopsAtTheEnd) {
    struct Case {
        const char* name;
        size_t bytes;
        uint32_t chunk;
        uint32_t expected;
    };
    const Case cases[] = {
        {"VOC00001.ldv", 2000, 9, 3200}, {"VOC00001.ldv", 2000, 10, 0},    {"VOC00001.ldv", 2009, 10, 0},
        {"VOC00001.ldv", 2010, 10, 160}, {"VOC00001.ldv", 2199, 10, 3040}, {"VOC00001.wav", 5000, 1, 904},
        {"VOC00001.wav", 5000, 2, 0},    {"VOC00001.wav", 4096, 1, 0},     {"VOC00001.wav", 4096, 0, 4096},
    };
    for (const Case& c : cases) {
        const bool ldv = std::strstr(c.name, ".ldv") != nullptr;
        List({{c.name, ldv ? RandomBytes(c.bytes, 6) : PcmWav(RandomBytes(c.bytes, 6))}});
        PlayRow(0);
        ASSERT_TRUE(engine.IsPlaying()) << c.name;
        alignas(int16_t) uint8_t dest[4096];
        EXPECT_EQ(engine.FillChunk(c.chunk, dest), c.expected) << c.name << " " << c.bytes << " chunk " << c.chunk;
        engine.OnStop();
        clock.RunPending();
    }
}

TEST_F(PlaybackEngineTest, OddPcmDataLosesItsLastByteAndAnOversizedDataFieldIsCut) {
    std::vector<uint8_t> file = PcmWav(RandomBytes(1001, 7));
    List({{"VOC00001.wav", file}});
    PlayRow(0);
    EXPECT_EQ(engine.RecBytes(), 1000u);
    engine.OnStop();
    file[40] = 0xFF;
    file[41] = 0xFF;  // claims far more than the file holds
    List({{"VOC00001.wav", file}});
    PlayRow(0);
    EXPECT_EQ(engine.RecBytes(), 1000u);
}

TEST_F(PlaybackEngineTest, PauseHoldsTheDeviceAndResumeContinues) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 8))}});
    engine.OnPauseResume();  // nothing plays: only the focus moves
    EXPECT_FALSE(engine.IsPaused());
    PlayRow(0);
    clock.Advance(400);
    engine.OnPauseResume();
    EXPECT_TRUE(engine.IsPaused());
    EXPECT_TRUE(Device(0).paused);
    const size_t heard = Device(0).heard.size();
    const uint32_t next = engine.NextChunk();
    clock.Advance(2000);
    EXPECT_EQ(Device(0).heard.size(), heard);
    EXPECT_EQ(engine.NextChunk(), next);
    engine.OnPauseResume();
    EXPECT_FALSE(Device(0).paused);
    clock.Advance(600);
    EXPECT_GT(Device(0).heard.size(), heard);
}

TEST_F(PlaybackEngineTest, PlayWhilePausedResumesAtTheSliderPosition) {
    const std::vector<uint8_t> pcm = RandomBytes(20 * 4096, 9);
    List({{"VOC00001.wav", PcmWav(pcm)}});
    PlayRow(0);
    clock.Advance(300);
    engine.OnPauseResume();
    view.MoveSlider(50);
    engine.OnPlay();
    EXPECT_EQ(engine.NextChunk(), 50u * 20 * 4096 / 409600);  // chunk 10
    clock.RunPending();                                        // the posted Pause restarts the device
    EXPECT_FALSE(engine.IsPaused());
    EXPECT_FALSE(Device(0).paused);
    // The two queued buffers play out first, then chunk 10 follows.
    const size_t before = Device(0).heard.size();
    clock.Advance(3 * 256 + 10);
    const std::vector<uint8_t>& heard = Device(0).heard;
    ASSERT_GE(heard.size(), before + 3 * 4096);
    EXPECT_TRUE(std::equal(heard.begin() + static_cast<long>(before + 2 * 4096),
                           heard.begin() + static_cast<long>(before + 3 * 4096), pcm.begin() + 10 * 4096));
}

TEST_F(PlaybackEngineTest, SeekingToTheEndPlaysOutAndStops) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(40 * 4096, 10))}});
    PlayRow(0);
    clock.Advance(600);
    engine.OnPositionButtonDown();
    view.ClearPositionHistory();
    clock.Advance(600);
    EXPECT_TRUE(view.PositionHistory().empty());  // the thumb is held
    view.MoveSlider(100);
    engine.OnPositionButtonUp();
    const size_t before = Device(0).heard.size();
    ASSERT_TRUE(RunToIdle(2000));
    EXPECT_LE(Device(0).heard.size(), before + 2 * 4096);
}

TEST_F(PlaybackEngineTest, ReleasingTheSliderWhilePausedJustRestarts) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(40 * 4096, 11))}});
    PlayRow(0);
    clock.Advance(600);
    engine.OnPauseResume();
    const uint32_t next = engine.NextChunk();
    engine.OnPositionButtonDown();
    view.MoveSlider(90);
    engine.OnPositionButtonUp();
    clock.RunPending();
    EXPECT_FALSE(engine.IsPaused());
    EXPECT_EQ(engine.NextChunk(), next);
}

TEST_F(PlaybackEngineTest, MuteAndVolume) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(40 * 4096, 12))}, {"VOC00002.wav", PcmWav(RandomBytes(4096, 13))}});
    engine.OnVolumeTracking(50);  // idle: kept for the next open
    engine.OnMute();
    EXPECT_TRUE(view.Muted());
    PlayRow(0);
    clock.Advance(100);
    const uint32_t half = 32767u | 32767u << 16;
    // The open sets the level, muted or not: the recording is audible.
    EXPECT_EQ(Device(0).volumes, std::vector<uint32_t>{half});
    engine.OnMute();
    EXPECT_FALSE(view.Muted());
    engine.OnMute();
    engine.OnVolumeTracking(40);  // dragging while muted is heard again; the icon stays
    EXPECT_TRUE(view.Muted());
    const uint32_t forty = 26214u | 26214u << 16;
    EXPECT_EQ(Device(0).volumes, (std::vector<uint32_t>{half, half, 0, forty}));
    engine.OnMute();
    EXPECT_EQ(Device(0).volumes.back(), forty);
    EXPECT_EQ(engine.Volume(), 40);
}

TEST_F(PlaybackEngineTest, PreviousAndNextAtTheEndsOnlyMoveTheFocus) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(4096, 14))}, {"VOC00002.wav", PcmWav(RandomBytes(4096, 15))}});
    view.SelectRow(0);
    const int focus = view.ListFocusCount();
    engine.OnPrevious();
    EXPECT_EQ(view.FirstSelectedRow(), 0);
    EXPECT_EQ(view.ListFocusCount(), focus + 1);
    engine.OnNext();  // idle: the next row is only selected
    EXPECT_EQ(view.FirstSelectedRow(), 1);
    EXPECT_EQ(view.SelectedRowCount(), 1);
    engine.OnNext();
    EXPECT_EQ(view.FirstSelectedRow(), 1);
    clock.Advance(1000);
    EXPECT_TRUE(opener.Opened().empty());
    view.DeselectRow(-1);
    engine.OnNext();  // nothing selected: the first row
    EXPECT_EQ(view.FirstSelectedRow(), 0);
}

TEST_F(PlaybackEngineTest, NextWhilePlayingStopsAndStartsTheNextRowAtItsStart) {
    const std::vector<uint8_t> second = RandomBytes(10 * 4096, 17);
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 16))},
          {"VOC00002.wav", PcmWav(second)},
          {"VOC00003.wav", PcmWav(RandomBytes(4096, 18))}});
    PlayRow(0);
    clock.Advance(700);
    engine.OnNext();
    clock.RunPending();
    EXPECT_FALSE(engine.IsPlaying());  // Stop ran first
    EXPECT_TRUE(Device(0).closed);
    clock.Advance(499);
    EXPECT_FALSE(engine.IsPlaying());
    clock.Advance(1);
    ASSERT_TRUE(engine.IsPlaying());
    EXPECT_EQ(engine.PlayRow(), 1);
    EXPECT_EQ(view.NowPlaying(), u"正在播放第2条语音：VOC00002.wav");
    clock.Advance(100);
    // The stopped device's notices consumed nothing: the new recording
    // starts at its chunk 0.
    EXPECT_EQ(engine.NextChunk(), 2u);
    clock.Advance(300);
    ASSERT_GE(Device(1).heard.size(), 4096u);
    EXPECT_TRUE(std::equal(second.begin(), second.begin() + 4096, Device(1).heard.begin()));
}

TEST_F(PlaybackEngineTest, ANoticeOfAStoppedDeviceArrivingLateIsIgnored) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 30))}, {"VOC00002.wav", PcmWav(RandomBytes(10 * 4096, 31))}});
    PlayRow(0);
    clock.Advance(300);
    const uintptr_t old = Device(0).handle;
    platform::WaveHeader late;
    engine.OnNext();
    clock.Advance(700);
    ASSERT_EQ(engine.PlayRow(), 1);
    const uint32_t next = engine.NextChunk();
    // A done notice of the first device, queued behind the new recording's
    // start, must not consume the new recording's chunks.
    clock.Post(platform::MM_WOM_DONE, old, reinterpret_cast<intptr_t>(&late));
    clock.RunPending();
    EXPECT_EQ(engine.NextChunk(), next);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PlaybackEngineTest, PreviousAndNextCountFromThePlayedRowAfterTheListChanged) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 19))},
          {"VOC00002.wav", PcmWav(RandomBytes(10 * 4096, 20))},
          {"VOC00003.wav", PcmWav(RandomBytes(10 * 4096, 21))}});
    PlayRow(2);
    clock.Advance(200);
    view.DeselectRow(-1);
    view.SelectRow(0);  // another page shown, its first row selected
    engine.OnPrevious();
    EXPECT_EQ(view.FirstSelectedRow(), 1);
    clock.Advance(600);
    EXPECT_EQ(engine.PlayRow(), 1);
}

TEST_F(PlaybackEngineTest, DoubleClickPlaysAfterTheWaitAndRestartsAPlayingRecording) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 22))}, {"VOC00002.wav", PcmWav(RandomBytes(10 * 4096, 23))}});
    view.SelectRow(0);
    engine.OnListDoubleClick();
    clock.Advance(499);
    EXPECT_FALSE(engine.IsPlaying());
    clock.Advance(1);
    EXPECT_TRUE(engine.IsPlaying());
    clock.Advance(500);
    view.DeselectRow(-1);
    view.SelectRow(1);
    engine.OnListDoubleClick();
    clock.RunPending();
    EXPECT_FALSE(engine.IsPlaying());
    clock.Advance(600);
    EXPECT_TRUE(engine.IsPlaying());
    EXPECT_EQ(engine.PlayRow(), 1);
    EXPECT_EQ(engine.NextChunk(), 2u);
}

TEST_F(PlaybackEngineTest, StopBeforeTheDeviceOpensOpensNothing) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(4096, 24))}});
    PlayRow(0);
    clock.Advance(50);
    engine.OnStop();
    clock.Advance(500);
    EXPECT_TRUE(opener.Opened().empty());
    EXPECT_FALSE(engine.IsPlaying());
}

TEST_F(PlaybackEngineTest, ADeviceThatCannotOpenReturnsToIdleWithTheMessage) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(4096, 25))}});
    opener.FailOpens(true);
    PlayRow(0);
    clock.Advance(200);
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(view.NowPlaying(), u"");
    EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kDeviceOpenFailedMessage)});
    opener.FailOpens(false);
    engine.OnPlay();
    clock.Advance(200);
    EXPECT_TRUE(engine.IsPlaying());
}

TEST_F(PlaybackEngineTest, ADeviceThatFailsWhilePlayingReturnsToIdleWithTheMessage) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(20 * 4096, 29))}});
    PlayRow(0);
    clock.Advance(500);
    ASSERT_TRUE(engine.IsPlaying());
    opener.Current()->Fail();
    clock.RunPending();
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(view.NowPlaying(), u"");
    EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kDeviceOpenFailedMessage)});
    EXPECT_TRUE(Device(0).closed);
    // Play works again on a new device.
    engine.OnPlay();
    clock.Advance(400);
    EXPECT_TRUE(engine.IsPlaying());
    EXPECT_GT(Device(1).heard.size(), 0u);
}

TEST_F(PlaybackEngineTest, PlayWithoutSelectionOrWhilePlaying) {
    List({{"VOC00001.wav", PcmWav(RandomBytes(10 * 4096, 26))}});
    engine.OnPlay();
    EXPECT_EQ(messages.size(), 1u);
    PlayRow(0);
    clock.Advance(200);
    engine.OnPlay();  // playing: only the focus moves
    clock.Advance(200);
    EXPECT_EQ(opener.Opened().size(), 1u);
    view.DeselectRow(-1);
    engine.OnPlay();  // the message even while playing
    EXPECT_EQ(messages, std::vector<std::u16string>(2, std::u16string(kNoSelectionMessage)));
    EXPECT_TRUE(engine.IsPlaying());
}

TEST_F(PlaybackEngineTest, FilesThatCannotBeLoadedPlayNothing) {
    // Stereo PCM: refused rather than played at half speed or as ADPCM.
    std::vector<uint8_t> stereo = PcmWav(RandomBytes(8000, 33));
    stereo[22] = 2;
    List({{"VOC00001.ldv", RandomBytes(100, 27)}, {"VOC00002.txt", RandomBytes(100, 28)}, {"VOC00003.wav", stereo}});
    std::remove(folder_.File("VOC00001.ldv").c_str());
    const std::vector<std::pair<int, std::u16string>> rows = {
        {0, u"VOC00001.ldv"}, {1, u"VOC00002.txt"}, {2, u"VOC00003.wav"}};
    for (const auto& [row, name] : rows) {
        messages.clear();
        PlayRow(row);
        EXPECT_FALSE(engine.IsPlaying()) << platform::WideToUtf8(name);
        EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kOpenFailedMessage)});
    }
    // A name too long for the program's paths.
    view.SetRows(folder_.Wide() + u"/" + std::u16string(250, u'x'), {{u"1", u"VOC00001.wav"}});
    messages.clear();
    PlayRow(0);
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(messages.size(), 1u);
    clock.Advance(1000);
    EXPECT_TRUE(opener.Opened().empty());
}

TEST_F(PlaybackEngineTest, RecordingsInFoldersOfAnyNamePlay) {
    // A Korean name CP936 cannot hold, and bytes that are not UTF-8.
    for (const std::string sub : {"녹음", "bad\xFF\xFE"}) {
        std::filesystem::create_directory(folder_.Path() / sub);
        std::vector<int16_t> speech(3 * 2041, 1000);
        WriteWholeFile(folder_.File(sub + "/VOC00001.wav"), MakeDeviceRecording('Z', "1", 2020, 1, 2, 3, 4, speech));
        view.SetRows(platform::Utf8ToWide(folder_.File(sub)), {{u"1", u"VOC00001.wav"}});
        messages.clear();
        PlayRow(0);
        EXPECT_TRUE(engine.IsPlaying()) << sub;
        EXPECT_GT(engine.RecBytes(), 8000u) << sub;
        EXPECT_TRUE(messages.empty()) << sub;
        engine.OnStop();
        clock.RunPending();
    }
}

TEST(RecordingKind, ChosenByTheExactCaseOfTheName) {
    EXPECT_EQ(RecordingKindOf(u"VOC00001.LDV"), RecordingKind::kLdv);
    EXPECT_EQ(RecordingKindOf(u"a.wav.ldv"), RecordingKind::kLdv);
    EXPECT_EQ(RecordingKindOf(u"a.ldv.wav"), RecordingKind::kLdv);
    EXPECT_EQ(RecordingKindOf(u"VOC00001.Ldv"), RecordingKind::kUnknown);
    EXPECT_EQ(RecordingKindOf(u"VOC00001.lDv.WAV"), RecordingKind::kWav);
    EXPECT_EQ(RecordingKindOf(u"VOC00001.Wav"), RecordingKind::kUnknown);
}

}  // namespace
