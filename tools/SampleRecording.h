#pragma once
// Device recordings made to order, for the sample folder, the tests and the
// benchmarks: the 512-byte head with its metadata block at byte 256 and the
// data length at byte 508, followed by IMA ADPCM data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kRecordingHeadBytes = 512;
inline constexpr size_t kRecordingHeaderOffset = 256;
inline constexpr size_t kRecordingHeaderBytes = 32;
inline constexpr size_t kRecordingLengthOffset = 508;

// The 32-byte metadata block: call type letter, the phone number in 17 bytes
// (zero-terminated when shorter; the first 17 characters and no terminator
// when longer or exactly 17), then year - 2000, month, day, hour and minute,
// each stored as the low byte of the value (so year 1999 is 0xFF), and 9
// zero bytes.
std::array<uint8_t, kRecordingHeaderBytes> MakeRecordingHeader(char type, std::string_view phone, int year,
                                                               int month, int day, int hour, int minute);

// A raw 512-byte head: bytesAt256 (any bytes, at most 252 of them so that
// they end before the length field) from byte 256, dataLength at byte 508,
// zero bytes everywhere else.
std::vector<uint8_t> MakeRecordingHead(std::span<const uint8_t> bytesAt256, uint32_t dataLength);

// A whole device recording: the head from the fields above, then pcm encoded
// as IMA ADPCM blocks (the last block completed with silence); the data length
// is the size of the encoded data.
std::vector<uint8_t> MakeDeviceRecording(char type, std::string_view phone, int year, int month, int day,
                                         int hour, int minute, std::span<const int16_t> pcm);

// Creates or replaces the file at path (file-system form) with bytes; false
// when it cannot be created or written completely.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);

// Writes recording number n (from 1) of a benchmark archive to path: the call
// type, phone number and date vary with n, and the head gives dataLength
// bytes of audio. The audio itself is never read by what the benchmarks time,
// so it is left as a sparse tail of zero bytes. False when the file cannot be
// written.
bool WriteArchiveRecording(const std::string& path, int n, uint32_t dataLength);
