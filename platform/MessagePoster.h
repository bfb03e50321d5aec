#pragma once
// Posting a message to the window that owns the playback: the window's own
// commands, its private messages and the wave-out device's notices all travel
// through one queue, so they are handled one at a time on the user-interface
// thread, in the order they were posted.

#include <cstdint>

namespace platform {

// A command, as a button delivers it; wParam carries the command id.
inline constexpr int WM_COMMAND = 0x0111;
// Wave-out notices; wParam carries the handle of the device that sent them,
// lParam (done notice only) the WaveHeader it has finished playing.
inline constexpr int MM_WOM_OPEN = 0x03BB;
inline constexpr int MM_WOM_CLOSE = 0x03BC;
inline constexpr int MM_WOM_DONE = 0x03BD;
// The device has failed while open (its sound server went away, say): no
// more done notices will come. wParam carries the device's handle.
inline constexpr int kWaveOutFailed = 0x03BF;

class MessagePoster {
public:
    virtual ~MessagePoster() = default;

    // Queues the message behind everything posted before it and returns at
    // once. May be called from any thread.
    virtual void Post(int message, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;

    // Queues the message once delayMs milliseconds have passed, the queue
    // going on meanwhile. Called on the user-interface thread only.
    virtual void PostAfter(int delayMs, int message, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;
};

}  // namespace platform
