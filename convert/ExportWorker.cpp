#include "convert/ExportWorker.h"

#include <cstdio>

#include "catalogue/RecordRow.h"
#include "catalogue/RecordingHeader.h"
#include "convert/ExportRow.h"
#include "platform/TextCodec.h"
#include "workbook/WorkbookFile.h"

namespace {

constexpr std::u16string_view kTable = u"语音信息";
constexpr workbook::Column kColumns[] = {
    {u"序号", workbook::ColumnType::Text},         {u"文件名", workbook::ColumnType::Text},
    {u"电话号码", workbook::ColumnType::Text},     {u"方式", workbook::ColumnType::Text},
    {u"开始时间", workbook::ColumnType::Text},     {u"录音时长（秒）", workbook::ColumnType::Number},
    {u"文件长度", workbook::ColumnType::Text},
};
constexpr std::u16string_view kFilePrefix = u"导出-";
constexpr std::u16string_view kSucceeded = u"提示：导出成功 - ";
constexpr std::u16string_view kFailed = u"提示：导出失败 - ";
constexpr std::u16string_view kFinishedButton = u"完成";

}  // namespace

std::u16string ExportShownName(const std::tm& t) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "(%02d月%02d日 %02d时%02d分%02d秒).XLS", t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return u"语音信息" + platform::Utf8ToWide(digits);
}

int ExportWorker(ExportJob& job) {
    int64_t callerTotal = 0, calledTotal = 0, allTotal = 0;

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // The done text names the whole path written, so that the user finds
    // the file; the workbook replaces only an earlier workbook there.
    job.m_szPath = job.m_szOutPath.empty() ? job.m_szSaveFolder + std::u16string(kFilePrefix) + ExportShownName(local)
                                           : job.m_szOutPath;
    try {
        workbook::WorkbookFile file(job.m_szPath, kTable);
        workbook::Workbook book;
        const size_t table = book.AddTable(kTable, kColumns);
        job.view->SetProgress(1);

        const size_t count = job.entries.size();
        for (size_t k = 0; k < count; ++k) {
            if (job.m_bStop.load() == 1) break;
            CatalogueEntry& entry = job.entries[k];
            FillSummary(job.m_szRecFolder, entry);
            const std::u16string name = platform::NarrowToWide(entry.Name());
            const ExportRow row = FormatExportRow(job.m_szRecFolder, name, platform::NarrowToWide(entry.Summary()));

            allTotal += row.seconds;
            if (row.type.find(u"主叫") != std::u16string::npos)
                callerTotal += row.seconds;
            else if (row.type.find(u"被叫") != std::u16string::npos)
                calledTotal += row.seconds;

            const std::u16string number = DecimalText(static_cast<int64_t>(k) + 1);
            // A recording that could not be measured leaves its duration and
            // size empty.
            if (row.measured)
                book.AddRow(table, {number, name, row.phone, row.type, row.start, static_cast<double>(row.seconds),
                                    row.size});
            else
                book.AddRow(table, {number, name, row.phone, row.type, row.start});
            job.view->SetProgress(static_cast<int>(100 * k / count));
        }

        book.AddRow(table, {u"时长统计（秒）："});
        book.AddRow(table, {u"主叫时长", DecimalText(callerTotal), u"被叫时长", DecimalText(calledTotal), u"总时长",
                            static_cast<double>(allTotal)});
        file.Save(book);
    } catch (const workbook::WorkbookError& e) {
        job.error = e.what();
        job.view->SetStatusText(std::u16string(kFailed) + platform::Utf8ToWide(job.error));
        job.view->SetButtonText(kFinishedButton);
        return 0;
    }

    if (job.m_bStop.load() == 0) {
        job.m_bDone.store(1);
        job.view->SetProgress(100);
        job.view->SetStatusText(std::u16string(kSucceeded) + job.m_szPath);
        job.view->SetButtonText(kFinishedButton);
    }
    return 0;
}
