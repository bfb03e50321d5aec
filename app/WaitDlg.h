#pragma once
// The scan's progress dialog: "正在检索语音文件，请等待……" with "取消". It
// starts the scan worker 100 ms after it opens and closes when the worker
// reports that it is done, or 300 ms after Cancel has asked the worker to
// stop. The job is shared with the worker; the worker's done notice reaches
// the dialog only while the dialog is open, and the dialog waits for the
// worker's end before it is destroyed.

#include <QDialog>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "catalogue/ScanJob.h"

class QPushButton;

class CWaitDlg : public QDialog {
    Q_OBJECT
public:
    CWaitDlg(std::shared_ptr<ScanJob> job, QWidget* parent);
    // Waits for the worker, if one was started.
    ~CWaitDlg() override;

    // Waits until the worker has ended, still handling the events that the
    // worker waits for (its message boxes) but no user input.
    void WaitForWorker();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Cancel ("取消", Escape, the close request): stop request, 300 ms, close.
    void reject() override;

private:
    // Where the worker's done notice goes: the open dialog, or nowhere once it
    // has closed.
    struct NoticeTarget {
        std::mutex mutex;
        QObject* receiver = nullptr;
    };

    void StartWorker();

    std::shared_ptr<ScanJob> m_job;
    std::shared_ptr<NoticeTarget> m_target;
    std::shared_ptr<std::atomic<bool>> m_bWorkerEnded;
    std::thread m_worker;
    int m_nStartTimer = 0;  // the 100 ms start timer while it runs
    bool m_bTimerStarted = false;
};
