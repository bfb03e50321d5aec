#pragma once
// Decoding one LDV stream (headerless G.729 Annex A frames) into a PCM WAV
// file: PcmWavHeader with its placeholder sizes, the samples of every whole
// 10-byte frame in order from a freshly initialised decoder (trailing bytes
// ignored), written in batches of 160,000 bytes, then the true sizes.

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

#include "codec/G729Decoder.h"
#include "platform/Files.h"

inline constexpr size_t kLdvFrameBytes = 10;
inline constexpr size_t kWavBatchBytes = 160000;  // 1000 frames, 10 s of speech

enum class LdvDecodeResult {
    kDecoded,      // every whole frame written and the sizes fixed
    kStopped,      // stop was set before the last frame
    kWriteFailed,  // out refused a write
};

// Decodes stream into out, which is open for writing and empty. stop (may be
// null) is checked before and after decoding each frame; progress (may be
// empty) is told i * 100 / F whenever that value changes from the last one
// told (0 to begin with) as frame i of F is done, and 100 at the end.
LdvDecodeResult DecodeLdvToWav(std::span<const uint8_t> stream, platform::File& out, G729Decoder& decoder,
                               const std::atomic<int>* stop, const std::function<void(int)>& progress);
