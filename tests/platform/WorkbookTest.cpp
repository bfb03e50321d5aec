// Workbooks written through the connection, read back cell for cell by the
// real readers: xlrd (cell types, sheet names) and LibreOffice (CSV, where
// text cells are quoted and number cells are bare).

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Connection.h"
#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"

namespace {

using platform::Connection;

using Rows = std::vector<std::vector<std::string>>;

class WorkbookTest : public testing::Test {
protected:
    // Opens a connection on dir/name.
    void Open(Connection& c, const std::string& name) {
        c.Open(u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + platform::Utf8ToWide(dir_.File(name)) +
               u"; Extended Properties=Excel 8.0;");
    }
    // The workbook's sheets as xlrd reads them; fails the test when xlrd
    // rejects the file.
    std::vector<ReadSheet> Read(const std::string& name) {
        std::string error;
        std::vector<ReadSheet> sheets = ReadWithXlrd(dir_.File(name), error);
        EXPECT_EQ(error, "") << name;
        return sheets;
    }
    void SetUp() override {
        if (std::string why = XlrdMissing(); !why.empty()) GTEST_SKIP() << why;
    }

    TempFolder dir_;
};

std::u16string W(const std::string& s) { return platform::Utf8ToWide(s); }

TEST_F(WorkbookTest, ChineseNamesTextAndNumberCellsAndEmptyCells) {
    Connection c;
    Open(c, "a.xls");
    c.Execute(u"CREATE TABLE 语音信息(序号 TEXT, 电话号码 TEXT, 录音时长（秒） NUMBER, 文件长度 TEXT);");
    c.Execute(u"INSERT INTO 语音信息(序号, 电话号码, 录音时长（秒）, 文件长度) VALUES ('1', '0755''88', '20', '8K')");
    c.Execute(u"INSERT INTO 语音信息(文件长度, 序号) VALUES ('2K', '2')");
    c.Execute(u"INSERT INTO 语音信息(录音时长（秒）) VALUES ('-12.5')");
    c.Execute(u"CREATE TABLE 空表(列 TEXT)");
    c.Close();

    std::vector<ReadSheet> sheets = Read("a.xls");
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "语音信息");
    EXPECT_EQ(sheets[0].rows, (Rows{{"T:序号", "T:电话号码", "T:录音时长（秒）", "T:文件长度"},
                                   {"T:1", "T:0755'88", "N:20", "T:8K"},
                                   {"T:2", "", "", "T:2K"},
                                   {"", "", "N:-12.5", ""}}));
    // A table without rows: the column names only.
    EXPECT_EQ(sheets[1].name, "空表");
    EXPECT_EQ(sheets[1].rows, (Rows{{"T:列"}}));
}

TEST_F(WorkbookTest, OneRowAndNoRows) {
    for (int rows : {0, 1}) {
        Connection c;
        const std::string name = "rows" + std::to_string(rows) + ".xls";
        Open(c, name);
        c.Execute(u"CREATE TABLE t(a TEXT, b NUMBER)");
        if (rows) c.Execute(u"INSERT INTO t(a, b) VALUES ('x', '7')");
        c.Close();
        std::vector<ReadSheet> sheets = Read(name);
        ASSERT_EQ(sheets.size(), 1u);
        Rows expected{{"T:a", "T:b"}};
        if (rows) expected.push_back({"T:x", "N:7"});
        EXPECT_EQ(sheets[0].rows, expected);
    }
}

// Strings that fill the string table past one record (8224 bytes), with
// one string cut by the record boundary and one longer than a whole record.
std::vector<std::string> LongStrings() {
    std::vector<std::string> texts;
    for (int i = 0; i < 30; ++i) texts.push_back("文本" + std::to_string(i) + std::string(150, 'a' + i % 26));
    texts.push_back(std::string(5000, 'z') + "尾");
    texts.push_back(std::string(9000, 'y'));
    return texts;
}

