// The scan dialog with the real scan worker: the done notice closes it, and
// Cancel stops a worker that is still busy and leaves no result behind.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/WaitDlg.h"
#include "catalogue/ScanJob.h"
#include "controls/ControlId.h"
#include "platform/TextCodec.h"
#include "tests/app/GuiTest.h"
#include "tests/support/TempFolder.h"

namespace {

std::shared_ptr<ScanJob> JobFor(const std::string& folder) {
    auto job = std::make_shared<ScanJob>();
    job->m_szFolder = platform::Utf8ToWide(folder);
    return job;
}

TEST(WaitDlgTest, TheDoneNoticeClosesItWithTheResult) {
    TempFolder cwd(true);
    const struct {
        std::string folder;
        uint32_t size;
    } cases[] = {{DemoFolder(), 45 * 60}, {"", 0}, {cwd.Str(), 0}};
    for (const auto& c : cases) {
        auto job = JobFor(c.folder);
        CWaitDlg dlg(job, nullptr);
        EXPECT_EQ(dlg.exec(), QDialog::Accepted) << c.folder;
        dlg.WaitForWorker();
        EXPECT_EQ(job->resultSize.load(), c.size) << c.folder;
        EXPECT_EQ(std::filesystem::exists(cwd.File("WAVFIND.$$$")), c.size > 0) << c.folder;
        std::filesystem::remove(cwd.File("WAVFIND.$$$"));
    }
}

TEST(WaitDlgTest, CancelStopsABusyWorkerAndLeavesNoResult) {
    TempFolder cwd(true), recordings;
    // Fifty thousand recordings (links to one demo recording) keep the
    // filtered scan busy long after its result file has appeared.
    const std::string demo = DemoFolder() + "/VOC00001.wav";
    char name[16];
    for (int i = 0; i < 50000; ++i) {
        std::snprintf(name, sizeof name, "VOC%05d.wav", i);
        std::filesystem::create_hard_link(demo, recordings.Path() / name);
    }
    std::string allTypes;
    ASSERT_TRUE(platform::WideToNarrow(u"全部类型", allTypes));
    auto job = JobFor(recordings.Str());
    job->m_bUseFilter = 1;
    job->m_filter = QueryFilter{1971, 1, 1, 3000, 1, 1, {}, {}};
    allTypes.copy(job->m_filter.typeText, sizeof job->m_filter.typeText - 1);
    CWaitDlg dlg(job, nullptr);
    bool cancelled = false;
    WhenOpen<CWaitDlg>([&](CWaitDlg* open) {
        auto* cancel = qobject_cast<QPushButton*>(FindControl(open, 2));
        EXPECT_NE(cancel, nullptr);
        if (!cancel) return static_cast<QDialog*>(open)->reject();
        EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
        // Cancel once the worker has begun its result file.
        auto* poll = new QTimer(open);
        QObject::connect(poll, &QTimer::timeout, open, [&, cancel, poll] {
            if (!std::filesystem::exists(cwd.File("WAVFIND.$$$"))) return;
            poll->stop();
            cancelled = true;
            cancel->click();
        });
        poll->start(1);
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    dlg.WaitForWorker();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(job->m_bStop.load(), 1);
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_FALSE(std::filesystem::exists(cwd.File("WAVFIND.$$$")));
}

}  // namespace
