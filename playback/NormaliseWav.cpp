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

    // A block is converted only when at least one byte of data follows it
    // within L (so the block that ends at L never is) and all its bytes were
    // read: blocks a with a + 1024 < L and a + 1024 <= bytes read.
    const size_t blocks = static_cast<size_t>(std::min<uint64_t>(
        data.length > 0 ? (data.length - 1) / kImaBlockBytes : 0, data.bytes.size() / kImaBlockBytes));
    // The samples are written a run of blocks at a time: one write per
    // 4082-byte block costs more than decoding it.
    std::vector<int16_t> samples(kBlocksPerWrite * kImaBlockSamples);
    for (size_t first = 0; first < blocks; first += kBlocksPerWrite) {
        const size_t n = std::min(kBlocksPerWrite, blocks - first);
        DecodeImaBlocks(data.bytes.data() + first * kImaBlockBytes, n, samples.data());
        WriteSamples(out, samples.data(), n * kImaBlockSamples);
    }
    FixWavSizes(out);
    return true;
}
