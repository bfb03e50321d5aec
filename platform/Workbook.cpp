#include "platform/Workbook.h"

#include <algorithm>
#include <stdexcept>

#include "platform/CompoundFile.h"

namespace platform {

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

}  // namespace

size_t Workbook::AddSheet(std::u16string_view name) {
    if (name.empty() || name.size() > 31) throw std::invalid_argument("sheet names hold 1 to 31 characters");
    sheets_.push_back(Sheet{std::u16string(name), {}});
    return sheets_.size() - 1;
}

void Workbook::AddText(size_t sheet, uint32_t row, uint16_t column, std::u16string_view text) {
    if (row >= kMaxRows || column >= kMaxColumns) throw std::out_of_range("cell outside the worksheet");
    sheets_.at(sheet).cells.push_back(Cell{row, column, false, strings_.Add(text), 0.0});
}

void Workbook::AddNumber(size_t sheet, uint32_t row, uint16_t column, double value) {
    if (row >= kMaxRows || column >= kMaxColumns) throw std::out_of_range("cell outside the worksheet");
    sheets_.at(sheet).cells.push_back(Cell{row, column, true, 0, value});
}

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
    for (const Sheet& sheet : sheets_) {
        sheetOffsetFields.push_back(s.Size() + 4);
        s.Append(biff::kBoundSheet, RecordData().U32(0).U8(0).U8(0).ShortUnicode(sheet.name));
    }
    strings_.WriteTo(s);
    s.Append(biff::kEof, RecordData());

    // One substream per sheet.
    for (size_t i = 0; i < sheets_.size(); ++i) {
        const Sheet& sheet = sheets_[i];
        s.PatchU32(sheetOffsetFields[i], static_cast<uint32_t>(s.Size()));
        s.Append(biff::kBof, Bof(kWorksheet));
        uint32_t rows = 0;
        uint16_t columns = 0;
        for (const Cell& c : sheet.cells) {
            rows = std::max(rows, c.row + 1);
            columns = std::max<uint16_t>(columns, c.column + 1);
        }
        s.Append(biff::kDimensions, RecordData().U32(0).U32(rows).U16(0).U16(columns).U16(0));
        for (const Cell& c : sheet.cells) {
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

}  // namespace platform
