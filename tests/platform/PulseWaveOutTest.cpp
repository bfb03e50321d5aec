// The wave-out device on a real PulseAudio server: notices in order and
// only once a buffer has been heard, pause holding the stream, reset giving
// every buffer back, and the volume scaling the amplitude.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/PulseWaveOut.h"
#include "tests/support/PulseServer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Notice {
    int message;
    uintptr_t handle;
    intptr_t header;
    Clock::time_point at;
};

class PulseWaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Running()) GTEST_SKIP() << server_.Why();
        for (int i = 0; i < 4; ++i) {
            // A quarter of a second each, every sample i + 1, so that the
            // monitor tells the buffers apart.
            storage_[i].assign(2000, static_cast<int16_t>(1000 * (i + 1)));
            headers_[i].lpData = reinterpret_cast<uint8_t*>(storage_[i].data());
            headers_[i].dwBufferLength = 4000;
        }
    }

    // Runs the loop until count notices arrived or idle passes without one.
    void Collect(size_t count, std::chrono::milliseconds idle = 2000ms) {
        loop_.Run([this](int m, uintptr_t w, intptr_t l) { notices_.push_back({m, w, l, Clock::now()}); },
                  [&] { return notices_.size() >= count; }, idle);
    }

    PulseServer server_;
    platform::MessageLoop loop_;
    platform::PulseWaveOutOpener opener_;
    std::vector<int16_t> storage_[4];
    platform::WaveHeader headers_[4];
    std::vector<Notice> notices_;
};

TEST_F(PulseWaveOutTest, BuffersComeBackInOrderOnceHeard) {
    std::unique_ptr<platform::WaveOut> device = opener_.Open(platform::WaveFormat{}, loop_);
    ASSERT_TRUE(device);
    Collect(1);
    ASSERT_EQ(notices_.size(), 1u);
    EXPECT_EQ(notices_[0].message, platform::MM_WOM_OPEN);
    EXPECT_EQ(notices_[0].handle, device->GetHandle());

    device->SetVolume(0xFFFFFFFF);
    PulseServer::Recording recording(server_);
    std::this_thread::sleep_for(100ms);
    platform::WaveHeader unprepared = headers_[0];
    unprepared.dwFlags = 0;
    EXPECT_FALSE(device->Write(unprepared));
    const Clock::time_point start = Clock::now();
    for (auto& h : headers_) {
        device->Prepare(h);
        ASSERT_TRUE(device->Write(h));
    }
    Collect(5);
    ASSERT_EQ(notices_.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        const Notice& n = notices_[static_cast<size_t>(i) + 1];
        EXPECT_EQ(n.message, platform::MM_WOM_DONE);
        EXPECT_EQ(n.header, reinterpret_cast<intptr_t>(&headers_[i]));
        EXPECT_TRUE(headers_[i].dwFlags & platform::WHDR_DONE);
        // Played, not merely handed over: a buffer of 250 ms is back no
        // sooner than its samples could have been heard.
        EXPECT_GE(n.at - start, (i + 1) * 250ms - 60ms) << "buffer " << i;
    }
    std::this_thread::sleep_for(200ms);
    const std::vector<int16_t> heard = recording.Stop();
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(std::count(heard.begin(), heard.end(), 1000 * (i + 1)), 2000, i == 0 ? 160 : 0) << "buffer " << i;
    device->Close();
    Collect(6);
    ASSERT_EQ(notices_.size(), 6u);
    EXPECT_EQ(notices_.back().message, platform::MM_WOM_CLOSE);
}

// The end of a recording as the player gives it: its last buffer may be
// shorter than the 0.1 s a stream waits for before it starts, and the device
// is reset and closed as soon as every buffer is back. Every sample is heard
// all the same, for a recording of one short buffer and for a long one
// ending in one.
TEST_F(PulseWaveOutTest, AShortLastBufferIsHeardWholeBeforeItComesBack) {
    for (size_t lastSamples : {size_t{300}, size_t{700}}) {
        SCOPED_TRACE(lastSamples);
        // A ramp, so that every sample is told from its neighbours.
        std::vector<int16_t> samples(lastSamples == 300 ? 300 : 4000 + lastSamples);
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(100 + 7 * i);
        const size_t split = samples.size() - lastSamples;
        platform::WaveHeader first, last;
        first.lpData = reinterpret_cast<uint8_t*>(samples.data());
        first.dwBufferLength = static_cast<uint32_t>(2 * split);
        last.lpData = reinterpret_cast<uint8_t*>(samples.data() + split);
        last.dwBufferLength = static_cast<uint32_t>(2 * lastSamples);

        PulseServer::Recording recording(server_);
        std::this_thread::sleep_for(100ms);
        notices_.clear();
        std::unique_ptr<platform::WaveOut> device = opener_.Open(platform::WaveFormat{}, loop_);
        ASSERT_TRUE(device);
        device->SetVolume(0xFFFFFFFF);
        Collect(1);
        device->Prepare(first);
        device->Prepare(last);
        if (split > 0) device->Write(first);
        device->Write(last);
        Collect(split > 0 ? 3 : 2);
        ASSERT_EQ(notices_.back().header, reinterpret_cast<intptr_t>(&last));
        device->Reset();
        device->Close();
        Collect(notices_.size() + 1);
        EXPECT_EQ(notices_.back().message, platform::MM_WOM_CLOSE);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(MissingFromTheEnd(recording.Stop(), samples, 80), "");
    }
}

