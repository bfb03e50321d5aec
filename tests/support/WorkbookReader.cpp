#include "tests/support/WorkbookReader.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr char kPython[] = "/usr/bin/python3";
constexpr char kLibreOffice[] = "/usr/bin/libreoffice";

constexpr char kXlrdScript[] = R"(
import sys, xlrd
def esc(s):
    return s.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')
book = xlrd.open_workbook(sys.argv[1])
out = []
for sheet in book.sheets():
    out.append('S\t' + esc(sheet.name))
    for r in range(sheet.nrows):
        cells = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_TEXT:
                cells.append('T:' + esc(cell.value))
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                v = cell.value
                cells.append('N:' + (str(int(v)) if v == int(v) else repr(v)))
            elif cell.ctype == xlrd.XL_CELL_EMPTY:
                cells.append('')
            else:
                cells.append('?:' + repr(cell.value))
        out.append('R\t' + '\t'.join(cells))
sys.stdout.write('\n'.join(out) + '\n')
)";

}  // namespace

std::string XlrdMissing() {
    if (access(kPython, X_OK) != 0) return "no /usr/bin/python3 (install python3-xlrd)";
    ProgramResult r = RunProgram("/", kPython, {"-c", "import xlrd"});
    if (r.status != 0) return "python3-xlrd is not installed: " + r.err;
    return {};
}

std::vector<ReadSheet> ReadWithXlrd(const std::string& path, std::string& error) {
    std::vector<ReadSheet> sheets;
    ProgramResult r = RunProgram("/", kPython, {"-c", kXlrdScript, path});
    error = r.status == 0 ? std::string() : "xlrd: " + r.err;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("S\t", 0) == 0) {
            sheets.push_back(ReadSheet{line.substr(2), {}});
        } else if (line.rfind("R\t", 0) == 0 && !sheets.empty()) {
            std::vector<std::string> cells;
            size_t start = 2;
            for (;;) {
                size_t tab = line.find('\t', start);
                cells.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
                if (tab == std::string::npos) break;
                start = tab + 1;
            }
            sheets.back().rows.push_back(std::move(cells));
        }
    }
    return sheets;
}

std::string LibreOfficeMissing() {
    if (access(kLibreOffice, X_OK) != 0) return "LibreOffice is not installed (libreoffice-calc-nogui)";
    return {};
}

std::vector<std::string> ConvertWithLibreOffice(const std::vector<std::string>& paths) {
    TempFolder work;
    std::vector<std::string> args = {"-env:UserInstallation=file://" + work.File("profile"), "--headless",
                                      "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                                      "--outdir", work.File("out")};
    args.insert(args.end(), paths.begin(), paths.end());
    RunProgram(work.Str(), kLibreOffice, args);
    std::vector<std::string> csv;
    for (const std::string& path : paths) {
        std::ifstream in(work.File("out/" + std::filesystem::path(path).stem().string() + ".csv"), std::ios::binary);
        csv.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return csv;
}
