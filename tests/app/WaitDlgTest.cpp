// The scan dialog with the real scan worker: the done notice closes it, and
// Cancel stops a worker that is still busy and leaves no result behind.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/WaitDlg.h"
#include "catalogue/ScanJob.h"
#include "controls/ControlId.h"
#include "platform/MessageBox.h"
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
    TempFolder cwd(true);
    // The filtered scan with a start date before 1970 stops at the first
    // recording to show its message; the box stays open until Cancel has
    // closed the dialog.
    std::mutex mutex;
    std::condition_variable changed;
    bool inMessage = false, released = false;
    std::string allTypes;
    ASSERT_TRUE(platform::WideToNarrow(u"全部类型", allTypes));
    struct HandlerGuard {
        platform::MessageBoxHandler previous;
        ~HandlerGuard() { platform::SetMessageBoxHandler(std::move(previous)); }
    } guard;
    guard.previous = platform::SetMessageBoxHandler([&](std::u16string_view) {
        std::unique_lock lock(mutex);
        inMessage = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
    });

    auto job = JobFor(DemoFolder());
    job->m_bUseFilter = 1;
    job->m_filter = QueryFilter{1969, 12, 31, 3000, 1, 1, {}, {}};
    allTypes.copy(job->m_filter.typeText, sizeof job->m_filter.typeText - 1);
    CWaitDlg dlg(job, nullptr);
    auto workerInMessage = [&](QWidget* w) {
        std::lock_guard lock(mutex);
        return qobject_cast<CWaitDlg*>(w) && inMessage;
    };
    WhenOpen(workerInMessage, [&](QWidget* open) {
        // The box is closed while the dialog waits for the worker to end.
        QTimer::singleShot(50, [&] {
            std::lock_guard lock(mutex);
            released = true;
            changed.notify_all();
        });
        auto* cancel = qobject_cast<QPushButton*>(FindControl(open, 2));
        EXPECT_NE(cancel, nullptr);
        if (!cancel) return qobject_cast<QDialog*>(open)->reject();
        EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
        cancel->click();
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    dlg.WaitForWorker();
    EXPECT_EQ(job->m_bStop.load(), 1);
    EXPECT_EQ(job->resultSize.load(), 0u);
    EXPECT_FALSE(std::filesystem::exists(cwd.File("WAVFIND.$$$")));
}

}  // namespace
