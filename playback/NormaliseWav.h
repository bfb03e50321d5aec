#pragma once
// Conversion of a recording into the player's PCM form, written to the
// temporary file temp.$$$ in the current directory.
//
// A device recording: a 512-byte head with the data length L (unsigned
// 32-bit little-endian) at byte 508, then L bytes of IMA ADPCM in 1024-byte
// blocks. A PCM WAV file (WavLayout: 8000 Hz mono 16-bit PCM, its chunks in
// any order) gives the samples of its data chunk.

#include <string_view>

#include "platform/Files.h"

// The converted file's name, in the process's current directory.
inline constexpr char kNormalisedWavName[] = "temp.$$$";

// Converts the recording at path (wide; opened by its own name, however
// long) into temp.$$$:
// PcmWavHeader, then the samples, then the true sizes. The samples of a
// device recording are those of every block lying whole inside L (L = 3072
// converts 3 blocks, L = 3071 converts 2) and read whole: a source shorter
// than 512 bytes, or one holding less data than L claims, converts the whole
// blocks present, possibly none (a header-only temp.$$$). Those of a PCM WAV
// file are the whole samples of its data chunk, as far as the file holds
// them.
// Returns false when the source cannot be opened or is a WAV file of PCM or float samples in another form
// (WavForm::kRefused); then nothing is created. When temp.$$$ cannot be
// created (another opener holds it, say) the result is still true and
// nothing is written; when a write to it falls short, the result is true and
// temp.$$$ is removed.
bool NormaliseWav(std::u16string_view path);

enum class NormaliseOutcome { Converted, SourceUnreadable, Refused, WriteFailed };

// The same conversion as NormaliseWav, written to out (an open, empty file)
// instead of temp.$$$. Source and samples are streamed a run at a time, so
// the memory used does not grow with the recording. SourceUnreadable when the
// source cannot be opened and Refused when it is a WAV file of another form
// (nothing is written then), WriteFailed when a write to out fell short.
NormaliseOutcome NormaliseWavTo(std::u16string_view path, platform::File& out);
