#pragma once
// A message queue with its loop, for a program without a window: messages
// posted from any thread are handed to one handler on the thread that runs
// the loop, in the order posted; delayed ones join the queue when their time
// has come.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/MessagePoster.h"

namespace platform {

class MessageLoop : public MessagePoster {
public:
    using Handler = std::function<void(int message, uintptr_t wParam, intptr_t lParam)>;

    void Post(int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
    void PostAfter(int delayMs, int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;

    // Hands messages to handler until done() is true after a message, or
    // until idle passes without a message to hand over. Returns done().
    bool Run(const Handler& handler, const std::function<bool()>& done, std::chrono::milliseconds idle);

private:
    struct Message {
        int message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    using Clock = std::chrono::steady_clock;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Message> queue_;
    std::multimap<Clock::time_point, Message> timers_;  // equal times keep their posting order
};

}  // namespace platform
