#include "convert/ExportRow.h"

#include "catalogue/RecordRow.h"
#include "playback/PcmWavHeader.h"

namespace {
constexpr uint32_t kLdvBytesPerSecond = 1000;
constexpr uint32_t kPcmBytesPerSecond = 16000;
constexpr uint32_t kAdpcmBytesPerSecond = 4000;
constexpr uint32_t kDeviceHead = 512;
}  // namespace

uint32_t ExportSeconds(std::u16string_view name, uint32_t size, const uint8_t (&head)[44]) {
    // Only these three spellings mark an LDV stream; ".lDv" is measured as WAV.
    for (std::u16string_view ldv : {u".ldv", u".LDV", u".Ldv"})
        if (name.find(ldv) != std::u16string_view::npos) return size / kLdvBytesPerSecond;
    if (IsPcmWavHeader(head)) return size / kPcmBytesPerSecond;
    return size < kDeviceHead ? 0 : (size - kDeviceHead) / kAdpcmBytesPerSecond;
}

ExportRow FormatExportRow(std::u16string_view folder, std::u16string_view name, std::u16string_view summary) {
    ExportRow row;
    SummaryTexts texts = SummaryColumnTexts(summary);
    row.phone = std::move(texts.phone);
    row.type = std::move(texts.type);
    row.start = std::move(texts.start);

    platform::File file = OpenRecording(folder, name);
    if (!file) return row;
    const uint32_t size = static_cast<uint32_t>(file.Size());
    uint8_t head[kPcmWavHeaderSize] = {};
    file.ReadAt(0, head, sizeof head);
    file.Close();

    row.measured = true;
    row.seconds = ExportSeconds(name, size, head);
    row.size = size < 1024 ? std::u16string(u"1K") : DecimalText(size / 1024) + u"K";
    return row;
}
