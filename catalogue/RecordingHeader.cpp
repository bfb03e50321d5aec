#include "catalogue/RecordingHeader.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/TextCodec.h"

bool IsRecordingName(std::u16string_view name) {
    if (name.size() != 12) return false;
    for (size_t i = 3; i <= 7; ++i)
        if (name[i] < u'0' || name[i] > u'9') return false;
    return true;
}

RecordingFolder::RecordingFolder(std::u16string_view folder) {
    // The folder opens by its own name, however long, whatever CP936 makes
    // of it; its recordings are then opened relative to it.
    std::optional<std::string> system = platform::SystemPath(folder);
    if (system) folder_ = platform::Folder::Open(*system);
}

bool RecordingFolder::ReadHeader(std::string_view name, RecordingHeader& header) const {
    if (!folder_.IsOpen()) return false;
    std::optional<std::string> system = platform::SystemPathFromNarrow(name);
    return system && folder_.ReadFileAt(*system, RecordingHeader::kOffset, &header, sizeof header) == sizeof header;
}

namespace {

// Writes the summary "%C%04d%02d%02d-%02d%02d00-%s" into dest.
void WriteSummary(const RecordingHeader& h, char* dest, size_t room) {
    char phone[18] = {};
    std::memcpy(phone, h.phone, sizeof h.phone);  // all 17 bytes may be digits
    std::snprintf(dest, room, "%c%04d%02d%02d-%02d%02d00-%s", h.callType, 2000 + h.year, h.month, h.day, h.hour,
                  h.minute, phone);
}

}  // namespace

void ReadRecordingHeader(std::u16string_view folder, char (&nameBuffer)[kNameBufferSize], RecordingInfo& info) {
    ReadRecordingHeader(RecordingFolder(folder), nameBuffer, info);
}

void ReadRecordingHeader(const RecordingFolder& folder, char (&nameBuffer)[kNameBufferSize], RecordingInfo& info) {
    size_t nameLength = strnlen(nameBuffer, kNameBufferSize);
    if (nameLength + 1 >= kNameBufferSize) return;
    RecordingHeader header;
    if (!folder.ReadHeader(std::string_view(nameBuffer, nameLength), header)) return;
    WriteSummary(header, nameBuffer + nameLength + 1, kNameBufferSize - nameLength - 1);
    FillRecordingInfo(header, info);
}

void FillRecordingInfo(const RecordingHeader& header, RecordingInfo& info) {
    std::memset(info.phone, 0, sizeof info.phone);
    std::memcpy(info.phone, header.phone, sizeof header.phone);
    info.year = static_cast<int16_t>(2000 + header.year);
    info.month = header.month;
    info.day = header.day;
    info.callType = header.callType;
}

void FillSummary(std::u16string_view folder, CatalogueEntry& entry) {
    size_t nameLength = entry.Name().size();
    if (nameLength + 1 >= kCatalogueEntrySize || entry.bytes[nameLength + 1] != 0) return;
    RecordingHeader header;
    if (!RecordingFolder(folder).ReadHeader(entry.Name(), header)) return;
    WriteSummary(header, entry.bytes + nameLength + 1, kCatalogueEntrySize - nameLength - 1);
}
