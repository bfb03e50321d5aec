#include "catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanJob.h"
#include "catalogue/RecordRow.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "tests/catalogue/RecordingFiles.h"
#include "tests/support/Faults.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TempFolder.h"

namespace {

using Focus = MemoryCatalogueView::FocusTarget;

// A folder of count recordings, one a day from 2017-03-01, alternating types
// Z, B, L, X and numbers 1000+i; the process works in a second temporary
// folder so that the result file lies there.
class CatalogueTest : public testing::Test {
protected:
    CatalogueTest() : work_(true), tz_("UTC0") {
        previous_ = platform::SetMessageBoxHandler([this](std::u16string_view t) { messages.emplace_back(t); });
    }
    ~CatalogueTest() override { platform::SetMessageBoxHandler(previous_); }

    void MakeFolder(int count) {
        const char types[] = {'Z', 'B', 'L', 'X'};
        for (int i = 1; i <= count; ++i) {
            RecordingFields f;
            f.type = types[(i - 1) % 4];
            f.phone = std::to_string(1000 + i);
            f.year = 2017;
            f.month = 3 + (i - 1) / 28;
            f.day = 1 + (i - 1) % 28;
            WriteRecording(recordings_.Str(), RecordingName(i), f);
        }
    }

    void Query(const std::u16string& from, const std::u16string& to, const std::u16string& type = u"全部类型",
               const std::u16string& keyword = u"", const std::u16string& page = u"") {
        // The window shows the message the query returns.
        if (auto message = catalogue.OnQuery({from, to, type, keyword, page})) messages.emplace_back(*message);
    }

    std::u16string Label() const { return view.Label(); }
    std::u16string Cell(int row, int column) const { return view.Rows().at(row)[column]; }

    TempFolder work_;
    TempFolder recordings_;
    ScopedTimeZone tz_;
    platform::MessageBoxHandler previous_;

public:
    std::vector<std::u16string> messages;
    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue{view, scanner};
};

}  // namespace

TEST_F(CatalogueTest, FolderChangeListsThePagesOfFortyFiveEntries) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    EXPECT_EQ(Label(), u"总共45条记录，第1页，共3页");
    EXPECT_EQ(view.Rows().size(), 20u);
    EXPECT_EQ(Cell(0, 0), u"1");
    EXPECT_EQ(Cell(0, 1), u"VOC00001.wav");
    EXPECT_EQ(Cell(0, 2), u"1001");
    EXPECT_EQ(Cell(0, 3), u"主叫");
    EXPECT_EQ(Cell(0, 4), u"2017-03-01 09:07:00");
    EXPECT_EQ(Cell(3, 2), u"") << "on-site recordings show no number";
    EXPECT_EQ(view.Focus(), Focus::kFolderTree);
    EXPECT_FALSE(std::filesystem::exists(kScanResultFile));

    catalogue.OnNextPage();
    EXPECT_EQ(Label(), u"总共45条记录，第2页，共3页");
    catalogue.OnNextPage();
    EXPECT_EQ(Label(), u"总共45条记录，第3页，共3页");
    ASSERT_EQ(view.Rows().size(), 5u);
    EXPECT_EQ(Cell(0, 0), u"41");
    EXPECT_EQ(Cell(4, 0), u"45");
    EXPECT_EQ(Cell(4, 1), u"VOC00045.wav");
    EXPECT_EQ(view.Focus(), Focus::kRecordList);

    // At the last page only the focus moves.
    view.FocusFolderTree();
    catalogue.OnNextPage();
    EXPECT_EQ(Label(), u"总共45条记录，第3页，共3页");
    EXPECT_EQ(view.Rows().size(), 5u);
    EXPECT_EQ(view.Focus(), Focus::kRecordList);

    catalogue.OnPrevPage();
    catalogue.OnPrevPage();
    EXPECT_EQ(Label(), u"总共45条记录，第1页，共3页");
    view.FocusFolderTree();
    catalogue.OnPrevPage();
    EXPECT_EQ(Cell(0, 0), u"1");
    EXPECT_EQ(view.Focus(), Focus::kRecordList);
}

TEST_F(CatalogueTest, PageCommandsWithoutPagesOnlyMoveTheFocus) {
    catalogue.OnNextPage();
    catalogue.OnPrevPage();
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_EQ(view.Focus(), Focus::kRecordList);
}

