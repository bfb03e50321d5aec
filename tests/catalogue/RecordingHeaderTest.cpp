#include "catalogue/RecordingHeader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <cstring>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"

TEST(IsRecordingName, TwelveCharactersWithDigitsAtThreeToSeven) {
    struct Case {
        std::u16string name;
        bool ok;
    } cases[] = {
        {u"VOC00001.wav", true},  {u"VOC12345.wav", true},  {u"voc12345.WAV", true},
        {u"VOC0000X.wav", false}, {u"VOC000001.wav", false}, {u"VOC1234.wav", false},
        {u"VOC1234A.wav", false}, {u"VOC１2345.wav", false}, {u"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRecordingName(c.name), c.ok) << std::string(c.name.begin(), c.name.end());
}

namespace {

struct HeaderRead {
    bool read;
    std::string summary;
    RecordingInfo info;
};

// Reads name from dir as the filtered scan does.
HeaderRead Read(const std::u16string& dir, const std::string& name) {
    char buffer[kNameBufferSize] = {};
    std::memcpy(buffer, name.data(), name.size());
    RecordingInfo info{};
    ReadRecordingHeader(dir, buffer, info);
    RecordingInfo zero{};
    return {std::memcmp(&info, &zero, sizeof info) != 0, std::string(buffer + name.size() + 1), info};
}

}  // namespace

TEST(ReadRecordingHeader, FieldsAndSummary) {
    TempFolder dir;
    struct Case {
        RecordingFields fields;
        std::string summary;
        int16_t year;
        std::string phone;
    } cases[] = {
        {{'Z', "12345", 2017, 3, 5, 9, 7}, "Z20170305-090700-12345", 2017, "12345"},
        // A number filling all 17 bytes has no terminator and stays 17 long.
        {{'B', "12345678901234567", 2018, 12, 31, 23, 59}, "B20181231-235900-12345678901234567", 2018,
         "12345678901234567"},
        // An empty number: the summary ends with the '-' at position 16.
        {{'L', "", 2016, 1, 2, 3, 4}, "L20160102-030400-", 2016, ""},
        // Year byte 0xFF is 1999; negative fields keep their sign.
        {{'X', "1", 1999, 1, 1, 0, 0}, "X19990101-000000-1", 1999, "1"},
        {{'Z', "9", 2017, -1, 5, -3, 7}, "Z2017-105--30700-9", 2017, "9"},
        // Out-of-range values are not checked.
        {{'Q', "0755-1234", 2017, 13, 32, 24, 60}, "Q20171332-246000-0755-1234", 2017, "0755-1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.summary);
        WriteRecording(dir.Str(), "VOC00001.wav", c.fields);
        HeaderRead r = Read(dir.Wide(), "VOC00001.wav");
        EXPECT_EQ(r.summary, c.summary);
        EXPECT_EQ(r.info.year, c.year);
        EXPECT_EQ(r.info.month, c.fields.month);
        EXPECT_EQ(r.info.day, c.fields.day);
        EXPECT_EQ(r.info.callType, c.fields.type);
        EXPECT_EQ(std::string(r.info.phone), c.phone);
    }
}

TEST(ReadRecordingHeader, EmptyNumberPutsTheLastDashAtPosition16) {
    TempFolder dir;
    WriteRecording(dir.Str(), "VOC00001.wav", {'B', "", 2017, 3, 5, 9, 7});
    HeaderRead r = Read(dir.Wide(), "VOC00001.wav");
    ASSERT_EQ(r.summary.size(), 17u);
    EXPECT_EQ(r.summary[16], '-');
}

TEST(ReadRecordingHeader, AFolderDeeperThan259BytesIsRead) {
    TempFolder dir;
    std::string deep = dir.Str();
    while (deep.size() < 2000) deep += "/" + std::string(200, 'd');
    std::filesystem::create_directories(deep);
    WriteRecording(deep, "VOC00001.wav", {'B', "0755", 2017, 3, 5, 9, 7});
    EXPECT_EQ(Read(platform::Utf8ToWide(deep), "VOC00001.wav").summary, "B20170305-090700-0755");
}

TEST(ReadRecordingHeader, UnreadableRecordingsWriteNothing) {
    TempFolder dir;
    // Too short to hold the whole block (it ends at byte 288).
    std::vector<uint8_t> head = MakeRecordingHead(MakeRecordingHeader('Z', "1", 2017, 1, 1, 0, 0), 0);
    WriteRaw(dir.Str(), "VOC00001.wav", std::vector<uint8_t>(head.begin(), head.begin() + 287));
    WriteRaw(dir.Str(), "VOC00002.wav", std::vector<uint8_t>(head.begin(), head.begin() + 288));
    EXPECT_FALSE(Read(dir.Wide(), "VOC00001.wav").read);
    EXPECT_EQ(Read(dir.Wide(), "VOC00001.wav").summary, "");
    EXPECT_TRUE(Read(dir.Wide(), "VOC00002.wav").read);
    // Missing.
    EXPECT_FALSE(Read(dir.Wide(), "VOC00003.wav").read);
    // Held by another program that opened it without sharing.
    WriteRecording(dir.Str(), "VOC00004.wav", {});
    platform::File holder = platform::File::CreateForWriting(dir.File("VOC00004.wav"));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(Read(dir.Wide(), "VOC00004.wav").read);
    // A folder that is not there.
    EXPECT_FALSE(Read(dir.Wide() + u"/" + std::u16string(250, u'x'), "VOC00001.wav").read);
    // Not a file: a folder, and a pipe nobody writes to (opening it must not wait).
    std::filesystem::create_directory(dir.Path() / "VOC00005.wav");
    EXPECT_FALSE(Read(dir.Wide(), "VOC00005.wav").read);
    ASSERT_EQ(mkfifo(dir.File("VOC00006.wav").c_str(), 0600), 0);
    EXPECT_FALSE(Read(dir.Wide(), "VOC00006.wav").read);
}

TEST(ReadRecordingHeader, OneFolderReadsManyRecordingsAsTheFolderPathDoes) {
    TempFolder dir;
    for (int i = 0; i < 3; ++i)
        WriteRecording(dir.Str(), "VOC0000" + std::to_string(i) + ".wav",
                       {"ZBL"[i], "1380013800" + std::to_string(i), 2017, 3, i + 1, 9, 7});
    const RecordingFolder folder(dir.Wide());
    for (int i = 0; i < 4; ++i) {  // the fourth is missing
        const std::string name = "VOC0000" + std::to_string(i) + ".wav";
        char buffer[kNameBufferSize] = {};
        std::memcpy(buffer, name.data(), name.size());
        RecordingInfo info{};
        ReadRecordingHeader(folder, buffer, info);
        const HeaderRead expected = Read(dir.Wide(), name);
        EXPECT_EQ(std::string(buffer + name.size() + 1), expected.summary) << name;
        EXPECT_EQ(std::memcmp(&info, &expected.info, sizeof info), 0) << name;
        EXPECT_EQ(expected.read, i < 3) << name;
    }
}

TEST(ReadRecordingHeader, FolderEndingInASlashGivesASingleSlash) {
    TempFolder dir;
    WriteRecording(dir.Str(), "VOC00001.wav", {});
    EXPECT_TRUE(Read(dir.Wide() + u"/", "VOC00001.wav").read);
}

TEST(ReadRecordingHeader, FolderWithChineseName) {
    TempFolder dir;
    std::filesystem::create_directory(dir.Path() / "录音");
    WriteRecording(dir.File("录音"), "VOC00001.wav", {});
    EXPECT_TRUE(Read(dir.Wide() + u"/录音", "VOC00001.wav").read);
}

namespace {

CatalogueEntry EntryFor(const std::string& name) {
    CatalogueEntry e{};
    std::memcpy(e.bytes, name.data(), name.size());
    return e;
}

}  // namespace

TEST(FillSummary, FillsOnceAndKeepsTheSummaryAfterwards) {
    TempFolder dir;
    CatalogueEntry entry = EntryFor("VOC00001.wav");
    FillSummary(dir.Wide(), entry);  // missing: stays empty, so the next display tries again
    EXPECT_EQ(entry.Summary(), "");

    WriteRecording(dir.Str(), "VOC00001.wav", {'Z', "12345", 2017, 3, 5, 9, 7});
    FillSummary(dir.Wide(), entry);
    EXPECT_EQ(entry.Name(), "VOC00001.wav");
    EXPECT_EQ(entry.Summary(), "Z20170305-090700-12345");
    EXPECT_EQ(entry.bytes[13 + 22], 0);

    // Not read again, even though the file has changed since.
    WriteRecording(dir.Str(), "VOC00001.wav", {'B', "999", 2018, 1, 1, 0, 0});
    FillSummary(dir.Wide(), entry);
    EXPECT_EQ(entry.Summary(), "Z20170305-090700-12345");
}

TEST(FillSummary, LongestSummaryFitsTheEntry) {
    TempFolder dir;
    // Every field negative and the number 17 long: 42 characters.
    WriteRecording(dir.Str(), "VOC00001.wav", {'Z', "12345678901234567", 2000 - 128, -128, -128, -128, -128});
    CatalogueEntry entry = EntryFor("VOC00001.wav");
    FillSummary(dir.Wide(), entry);
    EXPECT_EQ(entry.Summary(), "Z1872-128-128--128-12800-12345678901234567");
    EXPECT_EQ(entry.Summary().size(), 42u);
}
