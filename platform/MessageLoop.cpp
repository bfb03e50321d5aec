#include "platform/MessageLoop.h"

namespace platform {

void MessageLoop::Post(int message, uintptr_t wParam, intptr_t lParam) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, wParam, lParam});
    }
    wake_.notify_one();
}

void MessageLoop::PostAfter(int delayMs, int message, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard lock(mutex_);
    timers_.emplace(Clock::now() + std::chrono::milliseconds(delayMs), Message{message, wParam, lParam});
}

bool MessageLoop::Run(const Handler& handler, const std::function<bool()>& done, std::chrono::milliseconds idle) {
    while (!done()) {
        Message next{};
        {
            const Clock::time_point giveUp = Clock::now() + idle;
            std::unique_lock lock(mutex_);
            for (;;) {
                const Clock::time_point now = Clock::now();
                while (!timers_.empty() && timers_.begin()->first <= now) {
                    queue_.push_back(timers_.begin()->second);
                    timers_.erase(timers_.begin());
                }
                if (!queue_.empty()) break;
                if (now >= giveUp) return false;
                Clock::time_point until = giveUp;
                if (!timers_.empty() && timers_.begin()->first < until) until = timers_.begin()->first;
                wake_.wait_until(lock, until);
            }
            next = queue_.front();
            queue_.pop_front();
        }
        handler(next.message, next.wParam, next.lParam);
    }
    return true;
}

}  // namespace platform
