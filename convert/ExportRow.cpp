#include "convert/ExportRow.h"

#include <optional>

#include "catalogue/RecordRow.h"
#include "playback/WavLayout.h"

namespace {
constexpr uint32_t kLdvBytesPerSecond = 1000;
constexpr uint32_t kAdpcmBytesPerSecond = 4000;
constexpr uint32_t kDeviceHead = 512;
}  // namespace

uint32_t ExportSeconds(std::u16string_view name, platform::File& file) {
    const uint32_t size = static_cast<uint32_t>(file.Size());
    // Only these three spellings mark an LDV stream; ".lDv" is measured as WAV.
    for (std::u16string_view ldv : {u".ldv", u".LDV", u".Ldv"})
        if (name.find(ldv) != std::u16string_view::npos) return size / kLdvBytesPerSecond;
    if (const std::optional<uint32_t> pcm = PcmWavSeconds(file)) return *pcm;
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
    row.measured = true;
    row.seconds = ExportSeconds(name, file);
    file.Close();

    row.size = size < 1024 ? std::u16string(u"1K") : DecimalText(size / 1024) + u"K";
    return row;
}
