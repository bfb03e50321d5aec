#include "tools/SampleRecording.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "platform/Files.h"
#include "playback/ImaAdpcmEncoder.h"

std::array<uint8_t, kRecordingHeaderBytes> MakeRecordingHeader(char type, std::string_view phone, int year,
                                                               int month, int day, int hour, int minute) {
    std::array<uint8_t, kRecordingHeaderBytes> header{};
    header[0] = static_cast<uint8_t>(type);
    std::copy_n(phone.begin(), std::min<size_t>(phone.size(), 17), header.begin() + 1);
    header[18] = static_cast<uint8_t>(year - 2000);
    header[19] = static_cast<uint8_t>(month);
    header[20] = static_cast<uint8_t>(day);
    header[21] = static_cast<uint8_t>(hour);
    header[22] = static_cast<uint8_t>(minute);
    return header;
}

std::vector<uint8_t> MakeRecordingHead(std::span<const uint8_t> bytesAt256, uint32_t dataLength) {
    if (bytesAt256.size() > kRecordingLengthOffset - kRecordingHeaderOffset)
        throw std::invalid_argument("MakeRecordingHead: bytes would overlap the data length");
    std::vector<uint8_t> head(kRecordingHeadBytes, 0);
    std::copy(bytesAt256.begin(), bytesAt256.end(), head.begin() + kRecordingHeaderOffset);
    for (int i = 0; i < 4; ++i) head[kRecordingLengthOffset + i] = static_cast<uint8_t>(dataLength >> (8 * i));
    return head;
}

std::vector<uint8_t> MakeDeviceRecording(char type, std::string_view phone, int year, int month, int day,
                                         int hour, int minute, std::span<const int16_t> pcm) {
    const std::vector<uint8_t> data = EncodeImaAdpcm(pcm);
    std::vector<uint8_t> file =
        MakeRecordingHead(MakeRecordingHeader(type, phone, year, month, day, hour, minute),
                          static_cast<uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
    platform::File file = platform::File::CreateForWriting(path);
    return file && file.Write(bytes.data(), bytes.size()) == bytes.size();
}

bool WriteArchiveRecording(const std::string& path, int n, uint32_t dataLength) {
    static const char kTypes[] = {'Z', 'B', 'L', 'X'};
    auto header = MakeRecordingHeader(kTypes[n % 4], std::to_string(13800000000LL + n), 2016 + n % 3, 1 + n % 12,
                                      1 + n % 28, n % 24, n % 60);
    if (!WriteFileBytes(path, MakeRecordingHead(header, dataLength))) return false;
    std::error_code error;
    std::filesystem::resize_file(path, kRecordingHeadBytes + dataLength, error);
    return !error;
}
