// The export of a whole catalogue: the workbook read back by xlrd, the
// progress and texts the dialog is shown, a stop half-way, the entries it
// works on apart from the catalogue's, failures that leave no workbook, and
// what it replaces at its path: an earlier workbook only, and only once the
// new one is complete.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "convert/ExportWorker.h"
#include "platform/TextCodec.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/Faults.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkbookReader.h"
#include "tools/SampleFolder.h"

namespace fs = std::filesystem;

namespace {

using Row = std::vector<std::string>;

// What the dialog would show.
class RecordingView : public ExportView {
public:
    void SetProgress(int percent) override {
        progress.push_back(percent);
        if (onProgress) onProgress(percent);
    }
    void SetStatusText(std::u16string_view text) override { status = text; }
    void SetButtonText(std::u16string_view text) override { button = text; }

    std::vector<int> progress;
    std::u16string status, button;
    std::function<void(int)> onProgress;  // runs on the worker's thread
};

const Row kHeader = {"T:序号", "T:文件名", "T:电话号码", "T:方式", "T:开始时间", "T:录音时长（秒）", "T:文件长度"};

class ExportWorkerTest : public testing::Test {
protected:
    ExportWorkerTest() : cwd_(true), catalogue_(view_, scanner_) {}

    void SetUp() override {
        if (std::string why = XlrdMissing(); !why.empty()) GTEST_SKIP() << why;
    }

    // Lists folder as selecting it in the tree does.
    void Scan(const std::string& folder) { catalogue_.OnFolderChanged(platform::Utf8ToWide(folder)); }

    void PrepareJob(ExportJob& job, std::u16string saveFolder) {
        job.entries = catalogue_.Entries();
        job.m_szRecFolder = catalogue_.Folder();
        job.m_szSaveFolder = std::move(saveFolder);
        job.view = &shown_;
    }

    // Exports the catalogue into out_ and reads the workbook's one sheet back.
    std::vector<Row> Export(ExportJob& job) {
        PrepareJob(job, platform::Utf8ToWide(out_.Str() + "/"));
        EXPECT_EQ(ExportWorker(job), 0);
        EXPECT_EQ(job.error, "");
        return ReadBack(job);
    }

