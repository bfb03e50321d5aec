#pragma once
// The two statements the workbook connection understands:
//
//   CREATE TABLE name(column TEXT|NUMBER, ...)
//   INSERT INTO name(column, ...) VALUES ('text', ...)
//
// Keywords and types in any letter case, an optional ';' at the end. Names
// are runs of characters other than blanks, parentheses, commas, semicolons
// and quotes (Chinese names included). Values are single-quoted; two quotes
// in a row stand for one.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

enum class ColumnType { Text, Number };

struct CreateTableStatement {
    std::u16string table;
    std::vector<std::pair<std::u16string, ColumnType>> columns;
};

struct InsertStatement {
    std::u16string table;
    std::vector<std::u16string> columns;
    std::vector<std::u16string> values;  // as many as columns, quotes undoubled
};

using SqlStatement = std::variant<CreateTableStatement, InsertStatement>;

// Parses statement; throws ConnectionError naming what it could not
// understand.
SqlStatement ParseSqlStatement(std::u16string_view statement);

}  // namespace platform
