// The scan workers on their own thread, as the scan dialog starts them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanJob.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TempFolder.h"

namespace {

class ScanTest : public testing::Test {
protected:
    ScanTest() : work_(true), tz_("UTC0") {}

    // Runs one scan of the recordings folder to its end and records its done
    // notices.
    std::shared_ptr<ScanJob> Scan(bool filtered, const QueryFilter& filter = {}, bool stopAtOnce = false,
                                  int headerReaders = ScanJob::DefaultHeaderReaders()) {
        auto job = std::make_shared<ScanJob>();
        job->headerReaders = headerReaders;
        job->m_szFolder = recordings_.Wide();
        job->m_bUseFilter = filtered;
        job->m_filter = filter;
        job->m_bStop = stopAtOnce;
        job->postScanDone = [this](int found) {
            std::lock_guard lock(mutex_);
            notices.push_back(found);
        };
        StartScanWorker(job).join();
        return job;
    }

    // The names in the result file, in file order.
    std::vector<std::string> ResultNames() const {
        std::ifstream in(kScanResultFile, std::ios::binary);
        std::vector<std::string> names;
        CatalogueEntry e;
        while (in.read(e.bytes, sizeof e.bytes)) {
            names.emplace_back(e.Name());
            EXPECT_EQ(e.Summary(), "") << "the result file never carries summaries";
            for (size_t i = e.Name().size(); i < sizeof e.bytes; ++i) EXPECT_EQ(e.bytes[i], 0);
        }
        return names;
    }

    static int64_t ResultFileSize() {
        std::error_code ec;
        auto size = std::filesystem::file_size(kScanResultFile, ec);
        return ec ? -1 : static_cast<int64_t>(size);
    }

    TempFolder work_;
    TempFolder recordings_;
    ScopedTimeZone tz_;
    std::mutex mutex_;
    std::vector<int> notices;
};

QueryFilter AllDates() {
    QueryFilter f{};
    f.startYear = 1971, f.startMonth = 1, f.startDay = 1;
    f.endYear = 3000, f.endMonth = 1, f.endDay = 1;
    std::string all;
    platform::WideToNarrow(kAllTypesText, all);
    std::copy(all.begin(), all.end(), f.typeText);
    return f;
}

}  // namespace

TEST_F(ScanTest, UnfilteredScanListsRecordingNamesInFolderOrder) {
    for (const char* name : {"VOC00003.wav", "voc00002.WAV", "VOC00001.wav", "VOC1.wav", "VOC123456.wav",
                             "VOC1234A.wav", "VOC00009.txt", "notes.txt"})
        WriteRecording(recordings_.Str(), name, {});
    std::filesystem::create_directory(recordings_.Path() / "VOC00004.wav");
    auto job = Scan(false);
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"VOC00001.wav", "voc00002.WAV", "VOC00003.wav"}));
    EXPECT_EQ(job->resultSize.load(), 180u);
    EXPECT_EQ(notices, std::vector<int>{1});
}

TEST_F(ScanTest, ResultFileIsWrittenInPiecesOfFourThousandEntries) {
    // Headers are not read by the unfiltered scan: bare heads will do.
    for (int i = 1; i <= 4001; ++i) WriteRaw(recordings_.Str(), RecordingName(i), std::vector<uint8_t>(512));
    std::filesystem::remove(recordings_.Path() / RecordingName(4001));
    auto job = Scan(false);
    EXPECT_EQ(ResultFileSize(), 240000);
    EXPECT_EQ(job->resultSize.load(), 240000u);
    std::vector<std::string> names = ResultNames();
    ASSERT_EQ(names.size(), 4000u);
    EXPECT_EQ(names.back(), "VOC04000.wav");

    WriteRaw(recordings_.Str(), RecordingName(4001), std::vector<uint8_t>(512));
    job = Scan(false);
    EXPECT_EQ(ResultFileSize(), 240060);
    EXPECT_EQ(ResultNames().back(), "VOC04001.wav");

    // Loaded into the catalogue: 4001 entries on 201 pages.
    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);
    catalogue.OnFolderChanged(recordings_.Wide());
    EXPECT_EQ(catalogue.EntryCount(), 4001u);
    EXPECT_EQ(catalogue.PageCount(), 201);
    EXPECT_EQ(view.Label(), u"总共4001条记录，第1页，共201页");
    std::filesystem::remove(recordings_.Path() / RecordingName(4001));
    catalogue.OnRefreshList();
    EXPECT_EQ(catalogue.PageCount(), 200);
    EXPECT_EQ(ResultFileSize(), -1) << "loading deletes the result file";
}

