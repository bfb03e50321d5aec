#include "platform/Connection.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/CompoundFile.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"
#include "platform/TextCodec.h"

namespace platform {

namespace {

constexpr size_t kMaxTextCell = 32767;  // characters a BIFF8 cell holds

std::u16string Trim(std::u16string_view s) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::u16string(s);
}

std::u16string Upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return s;
}

// Names compare without regard to the case of ASCII letters.
bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
        if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::string Quote(std::u16string_view name) { return "'" + WideToUtf8(name) + "'"; }

// The value of key (upper case) in a connection string of "key=value;" pairs.
std::optional<std::u16string> ConnectionValue(std::u16string_view text, std::u16string_view key) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eq = text.find(u'=', pos);
        if (eq == std::u16string_view::npos) break;
        std::u16string name = Upper(Trim(text.substr(pos, eq - pos)));
        size_t start = eq + 1;
        while (start < text.size() && text[start] == u' ') ++start;
        std::u16string value;
        size_t end;
        if (start < text.size() && text[start] == u'"') {
            size_t close = text.find(u'"', start + 1);
            if (close == std::u16string_view::npos) throw ConnectionError("connection string: unterminated quote");
            value = std::u16string(text.substr(start + 1, close - start - 1));
            end = text.find(u';', close);
        } else {
            end = text.find(u';', start);
            value = Trim(text.substr(start, end == std::u16string_view::npos ? end : end - start));
        }
        if (name == key) return value;
        if (end == std::u16string_view::npos) break;
        pos = end + 1;
    }
    return std::nullopt;
}

// A decimal number: optional blanks and sign, digits with an optional
// fraction, an optional exponent.
std::optional<double> DecimalNumber(std::u16string_view text) {
    std::u16string trimmed = Trim(text);
    std::string ascii;
    for (char16_t c : trimmed) {
        if (c > 0x7F) return std::nullopt;
        ascii += static_cast<char>(c);
    }
    size_t skip = !ascii.empty() && ascii[0] == '+' ? 1 : 0;
    if (ascii.size() == skip) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(ascii.data() + skip, ascii.data() + ascii.size(), value,
                                        std::chars_format::general);
    if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::CheckOpen() const {
    if (!IsOpen()) throw ConnectionError("the connection is not open");
}

void Connection::Open(std::u16string_view connectionString) {
    if (IsOpen()) throw ConnectionError("the connection is already open");
    if (!ConnectionValue(connectionString, u"PROVIDER"))
        throw ConnectionError("connection string without Provider: " + WideToUtf8(connectionString));
    std::optional<std::u16string> source = ConnectionValue(connectionString, u"DATA SOURCE");
    if (!source || source->empty())
        throw ConnectionError("connection string without Data Source: " + WideToUtf8(connectionString));
    std::optional<std::u16string> properties = ConnectionValue(connectionString, u"EXTENDED PROPERTIES");
    if (!properties || Upper(*properties) != u"EXCEL 8.0")
        throw ConnectionError("connection string without Extended Properties=Excel 8.0: " +
                              WideToUtf8(connectionString));
    std::optional<std::string> path = SystemPath(*source);
    if (!path) throw ConnectionError("cannot write the workbook " + Quote(*source) + ": invalid path");
    if (access(path->c_str(), F_OK) == 0)
        throw ConnectionError("the workbook " + Quote(*source) + " already exists");
    auto output = std::make_unique<PendingOutputFile>(*path);
    if (!output->IsOpen()) throw ConnectionError("cannot write the workbook " + Quote(*source));
    path_ = *path;
    output_ = std::move(output);
    tables_.clear();
    workbook_ = Workbook();
}

void Connection::Execute(std::u16string_view statement) {
    CheckOpen();
    SqlStatement parsed = ParseSqlStatement(statement);
    if (auto* create = std::get_if<CreateTableStatement>(&parsed))
        CreateTable(*create);
    else
        Insert(std::get<InsertStatement>(parsed));
}

void Connection::CreateTable(const CreateTableStatement& s) {
    for (const Table& t : tables_)
        if (SameName(t.name, s.table)) throw ConnectionError("table " + Quote(s.table) + " already exists");
    if (s.table.size() > 31) throw ConnectionError("table name " + Quote(s.table) + " longer than 31 characters");
    if (s.columns.size() > Workbook::kMaxColumns)
        throw ConnectionError("table " + Quote(s.table) + " has more than 256 columns");
    for (size_t i = 0; i < s.columns.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (SameName(s.columns[i].first, s.columns[j].first))
                throw ConnectionError("column " + Quote(s.columns[i].first) + " named twice");
    Table table{s.table, s.columns, workbook_.AddSheet(s.table), 1};
    for (size_t c = 0; c < s.columns.size(); ++c)
        workbook_.AddText(table.sheet, 0, static_cast<uint16_t>(c), s.columns[c].first);
    tables_.push_back(std::move(table));
}

void Connection::Insert(const InsertStatement& s) {
    auto table = std::find_if(tables_.begin(), tables_.end(),
                              [&](const Table& t) { return SameName(t.name, s.table); });
    if (table == tables_.end()) throw ConnectionError("unknown table " + Quote(s.table));
    if (table->rows >= Workbook::kMaxRows)
        throw ConnectionError("table " + Quote(s.table) + " is full: a worksheet holds 65536 rows");

    // Check every value before adding a cell, so that a refused row leaves no
    // trace.
    struct Value {
        size_t column;
        const std::u16string* text;
        double number;
    };
    std::vector<Value> row;
    for (size_t i = 0; i < s.columns.size(); ++i) {
        auto column = std::find_if(table->columns.begin(), table->columns.end(),
                                   [&](const auto& c) { return SameName(c.first, s.columns[i]); });
        if (column == table->columns.end())
            throw ConnectionError("unknown column " + Quote(s.columns[i]) + " in table " + Quote(s.table));
        size_t index = static_cast<size_t>(column - table->columns.begin());
        if (std::any_of(row.begin(), row.end(), [&](const Value& v) { return v.column == index; }))
            throw ConnectionError("column " + Quote(s.columns[i]) + " named twice");
        const std::u16string& text = s.values[i];
        if (text.size() > kMaxTextCell)
            throw ConnectionError("value for column " + Quote(s.columns[i]) + " longer than 32767 characters");
        double number = 0;
        if (column->second == ColumnType::Number) {
            std::optional<double> parsed = DecimalNumber(text);
            if (!parsed) throw ConnectionError(Quote(text) + " is not a number (column " + Quote(s.columns[i]) + ")");
            number = *parsed;
        }
        row.push_back(Value{index, &text, number});
    }
    std::sort(row.begin(), row.end(), [](const Value& a, const Value& b) { return a.column < b.column; });
    const uint32_t r = table->rows++;
    for (const Value& v : row) {
        if (table->columns[v.column].second == ColumnType::Number)
            workbook_.AddNumber(table->sheet, r, static_cast<uint16_t>(v.column), v.number);
        else
            workbook_.AddText(table->sheet, r, static_cast<uint16_t>(v.column), *v.text);
    }
}

void Connection::Close() {
    CheckOpen();
    std::unique_ptr<PendingOutputFile> output = std::move(output_);
    std::vector<uint8_t> bytes = MakeCompoundFile(u"Workbook", workbook_.Stream());
    workbook_ = Workbook();
    tables_.clear();
    output->Write(bytes.data(), bytes.size());
    if (!output->Commit()) throw ConnectionError("cannot write the workbook " + Quote(Utf8ToWide(path_)));
}

}  // namespace platform