    std::vector<Row> ReadBack(const ExportJob& job) {
        std::string error;
        auto sheets = ReadWithXlrd(platform::WideToUtf8(job.m_szPath), error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(sheets.size(), 1u);
        if (sheets.size() != 1) return {};
        EXPECT_EQ(sheets[0].name, "语音信息");
        EXPECT_EQ(sheets[0].rows.at(0), kHeader);
        return sheets[0].rows;
    }

    static Row Totals(long caller, long called, long all) {
        return {"T:主叫时长", "T:" + std::to_string(caller), "T:被叫时长", "T:" + std::to_string(called),
                "T:总时长",   "N:" + std::to_string(all),    ""};
    }
    static const Row& Caption() {
        static const Row caption = {"T:时长统计（秒）：", "", "", "", "", "", ""};
        return caption;
    }

    TempFolder cwd_;  // the scan's result file goes here
    TempFolder out_;  // the folder the workbook goes into
    MemoryCatalogueView view_;
    WaitingScanRunner scanner_;
    Catalogue catalogue_;
    RecordingView shown_;
};

TEST(ExportNameTest, TheNameCarriesMonthDayAndTime) {
    std::tm t{};
    t.tm_year = 117;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_sec = 8;
    EXPECT_EQ(ExportShownName(t), u"语音信息(03月05日 09时07分08秒).XLS");
}

TEST_F(ExportWorkerTest, TheWholeCatalogueNotOnlyThePageShown) {
    std::string samples = out_.File("samples");
    ASSERT_TRUE(WriteSampleFolder(samples));
    Scan(samples);
    catalogue_.ShowPage(2);
    ASSERT_EQ(catalogue_.EntryCount(), 45u);
    // The record list's texts of every page, to compare with.
    std::vector<RowTexts> listed;
    for (int page = 0; page < 3; ++page) {
        catalogue_.ShowPage(page);
        listed.insert(listed.end(), view_.Rows().begin(), view_.Rows().end());
    }

    ExportJob job;
    std::vector<Row> rows = Export(job);
    ASSERT_EQ(rows.size(), 1 + 45 + 2u);
    long caller = 0, called = 0, all = 0;
    for (int k = 0; k < 45; ++k) {
        const Row& r = rows[k + 1];
        const RowTexts& l = listed[k];
        EXPECT_EQ(r[0], "T:" + std::to_string(k + 1));
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(r[c], "T:" + platform::WideToUtf8(l[c])) << k << " " << c;
        ASSERT_EQ(r[5].substr(0, 2), "N:") << k;
        long seconds = std::stol(r[5].substr(2));
        // Sizes in KiB, where the list shows bytes.
        long bytes = std::stol(platform::WideToUtf8(l[6]));
        EXPECT_EQ(seconds, (bytes - 512) / 4000) << k;
        EXPECT_EQ(r[6], "T:" + std::to_string(bytes < 1024 ? 1 : bytes / 1024) + "K") << k;
        all += seconds;
        if (l[3] == u"主叫") caller += seconds;
        if (l[3] == u"被叫") called += seconds;
    }
    EXPECT_GT(caller, 0);
    EXPECT_GT(called, 0);
    EXPECT_GT(all, caller + called);
    EXPECT_EQ(rows[46], Caption());
    EXPECT_EQ(rows[47], Totals(caller, called, all));

    // The file lies in the folder given under the designed name; the done
    // text names the whole path.
    const std::u16string file = job.m_szPath.substr(job.m_szPath.rfind(u'/') + 1);
    EXPECT_EQ(job.m_szPath.substr(0, job.m_szPath.rfind(u'/') + 1), platform::Utf8ToWide(out_.Str() + "/"));
    ASSERT_EQ(file.substr(0, 3), u"导出-");
    EXPECT_EQ(file.size(), std::u16string(u"导出-语音信息(03月05日 09时07分08秒).XLS").size());
    EXPECT_EQ(shown_.status, u"提示：导出成功 - " + job.m_szPath);
    EXPECT_EQ(shown_.button, u"完成");
    EXPECT_EQ(job.m_bDone.load(), 1);
    // 1 at the start, 100 * k / N after each row, 100 at the end.
    std::vector<int> progress = {1};
    for (int k = 0; k < 45; ++k) progress.push_back(100 * k / 45);
    progress.push_back(100);
    EXPECT_EQ(shown_.progress, progress);
    // The export filled every summary of its entries.
    for (const CatalogueEntry& e : job.entries) EXPECT_FALSE(e.Summary().empty());
}

TEST_F(ExportWorkerTest, TotalsQuotesUnreadableAndLockedRecordings) {
    std::string dir = out_.File("rec");
    fs::create_directory(dir);
    auto seconds = [](uint32_t s) { return 512 + 4000 * s; };
    WriteRecording(dir, "VOC00001.wav", {'Z', "138", 2017, 3, 5, 9, 7}, seconds(3));
    WriteRecording(dir, "VOC00002.wav", {'B', "0755'88", 2017, 3, 5, 9, 8}, seconds(5));
    WriteRecording(dir, "VOC00003.wav", {'X', "139", 2017, 3, 5, 9, 9}, seconds(7));
    WriteRecording(dir, "VOC00004.wav", {'L', "", 2017, 3, 5, 9, 10}, seconds(11));
    WriteRecording(dir, "VOC00005.wav", {'Z', "137", 2017, 3, 5, 9, 11}, seconds(13));
    WriteRaw(dir, "VOC00006.wav", std::vector<uint8_t>(200, 0));  // ends before the header
    Scan(dir);
    ASSERT_EQ(catalogue_.EntryCount(), 6u);
    // Another program holds VOC00005.wav from before the export starts.
    int held = open((dir + "/VOC00005.wav").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    struct flock lock{};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(held, F_OFD_SETLK, &lock), 0);
    // The list had shown the first page, so its summary is already known.
    ExportJob job;
    std::vector<Row> rows = Export(job);
    close(held);

    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[1], (Row{"T:1", "T:VOC00001.wav", "T:138", "T:主叫", "T:2017-03-05 09:07:00", "N:3", "T:12K"}));
    EXPECT_EQ(rows[2], (Row{"T:2", "T:VOC00002.wav", "T:0755'88", "T:被叫", "T:2017-03-05 09:08:00", "N:5", "T:20K"}));
    EXPECT_EQ(rows[3], (Row{"T:3", "T:VOC00003.wav", "T:", "T:现场", "T:2017-03-05 09:09:00", "N:7", "T:27K"}));
    EXPECT_EQ(rows[4], (Row{"T:4", "T:VOC00004.wav", "T:", "T:留言", "T:2017-03-05 09:10:00", "N:11", "T:43K"}));
    EXPECT_EQ(rows[5], (Row{"T:5", "T:VOC00005.wav", "T:137", "T:主叫", "T:2017-03-05 09:11:00", "", ""}));
    EXPECT_EQ(rows[6], (Row{"T:6", "T:VOC00006.wav", "T:", "T:", "T:", "N:0", "T:1K"}));
    EXPECT_EQ(rows[7], Caption());
    // "现场" and "留言" count only in the overall total; the held recording
    // adds nothing.
    EXPECT_EQ(rows[8], Totals(3, 5, 3 + 5 + 7 + 11));
}

TEST_F(ExportWorkerTest, AStopEndsTheRowsButNotTheWorkbook) {
    std::string samples = out_.File("samples");
    ASSERT_TRUE(WriteSampleFolder(samples));
    Scan(samples);
    ExportJob job;
    PrepareJob(job, platform::Utf8ToWide(out_.Str() + "/"));

    // The user-interface thread asks for the stop while the worker, on its
    // own thread, reports its 10th row.
    std::mutex mutex;
    std::condition_variable changed;
    bool atTenth = false, stopped = false;
    int rowsReported = 0;
    shown_.onProgress = [&](int) {
        if (++rowsReported != 11) return;  // the 1 at the start, then one a row
        std::unique_lock lock(mutex);
        atTenth = true;
        changed.notify_all();
        changed.wait(lock, [&] { return stopped; });
    };
    std::thread worker([&] { ExportWorker(job); });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return atTenth; });
        job.m_bStop.store(1);
        stopped = true;
        changed.notify_all();
    }
    worker.join();

    EXPECT_EQ(job.error, "");
    EXPECT_EQ(job.m_bDone.load(), 0);
    EXPECT_EQ(shown_.status, u"");
    EXPECT_EQ(shown_.button, u"");
    std::vector<Row> rows = ReadBack(job);
    ASSERT_EQ(rows.size(), 1 + 10 + 2u);
    EXPECT_EQ(rows[10][0], "T:10");
    EXPECT_EQ(rows[11], Caption());
    EXPECT_EQ(rows[12][0], "T:主叫时长");
}

