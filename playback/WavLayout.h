#pragma once
// What a .wav file holds, told by its RIFF chunks: the player's own PCM form
// wherever its chunks lie (other programs write LIST and fact chunks, an
// 18-byte fmt chunk, padding after odd-sized chunks), PCM or float samples
// of a form the player cannot play, or anything else, which is taken for a
// device recording (a 512-byte head and IMA ADPCM).
//
// Only the chunk headers and the fmt chunk are read. The RIFF size (bytes 4
// to 7) is not read, since writers that stream leave it wrong: the chunks
// are walked from byte 12 to the end of the file, and a chunk size that
// reaches beyond the end counts only the bytes there.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/Files.h"

enum class WavForm {
    kDevice,   // not PCM or float: a device recording, converted before it plays
    kPcm,      // PCM, 8000 Hz, mono, 16-bit: its data chunk's samples play as stored
    kRefused,  // PCM or float of another rate, channel count or sample size
};

struct WavLayout {
    WavForm form = WavForm::kDevice;
    // kPcm: where the first data chunk's bytes start, and how many of them
    // the file holds (its size field, cut to the end of the file); both 0
    // when there is no data chunk.
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;
    // kPcm and kRefused: what the fmt chunk declares. formatTag is 1 (PCM) or
    // 3 (float), also when the fmt chunk gives it as an extensible format's
    // subformat.
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint16_t bitsPerSample = 0;
};

// Reads up to size bytes at offset into data and returns how many it read.
using WavReader = std::function<size_t(uint64_t offset, uint8_t* data, size_t size)>;

// The layout of a file of fileSize bytes read through read. A RIFF WAVE
// ("WAVE" at byte 8; bytes 0 to 7 are not compared) whose first fmt chunk
// declares PCM (tag 1) or float (tag 3), directly or as the subformat of
// WAVE_FORMAT_EXTENSIBLE, is kPcm at 8000 Hz, 1 channel and 16 bits and
// kRefused otherwise; every other file is kDevice.
WavLayout ReadWavLayout(uint64_t fileSize, const WavReader& read);
// The same for a file held in memory, and for an open file.
WavLayout ReadWavLayout(std::span<const uint8_t> image);
WavLayout ReadWavLayout(platform::File& file);

// Why a kRefused file is not played, in words: "44100 Hz, 2 channels,
// 16-bit PCM samples; the player plays 8000 Hz mono 16-bit PCM only".
std::string WavRefusal(const WavLayout& layout);

// Bytes a second of the player's PCM form: 8000 samples of 2 bytes.
inline constexpr uint32_t kPcmBytesPerSecond = 16000;

// The seconds the record list and the export show for the open file when the
// player plays it as PCM: its size over kPcmBytesPerSecond. Nothing for any
// other file.
std::optional<uint32_t> PcmWavSeconds(platform::File& file);
