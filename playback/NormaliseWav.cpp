#include "playback/NormaliseWav.h"

#include <algorithm>
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

}  // namespace

bool NormaliseWav(std::u16string_view path) {
    platform::File source = OpenSource(path);
    if (!source) return false;
    platform::File out = platform::File::CreateForWriting(kNormalisedWavName);
    out.Write(PcmWavHeader, kPcmWavHeaderSize);
    const AdpcmData data = ReadData(source);
    source.Close();

    int16_t samples[kImaBlockSamples];
    uint8_t bytes[kImaBlockSamples * 2];
    for (size_t a = 0; a + kImaBlockBytes < data.length && a + kImaBlockBytes <= data.bytes.size();
         a += kImaBlockBytes) {
        const int n = DecodeImaBlock(data.bytes.data() + a, samples);
        for (int i = 0; i < n; ++i) {
            bytes[2 * i] = static_cast<uint8_t>(samples[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<uint8_t>((samples[i] >> 8) & 0xFF);
        }
        out.Write(bytes, 2 * static_cast<size_t>(n));
    }
    FixWavSizes(out);
    return true;
}
