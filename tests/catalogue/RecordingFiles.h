#pragma once
// Small recordings for the catalogue tests: a head with chosen metadata,
// padded to a chosen size (the catalogue never decodes the audio).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct RecordingFields {
    char type = 'Z';
    std::string phone = "13812345678";
    int year = 2017, month = 3, day = 5, hour = 9, minute = 7;
};

// Writes dir/name: a 512-byte head with fields, zero bytes up to size.
void WriteRecording(const std::string& dir, const std::string& name, const RecordingFields& fields,
                    uint32_t size = 600);
// Writes dir/name holding exactly bytes.
void WriteRaw(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes);
// "VOC" + five digits + ".wav".
std::string RecordingName(int number);
