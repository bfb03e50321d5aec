#include "playback/NormaliseWav.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/FixWavSizes.h"
#include "playback/ImaAdpcm.h"
#include "playback/PcmWavHeader.h"

namespace {

constexpr int64_t kDataLengthOffset = 508;
constexpr int64_t kDataOffset = 512;

platform::File OpenSource(std::u16string_view path) {
    std::string narrow;
    if (!platform::WideToNarrow(path, narrow) || narrow.size() > platform::kMaxPathChars) return {};
    std::optional<std::string> system = platform::SystemPathFromNarrow(narrow);
    if (!system) return {};
    return platform::File::OpenForReading(*system);
}

struct AdpcmData {
    uint64_t length = 0;        // L as the head states it
    std::vector<uint8_t> bytes;  // what the source actually holds of it
};

AdpcmData ReadData(platform::File& source) {
    AdpcmData data;
    const int64_t size = source.Size();
    uint8_t field[4];
    if (size < kDataOffset || !source.Seek(kDataLengthOffset) || source.Read(field, 4) != 4) return data;
    data.length = field[0] | (field[1] << 8) | (field[2] << 16) | (uint64_t{field[3]} << 24);
    // Never more than the file holds, whatever L claims.
    data.bytes.resize(static_cast<size_t>(std::min<uint64_t>(data.length, size - kDataOffset)));
    data.bytes.resize(source.Read(data.bytes.data(), data.bytes.size()));
    return data;
}

constexpr size_t kBlocksPerWrite = 16;

// Appends samples as 16-bit little-endian values.
void WriteSamples(platform::File& out, int16_t* samples, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        for (size_t i = 0; i < count; ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            samples[i] = static_cast<int16_t>((v >> 8) | (v << 8));
        }
    }
    out.Write(samples, count * sizeof(int16_t));
}

}  // namespace

bool NormaliseWav(std::u16string_view path) {
    platform::File source = OpenSource(path);
    if (!source) return false;
    platform::File out = platform::File::CreateForWriting(kNormalisedWavName);
    out.Write(PcmWavHeader, kPcmWavHeaderSize);
    const AdpcmData data = ReadData(source);
    source.Close();

    // The samples are written a run of blocks at a time: one write per
    // 4082-byte block costs more than decoding it.
    std::vector<int16_t> samples(kBlocksPerWrite * kImaBlockSamples);
    size_t pending = 0;
    for (size_t a = 0; a + kImaBlockBytes < data.length && a + kImaBlockBytes <= data.bytes.size();
         a += kImaBlockBytes) {
        pending += DecodeImaBlock(data.bytes.data() + a, samples.data() + pending);
        if (pending == samples.size()) {
            WriteSamples(out, samples.data(), pending);
            pending = 0;
        }
    }
    WriteSamples(out, samples.data(), pending);
    FixWavSizes(out);
    return true;
}
