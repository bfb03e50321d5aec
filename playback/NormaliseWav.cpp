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
#include "playback/WavLayout.h"

namespace {

constexpr int64_t kDataLengthOffset = 508;
constexpr int64_t kDataOffset = 512;

platform::File OpenSource(std::u16string_view path) {
    std::optional<std::string> system = platform::SystemPath(path);
    if (!system) return {};
    return platform::File::OpenForReading(*system);
}

constexpr size_t kBlocksPerWrite = 16;
constexpr size_t kPcmRunBytes = 64 * 1024;

// Appends samples as 16-bit little-endian values; false on a short write.
bool WriteSamples(platform::File& out, int16_t* samples, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        for (size_t i = 0; i < count; ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            samples[i] = static_cast<int16_t>((v >> 8) | (v << 8));
        }
    }
    return out.Write(samples, count * sizeof(int16_t)) == count * sizeof(int16_t);
}

// Writes the samples of every whole block within L: blocks a with
// a + 1024 <= L and a + 1024 <= bytes present, reading and converting a run
// of blocks at a time. False when a write failed.
bool ConvertAdpcm(platform::File& source, platform::File& out) {
    const int64_t size = source.Size();
    uint8_t field[4];
    size_t blocks = 0;
    if (size >= kDataOffset && source.Seek(kDataLengthOffset) && source.Read(field, 4) == 4) {
        const uint64_t length = field[0] | (field[1] << 8) | (field[2] << 16) | (uint64_t{field[3]} << 24);
        // Never more than the file holds, whatever L claims.
        const uint64_t present = std::min<uint64_t>(length, static_cast<uint64_t>(size - kDataOffset));
        blocks = static_cast<size_t>(present / kImaBlockBytes);
    }
    // One write per 4082-byte block would cost more than decoding it; a run
    // of blocks keeps the buffers small and fixed whatever the length.
    std::vector<uint8_t> adpcm(kBlocksPerWrite * kImaBlockBytes);
    std::vector<int16_t> samples(kBlocksPerWrite * kImaBlockSamples);
    bool written = true;
    for (size_t first = 0; first < blocks; first += kBlocksPerWrite) {
        // A source that shrinks while it is read ends the conversion at its
        // last whole block.
        const size_t wanted = std::min(kBlocksPerWrite, blocks - first);
        const size_t n = source.Read(adpcm.data(), wanted * kImaBlockBytes) / kImaBlockBytes;
        DecodeImaBlocks(adpcm.data(), n, samples.data());
        written &= WriteSamples(out, samples.data(), n * kImaBlockSamples);
        if (n < wanted) break;
    }
    return written;
}

// Copies the whole samples of the data chunk of a PCM WAV source. False
// when a write failed.
bool CopyPcm(platform::File& source, const WavLayout& layout, platform::File& out) {
    std::vector<uint8_t> run(kPcmRunBytes);
    uint64_t left = layout.dataBytes & ~uint64_t{1};
    for (uint64_t at = layout.dataOffset; left > 0;) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(left, run.size()));
        // A source that shrinks while it is read ends the copy at its last
        // whole sample.
        const size_t n = source.ReadAt(static_cast<int64_t>(at), run.data(), wanted) & ~size_t{1};
        if (out.Write(run.data(), n) != n) return false;
        if (n < wanted) break;
        at += n;
        left -= n;
    }
    return true;
}

// Writes the header, the samples of the source's form and the true sizes
// to out. False when a write failed.
bool Convert(platform::File& source, const WavLayout& layout, platform::File& out) {
    bool written = out.Write(PcmWavHeader, kPcmWavHeaderSize) == kPcmWavHeaderSize;
    written &= layout.form == WavForm::kPcm ? CopyPcm(source, layout, out) : ConvertAdpcm(source, out);
    return FixWavSizes(out) && written;
}

}  // namespace

bool NormaliseWav(std::u16string_view path) {
    platform::File source = OpenSource(path);
    if (!source) return false;
    const WavLayout layout = ReadWavLayout(source);
    if (layout.form == WavForm::kRefused) return false;
    platform::File out = platform::File::CreateForWriting(kNormalisedWavName);
    // Without temp.$$$ there is nothing to convert into; the result is true
    // all the same and the caller finds no file. A conversion the disk did not
    // take whole leaves no file either, so that a part of the recording is
    // never played as all of it.
    if (!out) return true;
    const bool converted = Convert(source, layout, out);
    if (!out.Close() || !converted) platform::DeleteFileAt(kNormalisedWavName);
    return true;
}

NormaliseOutcome NormaliseWavTo(std::u16string_view path, platform::File& out) {
    platform::File source = OpenSource(path);
    if (!source) return NormaliseOutcome::SourceUnreadable;
    const WavLayout layout = ReadWavLayout(source);
    if (layout.form == WavForm::kRefused) return NormaliseOutcome::Refused;
    return Convert(source, layout, out) ? NormaliseOutcome::Converted : NormaliseOutcome::WriteFailed;
}
