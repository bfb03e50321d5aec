#include "playback/ExtractPcm.h"

#include <cstring>

#include "playback/WavLayout.h"

uint32_t ExtractPcm(std::span<uint8_t> image) {
    const WavLayout layout = ReadWavLayout(std::span<const uint8_t>(image));
    if (layout.form != WavForm::kPcm) return 0;
    std::memmove(image.data(), image.data() + layout.dataOffset, static_cast<size_t>(layout.dataBytes));
    return static_cast<uint32_t>(layout.dataBytes / 2);
}
