#pragma once
// A standard IMA ADPCM WAV file (format tag 0x0011) around blocks in the
// device's layout, so that reference tools such as sox can decode the very
// blocks the player decodes.

#include <cstdint>
#include <span>
#include <vector>

// blocks holds whole 1024-byte blocks. The file has a 20-byte fmt chunk
// (mono, 8000 Hz, block align 1024, 4 bits, 2041 samples per block), a fact
// chunk with the total sample count and the blocks as its data chunk.
std::vector<uint8_t> MakeImaAdpcmWav(std::span<const uint8_t> blocks);
