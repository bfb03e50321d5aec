// The loader and the playback engine driven by an arbitrary sequence of the
// window's commands, the clock moving on and device notices, over the manual
// clock's wave-out device. Checked: every read stays within the loaded data
// (AddressSanitizer, with the vectors annotated in the fuzz build), the next
// chunk index never runs beyond the data's chunks, at most two buffers are
// with the device, and from whatever state the sequence leaves, Stop and the
// queue drained give Idle with no device open.
//
// Input: two bytes giving the recording's length n (little-endian, cut to
// what follows), n bytes of recording, then the operations. The list holds
// the recording as an LDV stream and as a WAV file, a row whose file is
// missing and one of no playable kind.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/playback/EngineRig.h"

namespace {

// The chunks the loaded data holds, as FillChunk counts them.
uint64_t ChunksOf(const PlaybackEngine& engine) {
    const uint64_t unit = engine.ChunkBytes() == PlaybackEngine::kLdvChunkBytes ? PlaybackEngine::kLdvGroupBytes
                                                                                 : PlaybackEngine::kPcmChunkBytes;
    return (uint64_t{engine.RecBytes()} + unit - 1) / unit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g729::Overflow = 0;

    if (size < 2) return 0;
    const size_t length = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    WriteFuzzFile("VOC00001.ldv", data + 2, length);
    WriteFuzzFile("VOC00002.wav", data + 2, length);
    const InFuzzFolder inFolder;  // a device recording is converted there
    FuzzInput ops(data + 2 + length, size - 2 - length);

    EngineRig rig;  // its message boxes are kept, not shown
    MemoryPlaybackView& view = rig.view;
    ManualClock& clock = rig.clock;
    ManualWaveOutOpener& opener = rig.opener;
    PlaybackEngine& engine = rig.engine;
    view.SetRows(FuzzFolder().Wide(), {{u"1", u"VOC00001.ldv"},
                                       {u"2", u"VOC00002.wav"},
                                       {u"3", u"VOC00003.wav"},
                                       {u"4", u"notes.txt"}});

    while (ops.More()) {
        switch (ops.Byte() % 16) {
        case 0: engine.OnCommand(kIdPlay); break;
        case 1: engine.OnCommand(kIdPause); break;
        case 2: engine.OnCommand(kIdStop); break;
        case 3: engine.OnCommand(kIdPrevious); break;
        case 4: engine.OnCommand(kIdNext); break;
        case 5: engine.OnCommand(kIdMute); break;
        case 6: engine.OnVolumeTracking(ops.Byte() - 20); break;
        case 7: engine.OnListDoubleClick(); break;
        case 8: engine.OnPositionButtonDown(); break;
        case 9: engine.OnPositionButtonUp(); break;
        case 10: view.MoveSlider(ops.Byte() % 110 - 5); break;
        case 11: clock.Advance(ops.Byte() * 4); break;
        case 12: clock.RunPending(); break;
        case 13: opener.FailOpens(ops.Byte() & 1); break;
        case 14: {
            const int row = ops.Byte() % 6 - 1;  // -1 and 4 lie outside the list
            view.DeselectRow(-1);
            view.SelectRow(row);
            break;
        }
        default: {
            // A late notice of a device already closed, or of no device.
            const auto& opened = opener.Opened();
            const uint8_t which = ops.Byte();
            const uintptr_t handle = opened.empty() || which >= opened.size() ? uintptr_t{which} << 20
                                                                               : opened[which]->handle;
            if (!engine.Device() || handle != engine.Device()->GetHandle()) {
                static constexpr int kNotices[] = {platform::MM_WOM_OPEN, platform::MM_WOM_DONE,
                                                   platform::MM_WOM_CLOSE};
                clock.Post(kNotices[ops.Byte() % 3], handle, 0);
            }
            break;
        }
        }
        // While playing, the index counts the chunks given to the device:
        // never more than the data holds, and never more than two buffers
        // out at once.
        if (engine.IsPlaying()) Check(engine.NextChunk() <= ChunksOf(engine));
        if (engine.Device()) Check(opener.Opened().back()->queued <= 2);
    }

    // Idle is reachable from wherever the sequence ended.
    clock.Post(platform::WM_COMMAND, kIdStop);
    clock.RunPending();
    Check(!engine.IsPlaying() && !engine.IsPaused());
    Check(engine.Device() == nullptr);
    for (const auto& device : opener.Opened()) Check(device->closed && device->queued == 0);
    return 0;
}
