// The window's transport as a user meets it: a double click in the list is
// heard on a real PulseAudio sink, and the panel follows what plays.

#include <QLabel>
#include <QSlider>
#include <QTest>
#include <chrono>
#include <thread>

#include "playback/NormaliseWav.h"
#include "platform/TextCodec.h"
#include "tests/app/WindowFixture.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/PulseServer.h"

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
