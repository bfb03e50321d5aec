// Random tables written through the workbook connection and read back cell
// by cell: every sheet's name, the column names in row 0, and each inserted
// text (any UTF-16 units, quotes included) and number exactly, with the
// columns an INSERT left out empty.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/Connection.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/WorkbookRecords.h"

namespace {

using Cell = std::variant<std::u16string, double>;

struct Table {
    std::u16string name;
    std::vector<std::pair<std::u16string, bool>> columns;  // name, is a number
    std::map<std::pair<uint32_t, uint16_t>, Cell> cells;
};

std::u16string Quoted(const std::u16string& text) {
    std::u16string out = u"'";
    for (char16_t c : text) {
        out += c;
        if (c == u'\'') out += u'\'';
    }
    return out + u"'";
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// A text of up to 63 units; the input decides them.
std::u16string Text(FuzzInput& in) {
    std::u16string text(in.Byte() % 64, u'\0');
    for (char16_t& c : text) {
        const uint8_t kind = in.Byte();
        c = kind < 128 ? static_cast<char16_t>(kind) : static_cast<char16_t>(in.U16());
    }
    return text;
}

// A decimal number text and its value.
std::pair<std::u16string, double> Number(FuzzInput& in) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t{in.Byte()} << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    char text[40];
    if (value != value || value - value != 0) {
        std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(bits));
    } else {
        std::snprintf(text, sizeof text, "%.17g", value);
    }
    return {Ascii(text), std::strtod(text, nullptr)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::string path = FuzzFolder().File("tables.xls");
    platform::Connection connection;
    connection.Open(u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + platform::Utf8ToWide(path) +
                    u"; Extended Properties=Excel 8.0;");

    std::vector<Table> tables(1 + in.Byte() % 3);
    for (size_t t = 0; t < tables.size(); ++t) {
        Table& table = tables[t];
        table.name = u"表" + Ascii(std::to_string(t));
        std::u16string create = u"CREATE TABLE " + table.name + u"(";
        const size_t columns = 1 + in.Byte() % 6;
        for (size_t c = 0; c < columns; ++c) {
            const bool number = in.Byte() & 1;
            table.columns.push_back({u"列" + Ascii(std::to_string(c)), number});
            create += (c ? u", " : u"") + table.columns.back().first + (number ? u" NUMBER" : u" TEXT");
            table.cells[{0, static_cast<uint16_t>(c)}] = table.columns.back().first;
        }
        connection.Execute(create + u")");
    }

    std::vector<uint32_t> rows(tables.size(), 1);
    while (in.More()) {
        const size_t t = in.Byte() % tables.size();
        Table& table = tables[t];
        // At least one column: an INSERT names one or more.
        uint8_t mask = in.Byte() & ((1u << table.columns.size()) - 1);
        if (mask == 0) mask = 1;
        std::u16string names, values;
        const uint32_t row = rows[t]++;
        for (size_t c = 0; c < table.columns.size(); ++c) {
            if (!(mask >> c & 1)) continue;
            names += (names.empty() ? u"" : u", ") + table.columns[c].first;
            Cell cell;
            std::u16string text;
            if (table.columns[c].second) {
                auto [numberText, value] = Number(in);
                text = numberText;
                cell = value;
            } else {
                text = Text(in);
                cell = text;
            }
            values += (values.empty() ? u"" : u", ") + Quoted(text);
            table.cells[{row, static_cast<uint16_t>(c)}] = cell;
        }
        connection.Execute(u"INSERT INTO " + table.name + u"(" + names + u") VALUES (" + values + u")");
    }
    connection.Close();

    std::vector<uint8_t> bytes;
    Check(platform::ReadWholeFile(path, bytes));
    Check(platform::DeleteFileAt(path));
    const std::vector<WorkbookSheet> sheets = ReadWorkbookRecords(bytes);
    Check(sheets.size() == tables.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        Check(sheets[t].name == tables[t].name);
        Check(sheets[t].cells == tables[t].cells);
    }
    return 0;
}
