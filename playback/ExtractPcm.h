#pragma once
// Finding the samples inside a PCM WAV file held whole in memory.

#include <cstdint>
#include <span>

// image is a whole PCM WAV file. The data chunk's header is taken to follow
// the fmt chunk (at byte 20 + fmt size, the fmt size being the 32-bit value
// at byte 16); the data chunk's bytes are moved to the start of image and the
// number of whole 16-bit samples is returned (an odd last byte is dropped).
// Nothing beyond the image is read or moved: a data size larger than the
// bytes that follow the data header counts only those bytes, and an image
// too short to hold the data header (a fmt size that puts it outside)
// gives 0 and is left unchanged.
uint32_t ExtractPcm(std::span<uint8_t> image);
