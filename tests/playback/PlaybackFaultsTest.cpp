// Play when the recording's files fail it: the recording or its folder gone,
// or held by another program, between listing and Play, and a disk too full
// for the player's converted temp.$$$.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "playback/NormaliseWav.h"
#include "playback/RecordingLoader.h"
#include "tests/playback/EngineRig.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/Faults.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"

namespace {

// A device recording of a second of a rising tone: 16 ADPCM blocks, about
// 16 KB of samples once converted.
std::vector<uint8_t> DeviceRecording() {
    std::vector<int16_t> pcm(8000 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
    return MakeDeviceRecording('Z', "13812345678", 2017, 3, 5, 9, 7, pcm);
}

class PlaybackFaultsTest : public ::testing::Test, protected EngineRig {
protected:
    PlaybackFaultsTest() : work_(true) {
        WriteWholeFile(recordings_.File("VOC00001.wav"), DeviceRecording());
        WriteWholeFile(recordings_.File("VOC00002.ldv"), std::vector<uint8_t>(1000, 0x55));
        view.SetRows(recordings_.Wide(), {{u"1", u"VOC00001.wav"}, {u"2", u"VOC00002.ldv"}});
    }

    void PlayRow(int row) {
        EngineRig::PlayRow(row);
        clock.Advance(1000);  // past the wait before the device opens
    }

    TempFolder work_;  // the current directory, where temp.$$$ goes
    TempFolder recordings_;
};

}  // namespace

TEST_F(PlaybackFaultsTest, ARecordingGoneOrHeldSinceListingShowsTheOpenMessageAndStaysIdle) {
    struct Case {
        const char* what;
        int row;
        const char* name;
        bool removeFolder;
    };
    const Case cases[] = {{"device recording held", 0, "VOC00001.wav", false},
                          {"LDV stream held", 1, "VOC00002.ldv", false},
                          {"folder removed", 0, "VOC00001.wav", true},
                          {"folder removed, LDV", 1, "VOC00002.ldv", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        {
            HeldByAnotherProgram held(recordings_.File(c.name));
            if (c.removeFolder) std::filesystem::remove_all(recordings_.Path());
            else ASSERT_TRUE(held.Held());
            PlayRow(c.row);
        }
        EXPECT_FALSE(engine.IsPlaying());
        EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kOpenFailedMessage)});
        EXPECT_TRUE(opener.Opened().empty());
        EXPECT_FALSE(std::filesystem::exists(kNormalisedWavName));
    }
}

// temp.$$$ on a disk that fills up: no part of the recording is played as if
// it were all of it, and no part of temp.$$$ stays behind. Play does what it
// does when temp.$$$ cannot be made at all: nothing, without a message.
TEST_F(PlaybackFaultsTest, AConvertedRecordingTheDiskCannotHoldIsNotPlayed) {
    for (uint64_t limit : {0u, 44u, 4000u, 16000u}) {
        SCOPED_TRACE(limit);
        const int status = RunWithFileSizeLimit(limit, [this] {
            if (!NormaliseWav(recordings_.Wide() + u"/VOC00001.wav")) return 1;
            if (std::filesystem::exists(kNormalisedWavName)) return 2;
            PlayRow(0);
            if (engine.IsPlaying() || !opener.Opened().empty() || !messages.empty()) return 3;
            return std::filesystem::exists(kNormalisedWavName) ? 4 : 0;
        });
        EXPECT_EQ(status, 0);
    }
    // With room, the same recording plays.
    PlayRow(0);
    EXPECT_TRUE(engine.IsPlaying());
    EXPECT_EQ(opener.Opened().size(), 1u);
}