TEST_F(CatalogueTest, QueryNarrowsByDateTypeAndKeyword) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    Query(u"2017-03-05", u"2017-03-05");
    EXPECT_EQ(Label(), u"总共1条记录，第1页，共1页");
    EXPECT_EQ(Cell(0, 1), u"VOC00005.wav");
    EXPECT_EQ(Cell(0, 0), u"1") << "running numbers count the query's result";

    Query(u"2017-3-10", u"2017-3-20", u"全部被叫");
    ASSERT_EQ(view.Rows().size(), 3u);  // recordings 10, 14, 18
    EXPECT_EQ(Cell(0, 1), u"VOC00010.wav");
    EXPECT_EQ(Cell(2, 1), u"VOC00018.wav");

    Query(u"", u"", u"全部类型", u"10?2");
    EXPECT_EQ(Label(), u"总共5条记录，第1页，共1页");  // 1002, 1012, ... 1042
    EXPECT_EQ(Cell(1, 1), u"VOC00012.wav");

    // A hand-typed type passes nothing.
    Query(u"", u"", u"主叫");
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    EXPECT_TRUE(messages.empty());
    // The query leaves the panel as the user filled it: it writes no field.
    EXPECT_EQ(view.QueryFields().callType, u"全部类型");
    EXPECT_EQ(view.Focus(), Focus::kFolderTree);
}

TEST_F(CatalogueTest, QueryOpensTheRequestedPage) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    struct Case {
        std::u16string page, label;
        std::u16string firstNumber;
    } cases[] = {
        {u"2", u"总共45条记录，第2页，共3页", u"21"},   {u"0", u"总共45条记录，第1页，共3页", u"1"},
        {u"-3", u"总共45条记录，第1页，共3页", u"1"},   {u"abc", u"总共45条记录，第1页，共3页", u"1"},
        {u"999", u"总共45条记录，第3页，共3页", u"41"}, {u" 3x", u"总共45条记录，第3页，共3页", u"41"},
    };
    for (const Case& c : cases) {
        Query(u"", u"", u"全部类型", u"", c.page);
        EXPECT_EQ(Label(), c.label) << std::string(c.page.begin(), c.page.end());
        EXPECT_EQ(Cell(0, 0), c.firstNumber);
    }
}

TEST_F(CatalogueTest, BadDaysAndMonthsStopTheQueryBeforeItsScan) {
    MakeFolder(3);
    catalogue.OnFolderChanged(recordings_.Wide());
    struct Case {
        std::u16string from, to;
        std::u16string_view message;  // empty: the query runs
    } cases[] = {
        {u"2017/03/05", u"", kDayRangeMessage},  // no two '-': day 0
        {u"2017-03-32", u"", kDayRangeMessage},
        {u"", u"2017-01-00", kDayRangeMessage},
        {u"2017-13-32", u"", kDayRangeMessage},  // both wrong: only the day message
        {u"2017-13-01", u"", kMonthRangeMessage},
        {u"", u"2017-0-1", kMonthRangeMessage},
        // Numbers are cut to 16 bits: 65537 is 1.
        {u"2017-65537-1", u"", {}},
        {u"2017-3-65537", u"", {}},
    };
    for (const Case& c : cases) {
        messages.clear();
        Query(c.from, c.to);
        SCOPED_TRACE(std::string(c.from.begin(), c.from.end()) + " " + std::string(c.to.begin(), c.to.end()));
        if (c.message.empty()) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(Label(), u"总共3条记录，第1页，共1页");
        } else {
            EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(c.message)});
            // Nothing changed: the list and label of the earlier scan stay.
            EXPECT_EQ(Label(), u"总共3条记录，第1页，共1页");
            EXPECT_EQ(view.Rows().size(), 3u);
        }
    }
}

TEST_F(CatalogueTest, DatesOutsideTheCalendarShowOneMessageAndAnEmptyResult) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    Query(u"1969-12-31", u"");
    EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kBadStartDateMessage)});
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    messages.clear();
    Query(u"", u"3001-01-01");
    EXPECT_EQ(messages, std::vector<std::u16string>{std::u16string(kBadEndDateMessage)});
}

TEST_F(CatalogueTest, QueryBeforeAnyFolderGivesAnEmptyCatalogue) {
    Query(u"", u"");
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(messages.empty());
}

