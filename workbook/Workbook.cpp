#include "workbook/Workbook.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/TextCodec.h"
#include "workbook/CompoundFile.h"

namespace workbook {

namespace {

using biff::RecordData;

constexpr uint16_t kBiff8 = 0x0600;
constexpr uint16_t kGlobals = 0x0005;
constexpr uint16_t kWorksheet = 0x0010;
constexpr uint16_t kUnicodeCodePage = 1200;
constexpr int kFonts = 5;         // font 4 is never used: the records fill indexes 0, 1, 2, 3 and 5
constexpr int kStyleXfs = 15;     // XF 0..14 are style XFs
constexpr uint16_t kCellXf = 15;  // the one cell format
constexpr uint16_t kStyleXfFlags = 0xFFF5;  // locked, style, no parent
constexpr uint16_t kCellXfFlags = 0x0001;   // locked, parent XF 0
constexpr uint16_t kPatternColours = 0x20C0;  // foreground 64, background 65: the system colours
constexpr size_t kRecordHead = 4;             // id and length
constexpr size_t kSheetNameAt = 6;            // in a BOUNDSHEET: behind the offset, state and type

RecordData Bof(uint16_t type) {
    RecordData r;
    r.U16(kBiff8).U16(type).U16(0x0DBB).U16(0x07CC).U32(0).U32(0x0006);
    return r;
}

RecordData Xf(uint16_t flags, uint8_t usedAttributes) {
    RecordData r;
    r.U16(0).U16(0).U16(flags);
    r.U8(0x20);  // bottom-aligned
    r.U8(0).U8(0).U8(usedAttributes);
    r.U32(0).U32(0).U16(kPatternColours);
    return r;
}

std::string Quote(std::u16string_view name) { return "'" + platform::WideToUtf8(name) + "'"; }

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

size_t Workbook::AddTable(std::u16string_view name, std::span<const Column> columns) {
    if (name.empty() || name.size() > kMaxTableName)
        throw WorkbookError("table name " + Quote(name) + " does not hold 1 to 31 characters");
    for (const Table& t : tables_)
        if (platform::SameIgnoringAsciiCase(t.name, name))
            throw WorkbookError("table " + Quote(name) + " already exists");
    if (columns.empty() || columns.size() > kMaxColumns)
        throw WorkbookError("table " + Quote(name) + " does not have 1 to 256 columns");
    for (const Column& c : columns)
        if (c.name.size() > kMaxText) throw WorkbookError("a column name of table " + Quote(name) + " is too long");

    Table table{std::u16string(name), {}, 1, {}};
    for (size_t c = 0; c < columns.size(); ++c) {
        table.types.push_back(columns[c].type);
        table.cells.push_back(Stored{0, static_cast<uint16_t>(c), false, strings_.Add(columns[c].name), 0.0});
    }
    tables_.push_back(std::move(table));
    return tables_.size() - 1;
}

void Workbook::AddRow(size_t table, std::span<const Cell> cells) {
    Table& t = tables_.at(table);
    if (t.rows >= kMaxRows) throw WorkbookError("table " + Quote(t.name) + " is full: a worksheet holds 65536 rows");
    if (cells.size() > t.types.size())
        throw WorkbookError("a row of " + std::to_string(cells.size()) + " cells for table " + Quote(t.name) +
                            " of " + std::to_string(t.types.size()) + " columns");
    // Every cell is checked before one is added, so that a refused row
    // leaves no trace.
    for (size_t c = 0; c < cells.size(); ++c) {
        const ColumnType type = t.types[c];
        if (const auto* text = std::get_if<std::u16string_view>(&cells[c])) {
            if (type == ColumnType::Number)
                throw WorkbookError("text in number column " + std::to_string(c) + " of table " + Quote(t.name));
            if (text->size() > kMaxText)
                throw WorkbookError("text longer than 32767 characters for table " + Quote(t.name));
        } else if (std::holds_alternative<double>(cells[c]) && type == ColumnType::Text) {
            throw WorkbookError("number in text column " + std::to_string(c) + " of table " + Quote(t.name));
        }
    }
    const uint32_t row = t.rows++;
    for (size_t c = 0; c < cells.size(); ++c) {
        const auto column = static_cast<uint16_t>(c);
        if (const auto* text = std::get_if<std::u16string_view>(&cells[c]))
            t.cells.push_back(Stored{row, column, false, strings_.Add(*text), 0.0});
        else if (const auto* number = std::get_if<double>(&cells[c]))
            t.cells.push_back(Stored{row, column, true, 0, *number});
    }
}

std::vector<uint8_t> Workbook::FileBytes() const { return MakeCompoundFile(u"Workbook", Stream()); }

std::vector<uint8_t> Workbook::Stream() const {
    biff::Stream s;

    // Workbook globals.
    s.Append(biff::kBof, Bof(kGlobals));
    s.Append(biff::kCodePage, RecordData().U16(kUnicodeCodePage));
    s.Append(biff::kWindow1, RecordData()
                                 .U16(0).U16(0).U16(0x4000).U16(0x2000)  // position and size in twips
                                 .U16(0x0038)                            // scroll bars and sheet tabs shown
                                 .U16(0).U16(0).U16(1).U16(0x0258));     // first sheet active and selected
    for (int i = 0; i < kFonts; ++i) {
        RecordData font;
        font.U16(200).U16(0).U16(0x7FFF).U16(400).U16(0).U8(0).U8(0).U8(134).U8(0);  // 10 pt, GB2312
        font.ShortUnicode(u"宋体");
        s.Append(biff::kFont, font);
    }
    for (int i = 0; i < kStyleXfs; ++i) s.Append(biff::kXf, Xf(kStyleXfFlags, 0xF4));
    s.Append(biff::kXf, Xf(kCellXfFlags, 0));
    s.Append(biff::kStyle, RecordData().U16(0x8000).U8(0).U8(0xFF));  // built-in "Normal" on XF 0
    std::vector<size_t> sheetOffsetFields;
    for (const Table& table : tables_) {
        sheetOffsetFields.push_back(s.Size() + kRecordHead);
        s.Append(biff::kBoundSheet, RecordData().U32(0).U8(0).U8(0).ShortUnicode(table.name));
    }
    strings_.WriteTo(s);
    s.Append(biff::kEof, RecordData());

    // One substream per sheet.
    for (size_t i = 0; i < tables_.size(); ++i) {
        const Table& table = tables_[i];
        s.PatchU32(sheetOffsetFields[i], static_cast<uint32_t>(s.Size()));
        s.Append(biff::kBof, Bof(kWorksheet));
        uint32_t rows = 0;
        uint16_t columns = 0;
        for (const Stored& c : table.cells) {
            rows = std::max(rows, c.row + 1);
            columns = std::max<uint16_t>(columns, c.column + 1);
        }
        s.Append(biff::kDimensions, RecordData().U32(0).U32(rows).U16(0).U16(columns).U16(0));
        for (const Stored& c : table.cells) {
            RecordData cell;
            cell.U16(static_cast<uint16_t>(c.row)).U16(c.column).U16(kCellXf);
            if (c.isNumber)
                s.Append(biff::kNumber, cell.F64(c.number));
            else
                s.Append(biff::kLabelSst, cell.U32(c.sstIndex));
        }
        const uint16_t window = i == 0 ? 0x06B6 : 0x00B6;  // grid, headers, zeros; the first sheet selected
        s.Append(biff::kWindow2, RecordData().U16(window).U16(0).U16(0).U16(64).U16(0).U16(0).U16(0).U32(0));
        s.Append(biff::kEof, RecordData());
    }
    s.PadTo(kMiniStreamCutoff);
    return s.Bytes();
}

std::optional<std::vector<std::u16string>> SheetNames(std::span<const uint8_t> stream) {
    const RecordData globalsBof = Bof(kGlobals);
    // The BOF's version and type.
    if (stream.size() < kRecordHead + 4 || Get16(stream.data()) != biff::kBof || Get16(stream.data() + 2) < 4 ||
        !std::equal(stream.begin() + kRecordHead, stream.begin() + kRecordHead + 4, globalsBof.Bytes().begin()))
        return std::nullopt;
    std::vector<std::u16string> names;
    for (size_t at = 0; at + kRecordHead <= stream.size();) {
        const uint16_t id = Get16(stream.data() + at);
        const size_t length = Get16(stream.data() + at + 2);
        if (id == biff::kSst || id == biff::kEof || at + kRecordHead + length > stream.size()) break;
        if (id == biff::kBoundSheet) {
            const std::span<const uint8_t> data = stream.subspan(at + kRecordHead, length);
            if (data.size() < kSheetNameAt + 2) return std::nullopt;
            const size_t count = data[kSheetNameAt];
            const bool wide = data[kSheetNameAt + 1] & 1;
            if (data.size() < kSheetNameAt + 2 + count * (wide ? 2 : 1)) return std::nullopt;
            std::u16string name;
            for (size_t i = 0; i < count; ++i) {
                const uint8_t* c = data.data() + kSheetNameAt + 2 + i * (wide ? 2 : 1);
                name.push_back(wide ? Get16(c) : *c);
            }
            names.push_back(std::move(name));
        }
        at += kRecordHead + length;
    }
    return names;
}

}  // namespace workbook
