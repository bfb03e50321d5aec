#pragma once
// WAV files as other programs write them: ffmpeg puts a LIST chunk between
// fmt and data, sox writes an 18-byte fmt chunk and a fact chunk for float
// samples and an extensible fmt chunk beyond 16 bits. Both are found on
// PATH.

#include <cstdint>
#include <string>
#include <vector>

// Writes samples (8000 Hz, mono) to path with ffmpeg, which is given
// options for its output ("-ar", "16000", "-c:a", "pcm_f32le", ...). Empty
// when it worked, else what ffmpeg said.
std::string WriteWithFfmpeg(const std::string& path, const std::vector<int16_t>& samples,
                            const std::vector<std::string>& options = {});
// Converts the WAV file from into the WAV file to with ffmpeg and options,
// as "ffmpeg -i x.wav -ar 8000 -ac 1 out.wav" does.
std::string ConvertWithFfmpeg(const std::string& from, const std::string& to, const std::vector<std::string>& options);
// The same with sox and its output options ("-b", "24", "-e", "floating-point", ...).
std::string WriteWithSox(const std::string& path, const std::vector<int16_t>& samples,
                         const std::vector<std::string>& options = {});

// The samples sox reads from the WAV file at path, as 16-bit integers.
std::vector<int16_t> SamplesReadBySox(const std::string& path);
