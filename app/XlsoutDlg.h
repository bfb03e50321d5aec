#pragma once
// The export's progress dialog (template 146): "正在导出列表至XLS文件，请等待……",
// a progress bar, the check box "打开保存的xls文件夹" and one button, "取消",
// that becomes "完成" when the export has completed. The export worker starts
// when the dialog handles WM_START_EXPORT, which it posts to itself as it
// opens. The dialog closes only after its worker has ended: the button while
// exporting, Escape, the hidden button 2 and the close request all ask the
// worker to stop and wait for it (the rows so far, the summary rows and the
// workbook are still written).

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/WorkerDlg.h"
#include "convert/ExportWorker.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class CXlsoutDlg : public CWorkerDlg, private ExportView {
    Q_OBJECT
public:
    // Exports entries (the whole catalogue, copied: the worker fills in the
    // copy's summaries) of recFolder into a workbook in saveFolder;
    // openFolder opens saveFolder when the check box is ticked and the
    // export completed.
    CXlsoutDlg(std::vector<CatalogueEntry> entries, std::u16string recFolder, std::u16string saveFolder,
               QWidget* parent, FolderOpener openFolder = OpenWithDesktop);
    // Waits for the worker, which uses the job.
    ~CXlsoutDlg() override;

    // The export's state, for the window and the tests.
    const ExportJob& Job() const { return m_job; }


protected:
    void OnStart() override;
    // Escape, button 2 and the close request: stop, wait for the worker, close.
    void reject() override;

private:
    // Button 1: with the export completed, opens the folder if asked and
    // closes; otherwise stops and waits for the worker, then closes.
    void OnOK();

    // ExportView, called on the worker's thread: each change is queued to
    // the user-interface thread.
    void SetProgress(int percent) override;
    void SetStatusText(std::u16string_view text) override;
    void SetButtonText(std::u16string_view text) override;

    ExportJob m_job;
    int m_nQueuedProgress = -1;  // worker thread only: the last value queued
    FolderOpener m_openFolder;
    QLabel* m_text = nullptr;
    QProgressBar* m_progress = nullptr;
    QCheckBox* m_checkOpen = nullptr;
    QPushButton* m_btnOK = nullptr;
};
