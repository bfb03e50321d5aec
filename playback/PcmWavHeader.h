#pragma once
// The 44-byte RIFF header of every WAV file the player writes: 8000 Hz, mono,
// 16-bit PCM. A file that carries this header is played as stored; any other
// .wav is taken for a device ADPCM recording and converted first.

#include <cstddef>
#include <cstdint>

inline constexpr size_t kPcmWavHeaderSize = 44;

// The header with its placeholder sizes (RIFF size 631264 at byte 4, data
// size 631228 at byte 40). They stand only until the samples are written;
// FixWavSizes then rewrites both from the file's size.
extern const uint8_t PcmWavHeader[kPcmWavHeaderSize];

// header points to the first 44 bytes of a file. True when bytes 8 to 39
// equal those of PcmWavHeader ("WAVE", a 16-byte PCM fmt chunk for 8000 Hz
// mono 16-bit, "data"); the sizes at bytes 4 and 40 are not compared.
bool IsPcmWavHeader(const uint8_t* header);
