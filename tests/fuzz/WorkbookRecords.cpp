#include "tests/fuzz/WorkbookRecords.h"

#include <cstring>
#include <optional>

#include "platform/Files.h"
#include "workbook/CompoundFile.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) throw WorkbookFormatError(what);
}

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return U16(p) | (uint32_t{U16(p + 2)} << 16); }

struct Record {
    size_t offset;  // of its header in the stream
    uint16_t id;
    std::vector<uint8_t> data;
};

// The shared strings, read across the SST's CONTINUE records: a string's
// characters may go on in the next record behind a fresh option byte; its
// count and options never do.
class StringReader {
public:
    explicit StringReader(std::vector<const std::vector<uint8_t>*> parts) : parts_(std::move(parts)) {}

    uint32_t U32Field() {
        Fit(4);
        const uint32_t v = U32(Here());
        at_ += 4;
        return v;
    }

    std::u16string String() {
        Fit(3);
        uint32_t count = U16(Here());
        uint8_t options = Here()[2];
        at_ += 3;
        Require((options & 0xF2) == 0, "string options");
        uint32_t runs = 0, extra = 0;
        if (options & 0x08) {
            Fit(2);
            runs = U16(Here());
            at_ += 2;
        }
        if (options & 0x04) {
            Fit(4);
            extra = U32(Here());
            at_ += 4;
        }
        std::u16string text;
        while (text.size() < count) {
            if (at_ == Part().size()) {
                Move();
                Fit(1);
                options = Here()[0];
                ++at_;
                Require((options & 0xFE) == 0, "continued string options");
            }
            const size_t unit = (options & 1) ? 2 : 1;
            Require(at_ + unit <= Part().size(), "character split");
            text.push_back(unit == 2 ? U16(Here()) : Here()[0]);
            at_ += unit;
        }
        Skip(uint64_t{runs} * 4 + extra);
        return text;
    }

private:
    const std::vector<uint8_t>& Part() const { return *parts_[part_]; }
    const uint8_t* Here() const { return Part().data() + at_; }
    void Move() {
        Require(part_ + 1 < parts_.size(), "string table ends early");
        ++part_;
        at_ = 0;
    }
    void Fit(size_t n) {
        if (at_ == Part().size()) Move();
        Require(at_ + n <= Part().size(), "field split");
    }
    void Skip(uint64_t n) {
        while (n > 0) {
            if (at_ == Part().size()) Move();
            const uint64_t step = std::min<uint64_t>(n, Part().size() - at_);
            at_ += step;
            n -= step;
        }
    }

    std::vector<const std::vector<uint8_t>*> parts_;
    size_t part_ = 0;
    size_t at_ = 0;
};

std::u16string ShortUnicode(const std::vector<uint8_t>& data, size_t at) {
    Require(at + 2 <= data.size(), "short string");
    const size_t count = data[at];
    const size_t unit = (data[at + 1] & 1) ? 2 : 1;
    Require(at + 2 + count * unit <= data.size(), "short string length");
    std::u16string text;
    for (size_t i = 0; i < count; ++i)
        text.push_back(unit == 2 ? U16(data.data() + at + 2 + 2 * i) : data[at + 2 + i]);
    return text;
}

}  // namespace

std::vector<WorkbookSheet> ReadWorkbookRecords(const std::string& path) {
    platform::File file = platform::File::OpenForReading(path);
    Require(file.IsOpen(), "the file cannot be opened");
    const std::optional<std::vector<uint8_t>> whole = workbook::ReadCompoundStream(file, u"Workbook", SIZE_MAX);
    Require(whole.has_value(), "no Workbook stream in a compound file");
    const std::vector<uint8_t>& stream = *whole;
    std::vector<Record> records;
    for (size_t at = 0; at + 4 <= stream.size();) {
        const uint16_t id = U16(stream.data() + at);
        const uint16_t length = U16(stream.data() + at + 2);
        if (id == 0 && length == 0) break;  // the padding behind the last EOF
        Require(length <= 8224 && at + 4 + length <= stream.size(), "record length");
        records.push_back({at, id, std::vector<uint8_t>(stream.begin() + at + 4, stream.begin() + at + 4 + length)});
        at += 4 + length;
    }
    Require(!records.empty() && records[0].id == 0x0809, "workbook BOF");

    std::vector<WorkbookSheet> sheets;
    std::map<size_t, size_t> sheetAt;  // BOF offset to sheet
    std::vector<std::u16string> strings;
    size_t i = 1;
    for (; i < records.size() && records[i].id != 0x000A; ++i) {
        const Record& r = records[i];
        if (r.id == 0x0085) {
            Require(r.data.size() >= 6, "BOUNDSHEET");
            sheetAt[U32(r.data.data())] = sheets.size();
            sheets.push_back({ShortUnicode(r.data, 6), {}});
        } else if (r.id == 0x00FC) {
            std::vector<const std::vector<uint8_t>*> parts{&r.data};
            for (size_t j = i + 1; j < records.size() && records[j].id == 0x003C; ++j) parts.push_back(&records[j].data);
            StringReader reader(parts);
            reader.U32Field();
            const uint32_t unique = reader.U32Field();
            for (uint32_t k = 0; k < unique; ++k) strings.push_back(reader.String());
        }
    }
    Require(i < records.size(), "globals EOF");

    for (++i; i < records.size(); ++i) {
        Require(records[i].id == 0x0809, "sheet BOF");
        auto found = sheetAt.find(records[i].offset);
        Require(found != sheetAt.end(), "sheet BOF where no BOUNDSHEET points");
        WorkbookSheet& sheet = sheets[found->second];
        for (++i; i < records.size() && records[i].id != 0x000A; ++i) {
            const Record& r = records[i];
            if (r.id == 0x00FD) {
                Require(r.data.size() == 10, "LABELSST");
                const uint32_t index = U32(r.data.data() + 6);
                Require(index < strings.size(), "string index");
                Require(sheet.cells.emplace(std::pair{U16(r.data.data()), U16(r.data.data() + 2)}, strings[index]).second,
                        "cell twice");
            } else if (r.id == 0x0203) {
                Require(r.data.size() == 14, "NUMBER");
                double value;
                std::memcpy(&value, r.data.data() + 6, 8);
                Require(sheet.cells.emplace(std::pair{U16(r.data.data()), U16(r.data.data() + 2)}, value).second,
                        "cell twice");
            }
        }
        Require(i < records.size(), "sheet EOF");
    }
    return sheets;
}
