#include "playback/PcmWavHeader.h"

#include <cstring>

const uint8_t PcmWavHeader[kPcmWavHeaderSize] = {
    'R', 'I', 'F', 'F',
    0xE0, 0xA1, 0x09, 0x00,  // 631264
    'W', 'A', 'V', 'E',
    'f', 'm', 't', ' ',
    16, 0, 0, 0,             // fmt chunk size
    1, 0,                    // PCM
    1, 0,                    // mono
    0x40, 0x1F, 0, 0,        // 8000 samples per second
    0x80, 0x3E, 0, 0,        // 16000 bytes per second
    2, 0,                    // block alignment
    16, 0,                   // bits per sample
    'd', 'a', 't', 'a',
    0xBC, 0xA1, 0x09, 0x00,  // 631228
};

bool IsPcmWavHeader(const uint8_t* header) {
    return std::memcmp(header + 8, PcmWavHeader + 8, 32) == 0;
}