TEST_F(CatalogueTest, RefreshResetsThePanelAndListsEverythingOnPageOne) {
    MakeFolder(45);
    catalogue.OnRefreshList();  // no folder yet: nothing at all
    EXPECT_EQ(view.Label(), kEmptyPageLabel);
    EXPECT_EQ(view.Focus(), Focus::kNone);

    catalogue.OnFolderChanged(recordings_.Wide());
    Query(u"2017-03-05", u"2017-04-30", u"全部主叫", u"10", u"2");
    view.ShowQueryFields({u"2017-03-05", u"2017-04-30", u"全部主叫", u"10", u"2"});  // as the user typed them
    catalogue.OnRefreshList();
    EXPECT_EQ(Label(), u"总共45条记录，第1页，共3页");
    const QueryRequest& panel = view.QueryFields();
    EXPECT_EQ(panel.startDate, u"");
    EXPECT_EQ(panel.endDate, u"");
    EXPECT_EQ(panel.callType, u"全部类型");
    EXPECT_EQ(panel.keyword, u"");
    EXPECT_EQ(panel.page, u"");
    EXPECT_EQ(view.Focus(), Focus::kFolderTree);
}

TEST_F(CatalogueTest, AFolderWithoutRecordingsAndAVirtualNodeEmptyTheList) {
    MakeFolder(5);
    catalogue.OnFolderChanged(recordings_.Wide());
    ASSERT_EQ(view.Rows().size(), 5u);
    TempFolder onlyRejected;
    WriteRecording(onlyRejected.Str(), "VOC1.wav", {});
    WriteRecording(onlyRejected.Str(), "VOC123456.wav", {});
    catalogue.OnFolderChanged(onlyRejected.Wide());
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    EXPECT_EQ(catalogue.EntryCount(), 0u);

    catalogue.OnFolderChanged(recordings_.Wide());
    catalogue.OnFolderChanged(u"");
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    catalogue.OnRefreshList();  // still no folder: nothing happens
    EXPECT_TRUE(view.Rows().empty());
}

TEST_F(CatalogueTest, ThePlayedRowIsSelectedAgainWhenItsPageIsShown) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    catalogue.SetPlayNumber(u"3");
    catalogue.OnNextPage();
    EXPECT_EQ(view.SelectedRow(), -1);
    catalogue.OnPrevPage();
    EXPECT_EQ(view.SelectedRow(), 2);
    // A new scan selects the row with the same running number, whatever it is now.
    Query(u"2017-03-10", u"");
    EXPECT_EQ(view.SelectedRow(), 2);
    EXPECT_EQ(Cell(2, 1), u"VOC00012.wav");
}

TEST_F(CatalogueTest, EntriesAreReadOnlyForThePageShown) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    auto& entries = catalogue.Entries();
    ASSERT_EQ(entries.size(), 45u);
    EXPECT_EQ(entries[0].Summary(), "Z20170301-090700-1001");
    EXPECT_EQ(entries[19].Summary().empty(), false);
    EXPECT_EQ(entries[20].Summary(), "") << "not shown yet";
    catalogue.OnNextPage();
    EXPECT_EQ(entries[20].Summary(), "Z20170321-090700-1021");
}

namespace {

// Loses the result file between the scan and the load.
class LosingScanRunner : public ScanRunner {
public:
    ScanResult RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) override {
        ScanResult result = inner.RunScan(folder, useFilter, filter);
        std::filesystem::remove(kScanResultFile);
        return result;
    }
    WaitingScanRunner inner;
};

}  // namespace

TEST_F(CatalogueTest, AResultFileThatVanishedBeforeLoadingIsAFailureSaid) {
    MakeFolder(5);
    LosingScanRunner losing;
    Catalogue lost(view, losing);
    lost.OnFolderChanged(recordings_.Wide());
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    EXPECT_EQ(lost.EntryCount(), 0u);
    EXPECT_EQ(lost.PageCount(), 0);
    const std::string file = (std::filesystem::current_path() / kScanResultFile).string();
    EXPECT_EQ(view.ScanFailure(),
              platform::Utf8ToWide("cannot read the scan result " + file + ": No such file or directory"));
}

TEST_F(CatalogueTest, UnreadableRecordingsAreListedButNotFound) {
    MakeFolder(3);
    WriteRaw(recordings_.Str(), "VOC00004.wav", std::vector<uint8_t>(100));
    catalogue.OnFolderChanged(recordings_.Wide());
    ASSERT_EQ(view.Rows().size(), 4u);
    EXPECT_EQ(Cell(3, 1), u"VOC00004.wav");
    EXPECT_EQ(Cell(3, 3), u"");
    EXPECT_EQ(Cell(3, 6), u"100字节");
    Query(u"", u"");
    EXPECT_EQ(Label(), u"总共3条记录，第1页，共1页");
}

// The catalogue when its files fail it: the recordings folder or a recording
// removed or held by another program after the scan, and a disk too full for
// the whole scan result.

