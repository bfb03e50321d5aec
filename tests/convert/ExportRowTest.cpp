// The size and duration texts of an exported row, from the recording's size
// and first bytes.

#include <gtest/gtest.h>

#include <vector>

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
