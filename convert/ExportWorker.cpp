#include "convert/ExportWorker.h"

#include <sys/stat.h>

#include <cstdio>

#include "catalogue/RecordRow.h"
#include "catalogue/RecordingHeader.h"
#include "convert/ExportRow.h"
#include "platform/Connection.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

namespace {

constexpr std::u16string_view kCreateTable =
    u"CREATE TABLE 语音信息(序号 TEXT, 文件名 TEXT, 电话号码 TEXT, 方式 TEXT, 开始时间 TEXT, 录音时长（秒） NUMBER, "
    u"文件长度 TEXT);";
constexpr std::u16string_view kInsertRow =
    u"INSERT INTO 语音信息(序号, 文件名, 电话号码, 方式, 开始时间, 录音时长（秒）, 文件长度) VALUES (";
// A recording that could not be measured leaves its duration and size out.
constexpr std::u16string_view kInsertUnmeasuredRow =
    u"INSERT INTO 语音信息(序号, 文件名, 电话号码, 方式, 开始时间) VALUES (";
constexpr std::u16string_view kInsertTotalsCaption = u"INSERT INTO 语音信息(序号) VALUES ('时长统计（秒）：')";
constexpr std::u16string_view kInsertTotals =
    u"INSERT INTO 语音信息(序号, 文件名, 电话号码, 方式, 开始时间, 录音时长（秒）) VALUES (";
constexpr std::u16string_view kFilePrefix = u"导出-";
constexpr std::u16string_view kSucceeded = u"提示：导出成功 - ";
constexpr std::u16string_view kFailed = u"提示：导出失败 - ";
constexpr std::u16string_view kFinishedButton = u"完成";

// values as the statement's quoted list: each between single quotes, a
// quote inside doubled, so that no value can end its quotes early.
std::u16string QuotedValues(std::initializer_list<std::u16string_view> values) {
    std::u16string list;
    for (std::u16string_view v : values) {
        if (!list.empty()) list += u", ";
        list += u'\'';
        for (char16_t c : v) {
            if (c == u'\'') list += u'\'';
            list += c;
        }
        list += u'\'';
    }
    return list + u")";
}

std::u16string ConnectionString(std::u16string_view path) {
    // A path holding ';' is quoted so that it stays one value.
    std::u16string source = path.find(u';') == std::u16string_view::npos ? std::u16string(path)
                                                                          : u"\"" + std::u16string(path) + u"\"";
    return u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + source + u"; Extended Properties=Excel 8.0;";
}

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
    job.m_szPath = job.m_szOutPath.empty() ? job.m_szSaveFolder + std::u16string(kFilePrefix) + ExportShownName(local)
                                           : job.m_szOutPath;
    // An earlier workbook of that name is replaced; anything else there (a
    // device such as /dev/null, a folder) is left alone, and the connection
    // refuses it.
    if (std::optional<std::string> path = platform::SystemPath(job.m_szPath)) {
        struct stat st {};
        if (stat(path->c_str(), &st) == 0 && S_ISREG(st.st_mode)) platform::DeleteFileAt(*path);
    }

    std::vector<CatalogueEntry>& entries = *job.m_pEntries;
    try {
        platform::Connection connection;
        connection.Open(ConnectionString(job.m_szPath));
        connection.Execute(kCreateTable);
        job.view->SetProgress(1);

        const size_t count = entries.size();
        for (size_t k = 0; k < count; ++k) {
            if (job.m_bStop.load() == 1) break;
            CatalogueEntry& entry = entries[k];
            FillSummary(job.m_szRecFolder, entry);
            const std::u16string name = platform::NarrowToWide(entry.Name());
            const ExportRow row = FormatExportRow(job.m_szRecFolder, name, platform::NarrowToWide(entry.Summary()));

            allTotal += row.seconds;
            if (row.type.find(u"主叫") != std::u16string::npos)
                callerTotal += row.seconds;
            else if (row.type.find(u"被叫") != std::u16string::npos)
                calledTotal += row.seconds;

            const std::u16string number = DecimalText(static_cast<int64_t>(k) + 1);
            if (row.measured)
                connection.Execute(std::u16string(kInsertRow) +
                                   QuotedValues({number, name, row.phone, row.type, row.start, row.duration, row.size}));
            else
                connection.Execute(std::u16string(kInsertUnmeasuredRow) +
                                   QuotedValues({number, name, row.phone, row.type, row.start}));
            job.view->SetProgress(static_cast<int>(100 * k / count));
        }

        connection.Execute(kInsertTotalsCaption);
        connection.Execute(std::u16string(kInsertTotals) +
                           QuotedValues({u"主叫时长", DecimalText(callerTotal), u"被叫时长", DecimalText(calledTotal),
                                         u"总时长", DecimalText(allTotal)}));
        connection.Close();
    } catch (const platform::ConnectionError& e) {
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
