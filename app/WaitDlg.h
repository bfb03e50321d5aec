#pragma once
// The scan's progress dialog: "正在检索语音文件，请等待……" with "取消". It
// starts the scan worker 100 ms after it opens and closes when the worker
// reports that it is done, or 300 ms after Cancel has asked the worker to
// stop. The job is shared with the worker; the worker's done notice reaches
// the dialog only while the dialog is open, and the dialog waits for the
// worker's end before it is destroyed.

#include <memory>

#include "app/WorkerDlg.h"
#include "catalogue/ScanJob.h"

class CWaitDlg : public CWorkerDlg {
    Q_OBJECT
public:
    CWaitDlg(std::shared_ptr<ScanJob> job, QWidget* parent);

protected:
    void OnStart() override;
    bool event(QEvent* event) override;
    // Cancel ("取消", Escape, the close request): stop request, 300 ms, close.
    void reject() override;

private:
    std::shared_ptr<ScanJob> m_job;
};
