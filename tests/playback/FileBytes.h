#pragma once
// Whole files as bytes, little-endian fields and samples within them, and
// PCM WAV files made of samples.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "playback/PcmWavHeader.h"

inline std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (uint32_t{bytes[offset + 3]} << 24);
}

inline std::vector<int16_t> SamplesFrom(const std::vector<uint8_t>& bytes, size_t offset) {
    std::vector<int16_t> samples;
    for (size_t i = offset; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return samples;
}

// A PCM WAV file of the player's form holding samples.
inline std::vector<uint8_t> PcmWavOf(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> file(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize);
    const uint32_t size = static_cast<uint32_t>(samples.size() * 2);
    for (int i = 0; i < 4; ++i) file[40 + i] = static_cast<uint8_t>(size >> (8 * i));
    for (int16_t s : samples) {
        file.push_back(static_cast<uint8_t>(s));
        file.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return file;
}
