#include "catalogue/RecordRow.h"

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/TempFolder.h"

namespace {

RowTexts Format(const TempFolder& dir, const std::u16string& name, const std::u16string& summary) {
    RowTexts row;
    FormatRow(dir.Wide(), name, summary, row);
    return row;
}

}  // namespace

TEST(FormatRow, ColumnsFromTheSummary) {
    TempFolder dir;
    WriteRecording(dir.Str(), "VOC00001.wav", {}, 512 + 4096 * 10);
    struct Case {
        std::u16string summary, phone, type, start;
    } cases[] = {
        {u"Z20170305-090700-12345", u"12345", u"主叫", u"2017-03-05 09:07:00"},
        {u"B20181231-235900-", u"", u"被叫", u"2018-12-31 23:59:00"},
        {u"L20160102-030400-95588", u"95588", u"留言", u"2016-01-02 03:04:00"},
        // On-site recordings show no number, whatever the header holds.
        {u"X20170305-090700-12345", u"", u"现场", u"2017-03-05 09:07:00"},
        // A number is shown only up to its first '-'.
        {u"Z20170305-090700-0755-88886666", u"0755", u"主叫", u"2017-03-05 09:07:00"},
        // Any other letter is a message.
        {u"Q20170305-090700-1", u"1", u"留言", u"2017-03-05 09:07:00"},
        // A summary never made (unreadable header) shows empty texts.
        {u"", u"", u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.summary.begin(), c.summary.end()));
        RowTexts row = Format(dir, u"VOC00001.wav", c.summary);
        EXPECT_EQ(row[2], c.phone);
        EXPECT_EQ(row[3], c.type);
        EXPECT_EQ(row[4], c.start);
        EXPECT_EQ(row[5], u"10秒");
        EXPECT_EQ(row[6], u"41472字节");
    }
}

TEST(FormatRow, LengthAndSizeFromTheFile) {
    TempFolder dir;
    struct Case {
        uint32_t size;
        std::u16string length, bytes;
    } cases[] = {
        {512 + 4096 * 10, u"10秒", u"41472字节"},
        {512 + 4096 * 10 - 1, u"9秒", u"41471字节"},
        {600, u"0秒", u"600字节"},
        {512, u"0秒", u"512字节"},
        // Shorter than the head: no wrap-around to a huge length.
        {100, u"0秒", u"100字节"},
        {0, u"0秒", u"0字节"},
    };
    for (const Case& c : cases) {
        WriteRaw(dir.Str(), "VOC00001.wav", std::vector<uint8_t>(c.size));
        RowTexts row = Format(dir, u"VOC00001.wav", u"Z20170305-090700-1");
        EXPECT_EQ(row[5], c.length) << c.size;
        EXPECT_EQ(row[6], c.bytes) << c.size;
    }
}

TEST(FormatRow, ARecordingThatCannotBeOpenedShowsNoLengthOrSize) {
    TempFolder dir;
    RowTexts missing = Format(dir, u"VOC00001.wav", u"Z20170305-090700-1");
    EXPECT_EQ(missing[5], u"");
    EXPECT_EQ(missing[6], u"");
    EXPECT_EQ(missing[3], u"主叫");

    WriteRecording(dir.Str(), "VOC00002.wav", {});
    platform::File holder = platform::File::CreateForWriting(dir.File("VOC00002.wav"));
    RowTexts held = Format(dir, u"VOC00002.wav", u"Z20170305-090700-1");
    EXPECT_EQ(held[6], u"");
}

TEST(RecordingSeconds, FourThousandNinetySixBytesASecondAfterTheHead) {
    EXPECT_EQ(RecordingSeconds(0), 0u);
    EXPECT_EQ(RecordingSeconds(511), 0u);
    EXPECT_EQ(RecordingSeconds(512 + 4095), 0u);
    EXPECT_EQ(RecordingSeconds(512 + 4096), 1u);
    EXPECT_EQ(RecordingSeconds(UINT32_MAX), (UINT32_MAX - 512) / 4096);
}
