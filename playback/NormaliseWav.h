#pragma once
// Conversion of a device ADPCM recording into the player's PCM form, written
// to the temporary file temp.$$$ in the current directory.
//
// The device's file: a 512-byte head with the data length L (unsigned 32-bit
// little-endian) at byte 508, then L bytes of IMA ADPCM in 1024-byte blocks.

#include <string_view>

#include "platform/Files.h"

// The converted file's name, in the process's current directory.
inline constexpr char kNormalisedWavName[] = "temp.$$$";

// Converts the device recording at path (wide; opened by its own name,
// however long) into temp.$$$: PcmWavHeader, then the
// samples of each converted block, then the true sizes. A block is converted
// only when at least one byte of data follows it within L, so the last block
// of the data never is (L = 3072 converts 2 blocks, L = 3073 converts 3), and
// only when all its 1024 bytes were read: a source shorter than 512 bytes, or
// one holding less data than L claims, converts the whole blocks present,
// possibly none (a header-only temp.$$$).
// Returns false only when the source cannot be opened; then nothing is
// created. When
// temp.$$$ cannot be created (another opener holds it, say) the result is
// still true and nothing is written; when a write to it falls short, the
// result is true and temp.$$$ is removed.
bool NormaliseWav(std::u16string_view path);

enum class NormaliseOutcome { Converted, SourceUnreadable, WriteFailed };

// The same conversion as NormaliseWav, written to out (an open, empty file)
// instead of temp.$$$. Source and samples are streamed a run of blocks at a
// time, so the memory used does not grow with the recording. SourceUnreadable
// when the source cannot be opened (nothing is written), WriteFailed when a
// write to out fell short.
NormaliseOutcome NormaliseWavTo(std::u16string_view path, platform::File& out);