TEST_F(ExportWorkerTest, AFailureLeavesNoWorkbook) {
    // A catalogue of recordings that are not there: every row is written
    // without duration and size.
    auto entries = [](size_t count) {
        std::vector<CatalogueEntry> e(count);
        for (size_t i = 0; i < count; ++i) {
            std::memset(e[i].bytes, 0, sizeof e[i].bytes);
            std::snprintf(e[i].bytes, sizeof e[i].bytes, "VOC%05zu.wav", i % 100000);
        }
        return e;
    };
    const struct {
        std::string what;
        std::u16string saveFolder;
        size_t entries;
        std::string start, end;  // of the message; both "" for success
    } cases[] = {
        {"unwritable folder", u"/nonexistent-tolvan-folder/", 3,
         "cannot write the workbook '/nonexistent-tolvan-folder/导出-语音信息(", std::strerror(ENOENT)},
        // A worksheet holds the names' row, 65,533 recordings and the two
        // summary rows.
        {"65,533 recordings", platform::Utf8ToWide(out_.Str() + "/"), 65533, "", ""},
        {"65,534 recordings", platform::Utf8ToWide(out_.Str() + "/"), 65534, "table '语音信息' is full", "65536 rows"},
    };
    for (const auto& c : cases) {
        RecordingView shown;
        ExportJob job;
        job.entries = entries(c.entries);
        job.m_szRecFolder = cwd_.Wide();
        job.m_szSaveFolder = c.saveFolder;
        job.view = &shown;
        ExportWorker(job);
        if (c.start.empty()) {
            EXPECT_EQ(job.error, "") << c.what;
            EXPECT_EQ(job.m_bDone.load(), 1) << c.what;
            EXPECT_TRUE(fs::exists(platform::WideToUtf8(job.m_szPath))) << c.what;
            fs::remove(platform::WideToUtf8(job.m_szPath));
            continue;
        }
        EXPECT_TRUE(job.error.starts_with(c.start) && job.error.ends_with(c.end)) << c.what << ": " << job.error;
        EXPECT_EQ(shown.status, u"提示：导出失败 - " + platform::Utf8ToWide(job.error)) << c.what;
        EXPECT_EQ(shown.button, u"完成") << c.what;
        EXPECT_EQ(job.m_bDone.load(), 0) << c.what;
        EXPECT_FALSE(fs::exists(platform::WideToUtf8(job.m_szPath))) << c.what;
    }
    // Nothing is left in the save folder, temporary files included.
    EXPECT_TRUE(fs::is_empty(out_.Path()));
}

