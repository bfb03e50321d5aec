#pragma once
// Reading the recording to play whole into memory: an LDV file as it is
// stored (G.729 frames, decoded while playing), a PCM WAV file as its 16-bit
// samples, a device ADPCM recording after converting it through temp.$$$.

#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::u16string_view kNoSelectionMessage = u"请在列表中选择需要播放的通话记录！";
inline constexpr std::u16string_view kOpenFailedMessage = u"选择播放的通话记录文件打开失败！";

enum class RecordingKind { kUnknown, kLdv, kWav };

// The kind by name: ".ldv" or ".LDV" anywhere makes an LDV file, else ".wav"
// or ".WAV" a WAV file (exact case; ".Ldv" is neither).
RecordingKind RecordingKindOf(std::u16string_view name);

enum class LoadResult {
    kLoaded,
    kOpenFailed,  // the file cannot be opened: the user is told
    kRefused,     // PCM or float of a form the player cannot play: told as kOpenFailed
    kFailed,      // a later step failed: the command ends without a word
};

// Reads the LDV file at path (wide) whole into data; recBytes is the number
// of bytes read. Nothing in the data is examined.
LoadResult LoadLdvRecording(std::u16string_view path, std::vector<uint8_t>& data, uint32_t& recBytes);

// Reads the WAV file at path by its form (WavLayout): a PCM WAV file is read
// whole as it is; a device recording is converted by NormaliseWav into
// temp.$$$, which is read whole and deleted. The data chunk's samples are
// then moved to the start of data and recBytes is their length, whole
// samples only. kOpenFailed when the file cannot be opened at all; kRefused,
// reading no more, when it holds PCM or float samples of another form;
// kFailed when it cannot be read a second time, the conversion fails or
// temp.$$$ cannot be read (temp.$$$ is deleted after a failed conversion).
LoadResult LoadWavRecording(std::u16string_view path, std::vector<uint8_t>& data, uint32_t& recBytes);
