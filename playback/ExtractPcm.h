#pragma once
// Finding the samples inside a PCM WAV file held whole in memory.

#include <cstdint>
#include <span>

// image is a whole PCM WAV file (8000 Hz, mono, 16-bit PCM, its chunks in
// any order: WavLayout). The first data chunk's bytes are moved to the start
// of image and the number of whole 16-bit samples is returned (an odd last
// byte is dropped). Nothing beyond the image is read or moved: a data size
// larger than the bytes that follow the data header counts only those bytes.
// An image of any other form, or without a data chunk, gives 0 and is left
// unchanged.
uint32_t ExtractPcm(std::span<uint8_t> image);
