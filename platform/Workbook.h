#pragma once
// A BIFF8 workbook in memory: named worksheets of text and number cells, and
// the "Workbook" stream that holds them (workbook globals with the shared
// string table, then one substream per sheet).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SharedStrings.h"

namespace platform {

class Workbook {
public:
    // Rows and columns a BIFF8 worksheet can address.
    static constexpr uint32_t kMaxRows = 65536;
    static constexpr uint32_t kMaxColumns = 256;

    // Adds an empty worksheet called name (1 to 31 characters) and returns its
    // index.
    size_t AddSheet(std::u16string_view name);
    // Cells are added row by row, and within a row by ascending column; row
    // below kMaxRows, column below kMaxColumns.
    void AddText(size_t sheet, uint32_t row, uint16_t column, std::u16string_view text);
    void AddNumber(size_t sheet, uint32_t row, uint16_t column, double value);

    // The BIFF8 stream, padded with zero bytes to at least 4096 bytes so that
    // the compound file needs no mini stream.
    std::vector<uint8_t> Stream() const;

private:
    struct Cell {
        uint32_t row;
        uint16_t column;
        bool isNumber;
        uint32_t sstIndex;  // text cells
        double number;      // number cells
    };
    struct Sheet {
        std::u16string name;
        std::vector<Cell> cells;
    };

    std::vector<Sheet> sheets_;
    biff::SharedStrings strings_;
};

}  // namespace platform
