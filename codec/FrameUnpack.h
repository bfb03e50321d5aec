#pragma once
// Unpacking of a packed 10-byte G.729 Annex A frame into its parameters.

#include <cstdint>

namespace g729 {

constexpr int kFrameBytes = 10;
constexpr int kParameterCount = 11;

// Reads the eleven parameters of frame (80 bits, byte 0 first, most
// significant bit first; widths from table bitsno) into prm[1..11] in frame
// order. prm[0] is not touched. Every bit pattern is a valid frame.
void UnpackFrame(const uint8_t frame[kFrameBytes], int16_t prm[kParameterCount + 1]);

}  // namespace g729
