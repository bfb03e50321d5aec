#include "workbook/BiffRecords.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace workbook::biff {

RecordData& RecordData::U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

RecordData& RecordData::U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
}

RecordData& RecordData::U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    return U16(static_cast<uint16_t>(v >> 16));
}

RecordData& RecordData::F64(double v) {
    uint64_t bits = std::bit_cast<uint64_t>(v);
    U32(static_cast<uint32_t>(bits));
    return U32(static_cast<uint32_t>(bits >> 32));
}

RecordData& RecordData::Bytes(std::span<const uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

RecordData& RecordData::ShortUnicode(std::u16string_view text) {
    if (text.size() > 255) throw std::length_error("BIFF short string longer than 255 characters");
    U8(static_cast<uint8_t>(text.size()));
    U8(1);  // uncompressed: two bytes a character
    for (char16_t c : text) U16(c);
    return *this;
}

void Stream::Append(uint16_t id, std::span<const uint8_t> data) {
    if (data.size() > kMaxRecordData) throw std::length_error("BIFF record longer than 8224 bytes");
    const uint8_t head[4] = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
                             static_cast<uint8_t>(data.size()), static_cast<uint8_t>(data.size() >> 8)};
    bytes_.insert(bytes_.end(), head, head + 4);
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void Stream::PatchU32(size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

void Stream::PadTo(size_t size) {
    if (bytes_.size() < size) bytes_.resize(size, 0);
}

}  // namespace workbook::biff
