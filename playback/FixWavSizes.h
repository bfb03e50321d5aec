#pragma once
// Rewrites the two size fields of a WAV file written behind PcmWavHeader once
// all its samples are in.

#include "platform/Files.h"

// file is open for writing and holds the header and every sample. Writes
// file size - 8 at byte 4 and file size - 44 at byte 40 (unsigned 32-bit,
// little-endian). Returns false, writing nothing, when the file is not open
// or is shorter than the header; false also when a write fails.
bool FixWavSizes(platform::File& file);
