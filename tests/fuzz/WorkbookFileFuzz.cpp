// Saving a workbook over whatever lies at its path: the recogniser of
// earlier workbooks reads the existing file's compound-file header, FAT,
// directory and workbook globals, so any bytes may meet it. The input's
// first byte chooses what lies there: the rest of the input as a file's
// bytes; a workbook the writer made (holding the table or not), then
// changed at the offsets the input gives and perhaps cut short; a folder;
// nothing. Whatever it is, the save either replaces it with the new workbook
// or refuses with a message naming the path and leaves it byte for byte as
// it was; no other file is left in the folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/WorkbookRecords.h"
#include "workbook/WorkbookFile.h"

namespace {

constexpr char16_t kTable[] = u"语音信息";
constexpr workbook::Column kColumns[] = {{u"序号", workbook::ColumnType::Text}};

enum Existing { kBytes, kWorkbook, kFolder, kNothing };

std::vector<uint8_t> EarlierWorkbook(FuzzInput& in, bool& holdsTable) {
    workbook::Workbook book;
    const uint8_t tables = in.Byte() % 3;  // the table, another one, or both
    holdsTable = tables != 1;
    if (tables != 1) book.AddRow(book.AddTable(kTable, kColumns), {u"old"});
    if (tables != 0) book.AddRow(book.AddTable(u"其他", kColumns), {u"old"});
    std::vector<uint8_t> bytes = book.FileBytes();
    // Changes: an offset and a byte to mix in there; a zero byte cuts the
    // file short at the offset instead.
    while (in.More() && !bytes.empty()) {
        const size_t at = in.U16() % bytes.size();
        const uint8_t mix = in.Byte();
        if (mix == 0)
            bytes.resize(at);
        else
            bytes[at] ^= mix;
    }
    return bytes;
}

size_t EntriesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Existing existing = static_cast<Existing>(data[0] % 4);
    FuzzInput in(data + 1, size - 1);
    const std::string path = FuzzFolder().File("list.xls");
    const size_t entriesBefore = EntriesIn(FuzzFolder().Path());

    std::vector<uint8_t> before;
    bool unchangedEarlierWorkbook = false;
    if (existing == kBytes) {
        before.assign(data + 1, data + size);
    } else if (existing == kWorkbook) {
        bool holdsTable = false;
        before = EarlierWorkbook(in, holdsTable);
        unchangedEarlierWorkbook = holdsTable && size <= 2;  // no changes were given
    }
    if (existing == kBytes || existing == kWorkbook) WriteFuzzFile("list.xls", before.data(), before.size());
    if (existing == kFolder) std::filesystem::create_directory(path);

    workbook::Workbook book;
    book.AddRow(book.AddTable(kTable, kColumns), {u"new"});
    bool replaced = true;
    try {
        workbook::WorkbookFile file(platform::Utf8ToWide(path), kTable);
        file.Save(book);
    } catch (const workbook::WorkbookError& e) {
        replaced = false;
        const std::string start = "cannot write the workbook '" + path + "': ";
        Check(std::string(e.what()).compare(0, start.size(), start) == 0);
    }

    Check(EntriesIn(FuzzFolder().Path()) == entriesBefore + 1);
    if (existing == kNothing || unchangedEarlierWorkbook) Check(replaced);
    if (existing == kFolder) Check(!replaced && std::filesystem::is_directory(path));
    if (replaced) {
        const std::vector<WorkbookSheet> sheets = ReadWorkbookRecords(path);
        Check(sheets.size() == 1 && sheets[0].name == kTable && sheets[0].cells.size() == 2);
    } else if (existing != kFolder) {
        std::vector<uint8_t> after;
        Check(platform::ReadWholeFile(path, after) && after == before);
    }
    std::filesystem::remove(path);
    return 0;
}