TEST_F(ScanTest, NothingFoundLeavesNoResultFile) {
    WriteRecording(recordings_.Str(), "VOC1.wav", {});
    WriteRecording(recordings_.Str(), "VOC123456.wav", {});
    auto job = Scan(false);
    EXPECT_EQ(ResultFileSize(), -1);
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_EQ(notices, std::vector<int>{0});

    std::filesystem::remove_all(recordings_.Path() / "VOC1.wav");
    std::filesystem::remove_all(recordings_.Path() / "VOC123456.wav");
    Scan(false);
    EXPECT_EQ(ResultFileSize(), -1);

    // No folder at all: the scan does not run.
    auto none = std::make_shared<ScanJob>();
    none->postScanDone = [this](int found) { notices.push_back(found); };
    StartScanWorker(none).join();
    EXPECT_EQ(notices, (std::vector<int>{0, 0, 0}));
}

TEST_F(ScanTest, ACancelledScanDeletesItsResultAndReportsNothing) {
    for (int i = 1; i <= 50; ++i) WriteRecording(recordings_.Str(), RecordingName(i), {});
    auto job = Scan(false, {}, true);
    EXPECT_EQ(ResultFileSize(), -1);
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_TRUE(notices.empty());
}

TEST_F(ScanTest, CancelWhileTheWorkerRunsLeavesNoResultFile) {
    for (int i = 1; i <= 2000; ++i) WriteRecording(recordings_.Str(), RecordingName(i), {});
    auto job = std::make_shared<ScanJob>();
    job->m_szFolder = recordings_.Wide();
    job->m_bUseFilter = 1;
    job->m_filter = AllDates();
    std::atomic<int> done{-1};
    job->postScanDone = [&done](int found) { done = found; };
    std::thread worker = StartScanWorker(job);
    job->m_bStop = 1;  // as Cancel does, at whatever point the worker has reached
    worker.join();
    // Either the worker finished first and its result stands, or it saw the
    // stop request and removed what it had written.
    if (job->resultSize.load() > 0) {
        EXPECT_EQ(ResultFileSize(), job->resultSize.load());
        EXPECT_EQ(done.load(), 1);
    } else {
        EXPECT_EQ(ResultFileSize(), -1);
        EXPECT_NE(done.load(), 1);
    }
}

TEST_F(ScanTest, AScanCannotReplaceAResultFileAnotherScanStillHolds) {
    WriteRecording(recordings_.Str(), RecordingName(1), {});
    platform::File held = platform::File::CreateForWriting(kScanResultFile);
    ASSERT_TRUE(held);
    held.Write("earlier scan", 12);
    auto job = Scan(false);
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_EQ(notices, std::vector<int>{0});
    EXPECT_EQ(ResultFileSize(), 12) << "the holder's file is left alone";

    // The catalogue of such a scan is empty.
    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);
    catalogue.OnFolderChanged(recordings_.Wide());
    EXPECT_EQ(view.Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.ScanFailure().ends_with(u"/WAVFIND.$$$: held by another program"))
        << platform::WideToUtf8(view.ScanFailure());
}

