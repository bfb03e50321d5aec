// The window's transport as a user meets it: a double click in the list is
// heard on a real PulseAudio sink, every recording is heard to its last
// sample, and the panel follows what plays.

#include <QDeadlineTimer>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <chrono>
#include <thread>

#include "playback/ImaAdpcm.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "platform/TextCodec.h"
#include "tests/app/WindowFixture.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/OtherWavWriters.h"
#include "tests/support/PulseServer.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

class PlaybackWindowTest : public WindowTest {
protected:
    void SetUp() override {
        if (!server.Running()) GTEST_SKIP() << server.Why();
        WindowTest::SetUp();
    }
    PulseServer server;
};

TEST_F(PlaybackWindowTest, DoubleClickedRowIsHeardAndStopClearsThePanel) {
    ListDemoFolder();
    // What the player makes of the second recording.
    ASSERT_TRUE(NormaliseWav(platform::Utf8ToWide(DemoFolder() + "/VOC00002.wav")));
    const std::vector<int16_t> expected = SamplesFrom(ReadWholeFile(kNormalisedWavName), 44);
    std::remove(kNormalisedWavName);

    // At full volume the sink hears the samples unchanged.
    dlg->GetEngine().OnVolumeTracking(100);
    PulseServer::Recording recording(server);
    QWidget* viewport = List()->viewport();
    const QRect cell = List()->visualItemRect(List()->item(1, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(WaitFor([this] { return dlg->GetEngine().Device() != nullptr; }));
    EXPECT_EQ(Text(1029), QStringLiteral("正在播放第2条语音：VOC00002.wav"));
    EXPECT_TRUE(WaitFor([this] { return qobject_cast<QSlider*>(Ctl(1010))->value() > 0; }));
    QTest::qWait(600);
    const std::vector<int16_t> heard = recording.Stop();

    // A stretch of the recording from its first second reached the sink
    // unchanged.
    size_t from = 4000;
    while (from + 64 < expected.size() && std::count(expected.begin() + from, expected.begin() + from + 64, 0) > 16)
        ++from;
    EXPECT_GE(FindSamples(heard, expected, from, 256), 0) << heard.size() << " samples heard";

    Click(1007);
    EXPECT_FALSE(dlg->GetEngine().IsPlaying());
    EXPECT_EQ(Text(1029), QString());
    EXPECT_EQ(qobject_cast<QSlider*>(Ctl(1010))->value(), 0);
}

// A folder of recordings of every kind the window lists, selected in the tree.
class PlaybackToTheEndTest : public PlaybackWindowTest {
protected:
    void SetUp() override {
        PlaybackWindowTest::SetUp();
        if (IsSkipped()) return;
        WriteWholeFile(recordings_.File("VOC00001.wav"), PcmWavOf(MakeSpeechLikeSignal(4000, 51)));
        WriteWholeFile(recordings_.File("VOC00002.wav"), PcmWavOf(MakeSpeechLikeSignal(20000, 52)));
        device_ = MakeDeviceRecording('Z', "13800138000", 2021, 3, 4, 5, 6,
                                      MakeSpeechLikeSignal(3 * kImaBlockSamples, 53));
        WriteWholeFile(recordings_.File("VOC00003.wav"), device_);
        // 37.5 s from ffmpeg, with its LIST chunk.
        ASSERT_EQ(WriteWithFfmpeg(recordings_.File("VOC00004.wav"), std::vector<int16_t>(300000, 5)), "");
        ASSERT_EQ(WriteWithFfmpeg(recordings_.File("VOC00005.wav"), MakeSpeechLikeSignal(8000, 54), {"-ac", "2"}), "");
        ASSERT_TRUE(dlg->Tree()->SelectPath(QString::fromStdString(recordings_.Str())));
        ASSERT_EQ(Rows(), 5);
    }

    // Plays row with the Play button at full volume and waits until the
    // recording has ended by itself; the samples the sink heard meanwhile.
    std::vector<int16_t> PlayToTheEnd(int row, std::vector<int>& positions) {
        QSlider* slider = qobject_cast<QSlider*>(Ctl(1010));
        const QMetaObject::Connection watch =
            QObject::connect(slider, &QSlider::valueChanged, [&positions](int value) { positions.push_back(value); });
        dlg->GetEngine().OnVolumeTracking(100);
        PulseServer::Recording recording(server);
        QTest::qWait(200);
        List()->selectRow(row);
        Click(1005);
        EXPECT_TRUE(dlg->GetEngine().IsPlaying());
        QDeadlineTimer deadline(15000);
        while (dlg->GetEngine().IsPlaying() && !deadline.hasExpired()) QTest::qWait(20);
        EXPECT_FALSE(dlg->GetEngine().IsPlaying()) << "still playing";
        QTest::qWait(300);
        QObject::disconnect(watch);
        return recording.Stop();
    }

    TempFolder recordings_;
    std::vector<uint8_t> device_;
};

TEST_F(PlaybackToTheEndTest, EveryRecordingIsHeardToItsLastSampleAndTheSliderEndsAt100) {
    std::vector<int16_t> deviceSamples(3 * kImaBlockSamples);
    DecodeImaBlocks(device_.data() + kRecordingHeadBytes, 3, deviceSamples.data());
    const struct {
        int row;
        std::vector<int16_t> expected;
    } cases[] = {
        {0, MakeSpeechLikeSignal(4000, 51)},
        {1, MakeSpeechLikeSignal(20000, 52)},
        {2, deviceSamples},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        std::vector<int> positions;
        const std::vector<int16_t> heard = PlayToTheEnd(c.row, positions);
        EXPECT_EQ(MissingFromTheEnd(heard, c.expected), "");
        ASSERT_GE(positions.size(), 2u);
        EXPECT_EQ(positions[positions.size() - 2], 100);
        EXPECT_EQ(positions.back(), 0);
        EXPECT_EQ(Text(1029), QString());
    }
}

TEST_F(PlaybackToTheEndTest, APcmWavIsMeasuredAsTheExportMeasuresItAndAnotherFormIsRefused) {
    // 600,078 bytes: 37 s at 16,000 bytes a second; a device recording keeps
    // its own measure.
    EXPECT_EQ(Cell(3, 5), QStringLiteral("37秒"));
    EXPECT_EQ(Cell(0, 5), QStringLiteral("0秒"));
    EXPECT_EQ(Cell(1, 5), QStringLiteral("2秒"));
    EXPECT_EQ(Cell(2, 5), QString::number((device_.size() - 512) / 4096) + QStringLiteral("秒"));

    MessageRecorder messages;
    List()->selectRow(4);
    Click(1005);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"选择播放的通话记录文件打开失败！"});
    EXPECT_FALSE(dlg->GetEngine().IsPlaying());
    EXPECT_EQ(Text(1029), QString());
    QTest::qWait(300);
    EXPECT_EQ(dlg->GetEngine().Device(), nullptr);
}

TEST_F(PlaybackWindowTest, AServerThatDiesStopsThePlayingAndTheNextServerPlays) {
    ListDemoFolder();
    MessageRecorder messages;
    List()->selectRow(2);
    Click(1005);
    ASSERT_TRUE(WaitFor([this] { return dlg->GetEngine().Device() != nullptr; }));
    server.Kill();
    ASSERT_TRUE(WaitFor([this] { return !dlg->GetEngine().IsPlaying(); }));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"音频设备打开失败，无法播放！"});
    EXPECT_EQ(Text(1029), QString());
    // The window goes on as before.
    Click(1032);
    EXPECT_EQ(Text(1033), QStringLiteral("总共45条记录，第2页，共3页"));

    PulseServer again;
    ASSERT_TRUE(again.Running()) << again.Why();
    List()->selectRow(0);
    Click(1005);
    ASSERT_TRUE(WaitFor([this] { return dlg->GetEngine().Device() != nullptr; }));
    EXPECT_TRUE(dlg->GetEngine().IsPlaying());
    EXPECT_EQ(Text(1029), QStringLiteral("正在播放第21条语音：VOC00021.wav"));
    Click(1007);
    EXPECT_EQ(messages.Texts().size(), 1u);
}

}  // namespace
