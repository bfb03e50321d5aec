#include "playback/ExtractPcm.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t U32At(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

uint32_t ExtractPcm(std::span<uint8_t> image) {
    if (image.size() < 20) return 0;
    const uint64_t dataHeader = 20 + uint64_t{U32At(image.data() + 16)};
    if (dataHeader + 8 > image.size()) return 0;
    const uint64_t present = image.size() - (dataHeader + 8);
    const uint64_t n = std::min<uint64_t>(U32At(image.data() + dataHeader + 4), present);
    std::memmove(image.data(), image.data() + dataHeader + 8, static_cast<size_t>(n));
    return static_cast<uint32_t>(n / 2);
}
