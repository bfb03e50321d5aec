#include "tools/ImaAdpcmWav.h"

#include <string_view>

#include "playback/ImaAdpcm.h"

namespace {

void Put(std::vector<uint8_t>& out, std::string_view id) { out.insert(out.end(), id.begin(), id.end()); }

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> MakeImaAdpcmWav(std::span<const uint8_t> blocks) {
    const uint32_t blockCount = static_cast<uint32_t>(blocks.size() / kImaBlockBytes);
    const uint32_t dataBytes = blockCount * kImaBlockBytes;
    std::vector<uint8_t> out;
    out.reserve(60 + dataBytes);
    Put(out, "RIFF");
    Put32(out, 4 + (8 + 20) + (8 + 4) + (8 + dataBytes));
    Put(out, "WAVE");
    Put(out, "fmt ");
    Put32(out, 20);
    Put16(out, 0x0011);
    Put16(out, 1);
    Put32(out, 8000);
    Put32(out, 8000 * kImaBlockBytes / kImaBlockSamples);  // average bytes per second
    Put16(out, kImaBlockBytes);
    Put16(out, 4);
    Put16(out, 2);  // size of the extra format bytes
    Put16(out, kImaBlockSamples);
    Put(out, "fact");
    Put32(out, 4);
    Put32(out, blockCount * kImaBlockSamples);
    Put(out, "data");
    Put32(out, dataBytes);
    out.insert(out.end(), blocks.begin(), blocks.begin() + dataBytes);
    return out;
}
