#include "catalogue/RecordRow.h"

#include <optional>
#include <string>

#include "catalogue/RecordingHeader.h"
#include "platform/Files.h"
#include "playback/WavLayout.h"

namespace {

// Characters first..last of s, as far as s reaches.
std::u16string_view Slice(std::u16string_view s, size_t first, size_t last) {
    if (first >= s.size()) return {};
    return s.substr(first, last - first + 1);
}

std::u16string TypeLabel(char16_t letter) {
    switch (letter) {
        case u'B': return u"被叫";
        case u'Z': return u"主叫";
        case u'X': return u"现场";
        default: return u"留言";
    }
}

}  // namespace

std::u16string DecimalText(int64_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

uint32_t RecordingSeconds(uint32_t size) { return size < 512 ? 0 : (size - 512) / 4096; }

SummaryTexts SummaryColumnTexts(std::u16string_view summary) {
    SummaryTexts texts;
    if (summary.empty()) return texts;
    texts.type = TypeLabel(summary[0]);
    texts.start.append(Slice(summary, 1, 4)).append(u"-").append(Slice(summary, 5, 6)).append(u"-");
    texts.start.append(Slice(summary, 7, 8)).append(u" ").append(Slice(summary, 10, 11)).append(u":");
    texts.start.append(Slice(summary, 12, 13)).append(u":").append(Slice(summary, 14, 15));
    if (summary[0] != static_cast<char16_t>(CallType::OnSite)) {
        std::u16string_view phone = Slice(summary, 17, summary.size());
        texts.phone = std::u16string(phone.substr(0, phone.find(u'-')));
    }
    return texts;
}

platform::File OpenRecording(std::u16string_view folder, std::u16string_view name) {
    std::optional<std::string> sysPath = platform::SystemPath(platform::JoinPath(folder, name));
    return sysPath ? platform::File::OpenForReading(*sysPath) : platform::File();
}

void FormatRow(std::u16string_view folder, std::u16string_view name, std::u16string_view summary, RowTexts& row) {
    SummaryTexts texts = SummaryColumnTexts(summary);
    row[2] = std::move(texts.phone);
    row[3] = std::move(texts.type);
    row[4] = std::move(texts.start);

    platform::File file = OpenRecording(folder, name);
    if (!file) return;
    uint32_t size = static_cast<uint32_t>(file.Size());
    const std::optional<uint32_t> pcmSeconds = PcmWavSeconds(file);
    file.Close();
    row[5] = DecimalText(pcmSeconds ? *pcmSeconds : RecordingSeconds(size)) + u"秒";
    row[6] = DecimalText(size) + u"字节";
}
