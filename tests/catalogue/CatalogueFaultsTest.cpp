// The catalogue when its files fail it: the recordings folder or a recording
// removed or held by another program after the scan, and a disk too full for
// the whole scan result.

#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/Catalogue.h"
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

class CatalogueFaultsTest : public testing::Test {
protected:
    CatalogueFaultsTest() : work_(true), tz_("UTC0") {
        previous_ = platform::SetMessageBoxHandler([this](std::u16string_view t) { messages.emplace_back(t); });
    }
    ~CatalogueFaultsTest() override { platform::SetMessageBoxHandler(previous_); }

    // count recordings numbered from 1, phone 1000 + number, all outgoing.
    void MakeFolder(int count) {
        for (int i = 1; i <= count; ++i) {
            RecordingFields f;
            f.phone = std::to_string(1000 + i);
            WriteRecording(recordings_.Str(), RecordingName(i), f);
        }
    }
    std::u16string Label() const { return view.ControlText(kIdPageLabel); }
    const RowTexts& Row(int row) const { return view.Rows().at(row); }

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

// Every column but the running number and the name is empty: nothing of the
// recording could be read.
void ExpectUnreadableRow(const RowTexts& row, const std::u16string& number, const std::u16string& name) {
    EXPECT_EQ(row[0], number);
    EXPECT_EQ(row[1], name);
    for (int c = 2; c < 7; ++c) EXPECT_EQ(row[c], u"") << "column " << c;
}

}  // namespace

TEST_F(CatalogueFaultsTest, AFolderRemovedAfterTheScanShowsItsPagesWithNamesOnly) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    ASSERT_EQ(Label(), u"总共45条记录，第1页，共3页");
    std::filesystem::remove_all(recordings_.Path());

    catalogue.OnNextPage();
    EXPECT_EQ(Label(), u"总共45条记录，第2页，共3页");
    ASSERT_EQ(view.Rows().size(), 20u);
    for (int r = 0; r < 20; ++r)
        ExpectUnreadableRow(Row(r), DecimalText(21 + r), platform::Utf8ToWide(RecordingName(21 + r)));
    // Page 1 was read before: its summaries stay, only the sizes are gone.
    catalogue.OnPrevPage();
    EXPECT_EQ(Row(0)[2], u"1001");
    EXPECT_EQ(Row(0)[5], u"");
    EXPECT_TRUE(messages.empty());

    // Scanning the vanished folder again empties the list.
    catalogue.OnRefreshList();
    EXPECT_EQ(Label(), kEmptyPageLabel);
    EXPECT_TRUE(view.Rows().empty());
    EXPECT_FALSE(std::filesystem::exists(kScanResultFile));
}

TEST_F(CatalogueFaultsTest, ARecordingRemovedOrHeldAfterTheScanShowsItsNameOnly) {
    MakeFolder(45);
    catalogue.OnFolderChanged(recordings_.Wide());
    std::filesystem::remove(recordings_.File(RecordingName(22)));
    HeldByAnotherProgram held(recordings_.File(RecordingName(23)));
    ASSERT_TRUE(held.Held());

    catalogue.OnNextPage();
    ASSERT_EQ(view.Rows().size(), 20u);
    EXPECT_EQ(Row(0)[2], u"1021");
    EXPECT_EQ(Row(0)[6], u"600字节");
    ExpectUnreadableRow(Row(1), u"22", u"VOC00022.wav");
    ExpectUnreadableRow(Row(2), u"23", u"VOC00023.wav");
    EXPECT_EQ(Row(3)[2], u"1024");
    EXPECT_EQ(Row(3)[4], u"2017-03-05 09:07:00");
    EXPECT_TRUE(messages.empty());
}

// The scan result written to a disk that fills up: the list stays empty, as
// for a folder without recordings, and no result file is left behind. The
// scan writes its result in pieces of 4000 entries, so the cases fill the
// disk in the first piece, at a piece's edge and in the last piece.
TEST_F(CatalogueFaultsTest, AScanResultTheDiskCannotHoldGivesAnEmptyList) {
    MakeFolder(4100);
    constexpr uint64_t kEntry = sizeof(CatalogueEntry);
    const uint64_t limits[] = {0, 10 * kEntry + 7, 4000 * kEntry - 1, 4000 * kEntry, 4099 * kEntry + 59};
    for (uint64_t limit : limits) {
        SCOPED_TRACE(limit);
        const int status = RunWithFileSizeLimit(limit, [this] {
            catalogue.OnFolderChanged(recordings_.Wide());
            const bool empty = catalogue.EntryCount() == 0 && view.Rows().empty() && Label() == kEmptyPageLabel;
            return empty && messages.empty() ? 0 : 1;
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

TEST_F(CatalogueFaultsTest, AFilteredScanTheDiskCannotHoldGivesAnEmptyList) {
    MakeFolder(30);
    catalogue.SetFolder(recordings_.Wide());
    const int status = RunWithFileSizeLimit(20 * sizeof(CatalogueEntry), [this] {
        catalogue.OnQuery();
        return catalogue.EntryCount() == 0 && Label() == kEmptyPageLabel ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(std::filesystem::exists(kScanResultFile));
}
