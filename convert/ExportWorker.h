#pragma once
// The export of the whole catalogue into a workbook ("导出列表"): one row per
// entry with its running number, name, phone, call type, start time, duration
// and size, then two rows of duration totals. Runs on the export dialog's
// worker thread, or directly in tolvan-cli; what it shows goes through
// ExportView.

#include <atomic>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueEntry.h"

// The message of "导出列表" on an empty catalogue.
inline constexpr std::u16string_view kNothingToExport = u"没有导出的记录！";

// The export dialog's controls as the worker sets them. Called on the
// worker's thread.
class ExportView {
public:
    virtual ~ExportView() = default;
    // The progress bar, 0..100.
    virtual void SetProgress(int percent) = 0;
    // The dialog's text.
    virtual void SetStatusText(std::u16string_view text) = 0;
    // The text of the dialog's visible button.
    virtual void SetButtonText(std::u16string_view text) = 0;
};

// Filled in before the worker starts; while it runs, the dialog sets only
// m_bStop. The entries are the worker's own copy of the catalogue's, so that
// the catalogue is never written from the worker's thread.
struct ExportJob {
    std::vector<CatalogueEntry> entries;  // the whole catalogue; the worker fills their summaries
    std::u16string m_szRecFolder;         // the recordings folder
    std::u16string m_szSaveFolder;        // where the workbook goes (the user's documents folder), ending in '/'
    std::u16string m_szOutPath;  // when not empty, the workbook's path instead (tolvan-cli --out)
    ExportView* view = nullptr;

    std::atomic<int> m_bStop{0};  // set by the dialog; read before each row
    std::atomic<int> m_bDone{0};  // set by the worker when the export has completed without a stop

    // Filled by the worker: the workbook's path, and the writer's message
    // when the export failed (empty otherwise).
    std::u16string m_szPath;
    std::string error;
};

// The workbook's name for an export started at local time t:
// "语音信息(%02d月%02d日 %02d时%02d分%02d秒).XLS"; the file on disk carries
// the prefix "导出-". The done text names the whole path written, so that the
// user finds the file.
std::u16string ExportShownName(const std::tm& t);

// Exports job.entries. A stop request ends the rows early; the summary rows
// and the workbook still follow. The workbook replaces only an earlier
// workbook at its path, and only once it is complete. A failure (the path
// holds something else, the file cannot be written, the sheet is full) ends
// the export, leaves the path as it was, sets job.error and shows
// "提示：导出失败 - " with its message. Returns 0.
int ExportWorker(ExportJob& job);
