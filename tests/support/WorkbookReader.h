#pragma once
// Workbooks read back by real readers: Debian's python3-xlrd, and LibreOffice
// headless converting to CSV. Tests skip, saying why, when a reader is not
// installed (tools/install-deps.sh installs both).

#include <string>
#include <vector>

// One worksheet as xlrd reads it: every row as wide as the sheet, each cell
// "T:text" (a string cell), "N:number" (a number cell; whole numbers without
// a fraction) or "" (an empty cell). Tabs, newlines and backslashes in text
// come as \t, \n and \\.
struct ReadSheet {
    std::string name;
    std::vector<std::vector<std::string>> rows;
};

// Why xlrd cannot be used here; empty when it can.
std::string XlrdMissing();
// The sheets of the workbook at path; error holds the reader's complaint
// when it rejected the file.
std::vector<ReadSheet> ReadWithXlrd(const std::string& path, std::string& error);

// Why LibreOffice cannot be used here; empty when it can.
std::string LibreOfficeMissing();
// The first sheet of each workbook as LibreOffice's CSV (UTF-8, comma, text
// cells quoted, number cells bare), from one run of the converter; an empty
// text for a workbook it could not convert.
std::vector<std::string> ConvertWithLibreOffice(const std::vector<std::string>& paths);
