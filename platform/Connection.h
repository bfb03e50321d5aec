#pragma once
// The connection the export writes its workbook through: opened on a
// connection string naming the workbook, fed CREATE TABLE and INSERT INTO
// statements (SqlStatement.h), and closed, which writes the workbook: an
// Excel 97-2003 file (BIFF8 in a compound file) with one worksheet per table,
// the column names in row 0 and the inserted rows below, in order.
//
// Every failure raises ConnectionError with a readable message.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ConnectionError.h"
#include "platform/SqlStatement.h"
#include "platform/Workbook.h"

class PendingOutputFile;

namespace platform {

class Connection {
public:
    Connection();
    // A connection still open is dropped: nothing appears under the
    // workbook's name and the temporary file is removed.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Parses "Provider=...; Data Source=<path>; Extended Properties=Excel 8.0;"
    // (keys in any letter case, a value may be double-quoted) and creates the
    // workbook's temporary file beside the path. Fails when the connection is
    // already open, a key is missing, the properties are not "Excel 8.0", the
    // path already names a file (this connection only creates workbooks), or
    // the folder cannot be written.
    void Open(std::u16string_view connectionString);

    // Runs one statement. CREATE TABLE fails for a table that exists, a name
    // longer than 31 characters, a repeated column or more than 256 columns.
    // INSERT INTO fails for an unknown table or column, a column named twice,
    // text longer than 32767 characters, text that is not a decimal number in
    // a NUMBER column, or a 65,537th row of the worksheet (row 0 holds the
    // column names). A failed INSERT adds nothing.
    void Execute(std::u16string_view statement);

    // Writes the workbook to its temporary file and renames it over the path.
    // On failure nothing is left under either name. The connection is closed
    // afterwards in both cases.
    void Close();

    bool IsOpen() const { return output_ != nullptr; }

private:
    struct Table {
        std::u16string name;
        std::vector<std::pair<std::u16string, ColumnType>> columns;
        size_t sheet;
        uint32_t rows;  // rows written, the names' row included
    };

    void CreateTable(const CreateTableStatement& s);
    void Insert(const InsertStatement& s);
    void CheckOpen() const;

    std::unique_ptr<::PendingOutputFile> output_;
    std::string path_;  // the workbook's path, file-system form
    std::vector<Table> tables_;
    Workbook workbook_;
};

}  // namespace platform
