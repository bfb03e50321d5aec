// Tables and rows through the writer's typed interface, then saved and read
// back cell by cell. The input decides each call: a table (its name drawn
// from a few that differ only in case, or too long; up to 300 columns of
// either type) or a row (cells of any kind for any table, texts of any
// UTF-16 units up to beyond the cell's limit, a row of one short cell at
// most repeated up to the sheet's limit). A refused call raises WorkbookError and changes nothing;
// the workbook holds exactly the accepted tables and rows, and its sheet
// names are what the recogniser of earlier workbooks reads.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/WorkbookRecords.h"
#include "workbook/CompoundFile.h"
#include "workbook/WorkbookFile.h"

namespace {

using workbook::Cell;
using workbook::Workbook;
using Stored = std::variant<std::u16string, double>;

struct Table {
    std::u16string name;
    std::vector<workbook::ColumnType> types;
    uint32_t rows = 1;  // the names' row included
    std::map<std::pair<uint32_t, uint16_t>, Stored> cells;
};

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// A table name: short ones that collide without case, or one too long.
std::u16string TableName(FuzzInput& in) {
    static const char16_t* const kNames[] = {u"语音信息", u"t", u"T", u"表1", u"abcdefghijklmnopqrstuvwxyz01234",
                                              u"abcdefghijklmnopqrstuvwxyz012345", u""};
    return kNames[in.Byte() % std::size(kNames)];
}

// A text of any UTF-16 units: up to 63 of them, or (rarely) one unit
// repeated to around the cell's limit of 32767.
std::u16string Text(FuzzInput& in) {
    const uint8_t length = in.Byte();
    if (length == 255) return std::u16string(Workbook::kMaxText - 2 + in.Byte() % 5, static_cast<char16_t>(in.U16()));
    std::u16string text(length % 64, u'\0');
    for (char16_t& c : text) {
        const uint8_t kind = in.Byte();
        c = kind < 128 ? static_cast<char16_t>(kind) : static_cast<char16_t>(in.U16());
    }
    return text;
}

double Number(FuzzInput& in) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t{in.Byte()} << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Numbers read back compare by their bits: NaN and -0 included.
bool SameCell(const Stored& a, const Stored& b) {
    if (a.index() != b.index()) return false;
    if (const auto* text = std::get_if<std::u16string>(&a)) return *text == std::get<std::u16string>(b);
    return std::memcmp(&std::get<double>(a), &std::get<double>(b), sizeof(double)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    Workbook book;
    std::vector<Table> tables;

    while (in.More()) {
        const uint8_t op = in.Byte();
        if (op % 8 == 0 || tables.empty()) {
            const std::u16string name = TableName(in);
            std::vector<std::u16string> names;
            std::vector<workbook::Column> columns;
            const size_t count = op == 248 ? 250 + in.Byte() % 50 : in.Byte() % 8;
            for (size_t c = 0; c < count; ++c) names.push_back(u"列" + Ascii(std::to_string(c)));
            for (size_t c = 0; c < count; ++c) {
                const bool number = in.Byte() & 1;
                columns.push_back({names[c], number ? workbook::ColumnType::Number : workbook::ColumnType::Text});
            }
            bool taken = false;
            for (const Table& t : tables) taken |= platform::SameIgnoringAsciiCase(t.name, name);
            const bool fits = !name.empty() && name.size() <= Workbook::kMaxTableName && count >= 1 &&
                              count <= Workbook::kMaxColumns && !taken;
            try {
                Check(book.AddTable(name, columns) == tables.size());
            } catch (const workbook::WorkbookError&) {
                Check(!fits);
                continue;
            }
            Check(fits);
            Table table{name, {}, 1, {}};
            for (size_t c = 0; c < count; ++c) {
                table.types.push_back(columns[c].type);
                table.cells[{0, static_cast<uint16_t>(c)}] = names[c];
            }
            tables.push_back(std::move(table));
            continue;
        }

        Table& table = tables[in.Byte() % tables.size()];
        const size_t index = static_cast<size_t>(&table - tables.data());
        std::vector<std::u16string> texts;  // the cells' texts live here
        std::vector<Stored> values;
        std::vector<uint8_t> kinds;
        const size_t count = in.Byte() % (table.types.size() + 2);
        for (size_t c = 0; c < count; ++c) {
            kinds.push_back(in.Byte() % 3);
            texts.push_back(kinds.back() == 1 ? Text(in) : u"");
            values.push_back(kinds.back() == 2 ? Stored(Number(in)) : Stored(texts.back()));
        }
        std::vector<Cell> cells;
        bool fits = count <= table.types.size();
        for (size_t c = 0; c < count; ++c) {
            const bool number = c < table.types.size() && table.types[c] == workbook::ColumnType::Number;
            if (kinds[c] == 0) {
                cells.emplace_back();
            } else if (kinds[c] == 1) {
                cells.emplace_back(std::u16string_view(texts[c]));
                fits &= !number && texts[c].size() <= Workbook::kMaxText;
            } else {
                cells.emplace_back(std::get<double>(values[c]));
                fits &= number;
            }
        }
        // Rarely a row of one short cell at most again and again, up to the
        // sheet's limit.
        size_t units = 0;
        for (const std::u16string& text : texts) units += text.size();
        const uint32_t times = op == 254 && count <= 1 && units < 256 ? 1 + in.U16() : 1;
        for (uint32_t t = 0; t < times; ++t) {
            const bool room = table.rows < Workbook::kMaxRows;
            try {
                book.AddRow(index, cells);
            } catch (const workbook::WorkbookError&) {
                Check(!(fits && room));
                break;
            }
            Check(fits && room);
            const uint32_t row = table.rows++;
            for (size_t c = 0; c < count; ++c)
                if (kinds[c] != 0) table.cells[{row, static_cast<uint16_t>(c)}] = values[c];
        }
    }
    if (tables.empty()) return 0;

    const std::string path = FuzzFolder().File("tables.xls");
    workbook::WorkbookFile(platform::Utf8ToWide(path), tables[0].name).Save(book);
    const std::vector<WorkbookSheet> sheets = ReadWorkbookRecords(path);
    Check(sheets.size() == tables.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        Check(sheets[t].name == tables[t].name);
        Check(sheets[t].cells.size() == tables[t].cells.size());
        auto read = sheets[t].cells.begin();
        for (const auto& [at, value] : tables[t].cells) Check(read->first == at && SameCell((read++)->second, value));
    }
    platform::File file = platform::File::OpenForReading(path);
    const auto globals = workbook::ReadCompoundStream(file, u"Workbook", 64 * 1024);
    Check(globals.has_value());
    const auto names = workbook::SheetNames(*globals);
    Check(names.has_value() && names->size() == tables.size());
    for (size_t t = 0; t < tables.size(); ++t) Check((*names)[t] == tables[t].name);
    file.Close();
    Check(platform::DeleteFileAt(path));
    return 0;
}
