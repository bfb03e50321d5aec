#pragma once
// The wave-out device: an output stream of 16-bit PCM fed with buffers the
// caller owns. Buffers are played in the order they are written; each comes
// back with a done notice once it has been heard, not merely handed over.
// Notices arrive later, through the MessagePoster given at open, and carry
// the handle of the device that sent them, so a caller can tell the notices
// of a device it has already closed from those of the one it plays on.

#include <cstdint>
#include <memory>

#include "platform/MessagePoster.h"

namespace platform {

// The format a device is opened with: the fields of a PCM wave format record.
struct WaveFormat {
    uint16_t wFormatTag = 1;  // PCM
    uint16_t nChannels = 1;
    uint32_t nSamplesPerSec = 8000;
    uint32_t nAvgBytesPerSec = 16000;
    uint16_t nBlockAlign = 2;
    uint16_t wBitsPerSample = 16;
};

// dwFlags of a WaveHeader.
inline constexpr uint32_t WHDR_DONE = 0x01;      // the device has given it back
inline constexpr uint32_t WHDR_PREPARED = 0x02;  // may be written
inline constexpr uint32_t WHDR_INQUEUE = 0x10;   // written and not yet given back

// A buffer the caller hands to the device: its storage, its length in bytes
// and the state flags. The storage must stay valid until the done notice.
struct WaveHeader {
    uint8_t* lpData = nullptr;
    uint32_t dwBufferLength = 0;
    uint32_t dwFlags = 0;
};

class WaveOut {
public:
    using Handle = uintptr_t;

    WaveOut();
    virtual ~WaveOut() = default;
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    // Unique for the life of the process: no two opens share a handle, so a
    // notice names exactly one open.
    Handle GetHandle() const { return handle_; }

    // Marks the header as ready to be written; Unprepare clears that again.
    // Neither touches the storage.
    void Prepare(WaveHeader& header);
    void Unprepare(WaveHeader& header);

    // Queues a prepared header behind those already written; an unprepared
    // one is refused (false). The device reads the storage until it sends
    // the header's done notice.
    virtual bool Write(WaveHeader& header) = 0;
    // Holds playback where it is; Restart continues from there.
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Drops everything queued: each queued header comes back with its done
    // notice, in queue order.
    virtual void Reset() = 0;
    // Ends playback (any header still queued comes back first, as with Reset)
    // and posts the close notice. Nothing is posted after it.
    virtual void Close() = 0;
    // left | right << 16, each 0..65535: the amplitude is scaled by v / 65535,
    // so 65535 plays the samples unchanged. A mono stream takes the left value.
    virtual void SetVolume(uint32_t volume) = 0;

private:
    const Handle handle_;
};

// Opens an output device. On success the open notice is posted to notices
// later; on failure the result is empty and nothing is posted. A device that
// fails once open posts kWaveOutFailed, once.
class WaveOutOpener {
public:
    virtual ~WaveOutOpener() = default;
    virtual std::unique_ptr<WaveOut> Open(const WaveFormat& format, MessagePoster& notices) = 0;
};

}  // namespace platform
