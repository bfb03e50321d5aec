#pragma once
// The player's main window: a fixed 1024 x 600 window at the top left of the
// screen with the blue top band (export, refresh, now-playing label), the
// folder tree and its picture on the left, the record list with the paging
// controls in the middle, the query panel and the playback panel on the
// right. It shows what the catalogue tells it (CatalogueView) and runs the
// catalogue's scans behind the modal scan dialog (ScanRunner).

#include <QBrush>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <map>

#include "app/WindowPoster.h"
#include "app/WorkerDlg.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "platform/PulseWaveOut.h"
#include "playback/PlaybackEngine.h"
#include "playback/PlaybackView.h"

class CBitmapSlider;
class CButtonST;
class CShellManager;
class CMFCShellFolderTreeCtrl;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableWidget;

class CTolvanDlg : public QDialog, public CatalogueView, public ScanRunner, public PlaybackView {
    Q_OBJECT
public:
    CTolvanDlg(const CShellManager& shell, QWidget* parent = nullptr);
    ~CTolvanDlg() override;

    // The control with the id; nullptr for an id the window does not have.
    QWidget* Control(int id) const;

    // Handles command id (a button's id) at once.
    void OnCommand(int id);
    // System commands: IDM_ABOUTBOX opens the About box.
    void OnSysCommand(int id);

    // Selects folder in the tree, which scans it; a folder the tree does not
    // show is scanned all the same, and one that cannot be read is a message
    // instead. For the program's FOLDER argument.
    void PreselectFolder(const QString& folder);

    Catalogue& GetCatalogue() { return m_catalogue; }
    PlaybackEngine& GetEngine() { return m_engine; }
    // How the export and the conversion open a folder when asked; the
    // desktop's handler unless tests put a recorder in its place.
    void SetFolderOpener(CWorkerDlg::FolderOpener opener) { m_openFolder = std::move(opener); }
    CMFCShellFolderTreeCtrl* Tree() const { return m_tree; }

    // CatalogueView
    void ShowQueryFields(const QueryRequest& fields) override;
    void ShowPage(const PageShown& page) override;
    void FocusFolderTree() override;
    void FocusRecordList() override;

    // The query panel's texts as typed.
    QueryRequest QueryFields() const;

    // PlaybackView and the page shown: selects and focuses row.
    void SelectRow(int row) override;
    // A message box with the reason.
    void ShowScanFailure(std::u16string_view reason) override;

    // PlaybackView
    int RowCount() const override;
    int SelectedRowCount() const override;
    int FirstSelectedRow() const override;
    std::u16string RowText(int row, int column) const override;
    void DeselectRow(int row) override;
    void FocusList() override;
    int Position() const override;
    void SetPosition(int position) override;
    void SetNowPlaying(std::u16string_view text) override;
    void ShowMuted(bool muted) override;
    std::u16string RecordingsFolder() const override;
    void SetPlayNumber(std::u16string_view number) override;

    // ScanRunner: shows the scan dialog until the worker is done or the user
    // cancels, and returns what the worker left.
    ScanResult RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) override;

protected:
    // The playback's posted messages and the volume slider's notices.
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Command 2: the close box and Escape.
    void reject() override;

private:
    void OnInitDialog();
    void CreateRecordList();
    void CreateTopBand();
    void CreateQueryPanel();
    void CreatePlaybackPanel();
    // Gives control its id, remembers it and routes a button's clicks to
    // OnCommand.
    template <class W>
    W* Bind(W* control, int id);
    QPushButton* CommandButton(int id, const QString& text, QRect place);
    // A flat icon button at place; its colours and icon are set by the caller.
    CButtonST* SkinnedButton(int id, const QString& text, QRect place);
    // Channel and thumb bitmaps, range, the stored level and the margins.
    void SetUpVolumeSlider();
    // The user drags the volume slider to position.
    void OnVolumeTracking(int position);
    QLabel* QueryLabel(int id, const QString& text, QRect place);
    // The calendar drop-down under a date box; the day picked goes into it.
    void OpenCalendar(QComboBox* dateBox);
    void OnFolderChanged(const QString& path);
    // Command 1003, "导出列表": the whole catalogue into a workbook in the
    // user's documents folder, behind the export dialog.
    void OnExportList();
    // Command 1039: the batch conversion of the catalogue's LDV recordings
    // into a folder the user picks.
    void OnConvert();

    QIcon m_hIcon;
    QTableWidget* m_list = nullptr;
    CButtonST* m_btnExport = nullptr;
    CButtonST* m_btnRefresh = nullptr;
    QBrush m_brTrack;
    QBrush m_brCaption;
    QBrush m_brWhite;
    QFont m_fontCaption;
    QBrush m_brBlue;
    CButtonST* m_btnPlay = nullptr;
    CButtonST* m_btnPrev = nullptr;
    CButtonST* m_btnPause = nullptr;
    CButtonST* m_btnNext = nullptr;
    CButtonST* m_btnStop = nullptr;
    CButtonST* m_btnMute = nullptr;
    QSlider* m_sliderPos = nullptr;
    CBitmapSlider* m_sliderVolume = nullptr;
    CMFCShellFolderTreeCtrl* m_tree = nullptr;
    CButtonST* m_btnConvert = nullptr;
    QComboBox* m_cbStartDate = nullptr;
    QComboBox* m_cbEndDate = nullptr;
    QComboBox* m_cbCallType = nullptr;
    QComboBox* m_cbCondition = nullptr;
    QLineEdit* m_editKeyword = nullptr;
    QLineEdit* m_editPage = nullptr;
    QLabel* m_stPageLabel = nullptr;

    const CShellManager& m_shell;
    CWorkerDlg::FolderOpener m_openFolder = CWorkerDlg::OpenWithDesktop;
    std::map<int, QWidget*> m_controls;
    Catalogue m_catalogue;

    // The program's decoder state, shared by the playback's decoder and the
    // conversion's, so that LDV streams carry over from one to the next
    // whichever of the two decodes them.
    g729::DecoderState m_decoderState;
    // The playback: its queue, its sound device, the decoder of its LDV
    // recordings and the engine, which goes first when the window closes.
    WindowPoster m_poster{this};
    platform::PulseWaveOutOpener m_waveOut;
    G729Decoder m_decoder{m_decoderState};
    PlaybackEngine m_engine{*this, m_poster, m_waveOut, m_decoder};
};
