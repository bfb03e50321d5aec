// Workbooks written through the typed tables, read back cell for cell by the
// real readers: xlrd (cell types, sheet names) and LibreOffice (CSV, where
// text cells are quoted and number cells are bare); and the calls a
// worksheet cannot take, refused with their reason and leaving no trace.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"
#include "workbook/WorkbookFile.h"

namespace {

using workbook::Cell;
using workbook::Column;
using workbook::ColumnType;
using workbook::Workbook;
using workbook::WorkbookError;

using Rows = std::vector<std::vector<std::string>>;

constexpr Column kT{u"t", ColumnType::Text};

class WorkbookTest : public testing::Test {
protected:
    // Saves book as dir/name; its first table names it as this kind of workbook.
    void Save(const Workbook& book, const std::string& name, std::u16string_view firstTable) {
        workbook::WorkbookFile(platform::Utf8ToWide(dir_.File(name)), firstTable).Save(book);
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
    Workbook book;
    const Column columns[] = {{u"序号", ColumnType::Text},
                              {u"电话号码", ColumnType::Text},
                              {u"录音时长（秒）", ColumnType::Number},
                              {u"文件长度", ColumnType::Text}};
    const size_t t = book.AddTable(u"语音信息", columns);
    // Texts go in as they are: quotes, semicolons, what looks like a number.
    book.AddRow(t, {u"1", u"0755'88", 20.0, u"8K"});
    book.AddRow(t, {u"2", {}, {}, u"2K"});
    book.AddRow(t, {{}, {}, -12.5});
    book.AddRow(t, {u"'; DROP \"x\"", u"0012"});
    const Column list[] = {{u"列", ColumnType::Text}};
    book.AddTable(u"空表", list);
    Save(book, "a.xls", u"语音信息");

    std::vector<ReadSheet> sheets = Read("a.xls");
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "语音信息");
    EXPECT_EQ(sheets[0].rows, (Rows{{"T:序号", "T:电话号码", "T:录音时长（秒）", "T:文件长度"},
                                   {"T:1", "T:0755'88", "N:20", "T:8K"},
                                   {"T:2", "", "", "T:2K"},
                                   {"", "", "N:-12.5", ""},
                                   {"T:'; DROP \"x\"", "T:0012", "", ""}}));
    // A table without rows: the column names only.
    EXPECT_EQ(sheets[1].name, "空表");
    EXPECT_EQ(sheets[1].rows, (Rows{{"T:列"}}));
}

TEST_F(WorkbookTest, OneRowAndNoRows) {
    for (int rows : {0, 1}) {
        Workbook book;
        const std::string name = "rows" + std::to_string(rows) + ".xls";
        const Column columns[] = {{u"a", ColumnType::Text}, {u"b", ColumnType::Number}};
        const size_t t = book.AddTable(u"t", columns);
        if (rows) book.AddRow(t, {u"x", 7.0});
        Save(book, name, u"t");
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

// A table of one text column "a" holding texts.
Workbook OneColumn(const std::vector<std::string>& texts) {
    Workbook book;
    const Column columns[] = {{u"a", ColumnType::Text}};
    const size_t t = book.AddTable(u"t", columns);
    for (const std::string& s : texts) book.AddRow(t, {W(s)});
    return book;
}

TEST_F(WorkbookTest, AStringTableThatCrossesContinueRecords) {
    std::vector<std::string> texts = LongStrings();
    // The same text twice is stored once and read back twice.
    texts.push_back(LongStrings()[0]);
    Save(OneColumn(texts), "sst.xls", u"t");
    std::vector<ReadSheet> sheets = Read("sst.xls");
    ASSERT_EQ(sheets.size(), 1u);
    Rows expected{{"T:a"}};
    for (const std::string& s : texts) expected.push_back({"T:" + s});
    EXPECT_EQ(sheets[0].rows, expected);
}

TEST_F(WorkbookTest, AWorksheetTakes65536RowsAndRefusesThe65537th) {
    Workbook book;
    const Column columns[] = {{u"a", ColumnType::Text}, {u"b", ColumnType::Number}};
    const size_t t = book.AddTable(u"t", columns);
    // Text long enough that the file needs more than the header's 109 FAT
    // sectors (about 7 MB).
    const std::u16string pad(60, u'长');
    for (int r = 1; r < 65536; ++r) book.AddRow(t, {W(std::to_string(r)) + pad, static_cast<double>(r)});
    try {
        book.AddRow(t, {u"x", 1.0});
        ADD_FAILURE() << "the 65,537th row was accepted";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("65536 rows"), std::string::npos) << e.what();
    }
    Save(book, "full.xls", u"t");
    EXPECT_GT(std::filesystem::file_size(dir_.File("full.xls")), 109u * 128 * 512);
    std::vector<ReadSheet> sheets = Read("full.xls");
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].rows.size(), 65536u);
    const std::string padding = platform::WideToUtf8(pad);
    EXPECT_EQ(sheets[0].rows[1], (std::vector<std::string>{"T:1" + padding, "N:1"}));
    EXPECT_EQ(sheets[0].rows[65535], (std::vector<std::string>{"T:65535" + padding, "N:65535"}));
}