namespace {

// Every column but the running number and the name is empty: nothing of the
// recording could be read.
void ExpectUnreadableRow(const RowTexts& row, const std::u16string& number, const std::u16string& name) {
    EXPECT_EQ(row[0], number);
    EXPECT_EQ(row[1], name);
    for (int c = 2; c < 7; ++c) EXPECT_EQ(row[c], u"") << "column " << c;
}

}  // namespace

TEST_F(CatalogueTest, AFolderRemovedAfterTheScanShowsItsPagesWithNamesOnly) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    ASSERT_EQ(Label(), u"总共45条记录，第1页，共3页");
    std::filesystem::remove_all(recordings_.Path());

    catalogue.OnNextPage();
    EXPECT_EQ(Label(), u"总共45条记录，第2页，共3页");
    ASSERT_EQ(view.Rows().size(), 20u);
    for (int r = 0; r < 20; ++r)
        ExpectUnreadableRow(view.Rows().at(r), DecimalText(21 + r), platform::Utf8ToWide(RecordingName(21 + r)));
    // Page 1 was read before: its summaries stay, only the sizes are gone.
    catalogue.OnPrevPage();
    EXPECT_EQ(Cell(0, 2), u"1001");
    EXPECT_EQ(Cell(0, 5), u"");
    EXPECT_TRUE(messages.empty());

    // Scanning the vanished folder again empties the list.
    catalogue.OnRefreshList();
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    EXPECT_FALSE(std::filesystem::exists(kScanResultFile));
}

TEST_F(CatalogueTest, ARecordingRemovedOrHeldAfterTheScanShowsItsNameOnly) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    std::filesystem::remove(recordings_.File(RecordingName(22)));
    HeldByAnotherProgram held(recordings_.File(RecordingName(23)));
    ASSERT_TRUE(held.Held());

    catalogue.OnNextPage();
    ASSERT_EQ(view.Rows().size(), 20u);
    EXPECT_EQ(Cell(0, 2), u"1021");
    EXPECT_EQ(Cell(0, 6), u"600字节");
    ExpectUnreadableRow(view.Rows().at(1), u"22", u"VOC00022.wav");
    ExpectUnreadableRow(view.Rows().at(2), u"23", u"VOC00023.wav");
    EXPECT_EQ(Cell(3, 4), u"2017-03-24 09:07:00");
    EXPECT_EQ(Cell(4, 2), u"1025");
    EXPECT_TRUE(messages.empty());
}

// The scan result written to a disk that fills up: the list stays empty, no
// result file is left behind, and the failure is shown with the file and
// the system's reason (a file-size limit stands in for the full disk). The
// scan writes its result in pieces of 4000 entries, so the cases fill the
// disk in the first piece, at a piece's edge and in the last piece.
TEST_F(CatalogueTest, AScanResultTheDiskCannotHoldGivesAnEmptyListAndSaysWhy) {
    MakeFolder(4100);
    constexpr uint64_t kEntry = sizeof(CatalogueEntry);
    const uint64_t limits[] = {0, 10 * kEntry + 7, 4000 * kEntry - 1, 4000 * kEntry, 4099 * kEntry + 59};
    const std::u16string said = u"cannot write the scan result " +
                                platform::Utf8ToWide((std::filesystem::current_path() / kScanResultFile).string()) +
                                u": File too large";
    for (uint64_t limit : limits) {
        SCOPED_TRACE(limit);
        const int status = RunWithFileSizeLimit(limit, [this, &said] {
            catalogue.OnFolderChanged(recordings_.Wide());
            const bool empty = catalogue.EntryCount() == 0 && view.Rows().empty() && Label() == kEmptyPageLabel;
            return empty && messages.empty() && view.ScanFailure() == said ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(std::filesystem::exists(kScanResultFile));
    }
    // With room for the whole result, every recording is listed.
    EXPECT_EQ(RunWithFileSizeLimit(4100 * kEntry, [this] {
                  catalogue.OnFolderChanged(recordings_.Wide());
                  return catalogue.EntryCount() == 4100 ? 0 : 1;
              }),
              0);
}

TEST_F(CatalogueTest, AFilteredScanTheDiskCannotHoldGivesAnEmptyListAndSaysWhy) {
    MakeFolder(30);
    catalogue.SetFolder(recordings_.Wide());
    const int status = RunWithFileSizeLimit(20 * sizeof(CatalogueEntry), [this] {
        Query(u"", u"");
        const bool said = view.ScanFailure().starts_with(u"cannot write the scan result ") &&
                          view.ScanFailure().ends_with(u"/WAVFIND.$$$: File too large");
        return catalogue.EntryCount() == 0 && Label() == kEmptyPageLabel && said ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(std::filesystem::exists(kScanResultFile));
}