TEST_F(PulseWaveOutTest, PauseHoldsTheStreamAndResetReturnsEveryBuffer) {
    std::unique_ptr<platform::WaveOut> device = opener_.Open(platform::WaveFormat{}, loop_);
    ASSERT_TRUE(device);
    Collect(1);
    device->SetVolume(0xFFFFFFFF);
    PulseServer::Recording recording(server_);
    std::this_thread::sleep_for(100ms);
    for (auto& h : headers_) {
        device->Prepare(h);
        device->Write(h);
    }
    Collect(2);
    ASSERT_EQ(notices_.size(), 2u);
    device->Pause();
    Collect(3, 800ms);
    EXPECT_EQ(notices_.size(), 2u) << "a paused device gave a buffer back";
    device->Restart();
    Collect(3);
    ASSERT_EQ(notices_.size(), 3u);
    device->Reset();
    Collect(5, 100ms);
    ASSERT_EQ(notices_.size(), 5u);
    EXPECT_EQ(notices_[3].header, reinterpret_cast<intptr_t>(&headers_[2]));
    EXPECT_EQ(notices_[4].header, reinterpret_cast<intptr_t>(&headers_[3]));
    const std::vector<int16_t> heard = recording.Stop();

    // The second buffer went on where the pause held it: nothing of it was
    // lost (the server may repeat a few ms where it rewinds at the pause),
    // and a stretch of silence lies inside it.
    EXPECT_NEAR(std::count(heard.begin(), heard.end(), 2000), 2000, 40);
    size_t first = std::find(heard.begin(), heard.end(), 2000) - heard.begin();
    size_t last = heard.rend() - std::find(heard.rbegin(), heard.rend(), 2000) - 1;
    EXPECT_GE(last - first, 2000u + 8 * 600) << "the pause did not hold the stream";
    device->Close();
}

TEST_F(PulseWaveOutTest, VolumeScalesTheAmplitude) {
    std::unique_ptr<platform::WaveOut> device = opener_.Open(platform::WaveFormat{}, loop_);
    ASSERT_TRUE(device);
    Collect(1);
    const uint32_t level = 65535 * 30 / 100;
    device->SetVolume(level | level << 16);
    PulseServer::Recording recording(server_);
    std::this_thread::sleep_for(100ms);
    std::vector<int16_t> loud(8000, 10000);
    platform::WaveHeader h{reinterpret_cast<uint8_t*>(loud.data()), 16000, 0};
    device->Prepare(h);
    device->Write(h);
    Collect(2);
    std::this_thread::sleep_for(100ms);
    const std::vector<int16_t> heard = recording.Stop();
    EXPECT_GE(std::count_if(heard.begin(), heard.end(), [](int16_t s) { return std::abs(s - 3000) <= 3; }), 7900);
    device->Close();
}

TEST_F(PulseWaveOutTest, AServerThatDiesIsReportedOnce) {
    std::unique_ptr<platform::WaveOut> device = opener_.Open(platform::WaveFormat{}, loop_);
    ASSERT_TRUE(device);
    Collect(1);
    for (auto& h : headers_) {
        device->Prepare(h);
        device->Write(h);
    }
    Collect(2);
    server_.Kill();
    Collect(3, 3000ms);
    ASSERT_EQ(notices_.size(), 3u);
    EXPECT_EQ(notices_[2].message, platform::kWaveOutFailed);
    EXPECT_EQ(notices_[2].handle, device->GetHandle());
    // Stopping the dead device gives every buffer back and closes it.
    device->Reset();
    device->Close();
    Collect(100, 300ms);
    EXPECT_EQ(notices_.back().message, platform::MM_WOM_CLOSE);
    EXPECT_EQ(std::count_if(notices_.begin(), notices_.end(),
                            [](const Notice& n) { return n.message == platform::kWaveOutFailed; }),
              1);
}

TEST(PulseWaveOutWithoutServer, OpenFailsAndPostsNothing) {
    setenv("PULSE_SERVER", "unix:/nonexistent/tolvan/native", 1);
    platform::MessageLoop loop;
    platform::PulseWaveOutOpener opener;
    EXPECT_FALSE(opener.Open(platform::WaveFormat{}, loop));
    int posted = 0;
    loop.Run([&](int, uintptr_t, intptr_t) { ++posted; }, [] { return false; }, 200ms);
    EXPECT_EQ(posted, 0);
    unsetenv("PULSE_SERVER");
}

}  // namespace
