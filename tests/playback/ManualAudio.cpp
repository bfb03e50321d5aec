#include "tests/playback/ManualAudio.h"

#include <algorithm>

void ManualClock::Post(int message, uintptr_t wParam, intptr_t lParam) { queue_.push_back({message, wParam, lParam}); }

void ManualClock::PostAfter(int delayMs, int message, uintptr_t wParam, intptr_t lParam) {
    timers_.emplace(now_ + delayMs, Posted{message, wParam, lParam});
}

void ManualClock::RunPending() {
    while (!queue_.empty()) {
        const Posted next = queue_.front();
        queue_.pop_front();
        handled_.push_back(next);
        if (handler_) handler_(next.message, next.wParam, next.lParam);
    }
}

void ManualClock::Advance(int ms) {
    RunPending();
    for (int i = 0; i < ms; ++i) {
        ++now_;
        for (ManualWaveOut* device : std::vector<ManualWaveOut*>(devices_)) device->Tick();
        while (!timers_.empty() && timers_.begin()->first <= now_) {
            queue_.push_back(timers_.begin()->second);
            timers_.erase(timers_.begin());
        }
        RunPending();
    }
}

void ManualClock::Detach(ManualWaveOut* device) {
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

ManualWaveOut::ManualWaveOut(ManualClock& clock, std::shared_ptr<ManualDeviceLog> log)
    : clock_(clock), log_(std::move(log)) {
    log_->handle = GetHandle();
    clock_.Attach(this);
}

bool ManualWaveOut::Write(platform::WaveHeader& header) {
    if (log_->closed || !(header.dwFlags & platform::WHDR_PREPARED)) return false;
    header.dwFlags = (header.dwFlags & ~platform::WHDR_DONE) | platform::WHDR_INQUEUE;
    queue_.push_back(&header);
    log_->queued = queue_.size();
    return true;
}

void ManualWaveOut::Return(platform::WaveHeader* header) {
    header->dwFlags = (header->dwFlags & ~platform::WHDR_INQUEUE) | platform::WHDR_DONE;
    clock_.Post(platform::MM_WOM_DONE, GetHandle(), reinterpret_cast<intptr_t>(header));
}

void ManualWaveOut::Tick() {
    if (log_->paused || log_->closed || queue_.empty()) return;
    platform::WaveHeader* front = queue_.front();
    playedOfFront_ += 16;
    if (playedOfFront_ < front->dwBufferLength) return;
    log_->heard.insert(log_->heard.end(), front->lpData, front->lpData + front->dwBufferLength);
    queue_.pop_front();
    log_->queued = queue_.size();
    playedOfFront_ = 0;
    Return(front);
}

void ManualWaveOut::Fail() {
    log_->paused = true;
    clock_.Post(platform::kWaveOutFailed, GetHandle(), 0);
}

void ManualWaveOut::Reset() {
    while (!queue_.empty()) {
        Return(queue_.front());
        queue_.pop_front();
    }
    log_->queued = 0;
    playedOfFront_ = 0;
}

void ManualWaveOut::Close() {
    if (log_->closed) return;
    Reset();
    log_->closed = true;
    clock_.Post(platform::MM_WOM_CLOSE, GetHandle(), 0);
}

std::unique_ptr<platform::WaveOut> ManualWaveOutOpener::Open(const platform::WaveFormat& format,
                                                             platform::MessagePoster& notices) {
    format_ = format;
    if (fail_) return nullptr;
    opened_.push_back(std::make_shared<ManualDeviceLog>());
    auto device = std::make_unique<ManualWaveOut>(clock_, opened_.back());
    current_ = device.get();
    notices.Post(platform::MM_WOM_OPEN, device->GetHandle(), 0);
    return device;
}
