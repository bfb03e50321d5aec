// The workbook connection's statements, its connection string and its
// failures: each refused statement or string raises ConnectionError with a
// message that says what was wrong, and leaves no file behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Connection.h"
#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"

namespace {

using platform::Connection;
using platform::ConnectionError;

std::u16string ConnectionString(const std::string& path) {
    return u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + platform::Utf8ToWide(path) +
           u"; Extended Properties=Excel 8.0;";
}

// The message of the ConnectionError that action raises; "" when none.
template <typename Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const ConnectionError& e) {
        return e.what();
    }
    return "";
}

TEST(ConnectionTest, StatementsAreParsedAsTheExportWritesThem) {
    auto create = std::get<platform::CreateTableStatement>(platform::ParseSqlStatement(
        u"CREATE TABLE 语音信息(序号 TEXT, 录音时长（秒） NUMBER, 文件长度 TEXT);"));
    EXPECT_EQ(create.table, u"语音信息");
    ASSERT_EQ(create.columns.size(), 3u);
    EXPECT_EQ(create.columns[1].first, u"录音时长（秒）");
    EXPECT_EQ(create.columns[1].second, platform::ColumnType::Number);

    auto insert = std::get<platform::InsertStatement>(platform::ParseSqlStatement(
        u"insert into 语音信息(序号, 文件名) values ('it''s', '''')"));
    EXPECT_EQ(insert.table, u"语音信息");
    EXPECT_EQ(insert.columns, (std::vector<std::u16string>{u"序号", u"文件名"}));
    EXPECT_EQ(insert.values, (std::vector<std::u16string>{u"it's", u"'"}));
}

TEST(ConnectionTest, BadStatementsAreRefusedWithTheirReason) {
    TempFolder dir;
    const struct {
        std::u16string statement;
        std::string message;  // a part of the message
    } cases[] = {
        {u"SELECT * FROM t", "expected CREATE TABLE or INSERT INTO"},
        {u"CREATE t(a TEXT)", "expected TABLE"},
        {u"CREATE TABLE t(a DATE)", "expected the type TEXT or NUMBER"},
        {u"CREATE TABLE t(a TEXT", "expected ')'"},
        {u"CREATE TABLE t(a TEXT) extra", "unexpected text"},
        {u"CREATE TABLE t2(a TEXT, A NUMBER)", "column 'A' named twice"},
        {u"CREATE TABLE t(a TEXT)", "table 't' already exists"},
        {u"CREATE TABLE abcdefghijklmnopqrstuvwxyz012345(a TEXT)", "longer than 31 characters"},
        {u"INSERT INTO t(a) VALUES ('x', 'y')", "expected as many values as columns"},
        {u"INSERT INTO t(a) VALUES (x)", "expected a quoted value"},
        {u"INSERT INTO t(a) VALUES ('x)", "unterminated quoted value"},
        {u"INSERT INTO t(a) VALUES ('it's')", "expected ')'"},
        {u"INSERT INTO u(a) VALUES ('x')", "unknown table 'u'"},
        {u"INSERT INTO t(c) VALUES ('x')", "unknown column 'c' in table 't'"},
        {u"INSERT INTO t(a, a) VALUES ('x', 'y')", "column 'a' named twice"},
        {u"INSERT INTO t(n) VALUES ('12K')", "'12K' is not a number (column 'n')"},
        {u"INSERT INTO t(n) VALUES ('')", "'' is not a number"},
        {u"INSERT INTO t(n) VALUES ('0x10')", "is not a number"},
        {u"INSERT INTO t(a) VALUES ('" + std::u16string(32768, u'x') + u"')", "longer than 32767 characters"},
    };
    Connection c;
    c.Open(ConnectionString(dir.File("t.xls")));
    c.Execute(u"CREATE TABLE t(a TEXT, n NUMBER)");
    for (const auto& k : cases) {
        std::string message = ErrorOf([&] { c.Execute(k.statement); });
        EXPECT_NE(message.find(k.message), std::string::npos)
            << platform::WideToUtf8(k.statement.substr(0, 60)) << " -> " << message;
    }
    // Numbers in their decimal forms are accepted.
    for (std::u16string number : {u"12", u"-3", u"+4", u" 12.5 ", u"1e3", u".5"})
        EXPECT_EQ(ErrorOf([&] { c.Execute(u"INSERT INTO t(n) VALUES ('" + number + u"')"); }), "")
            << platform::WideToUtf8(number);
}

