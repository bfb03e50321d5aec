#include "app/Voc2WavDlg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "controls/WindowMessage.h"

namespace {
constexpr int kStartDelayMs = 100;
}  // namespace

CVoc2WavDlg::CVoc2WavDlg(std::vector<ConvertSource> sources, std::u16string destFolder,
                         g729::DecoderState& decoderState, QWidget* parent, FolderOpener openFolder)
    : CWorkerDlg(parent), m_decoder(decoderState), m_openFolder(std::move(openFolder)) {
    m_job.sources = std::move(sources);
    m_job.m_pszDestFolder = std::move(destFolder);

    setFont(DialogFont(8));
    const DialogBaseUnits u = BaseUnitsOf(font());
    setFixedSize(DluX(316, u), DluY(97, u));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    SetControlId(ok, worker_ids::kOk);
    ok->setGeometry(DluRect(200, 74, 50, 14, u));
    ok->setDefault(true);
    ok->hide();

    m_btnCancel = new QPushButton(QStringLiteral("取消"), this);
    SetControlId(m_btnCancel, worker_ids::kCancel);
    m_btnCancel->setGeometry(DluRect(255, 74, 50, 14, u));
    m_btnCancel->setAutoDefault(false);
    connect(m_btnCancel, &QPushButton::clicked, this, &CVoc2WavDlg::reject);

    m_progress = new QProgressBar(this);
    SetControlId(m_progress, worker_ids::kProgress);
    m_progress->setGeometry(DluRect(11, 36, 294, 12, u));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    // Segmented, as a bordered bar of blocks.
    m_progress->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid gray; padding: 1px; }"
                                             "QProgressBar::chunk { background: #3399ff; width: 8px; margin: 1px; }"));

    m_text = new QLabel(QStringLiteral("正在转换语音文件，请等待......"), this);
    SetControlId(m_text, worker_ids::kText);
    QRect place = DluRect(11, 16, 294, 10, u);
    place.setHeight(std::max(place.height(), m_text->sizeHint().height()));
    m_text->setGeometry(place);

    m_checkOpen = new QCheckBox(QStringLiteral("打开转换完成的文件夹"), this);
    SetControlId(m_checkOpen, worker_ids::kOpenFolder);
    m_checkOpen->setGeometry(DluRect(11, 76, 120, 10, u));

    StartOnTimer(kStartDelayMs, WM_START_CONVERSION);
}

CVoc2WavDlg::~CVoc2WavDlg() { WaitForWorker(); }

void CVoc2WavDlg::OnStart() {
    m_job.m_bDone.store(0);
    StartWorker(m_job.m_bStop, [this] { ConvertWorker(m_job, *this, m_decoder); });
}

void CVoc2WavDlg::reject() {
    RequestStop();
    WaitForWorker();
    if (m_job.m_bDone.load() == 1 && m_checkOpen->isChecked())
        OpenSavedFolder(m_openFolder, QString::fromStdU16String(m_job.m_pszDestFolder),
                        QString::fromStdU16String(m_job.m_pszDestFolder));
    QDialog::reject();
}

void CVoc2WavDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    CWorkerDlg::keyPressEvent(event);
}

void CVoc2WavDlg::SetStatusText(std::u16string_view text) {
    RunOnUiThread([this, t = QString::fromStdU16String(std::u16string(text))] { m_text->setText(t); });
}

void CVoc2WavDlg::SetProgress(int percent) {
    RunOnUiThread([this, percent] { m_progress->setValue(percent); });
}

void CVoc2WavDlg::ShowFinished() {
    RunOnUiThread([this] { m_btnCancel->setText(QStringLiteral("完成")); });
}