TEST_F(WorkbookTest, AStringTableThatCrossesContinueRecords) {
    Connection c;
    Open(c, "sst.xls");
    c.Execute(u"CREATE TABLE t(a TEXT)");
    for (const std::string& s : LongStrings()) c.Execute(u"INSERT INTO t(a) VALUES ('" + W(s) + u"')");
    // The same text twice is stored once and read back twice.
    c.Execute(u"INSERT INTO t(a) VALUES ('" + W(LongStrings()[0]) + u"')");
    c.Close();
    std::vector<ReadSheet> sheets = Read("sst.xls");
    ASSERT_EQ(sheets.size(), 1u);
    Rows expected{{"T:a"}};
    for (const std::string& s : LongStrings()) expected.push_back({"T:" + s});
    expected.push_back({"T:" + LongStrings()[0]});
    EXPECT_EQ(sheets[0].rows, expected);
}

TEST_F(WorkbookTest, AWorksheetTakes65536RowsAndRefusesThe65537th) {
    Connection c;
    Open(c, "full.xls");
    c.Execute(u"CREATE TABLE t(a TEXT, b NUMBER)");
    // Text long enough that the file needs more than the header's 109 FAT
    // sectors (about 7 MB).
    const std::u16string pad(60, u'长');
    for (int r = 1; r < 65536; ++r) {
        std::u16string n = W(std::to_string(r));
        c.Execute(u"INSERT INTO t(a, b) VALUES ('" + n + pad + u"', '" + n + u"')");
    }
    try {
        c.Execute(u"INSERT INTO t(a, b) VALUES ('x', '1')");
        ADD_FAILURE() << "the 65,537th row was accepted";
    } catch (const platform::ConnectionError& e) {
        EXPECT_NE(std::string(e.what()).find("65536 rows"), std::string::npos) << e.what();
    }
    c.Close();
    EXPECT_GT(std::filesystem::file_size(dir_.File("full.xls")), 109u * 128 * 512);
    std::vector<ReadSheet> sheets = Read("full.xls");
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].rows.size(), 65536u);
    const std::string padding = platform::WideToUtf8(pad);
    EXPECT_EQ(sheets[0].rows[1], (std::vector<std::string>{"T:1" + padding, "N:1"}));
    EXPECT_EQ(sheets[0].rows[65535], (std::vector<std::string>{"T:65535" + padding, "N:65535"}));
}

TEST_F(WorkbookTest, LibreOfficeReadsTheSameCells) {
    if (std::string why = LibreOfficeMissing(); !why.empty()) GTEST_SKIP() << why;
    {
        Connection c;
        Open(c, "lo.xls");
        c.Execute(u"CREATE TABLE 语音信息(序号 TEXT, 电话号码 TEXT, 录音时长（秒） NUMBER)");
        c.Execute(u"INSERT INTO 语音信息(序号, 电话号码, 录音时长（秒）) VALUES ('1', '13812345678', '20')");
        c.Execute(u"INSERT INTO 语音信息(序号, 电话号码) VALUES ('it''s', '')");
        c.Close();
    }
    {
        Connection c;
        Open(c, "lo-sst.xls");
        c.Execute(u"CREATE TABLE t(a TEXT)");
        for (const std::string& s : LongStrings()) c.Execute(u"INSERT INTO t(a) VALUES ('" + W(s) + u"')");
        c.Close();
    }
    // LibreOffice shows an empty string as an empty cell.
    std::vector<std::string> csv = ConvertWithLibreOffice({dir_.File("lo.xls"), dir_.File("lo-sst.xls")});
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[0], "\"序号\",\"电话号码\",\"录音时长（秒）\"\n\"1\",\"13812345678\",20\n\"it's\",,\n");
    std::string expected = "\"a\"\n";
    for (const std::string& s : LongStrings()) expected += "\"" + s + "\"\n";
    EXPECT_EQ(csv[1], expected);
}

}  // namespace