// Recordings removed or held by another program while the export runs, and
// then the whole folder removed: their rows keep what the list had read of
// them and lose duration and size; the totals count what was measured; the
// export still completes.
TEST_F(ExportWorkerTest, RecordingsGoneDuringTheExportAreRowsWithoutDurationAndSize) {
    std::string dir = out_.File("rec");
    fs::create_directory(dir);
    for (int i = 1; i <= 25; ++i) WriteRecording(dir, RecordingName(i), {'Z', std::to_string(100 + i)}, 512 + 4000);
    Scan(dir);  // the list read the summaries of page 1, entries 1 to 20
    ASSERT_EQ(catalogue_.EntryCount(), 25u);
    std::optional<HeldByAnotherProgram> held;
    int reports = 0;
    shown_.onProgress = [&](int) {
        ++reports;  // the 1 at the start, then one a row
        if (reports == 3) {
            fs::remove(dir + "/VOC00003.wav");
            held.emplace(dir + "/VOC00004.wav");
        } else if (reports == 11) {
            held.reset();
            fs::remove_all(dir);
        }
    };
    ExportJob job;
    std::vector<Row> rows = Export(job);
    EXPECT_EQ(job.m_bDone.load(), 1);
    EXPECT_EQ(shown_.status.rfind(u"提示：导出成功 - ", 0), 0u);
    ASSERT_EQ(rows.size(), 1 + 25 + 2u);
    auto measured = [](int k) {
        return Row{"T:" + std::to_string(k), "T:" + RecordingName(k), "T:" + std::to_string(100 + k), "T:主叫",
                   "T:2017-03-05 09:07:00", "N:1", "T:4K"};
    };
    for (int k : {1, 2, 5, 10}) EXPECT_EQ(rows[k], measured(k));
    for (int k : {3, 4, 11, 20})
        EXPECT_EQ(rows[k], (Row{"T:" + std::to_string(k), "T:" + RecordingName(k), "T:" + std::to_string(100 + k),
                                "T:主叫", "T:2017-03-05 09:07:00", "", ""}));
    EXPECT_EQ(rows[21], (Row{"T:21", "T:VOC00021.wav", "T:", "T:", "T:", "", ""}));
    EXPECT_EQ(rows[26], Caption());
    EXPECT_EQ(rows[27], Totals(8, 0, 8));
}