// Each refused call says why and adds nothing: the workbook holds only the
// rows that were taken.
TEST_F(WorkbookTest, CallsTheWorksheetCannotTakeAreRefusedWithTheirReason) {
    Workbook book;
    const Column columns[] = {{u"a", ColumnType::Text}, {u"n", ColumnType::Number}};
    const size_t t = book.AddTable(u"t", columns);
    const std::vector<Column> tooMany(257, kT);
    const struct {
        std::string what;
        std::function<void()> call;
        std::string message;  // a part of the message
    } cases[] = {
        {"table again", [&] { book.AddTable(u"t", columns); }, "table 't' already exists"},
        {"table again, other case", [&] { book.AddTable(u"T", columns); }, "table 'T' already exists"},
        {"long name", [&] { book.AddTable(u"abcdefghijklmnopqrstuvwxyz012345", columns); }, "1 to 31 characters"},
        {"empty name", [&] { book.AddTable(u"", columns); }, "1 to 31 characters"},
        {"no columns", [&] { book.AddTable(u"u", {}); }, "1 to 256 columns"},
        {"257 columns", [&] { book.AddTable(u"u", tooMany); }, "1 to 256 columns"},
        {"a cell too many", [&] { book.AddRow(t, {u"x", 1.0, u"y"}); }, "a row of 3 cells for table 't' of 2 columns"},
        {"text for a number", [&] { book.AddRow(t, {u"x", u"12"}); }, "text in number column 1 of table 't'"},
        {"number for a text", [&] { book.AddRow(t, {12.0}); }, "number in text column 0 of table 't'"},
        {"long text", [&] { book.AddRow(t, {std::u16string(32768, u'x')}); }, "longer than 32767 characters"},
    };
    book.AddRow(t, {u"first", 1.0});
    for (const auto& c : cases) {
        std::string message;
        try {
            c.call();
        } catch (const WorkbookError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find(c.message), std::string::npos) << c.what << " -> " << message;
    }
    book.AddRow(t, {std::u16string(32767, u'x'), 2.0});
    const std::vector<Column> most(256, kT);
    book.AddTable(u"u", most);
    Save(book, "refused.xls", u"t");
    std::vector<ReadSheet> sheets = Read("refused.xls");
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].rows, (Rows{{"T:a", "T:n"}, {"T:first", "N:1"}, {"T:" + std::string(32767, 'x'), "N:2"}}));
    EXPECT_EQ(sheets[1].name, "u");
    EXPECT_EQ(sheets[1].rows.at(0).size(), 256u);
}

TEST_F(WorkbookTest, LibreOfficeReadsTheSameCells) {
    if (std::string why = LibreOfficeMissing(); !why.empty()) GTEST_SKIP() << why;
    {
        Workbook book;
        const Column columns[] = {{u"序号", ColumnType::Text},
                                  {u"电话号码", ColumnType::Text},
                                  {u"录音时长（秒）", ColumnType::Number}};
        const size_t t = book.AddTable(u"语音信息", columns);
        book.AddRow(t, {u"1", u"13812345678", 20.0});
        book.AddRow(t, {u"it's", u""});
        Save(book, "lo.xls", u"语音信息");
    }
    Save(OneColumn(LongStrings()), "lo-sst.xls", u"t");
    // LibreOffice shows an empty string as an empty cell.
    std::vector<std::string> csv = ConvertWithLibreOffice({dir_.File("lo.xls"), dir_.File("lo-sst.xls")});
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[0], "\"序号\",\"电话号码\",\"录音时长（秒）\"\n\"1\",\"13812345678\",20\n\"it's\",,\n");
    std::string expected = "\"a\"\n";
    for (const std::string& s : LongStrings()) expected += "\"" + s + "\"\n";
    EXPECT_EQ(csv[1], expected);
}

}  // namespace
