// A recording's bytes through everything that reads a recording for the list
// and the export: the header reader of the scan, the summary a page fills in,
// the row texts of the list and the row of the workbook.
//
// Input: one byte choosing the file name (the kinds a folder holds), then the
// file's bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "catalogue/RecordRow.h"
#include "catalogue/RecordingHeader.h"
#include "convert/ExportRow.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"

namespace {

constexpr const char* kNames[] = {"VOC12345.wav", "VOC12345.WAV", "VOC12345.ldv", "VOC12345.Ldv", "VOC12345.LDV"};
constexpr size_t kHeaderEnd = RecordingHeader::kOffset + sizeof(RecordingHeader);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string name = kNames[data[0] % std::size(kNames)];
    const uint8_t* bytes = data + 1;
    const size_t length = size - 1;
    WriteFuzzFile(name, bytes, length);
    const std::u16string folder = FuzzFolder().Wide();
    const std::u16string wideName = platform::Utf8ToWide(name);
    const bool readable = length >= kHeaderEnd;

    // The filtered scan's reader: the summary goes right behind the name.
    char nameBuffer[kNameBufferSize] = {};
    std::memcpy(nameBuffer, name.data(), name.size());
    RecordingInfo info = {};
    ReadRecordingHeader(folder, nameBuffer, info);
    const std::string_view scanSummary(nameBuffer + name.size() + 1, strnlen(nameBuffer + name.size() + 1, kNameBufferSize - name.size() - 1));
    Check(scanSummary.size() < kNameBufferSize - name.size() - 1);
    // A summary starts with the type letter: a zero there leaves it empty,
    // as if the header could not be read.
    const bool typed = readable && bytes[RecordingHeader::kOffset] != 0;
    Check(typed == !scanSummary.empty());
    if (readable) {
        Check(info.callType == static_cast<char>(bytes[RecordingHeader::kOffset]));
        Check(info.year == 2000 + static_cast<int8_t>(bytes[RecordingHeader::kOffset + 18]));
        Check(strnlen(info.phone, sizeof info.phone) < sizeof info.phone);
    }

    // The page's summary in the catalogue entry: the same text, cut to the
    // entry's room.
    CatalogueEntry entry = {};
    std::memcpy(entry.bytes, name.data(), name.size());
    FillSummary(folder, entry);
    Check(entry.Name() == name);
    const std::string_view summary = entry.Summary();
    Check(scanSummary.substr(0, summary.size()) == summary);
    Check(typed == !summary.empty());
    Check(entry.bytes[kCatalogueEntrySize - 1] == 0);

    // A second fill leaves a summary alone.
    CatalogueEntry again = entry;
    FillSummary(folder, again);
    Check(std::memcmp(again.bytes, entry.bytes, kCatalogueEntrySize) == 0);

    const std::u16string wideSummary = platform::NarrowToWide(summary);
    RowTexts row;
    FormatRow(folder, wideName, wideSummary, row);
    Check(row[6] == DecimalText(static_cast<int64_t>(length)) + u"字节");
    Check(row[3].empty() == summary.empty());

    const ExportRow exportRow = FormatExportRow(folder, wideName, wideSummary);
    Check(exportRow.measured);
    Check(exportRow.phone == row[2] && exportRow.type == row[3] && exportRow.start == row[4]);
    Check(exportRow.size == (length < 1024 ? std::u16string(u"1K") : DecimalText(static_cast<int64_t>(length / 1024)) + u"K"));

    // Any text as a summary, as a catalogue entry of an older list may hold.
    const std::u16string anyText = platform::NarrowToWide(std::string_view(reinterpret_cast<const char*>(bytes), length));
    const SummaryTexts texts = SummaryColumnTexts(anyText);
    Check(texts.phone.size() <= anyText.size());
    return 0;
}
