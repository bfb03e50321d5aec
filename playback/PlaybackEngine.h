#pragma once
// The player: the Play command that loads the selected recording, and the
// engine that streams it to the wave-out device through two alternating
// buffers, with the transport commands, the position slider and the volume.
//
// Everything runs on the user-interface thread. The engine posts its own
// commands (Stop once the last chunk has been heard, Play after Previous and
// Next, ...) and the device posts its notices through one MessagePoster, so
// they are handled in the order posted; the owner hands every posted message
// back to OnPostedMessage.
//
// States: Idle (m_bPlaying 0), Playing (m_bPlaying 1, m_bPaused 0), Paused
// (both 1). Notices of a device the engine has stopped are ignored: they
// consume no chunk index, so the next recording always starts at chunk 0.
// A device that cannot be opened, or fails while playing, returns the engine
// to Idle with the message kDeviceOpenFailedMessage.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codec/G729Decoder.h"
#include "platform/MessagePoster.h"
#include "platform/WaveOut.h"
#include "playback/PlaybackView.h"

// Posted to the window at the end of a successful load: open the device.
inline constexpr int WM_OPEN_WAVEOUT = 1125;

inline constexpr std::u16string_view kDeviceOpenFailedMessage = u"音频设备打开失败，无法播放！";

class PlaybackEngine {
public:
    // Chunk lengths; 3200 also marks an LDV recording.
    static constexpr int kLdvChunkBytes = 3200;  // 20 frames decoded, 0.2 s
    static constexpr int kPcmChunkBytes = 4096;  // 0.256 s
    static constexpr uint32_t kLdvGroupBytes = 200;
    static constexpr int kOpenDelayMs = 100;
    static constexpr int kRestartDelayMs = 500;

    PlaybackEngine(PlaybackView& view, platform::MessagePoster& poster, platform::WaveOutOpener& opener,
                   G729Decoder& decoder);
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // A transport command (PlaybackCommand ids 1005..1009 and 1011); false
    // for any other id.
    bool OnCommand(int id);
    // A message the engine or its device posted: WM_COMMAND, WM_OPEN_WAVEOUT
    // and the device notices. False for a message that is not the engine's.
    bool OnPostedMessage(int message, uintptr_t wParam, intptr_t lParam);

    // Play (1005): loads the first selected row's recording and posts
    // WM_OPEN_WAVEOUT; while paused it resumes at the position slider's
    // place instead, while playing it only focuses the list.
    void OnPlay();
    // Pause/Resume (1006).
    void OnPauseResume();
    // Stop (1007): the device is reset and closed, the slider and label
    // cleared; the loaded recording stays in memory.
    void OnStop();
    // Previous (1008) and Next (1009): select the neighbouring row and, when
    // something was playing, Stop it and Play the new row 500 ms later.
    void OnPrevious() { Step(-1); }
    void OnNext() { Step(+1); }
    // Mute (1011): toggles the switch and the button's icon.
    void OnMute();
    // The volume slider dragged to position (0..100).
    void OnVolumeTracking(int position);
    // A double click in the record list: Stop if playing, Play 500 ms later.
    void OnListDoubleClick();
    // The left button pressed and released on the position slider.
    void OnPositionButtonDown();
    void OnPositionButtonUp();

    // Writes chunk k of the loaded recording to dest (room for the chunk
    // length) and returns the PCM bytes written; 0 at or beyond the end.
    // LDV: the whole frames of group k, decoded in order; PCM: a copy.
    uint32_t FillChunk(uint32_t k, uint8_t* dest);

    bool IsPlaying() const { return m_bPlaying != 0; }
    bool IsPaused() const { return m_bPaused != 0; }
    int Volume() const { return m_nVolume; }
    // Sets the level used at the next open, as the volume slider's start
    // position does.
    void SetVolume(int level) { m_nVolume = level; }
    uint32_t NextChunk() const { return m_nNextChunk; }
    uint32_t RecBytes() const { return m_nRecBytes; }
    int ChunkBytes() const { return m_nChunkBytes[0]; }
    int PlayRow() const { return m_nPlayRow; }
    // The device playing now; nullptr when none is open.
    platform::WaveOut* Device() const { return m_hWaveOut.get(); }

private:
    bool IsLdv() const { return m_nChunkBytes[0] == kLdvChunkBytes; }
    // Loads the recording at m_szPlayPath; false when nothing was loaded.
    bool Load(std::u16string_view name);
    // WM_OPEN_WAVEOUT for load loadSerial: the wait before opening, then
    // the open itself.
    void OnOpenWaveOut(uintptr_t loadSerial, bool waited);
    // The device volume value of m_nVolume, both channels.
    uint32_t VolumeValue() const;
    // The open notice: prepares both buffers and queues the first chunks.
    void Prime();
    // Fills buffer i with the next chunk and queues it at the chunk's
    // length; false, queuing nothing, when no data is left.
    bool QueueChunk(int i);
    // Ends the recording (posts Stop, the slider at 100) once neither
    // buffer is with the device.
    void EndIfAllBack();
    // A done notice: the next chunk into the buffer that came back.
    void Refill(platform::WaveHeader* header);
    void ResumeAtPosition();
    void Step(int direction);
    void PostCommand(int id) { m_poster.Post(platform::WM_COMMAND, static_cast<uintptr_t>(id)); }
    // The percentage of the data produced once chunk index next is reached.
    int PositionAt(uint32_t next) const;

    PlaybackView& m_view;
    platform::MessagePoster& m_poster;
    platform::WaveOutOpener& m_opener;

    int m_nVolume = 30;
    int m_bMuted = 0;
    std::u16string m_szPlayPath;
    int m_bPlaying = 0;
    int m_bPaused = 0;
    uint32_t m_nNextChunk = 0;
    int m_nPlayRow = 0;
    platform::WaveFormat m_wfx;
    std::unique_ptr<platform::WaveOut> m_hWaveOut;
    platform::WaveHeader m_hdr[2];
    alignas(int16_t) uint8_t m_ldvPcm[2][kLdvChunkBytes] = {};
    std::vector<uint8_t> m_pRecData;
    alignas(int16_t) uint8_t m_wavPcm[2][kPcmChunkBytes] = {};
    uint8_t* m_pSlot[2] = {m_wavPcm[0], m_wavPcm[1]};
    uint32_t m_nRecBytes = 0;
    int m_nChunkBytes[2] = {kPcmChunkBytes, kPcmChunkBytes};
    G729Decoder& m_decoder;
    int m_bSeekDrag = 0;
    // Buffer A, B handed to the device and not yet given back.
    int m_bOut[2] = {0, 0};

    // A stopped device, kept until its close notice releases the headers.
    std::unique_ptr<platform::WaveOut> m_closedWaveOut;
    // Counts loads, so that a delayed open for a recording that has been
    // stopped or replaced meanwhile opens nothing.
    uintptr_t m_nLoadSerial = 0;
};
