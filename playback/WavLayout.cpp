#include "playback/WavLayout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The fixed part of the KSDATAFORMAT_SUBTYPE GUIDs that carry a format tag
// in their first two bytes (-0000-0010-8000-00AA00389B71).
constexpr uint8_t kSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr size_t kFmtBytes = 16;            // tag, channels, rate, byte rate, alignment, bits
constexpr size_t kExtensibleFmtBytes = 40;  // with cbSize, valid bits, mask and subformat GUID

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

// Fills the declaration of layout from the fmt chunk's first bytes; false
// when they declare neither PCM nor float.
bool ReadFormat(const uint8_t* fmt, size_t size, WavLayout& layout) {
    if (size < kFmtBytes) return false;
    uint16_t tag = U16(fmt);
    if (tag == kTagExtensible) {
        if (size < kExtensibleFmtBytes || std::memcmp(fmt + 26, kSubformatTail, sizeof kSubformatTail) != 0)
            return false;
        tag = U16(fmt + 24);
    }
    if (tag != kTagPcm && tag != kTagFloat) return false;
    layout.formatTag = tag;
    layout.channels = U16(fmt + 2);
    layout.samplesPerSec = U32(fmt + 4);
    layout.bitsPerSample = U16(fmt + 14);
    return true;
}

}  // namespace

WavLayout ReadWavLayout(uint64_t fileSize, const WavReader& read) {
    WavLayout layout;
    uint8_t head[12];
    if (read(0, head, sizeof head) != sizeof head || std::memcmp(head + 8, "WAVE", 4) != 0) return layout;
    bool haveFormat = false;
    bool haveData = false;
    uint64_t dataOffset = 0, dataBytes = 0;
    // Every step moves on by at least a chunk header, so the walk ends at the
    // end of the file whatever the sizes claim.
    for (uint64_t at = 12; at + 8 <= fileSize && !(haveFormat && haveData);) {
        uint8_t chunk[8];
        if (read(at, chunk, sizeof chunk) != sizeof chunk) break;
        const uint64_t body = at + 8;
        const uint64_t size = U32(chunk + 4);
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t fmt[kExtensibleFmtBytes] = {};
            const size_t got = read(body, fmt, static_cast<size_t>(std::min<uint64_t>(size, sizeof fmt)));
            // The first fmt chunk decides: one that declares neither PCM nor
            // float makes the file a device recording.
            if (!ReadFormat(fmt, got, layout)) return WavLayout{};
            haveFormat = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            dataOffset = body;
            dataBytes = std::min(size, fileSize - body);
            haveData = true;
        }
        at = body + size + (size & 1);  // an odd-sized chunk is followed by a pad byte
    }
    if (!haveFormat) return WavLayout{};
    const bool playable = layout.formatTag == kTagPcm && layout.channels == 1 && layout.samplesPerSec == 8000 &&
                          layout.bitsPerSample == 16;
    layout.form = playable ? WavForm::kPcm : WavForm::kRefused;
    if (playable && haveData) {
        layout.dataOffset = dataOffset;
        layout.dataBytes = dataBytes;
    }
    return layout;
}

WavLayout ReadWavLayout(std::span<const uint8_t> image) {
    return ReadWavLayout(image.size(), [image](uint64_t offset, uint8_t* data, size_t size) -> size_t {
        if (offset >= image.size()) return 0;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size, image.size() - offset));
        std::memcpy(data, image.data() + offset, n);
        return n;
    });
}

WavLayout ReadWavLayout(platform::File& file) {
    const int64_t size = file.Size();
    if (size < 0) return WavLayout{};
    return ReadWavLayout(static_cast<uint64_t>(size), [&file](uint64_t offset, uint8_t* data, size_t n) {
        return file.ReadAt(static_cast<int64_t>(offset), data, n);
    });
}

std::string WavRefusal(const WavLayout& layout) {
    return std::to_string(layout.samplesPerSec) + " Hz, " + std::to_string(layout.channels) +
           (layout.channels == 1 ? " channel, " : " channels, ") + std::to_string(layout.bitsPerSample) + "-bit " +
           (layout.formatTag == kTagFloat ? "float" : "PCM") +
           " samples; the player plays 8000 Hz mono 16-bit PCM only";
}

std::optional<uint32_t> PcmWavSeconds(platform::File& file) {
    if (ReadWavLayout(file).form != WavForm::kPcm) return std::nullopt;
    return static_cast<uint32_t>(file.Size()) / kPcmBytesPerSecond;
}
