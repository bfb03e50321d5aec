#pragma once
// The engine wired as the window wires it, over the manual clock: its view,
// the clock's queue and devices, the decoder, and every message box it
// shows, in order. The message boxes are captured for the rig's lifetime.

#include <string>
#include <vector>

#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "platform/MessageBox.h"
#include "playback/MemoryPlaybackView.h"
#include "playback/PlaybackEngine.h"
#include "tests/playback/ManualAudio.h"

struct EngineRig {
    EngineRig() {
        clock.SetHandler([this](int m, uintptr_t w, intptr_t l) { engine.OnPostedMessage(m, w, l); });
        previous_ = platform::SetMessageBoxHandler([this](std::u16string_view text) { messages.emplace_back(text); });
    }
    ~EngineRig() { platform::SetMessageBoxHandler(std::move(previous_)); }
    EngineRig(const EngineRig&) = delete;
    EngineRig& operator=(const EngineRig&) = delete;

    // Selects the row alone and presses Play, as a click and the button do.
    void PlayRow(int row) {
        view.DeselectRow(-1);
        view.SelectRow(row);
        engine.OnPlay();
    }

    MemoryPlaybackView view;
    ManualClock clock;
    ManualWaveOutOpener opener{clock};
    g729::DecoderState decoderState;
    G729Decoder decoder{decoderState};
    PlaybackEngine engine{view, clock, opener, decoder};
    std::vector<std::u16string> messages;

private:
    platform::MessageBoxHandler previous_;
};
