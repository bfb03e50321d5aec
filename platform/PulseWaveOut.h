#pragma once
// The wave-out device on the PulseAudio server of the session (PULSE_SERVER
// and PULSE_SINK are honoured): one playback stream on the default sink, run
// by its own threaded main loop. Done notices follow the stream's played
// position, so a buffer comes back when it has been heard.

#include "platform/WaveOut.h"

namespace platform {

class PulseWaveOutOpener : public WaveOutOpener {
public:
    // Connects to the server and sets up the stream, waiting until both are
    // ready or have failed (a server that does not answer counts as failed
    // after a few seconds). Never starts a server of its own.
    std::unique_ptr<WaveOut> Open(const WaveFormat& format, MessagePoster& notices) override;
};

}  // namespace platform
