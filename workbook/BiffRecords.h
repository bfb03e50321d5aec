#pragma once
// The record layer of a BIFF8 workbook stream: little-endian fields gathered
// into a record's data, and records (id, length, data) appended to the
// stream. A record's data holds at most kMaxRecordData bytes; longer data
// goes on in CONTINUE records, which the string table arranges itself.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace workbook::biff {

inline constexpr size_t kMaxRecordData = 8224;

// Record ids.
enum RecordId : uint16_t {
    kEof = 0x000A,
    kExternSheet = 0x0017,
    kContinue = 0x003C,
    kWindow1 = 0x003D,
    kCodePage = 0x0042,
    kFont = 0x0031,
    kBoundSheet = 0x0085,
    kLabelSst = 0x00FD,
    kSst = 0x00FC,
    kExtSst = 0x00FF,
    kXf = 0x00E0,
    kDimensions = 0x0200,
    kNumber = 0x0203,
    kWindow2 = 0x023E,
    kStyle = 0x0293,
    kBof = 0x0809,
};

// The data of one record, built field by field.
class RecordData {
public:
    RecordData& U8(uint8_t v);
    RecordData& U16(uint16_t v);
    RecordData& U32(uint32_t v);
    RecordData& F64(double v);
    RecordData& Bytes(std::span<const uint8_t> bytes);
    // A string with an 8-bit character count, an option byte and UTF-16
    // characters (sheet and font names); at most 255 units.
    RecordData& ShortUnicode(std::u16string_view text);

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// The stream: records appended in order.
class Stream {
public:
    // Appends a record; data must hold at most kMaxRecordData bytes.
    void Append(uint16_t id, std::span<const uint8_t> data);
    void Append(uint16_t id, const RecordData& data) { Append(id, data.Bytes()); }
    // Overwrites a 32-bit field already written at offset (a forward
    // reference such as a sheet's position).
    void PatchU32(size_t offset, uint32_t v);
    // Appends zero bytes up to size.
    void PadTo(size_t size);

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace workbook::biff