// A workbook on a disk that fills up: the export fails with the reason and
// no workbook, not even a part of one, is left.
TEST_F(ExportWorkerTest, AWorkbookTheDiskCannotHoldIsNotLeft) {
    std::string dir = out_.File("rec");
    fs::create_directory(dir);
    for (int i = 1; i <= 25; ++i) WriteRecording(dir, RecordingName(i), {}, 512 + 4000);
    Scan(dir);
    for (uint64_t limit : {0u, 512u, 4096u}) {
        SCOPED_TRACE(limit);
        const int status = RunWithFileSizeLimit(limit, [this] {
            ExportJob job;
            PrepareJob(job, platform::Utf8ToWide(out_.Str() + "/"));
            ExportWorker(job);
            const bool failed = job.error == "cannot write the workbook '" + platform::WideToUtf8(job.m_szPath) +
                                                 "': " + std::strerror(EFBIG) &&
                                job.m_bDone.load() == 0 &&
                                shown_.status == u"提示：导出失败 - " + platform::Utf8ToWide(job.error);
            return failed ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(out_.Path())) left.push_back(e.path().filename());
        EXPECT_EQ(left, std::vector<std::string>{"rec"});
    }
}

// The entries the export is given are its own: the catalogue's are not
// written from the worker's thread, so the list may fill its page meanwhile.
TEST_F(ExportWorkerTest, TheExportWorksOnItsOwnCopyOfTheEntries) {
    std::string samples = out_.File("samples");
    ASSERT_TRUE(WriteSampleFolder(samples));
    Scan(samples);  // page 1 shown: the summaries of entries 1 to 20 read
    ExportJob job;
    PrepareJob(job, platform::Utf8ToWide(out_.Str() + "/"));
    std::thread worker([&] { ExportWorker(job); });
    catalogue_.ShowPage(2);  // entries 41 to 45, while the worker reads them too
    worker.join();

    EXPECT_EQ(job.error, "");
    for (const CatalogueEntry& e : job.entries) EXPECT_FALSE(e.Summary().empty());
    const std::vector<CatalogueEntry>& shown = catalogue_.Entries();
    for (size_t k = 0; k < shown.size(); ++k)
        EXPECT_EQ(shown[k].Summary().empty(), k >= 20 && k < 40) << k;
    EXPECT_EQ(ReadBack(job).size(), 48u);
}

// At its path the export replaces an earlier workbook, and only once the
// new one is complete; anything else there is refused and left as it was.
TEST_F(ExportWorkerTest, OnlyAnEarlierWorkbookAtThePathIsReplaced) {
    const std::string dir = out_.File("rec");
    fs::create_directory(dir);
    WriteRecording(dir, "VOC00001.wav", {'Z', "138", 2017, 3, 5, 9, 7}, 512 + 4000);
    std::string samples = out_.File("samples");
    ASSERT_TRUE(WriteSampleFolder(samples));
    const std::string path = out_.File("list.xls");
    auto exportInto = [&](const std::string& folder) {
        Scan(folder);
        auto job = std::make_unique<ExportJob>();
        job->m_szOutPath = platform::Utf8ToWide(path);
        PrepareJob(*job, platform::Utf8ToWide(out_.Str() + "/"));
        ExportWorker(*job);
        return job;
    };
    auto earlier = exportInto(dir);
    ASSERT_EQ(earlier->error, "");
    const std::vector<uint8_t> bytes = ReadWholeFile(path);

    // A disk that fills up while the new one is written keeps the earlier one.
    const int status = RunWithFileSizeLimit(4096, [&] {
        auto failed = exportInto(samples);
        return failed->error == "cannot write the workbook '" + path + "': " + std::strerror(EFBIG) ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(path), bytes);

    auto replacing = exportInto(samples);
    EXPECT_EQ(ReadBack(*replacing).size(), 48u);
    EXPECT_EQ(shown_.status, u"提示：导出成功 - " + platform::Utf8ToWide(path));

    // Anything else is refused, named, and kept.
    fs::remove(path);
    std::ofstream(path) << "old";
    auto refused = exportInto(samples);
    const std::string error =
        "cannot write the workbook '" + path + "': it already exists and is not a workbook of this program";
    EXPECT_EQ(refused->error, error);
    EXPECT_EQ(shown_.status, u"提示：导出失败 - " + platform::Utf8ToWide(error));
    EXPECT_EQ(refused->m_bDone.load(), 0);
    EXPECT_EQ(ReadWholeFile(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    fs::remove(path);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(out_.Path())) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"rec", "samples"}));
}

}  // namespace