TEST_F(ScanTest, FilteredScanDropsRecordingsWhoseHeaderCannotBeRead) {
    WriteRecording(recordings_.Str(), RecordingName(1), {});
    WriteRecording(recordings_.Str(), RecordingName(2), {});
    WriteRaw(recordings_.Str(), RecordingName(3), std::vector<uint8_t>(200));
    platform::File holder = platform::File::CreateForWriting(recordings_.File(RecordingName(2)));
    ASSERT_TRUE(holder);

    Scan(true, AllDates());
    EXPECT_EQ(ResultNames(), std::vector<std::string>{"VOC00001.wav"});
    Scan(false);
    EXPECT_EQ(ResultNames(), (std::vector<std::string>{"VOC00001.wav", "VOC00002.wav", "VOC00003.wav"}));
}

TEST_F(ScanTest, AWorkerGivenDatesOutsideTheCalendarFindsNothingAndShowsNothing) {
    // The query refuses such dates before scanning; a box shown here would
    // wait for OK on the worker thread.
    for (int i = 1; i <= 30; ++i) WriteRecording(recordings_.Str(), RecordingName(i), {});
    std::vector<std::u16string> shown;
    auto previous = platform::SetMessageBoxHandler([&shown](std::u16string_view t) { shown.emplace_back(t); });
    QueryFilter f = AllDates();
    f.startYear = 1969, f.startMonth = 12, f.startDay = 31;
    auto job = Scan(true, f);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_EQ(notices, std::vector<int>{0});
    platform::SetMessageBoxHandler(previous);
}

TEST_F(ScanTest, HeaderReadersFindWhatReadingInTurnFinds) {
    // More than one window of recordings, in mixed letter case, with dates,
    // types and numbers that some filters pass, short recordings and one held
    // by a writer, which every filter drops.
    const char types[] = {'Z', 'B', 'L', 'X'};
    for (int i = 1; i <= 4100; ++i) {
        std::string name = RecordingName(i);
        if (i % 3 == 0) name = "voc" + name.substr(3);
        if (i % 61 == 0) {
            WriteRaw(recordings_.Str(), name, std::vector<uint8_t>(270));
            continue;
        }
        RecordingFields f;
        f.type = types[i % 4];
        f.phone = i % 7 ? "1390000" + std::to_string(i) : "138" + std::to_string(i);
        f.year = 2015 + i % 4, f.month = 1 + i % 12, f.day = 1 + i % 28;
        WriteRecording(recordings_.Str(), name, f);
    }
    platform::File holder = platform::File::CreateForWriting(recordings_.File(RecordingName(4000)));
    ASSERT_TRUE(holder);

    QueryFilter keyword = AllDates();
    std::strcpy(keyword.keyword, "138");
    QueryFilter incoming = AllDates();
    std::string text;
    platform::WideToNarrow(u"全部被叫", text);
    std::memset(incoming.typeText, 0, sizeof incoming.typeText);
    std::copy(text.begin(), text.end(), incoming.typeText);
    incoming.startYear = 2016, incoming.endYear = 2017, incoming.endMonth = 6, incoming.endDay = 30;
    for (const QueryFilter& filter : {AllDates(), keyword, incoming}) {
        Scan(true, filter, false, 1);
        const std::vector<std::string> inTurn = ResultNames();
        EXPECT_GT(inTurn.size(), 100u);
        EXPECT_LT(inTurn.size(), 4100u - 4100 / 61);
        EXPECT_EQ(std::count(inTurn.begin(), inTurn.end(), RecordingName(4000)), 0);
        for (int readers : {2, 3}) {
            SCOPED_TRACE(readers);
            Scan(true, filter, false, readers);
            EXPECT_EQ(ResultNames(), inTurn);
        }
    }
    // A stop asked before the start: the first recording is still handled,
    // then the result is dropped without a notice, as in turn.
    notices.clear();
    for (int readers : {1, 2}) {
        auto job = Scan(true, AllDates(), true, readers);
        EXPECT_EQ(job->resultSize.load(), 0u);
        EXPECT_EQ(ResultFileSize(), -1);
    }
    EXPECT_TRUE(notices.empty());
}
