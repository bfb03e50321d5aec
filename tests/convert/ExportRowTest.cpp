// The size and duration texts of an exported row, from the recording's size
// and first bytes.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "catalogue/RecordRow.h"
#include "convert/ExportRow.h"
#include "platform/TextCodec.h"
#include "playback/PcmWavHeader.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/TempFolder.h"

namespace {

std::vector<uint8_t> Bytes(size_t size, bool pcmHeader) {
    std::vector<uint8_t> bytes(size, 0);
    if (pcmHeader) std::copy(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize, bytes.begin());
    return bytes;
}

TEST(ExportRowTest, SizeAndDurationFromTheRecording) {
    TempFolder dir;
    const struct {
        std::string name;
        size_t size;
        bool pcm;
        uint32_t seconds;
        std::u16string sizeText;
    } cases[] = {
        {"VOC00001.wav", 1023, false, 0, u"1K"},
        {"VOC00002.wav", 2047, false, 0, u"1K"},
        {"VOC00003.wav", 2048, false, 0, u"2K"},
        {"VOC00004.wav", 512 + 4000 * 30, false, 30, u"117K"},
        {"VOC00005.wav", 512 + 4000 * 30 - 1, false, 29, u"117K"},
        {"VOC00006.wav", 160044, true, 10, u"156K"},
        {"a.ldv", 20005, false, 20, u"19K"},
        {"b.LDV", 20005, false, 20, u"19K"},
        {"c.Ldv", 20005, true, 20, u"19K"},
        // Not one of the three spellings: measured as a WAV file.
        {"d.lDv", 160044, true, 10, u"156K"},
        {"e.lDv", 20005, false, 4, u"19K"},
        // Shorter than the device's head and not PCM.
        {"VOC00007.wav", 100, false, 0, u"1K"},
        {"VOC00008.wav", 0, false, 0, u"1K"},
    };
    for (const auto& c : cases) {
        WriteRaw(dir.Str(), c.name, Bytes(c.size, c.pcm));
        ExportRow row = FormatExportRow(dir.Wide(), platform::Utf8ToWide(c.name), u"");
        EXPECT_TRUE(row.measured) << c.name;
        EXPECT_EQ(row.seconds, c.seconds) << c.name;
        EXPECT_EQ(row.size, c.sizeText) << c.name;
    }
}

// A PCM WAV file wherever its chunks lie, as ffmpeg writes one (a LIST
// chunk between fmt and data) or with an 18-byte fmt chunk, of size bytes.
std::vector<uint8_t> PcmWavWithChunks(size_t size, bool list) {
    std::vector<uint8_t> bytes(PcmWavHeader, PcmWavHeader + 36);
    if (list) {
        const uint8_t chunk[] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
        bytes.insert(bytes.end(), std::begin(chunk), std::end(chunk));
    } else {
        bytes[16] = 18;
        bytes.insert(bytes.end(), {0, 0});
    }
    const uint8_t data[] = {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF};
    bytes.insert(bytes.end(), std::begin(data), std::end(data));
    bytes.resize(size);
    return bytes;
}

TEST(ExportRowTest, TheRecordListMeasuresAPcmWavAsTheExportDoes) {
    TempFolder dir;
    const struct {
        std::string name;
        std::vector<uint8_t> bytes;
        std::u16string seconds;  // by both, for a PCM WAV file
    } cases[] = {
        {"VOC00001.wav", Bytes(600044, true), u"37"},
        {"VOC00002.wav", PcmWavWithChunks(600078, true), u"37"},
        {"VOC00003.wav", PcmWavWithChunks(160046, false), u"10"},
        {"VOC00004.wav", PcmWavWithChunks(15999, true), u"0"},
    };
    for (const auto& c : cases) {
        WriteRaw(dir.Str(), c.name, c.bytes);
        RowTexts listed;
        FormatRow(dir.Wide(), platform::Utf8ToWide(c.name), u"", listed);
        EXPECT_EQ(listed[5], c.seconds + u"秒") << c.name;
        EXPECT_EQ(DecimalText(FormatExportRow(dir.Wide(), platform::Utf8ToWide(c.name), u"").seconds), c.seconds)
            << c.name;
    }
    // A device recording keeps the list's own measure, 4096 bytes a second
    // after the head.
    WriteRaw(dir.Str(), "VOC00005.wav", Bytes(600044, false));
    RowTexts device;
    FormatRow(dir.Wide(), u"VOC00005.wav", u"", device);
    EXPECT_EQ(device[5], u"146秒");
}

TEST(ExportRowTest, SummaryTextsAsTheRecordListShowsThem) {
    TempFolder dir;
    WriteRaw(dir.Str(), "VOC00001.wav", Bytes(600, false));
    const struct {
        std::u16string summary, phone, type, start;
    } cases[] = {
        {u"Z20170305-090700-13812345678", u"13812345678", u"主叫", u"2017-03-05 09:07:00"},
        {u"B20170305-090700-0755-8888", u"0755", u"被叫", u"2017-03-05 09:07:00"},
        {u"X20170305-090700-13812345678", u"", u"现场", u"2017-03-05 09:07:00"},
        {u"L20170305-090700-", u"", u"留言", u"2017-03-05 09:07:00"},
        // A recording whose header could not be read.
        {u"", u"", u"", u""},
    };
    for (const auto& c : cases) {
        ExportRow row = FormatExportRow(dir.Wide(), u"VOC00001.wav", c.summary);
        EXPECT_EQ(row.phone, c.phone);
        EXPECT_EQ(row.type, c.type);
        EXPECT_EQ(row.start, c.start);
    }
}

TEST(ExportRowTest, ARecordingThatCannotBeOpenedIsNotMeasured) {
    TempFolder dir;
    ExportRow row = FormatExportRow(dir.Wide(), u"VOC00009.wav", u"Z20170305-090700-138");
    EXPECT_FALSE(row.measured);
    EXPECT_EQ(row.seconds, 0u);
    EXPECT_EQ(row.size, u"");
    EXPECT_EQ(row.type, u"主叫");
}

}  // namespace