TEST(ConnectionTest, ConnectionStringsAndTheirFailures) {
    TempFolder dir;
    std::string existing = dir.File("old.xls");
    std::filesystem::create_directory(dir.File("sub"));
    { std::ofstream(existing) << "keep"; }
    const struct {
        std::u16string text;
        std::string message;
    } cases[] = {
        {u"Data Source=" + platform::Utf8ToWide(dir.File("a.xls")) + u"; Extended Properties=Excel 8.0;",
         "without Provider"},
        {u"Provider=x; Extended Properties=Excel 8.0;", "without Data Source"},
        {u"Provider=x; Data Source=" + platform::Utf8ToWide(dir.File("a.xls")) + u";", "Excel 8.0"},
        {u"Provider=x; Data Source=" + platform::Utf8ToWide(dir.File("a.xls")) + u"; Extended Properties=Excel 12.0;",
         "Excel 8.0"},
        {ConnectionString(existing), "already exists"},
        {ConnectionString(dir.File("missing/a.xls")), "cannot write the workbook"},
    };
    for (const auto& k : cases) {
        Connection c;
        std::string message = ErrorOf([&] { c.Open(k.text); });
        EXPECT_NE(message.find(k.message), std::string::npos) << platform::WideToUtf8(k.text) << " -> " << message;
        EXPECT_FALSE(c.IsOpen());
    }
    // Keys in any case; a quoted path may hold ';'.
    Connection c;
    std::string quoted = dir.File("a;b.xls");
    EXPECT_EQ(ErrorOf([&] {
                  c.Open(u"provider=x;DATA SOURCE=\"" + platform::Utf8ToWide(quoted) +
                         u"\";extended properties=excel 8.0");
              }),
              "");
    c.Execute(u"CREATE TABLE t(a TEXT)");
    c.Close();
    EXPECT_TRUE(std::filesystem::exists(quoted));
    // Nothing but the two files made here is in the folder.
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
    EXPECT_EQ(files, 2u);
}

TEST(ConnectionTest, StatementsNeedAnOpenConnection) {
    TempFolder dir;
    Connection c;
    EXPECT_NE(ErrorOf([&] { c.Execute(u"CREATE TABLE t(a TEXT)"); }).find("not open"), std::string::npos);
    c.Open(ConnectionString(dir.File("a.xls")));
    EXPECT_NE(ErrorOf([&] { c.Open(ConnectionString(dir.File("b.xls"))); }).find("already open"), std::string::npos);
    c.Close();
    EXPECT_NE(ErrorOf([&] { c.Close(); }).find("not open"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { c.Execute(u"CREATE TABLE t(a TEXT)"); }).find("not open"), std::string::npos);
}

TEST(ConnectionTest, AWorkbookNeverClosedLeavesNoFile) {
    TempFolder dir;
    {
        Connection c;
        c.Open(ConnectionString(dir.File("a.xls")));
        c.Execute(u"CREATE TABLE t(a TEXT)");
        c.Execute(u"INSERT INTO t(a) VALUES ('x')");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(ConnectionTest, AWorkbookThatCannotBeWrittenLeavesNoFile) {
    TempFolder dir;
    std::filesystem::create_directory(dir.File("sub"));
    Connection c;
    c.Open(ConnectionString(dir.File("sub/a.xls")));
    c.Execute(u"CREATE TABLE t(a TEXT)");
    // The folder goes away under the open connection.
    std::filesystem::remove_all(dir.File("sub"));
    EXPECT_NE(ErrorOf([&] { c.Close(); }).find("cannot write the workbook"), std::string::npos);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
