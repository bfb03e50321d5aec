#pragma once
// A workbook in memory: tables with named columns of text or numbers, each
// a worksheet named after its table with the column names in row 0 and the
// rows below in the order they were added. Its file is an Excel 97-2003
// workbook: the BIFF8 "Workbook" stream (workbook globals with the shared
// string table, then one substream per sheet) in a compound file.
//
// Texts go into cells as they are, whatever characters they hold. A call the
// worksheet cannot take raises WorkbookError with a readable message and
// changes nothing.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "workbook/SharedStrings.h"

namespace workbook {

class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ColumnType { Text, Number };

struct Column {
    std::u16string_view name;
    ColumnType type;
};

// One cell of a row: empty, a text or a number.
using Cell = std::variant<std::monostate, std::u16string_view, double>;

class Workbook {
public:
    // Rows (the names' row included) and columns a worksheet holds, the
    // characters of a text cell and of a table's name.
    static constexpr uint32_t kMaxRows = 65536;
    static constexpr size_t kMaxColumns = 256;
    static constexpr size_t kMaxText = 32767;
    static constexpr size_t kMaxTableName = 31;

    // Adds a table and returns its index. Its name holds 1 to 31 characters
    // and is not another table's (compared without the case of ASCII
    // letters, as the readers compare sheet names); it has 1 to 256 columns.
    size_t AddTable(std::u16string_view name, std::span<const Column> columns);

    // Appends a row to table: cells for its first columns, in order; the
    // columns after them stay empty. Refused: more cells than columns, a text
    // in a number column or a number in a text column, a text longer than
    // kMaxText, and a row beyond kMaxRows.
    void AddRow(size_t table, std::span<const Cell> cells);
    void AddRow(size_t table, std::initializer_list<Cell> cells) {
        AddRow(table, std::span(cells.begin(), cells.size()));
    }

    // The bytes of the workbook file.
    std::vector<uint8_t> FileBytes() const;

private:
    struct Stored {
        uint32_t row;
        uint16_t column;
        bool isNumber;
        uint32_t sstIndex;  // text cells
        double number;      // number cells
    };
    struct Table {
        std::u16string name;
        std::vector<ColumnType> types;
        uint32_t rows;  // the names' row included
        std::vector<Stored> cells;
    };

    std::vector<uint8_t> Stream() const;

    std::vector<Table> tables_;
    biff::SharedStrings strings_;
};

// The sheet names of a workbook stream, or of its first bytes: the names of
// the BOUNDSHEET records that lie whole in stream before the globals' shared
// string table or end, in order. Nothing when stream does not begin with the
// BOF of BIFF8 workbook globals, or a BOUNDSHEET is malformed.
std::optional<std::vector<std::u16string>> SheetNames(std::span<const uint8_t> stream);

}  // namespace workbook
