#pragma once
// IMA ADPCM as the recording device stores it: mono, 1024-byte blocks, each
// holding its first sample (signed 16-bit little-endian, also the initial
// predictor), the initial step index, a reserved byte and 2040 four-bit codes,
// two per byte with the low nibble first.

#include <cstddef>
#include <cstdint>

inline constexpr size_t kImaBlockBytes = 1024;
inline constexpr size_t kImaBlockHeaderBytes = 4;
inline constexpr size_t kImaBlockSamples = 2041;  // the first sample plus one per code
inline constexpr int kImaMaxIndex = 88;

// The standard step-size and index-adjustment tables.
inline constexpr int16_t kImaStepTable[kImaMaxIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
inline constexpr int8_t kImaIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// The signed difference that code (0..15; bit 3 the sign, bits 2..0 the
// magnitude) adds to the predictor at step index (0..88): the standard
// shift-and-add of step / 8, plus step, step / 2 and step / 4 for the
// magnitude bits 2, 1 and 0.
constexpr int ImaDifference(int index, unsigned code) {
    const int step = kImaStepTable[index];
    int diff = step >> 3;
    if (code & 4) diff += step;
    if (code & 2) diff += step >> 1;
    if (code & 1) diff += step >> 2;
    return (code & 8) ? -diff : diff;
}

// The step index after code at index, kept within 0..88.
constexpr int ImaNextIndex(int index, unsigned code) {
    const int next = index + kImaIndexTable[code];
    return next < 0 ? 0 : next > kImaMaxIndex ? kImaMaxIndex : next;
}

// One standard decoding step: code moves predictor by its difference,
// saturating at -32768..32767, then index is adjusted. index must be within
// 0..88 on entry. The encoder runs this step so that it tracks the decoder
// exactly.
constexpr void ImaDecodeStep(int& predictor, int& index, unsigned code) {
    const int p = predictor + ImaDifference(index, code);
    predictor = p > 32767 ? 32767 : p < -32768 ? -32768 : p;
    index = ImaNextIndex(index, code);
}

// Decodes the 1024-byte block into out, which has room for kImaBlockSamples
// samples, and returns the number written (always kImaBlockSamples). An
// initial step index above 88 lies outside the step table and is taken as 88.
int DecodeImaBlock(const uint8_t* block, int16_t* out);

// Decodes count consecutive blocks into out, which has room for count *
// kImaBlockSamples samples; the same samples as DecodeImaBlock on each block
// in turn, in less time.
void DecodeImaBlocks(const uint8_t* blocks, size_t count, int16_t* out);
