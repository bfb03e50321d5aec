#pragma once
// The metadata block the recording device writes at byte 256 of every
// recording, the file-name rule, and the two readers of the block.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/CatalogueEntry.h"
#include "platform/Files.h"

// The block's layout; every field is a byte or a run of bytes.
struct RecordingHeader {
    static constexpr int64_t kOffset = 256;  // where the block lies in the file
    char callType;      // a CallType letter
    char phone[17];     // zero-terminated inside the field, unless all 17 are digits
    int8_t year;        // calendar year - 2000
    int8_t month;
    int8_t day;
    int8_t hour;
    int8_t minute;
    uint8_t unused[9];  // seconds and more; nothing reads them
};
static_assert(sizeof(RecordingHeader) == 32);

// Call-type letters.
enum class CallType : char {
    Outgoing = 'Z',  // "主叫"
    Incoming = 'B',  // "被叫"
    Message = 'L',   // "留言"
    OnSite = 'X',    // "现场": no call, so no phone number is shown
};

// What the query filter tests of one recording. Cleared to zero by the caller;
// still all zero after ReadRecordingHeader when the header could not be read.
struct RecordingInfo {
    int16_t year;
    int16_t month;
    int16_t day;
    char callType;
    char phone[20];
};

// Narrow name buffer the scan reads a header into: the name, its terminator,
// and the summary behind it.
inline constexpr size_t kNameBufferSize = 64;

// True when name is a recording's: exactly 12 characters with ASCII digits at
// positions 3 to 7 (the scan's pattern "VOC*.wav" fixes the rest).
bool IsRecordingName(std::u16string_view name);

// A folder whose recordings' headers are read one after another (a filtered
// scan reads every one): the folder's path is converted and opened once.
class RecordingFolder {
public:
    explicit RecordingFolder(std::u16string_view folder);

    // Reads the header block of the recording called name (narrow). False
    // when the folder or the file is missing, the file is held by another
    // program or is shorter than the block's end.
    bool ReadHeader(std::string_view name, RecordingHeader& header) const;

private:
    platform::Folder folder_;
};

// Reads the header of the recording called name (in nameBuffer, zero-filled
// behind the name) in folder. On success writes the summary right after the
// name's terminator and fills info; on failure (file missing, held by another
// program, shorter than the header's end) writes nothing.
void ReadRecordingHeader(std::u16string_view folder, char (&nameBuffer)[kNameBufferSize], RecordingInfo& info);
void ReadRecordingHeader(const RecordingFolder& folder, char (&nameBuffer)[kNameBufferSize], RecordingInfo& info);

// The info ReadRecordingHeader fills from a header it has read.
void FillRecordingInfo(const RecordingHeader& header, RecordingInfo& info);

// Fills entry's summary from its recording in folder, unless it already has
// one. A recording that cannot be read leaves the summary empty, so the next
// display tries again.
void FillSummary(std::u16string_view folder, CatalogueEntry& entry);
