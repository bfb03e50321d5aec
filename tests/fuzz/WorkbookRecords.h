#pragma once
// A reader of the workbooks the writer makes, for the fuzz targets that read
// every cell back in process: the "Workbook" stream, taken from the compound
// file by the program's own reader, whose BIFF8 records give the sheets
// (BOUNDSHEET), the shared strings (SST and its CONTINUE records) and the
// cells (LABELSST, NUMBER). It reads what a reader needs and checks the
// structure on the way; whatever it cannot follow is an error. (xlrd and
// LibreOffice read the same files in the workbook tests, the container
// included.)

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

// The sheets of the workbook file at path, in order; throws
// WorkbookFormatError when it is not such a workbook.
std::vector<WorkbookSheet> ReadWorkbookRecords(const std::string& path);
