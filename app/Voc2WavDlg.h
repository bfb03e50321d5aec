#pragma once
// The conversion's progress dialog (template 149): "正在转换语音文件，请等待......",
// a segmented progress bar for the file being converted, the check box
// "打开转换完成的文件夹" and the button "取消" that becomes "完成" when every
// entry went through. The worker starts 100 ms after the dialog shows, when
// it handles WM_START_CONVERSION. The dialog closes only after its worker has
// ended: Cancel, Escape, the close request and Enter (the hidden default
// button 1) all ask the worker to stop and wait for it; the destination is
// opened if the check box is ticked and the work had finished.

#include <string>
#include <vector>

#include "app/WorkerDlg.h"
#include "codec/G729Decoder.h"

namespace g729 {
struct DecoderState;
}
#include "convert/ConvertWorker.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class CVoc2WavDlg : public CWorkerDlg, private ConversionView {
    Q_OBJECT
public:
    // Converts sources into destFolder (ending in '/'), decoding with the
    // program's decoder state.
    CVoc2WavDlg(std::vector<ConvertSource> sources, std::u16string destFolder, g729::DecoderState& decoderState,
                QWidget* parent, FolderOpener openFolder = OpenWithDesktop);
    ~CVoc2WavDlg() override;

    // The conversion's state, for the window and the tests.
    const ConvertJob& Job() const { return m_job; }

protected:
    void OnStart() override;
    // Command 2 (Cancel, Escape, the close request) and command 1 (Enter).
    void reject() override;
    void accept() override { reject(); }
    // Enter reaches the hidden default button 1: the same as Cancel.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // ConversionView, called on the worker's thread: each change is queued
    // to the user-interface thread.
    void SetStatusText(std::u16string_view text) override;
    void SetProgress(int percent) override;
    void ShowFinished() override;

    QProgressBar* m_progress = nullptr;
    ConvertJob m_job;
    G729Decoder m_decoder;
    FolderOpener m_openFolder;
    QLabel* m_text = nullptr;
    QCheckBox* m_checkOpen = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
