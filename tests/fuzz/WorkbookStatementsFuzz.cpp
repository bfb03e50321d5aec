// Statements through the workbook connection: one statement a line (UTF-8),
// each run on an open connection, then the workbook written. A refused
// statement raises ConnectionError and changes nothing; the workbook holds
// one sheet per table created, no row beyond those inserted, and no file but
// the workbook is left behind (nothing at all when writing it failed).

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Connection.h"
#include "platform/Files.h"
#include "platform/SqlStatement.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/WorkbookRecords.h"

namespace {

std::u16string Upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return s;
}

struct ModelTable {
    std::u16string name;
    size_t columns;
    uint32_t rows;  // the names' row included
};

size_t FilesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzFolder().File("book.xls");
    const size_t filesBefore = FilesIn(FuzzFolder().Path());
    platform::Connection connection;
    connection.Open(u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + platform::Utf8ToWide(path) +
                    u"; Extended Properties=Excel 8.0;");

    std::vector<ModelTable> tables;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::u16string statement = platform::Utf8ToWide(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        try {
            connection.Execute(statement);
        } catch (const platform::ConnectionError&) {
            continue;
        }
        // It ran, so it parses; count what it added.
        const platform::SqlStatement parsed = platform::ParseSqlStatement(statement);
        if (const auto* create = std::get_if<platform::CreateTableStatement>(&parsed)) {
            tables.push_back({create->table, create->columns.size(), 1});
        } else {
            const auto& insert = std::get<platform::InsertStatement>(parsed);
            bool found = false;
            for (ModelTable& t : tables) {
                if (Upper(t.name) != Upper(insert.table)) continue;
                ++t.rows;
                found = true;
            }
            Check(found);
        }
    }

    bool written = true;
    try {
        connection.Close();
    } catch (const platform::ConnectionError&) {
        written = false;
    }
    Check(!connection.IsOpen());
    std::vector<uint8_t> bytes;
    Check(platform::ReadWholeFile(path, bytes) == written);
    if (written) {
        const std::vector<WorkbookSheet> sheets = ReadWorkbookRecords(bytes);
        Check(sheets.size() == tables.size());
        for (size_t s = 0; s < sheets.size(); ++s) {
            Check(sheets[s].name == tables[s].name);
            uint32_t rows = 0;
            for (const auto& [at, value] : sheets[s].cells) {
                Check(at.second < tables[s].columns);
                rows = std::max(rows, at.first + 1);
            }
            Check(rows <= tables[s].rows);
        }
        Check(platform::DeleteFileAt(path));
    }
    Check(FilesIn(FuzzFolder().Path()) == filesBefore);
    return 0;
}
