#include "convert/LdvToWav.h"

#include <bit>
#include <vector>

#include "playback/FixWavSizes.h"
#include "playback/PcmWavHeader.h"

namespace {

constexpr size_t kFrameSampleBytes = 160;

bool Stopped(const std::atomic<int>* stop) { return stop && stop->load(std::memory_order_relaxed) != 0; }

}  // namespace

LdvDecodeResult DecodeLdvToWav(std::span<const uint8_t> stream, platform::File& out, G729Decoder& decoder,
                               const std::atomic<int>* stop, const std::function<void(int)>& progress) {
    if (out.Write(PcmWavHeader, kPcmWavHeaderSize) != kPcmWavHeaderSize) return LdvDecodeResult::kWriteFailed;
    decoder.Init();
    const size_t frames = stream.size() / kLdvFrameBytes;
    std::vector<int16_t> batch(kWavBatchBytes / 2);
    size_t used = 0;  // samples in batch
    int shown = 0;  // the caller shows 0 before the first frame
    for (size_t i = 0; i < frames; ++i) {
        if (Stopped(stop)) return LdvDecodeResult::kStopped;
        decoder.DecodeFrame(stream.data() + i * kLdvFrameBytes, batch.data() + used);
        if (Stopped(stop)) return LdvDecodeResult::kStopped;
        used += kFrameSampleBytes / 2;
        if (used == batch.size()) {
            if (out.Write(batch.data(), kWavBatchBytes) != kWavBatchBytes) return LdvDecodeResult::kWriteFailed;
            used = 0;
        }
        // The bar moves only when its value changes: one notice per percent,
        // not one per frame.
        const int percent = static_cast<int>(i * 100 / frames);
        if (progress && percent != shown) progress(shown = percent);
    }
    static_assert(std::endian::native == std::endian::little, "samples are written as the machine holds them");
    if (used != 0 && out.Write(batch.data(), used * 2) != used * 2) return LdvDecodeResult::kWriteFailed;
    if (progress) progress(100);
    return FixWavSizes(out) ? LdvDecodeResult::kDecoded : LdvDecodeResult::kWriteFailed;
}
