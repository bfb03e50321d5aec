#pragma once
// A workbook file that replaces only what this program made. The new
// workbook is written beside its path under a temporary name and renamed
// over the path only when it is complete, so that a failure leaves an
// earlier workbook as it was. The path may name nothing or an earlier
// workbook: a compound file whose "Workbook" stream names a sheet after the
// table the new one holds. Anything else there (another program's file, a
// folder, a device) is refused and left as it is.
//
// Failures raise WorkbookError: "cannot write the workbook '<path>': " and
// the reason, the system's where it gave one.

#include <memory>
#include <string>
#include <string_view>

#include "workbook/Workbook.h"

class PendingOutputFile;

namespace workbook {

class WorkbookFile {
public:
    // Claims path (a program path, any characters) for a workbook holding
    // the table called table, and creates the temporary file.
    WorkbookFile(std::u16string_view path, std::u16string_view table);
    // Without Save nothing appears under path and the temporary file goes.
    ~WorkbookFile();
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    // Writes book and renames it over path, which is looked at again first:
    // another program may have put a file there meanwhile. Once only. When
    // it fails, path is as it was and the temporary file is gone.
    void Save(const Workbook& book);

private:
    // Refuses what lies at path unless it is nothing or an earlier workbook.
    void CheckReplaceable() const;
    [[noreturn]] void Fail(const std::string& reason) const;

    std::u16string path_;
    std::string systemPath_;
    std::u16string table_;
    std::unique_ptr<::PendingOutputFile> output_;
};

}  // namespace workbook
