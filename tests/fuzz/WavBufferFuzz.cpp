// Arbitrary buffers through the PCM WAV header test, the reading of a WAV
// file's layout by its chunks, the locating of the samples in a loaded file,
// and the rewriting of the size fields.
//
// Input: one byte choosing the entry point, then the buffer.

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "playback/ExtractPcm.h"
#include "playback/FixWavSizes.h"
#include "playback/PcmWavHeader.h"
#include "playback/WavLayout.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

void HeaderTest(const uint8_t* data, size_t size) {
    if (size < kPcmWavHeaderSize) return;
    // Exactly bytes 8 to 39 decide.
    const bool pcm = IsPcmWavHeader(data);
    Check(pcm == (std::memcmp(data + 8, PcmWavHeader + 8, 32) == 0));
}

void Layout(const uint8_t* data, size_t size) {
    // The image in an allocation of its exact size: a read beyond it is
    // reported.
    const std::vector<uint8_t> image(data, data + size);
    const WavLayout layout = ReadWavLayout(std::span<const uint8_t>(image));
    Check(layout.dataOffset + layout.dataBytes <= size);
    const bool playable = layout.formatTag == 1 && layout.channels == 1 && layout.samplesPerSec == 8000 &&
                          layout.bitsPerSample == 16;
    switch (layout.form) {
    case WavForm::kPcm:
        Check(playable);
        Check(layout.dataBytes == 0 || layout.dataOffset >= 20);
        break;
    case WavForm::kRefused:
        Check((layout.formatTag == 1 || layout.formatTag == 3) && !playable);
        Check(layout.dataOffset == 0 && layout.dataBytes == 0);
        break;
    case WavForm::kDevice:
        Check(layout.dataOffset == 0 && layout.dataBytes == 0);
        break;
    }
    // The player's own header is found as it always was, whatever follows.
    if (size >= kPcmWavHeaderSize && IsPcmWavHeader(data))
        Check(layout.form == WavForm::kPcm && layout.dataOffset == kPcmWavHeaderSize &&
              layout.dataBytes == std::min<uint64_t>(U32At(data + 40), size - kPcmWavHeaderSize));
    // Bytes 0 to 7 play no part.
    if (size >= 8) {
        std::vector<uint8_t> other = image;
        for (size_t i = 0; i < 8; ++i) other[i] ^= 0x5A;
        const WavLayout again = ReadWavLayout(std::span<const uint8_t>(other));
        Check(again.form == layout.form && again.dataOffset == layout.dataOffset &&
              again.dataBytes == layout.dataBytes);
    }
}

void Extract(const uint8_t* data, size_t size) {
    // The image in an allocation of its exact size: a read or move beyond it
    // is reported.
    std::vector<uint8_t> image(data, data + size);
    const WavLayout layout = ReadWavLayout(std::span<const uint8_t>(data, size));
    const uint32_t samples = ExtractPcm(std::span<uint8_t>(image));
    Check(samples == (layout.form == WavForm::kPcm ? layout.dataBytes / 2 : 0));
    if (samples == 0) return;
    Check(std::memcmp(image.data(), data + layout.dataOffset, 2 * size_t{samples}) == 0);
}

void FixSizes(const uint8_t* data, size_t size) {
    const std::string path = FuzzFolder().File("sizes.wav");
    {
        platform::File file = platform::File::CreateForWriting(path);
        Check(static_cast<bool>(file));
        Check(file.Write(data, size) == size);
        Check(FixWavSizes(file) == (size >= kPcmWavHeaderSize));
    }
    std::vector<uint8_t> after;
    Check(platform::ReadWholeFile(path, after));
    Check(after.size() == size);
    if (size < kPcmWavHeaderSize) {
        Check(size == 0 || std::memcmp(after.data(), data, size) == 0);
        return;
    }
    Check(U32At(after.data() + 4) == size - 8);
    Check(U32At(after.data() + 40) == size - 44);
    std::memcpy(after.data() + 4, data + 4, 4);
    std::memcpy(after.data() + 40, data + 40, 4);
    Check(std::memcmp(after.data(), data, size) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t* buffer = data + 1;
    const size_t length = size - 1;
    switch (data[0] % 4) {
    case 0: HeaderTest(buffer, length); break;
    case 1: Extract(buffer, length); break;
    case 2: FixSizes(buffer, length); break;
    default: Layout(buffer, length); break;
    }
    return 0;
}
