#pragma once
// A manual clock for the engine's tests: the message queue the engine posts
// to, with delayed posts, and wave-out devices that play their buffers as
// the clock is advanced (16 bytes a millisecond, 8000 Hz mono 16-bit). What
// the devices play is kept, so a test can compare what a listener heard.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/MessagePoster.h"
#include "platform/WaveOut.h"

class ManualWaveOut;

class ManualClock : public platform::MessagePoster {
public:
    using Handler = std::function<void(int message, uintptr_t wParam, intptr_t lParam)>;
    struct Posted {
        int message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    void Post(int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
    void PostAfter(int delayMs, int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;

    // Where handled messages go.
    void SetHandler(Handler handler) { handler_ = std::move(handler); }
    // Handles every queued message, including those posted meanwhile.
    void RunPending();
    // Moves time on by ms, a millisecond at a time: devices play, timers
    // fall due, and queued messages are handled after each step.
    void Advance(int ms);
    int64_t Now() const { return now_; }
    // Every message handled so far, in order.
    const std::vector<Posted>& Handled() const { return handled_; }

    void Attach(ManualWaveOut* device) { devices_.push_back(device); }
    void Detach(ManualWaveOut* device);

private:
    Handler handler_;
    int64_t now_ = 0;
    std::deque<Posted> queue_;
    std::multimap<int64_t, Posted> timers_;
    std::vector<Posted> handled_;
    std::vector<ManualWaveOut*> devices_;
};

// What a listener of one device observed; it outlives the device.
struct ManualDeviceLog {
    platform::WaveOut::Handle handle = 0;
    bool paused = false;
    bool closed = false;
    size_t queued = 0;               // buffers written and not yet given back
    std::vector<uint32_t> volumes;   // every SetVolume value, in order
    std::vector<uint8_t> heard;      // every byte played to the end of its buffer
};

class ManualWaveOut : public platform::WaveOut {
public:
    ManualWaveOut(ManualClock& clock, std::shared_ptr<ManualDeviceLog> log);
    ~ManualWaveOut() override { clock_.Detach(this); }

    bool Write(platform::WaveHeader& header) override;
    void Pause() override { log_->paused = true; }
    void Restart() override { log_->paused = false; }
    void Reset() override;
    void Close() override;
    void SetVolume(uint32_t volume) override { log_->volumes.push_back(volume); }

    // One millisecond of playing.
    void Tick();
    // Fails as a device does whose sound server has gone: nothing plays any
    // more and the failure is posted.
    void Fail();

private:
    void Return(platform::WaveHeader* header);

    ManualClock& clock_;
    std::shared_ptr<ManualDeviceLog> log_;
    std::deque<platform::WaveHeader*> queue_;
    uint32_t playedOfFront_ = 0;
};

// Opens ManualWaveOut devices, or fails every open when told to.
class ManualWaveOutOpener : public platform::WaveOutOpener {
public:
    explicit ManualWaveOutOpener(ManualClock& clock) : clock_(clock) {}
    std::unique_ptr<platform::WaveOut> Open(const platform::WaveFormat& format, platform::MessagePoster& notices) override;

    void FailOpens(bool fail) { fail_ = fail; }
    // One log per device opened, in order.
    const std::vector<std::shared_ptr<ManualDeviceLog>>& Opened() const { return opened_; }
    // The device opened last, while the engine holds it.
    ManualWaveOut* Current() const { return current_; }
    const platform::WaveFormat& LastFormat() const { return format_; }

private:
    ManualClock& clock_;
    bool fail_ = false;
    std::vector<std::shared_ptr<ManualDeviceLog>> opened_;
    ManualWaveOut* current_ = nullptr;
    platform::WaveFormat format_;
};
