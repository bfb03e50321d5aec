#pragma once
// A reader of the workbooks the connection writes, for the fuzz targets that
// read every cell back in process: the compound file's FAT chains (DIFAT
// included) lead to the "Workbook" stream, whose BIFF8 records give the
// sheets (BOUNDSHEET), the shared strings (SST and its CONTINUE records) and
// the cells (LABELSST, NUMBER). It reads what a reader needs and checks the
// structure on the way; whatever it cannot follow is an error.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

struct WorkbookSheet {
    std::u16string name;
    // (row, column) to a text or a number.
    std::map<std::pair<uint32_t, uint16_t>, std::variant<std::u16string, double>> cells;
};

class WorkbookFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sheets of the workbook file's bytes, in order; throws
// WorkbookFormatError when the bytes are not such a workbook.
std::vector<WorkbookSheet> ReadWorkbookRecords(const std::vector<uint8_t>& file);
