#include "playback/FixWavSizes.h"

#include <cstdint>

#include "playback/PcmWavHeader.h"

namespace {

bool WriteU32At(platform::File& file, int64_t offset, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return file.Seek(offset) && file.Write(bytes, 4) == 4;
}

}  // namespace

bool FixWavSizes(platform::File& file) {
    const int64_t size = file.Size();
    if (size < static_cast<int64_t>(kPcmWavHeaderSize)) return false;
    const bool riff = WriteU32At(file, 4, static_cast<uint32_t>(size - 8));
    const bool data = WriteU32At(file, 40, static_cast<uint32_t>(size - 44));
    return riff && data;
}
