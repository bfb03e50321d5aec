#include "app/XlsoutDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "controls/WindowMessage.h"

CXlsoutDlg::CXlsoutDlg(std::vector<CatalogueEntry> entries, std::u16string recFolder, std::u16string saveFolder,
                       QWidget* parent, FolderOpener openFolder)
    : CWorkerDlg(parent), m_openFolder(std::move(openFolder)) {
    m_job.entries = std::move(entries);
    m_job.m_szRecFolder = std::move(recFolder);
    m_job.m_szSaveFolder = std::move(saveFolder);
    m_job.view = this;

    setFont(DialogFont(8));
    const DialogBaseUnits u = BaseUnitsOf(font());
    setFixedSize(DluX(270, u), DluY(76, u));

    m_text = new QLabel(QStringLiteral("正在导出列表至XLS文件，请等待……"), this);
    SetControlId(m_text, worker_ids::kText);
    // Two lines: a failure's message or the path written may not fit on one;
    // the path can be selected and copied.
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setGeometry(DluRect(15, 6, 240, 20, u));

    m_progress = new QProgressBar(this);
    SetControlId(m_progress, worker_ids::kProgress);
    m_progress->setGeometry(DluRect(15, 28, 240, 10, u));
    m_progress->setTextVisible(false);  // a smooth bar without a figure
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    m_checkOpen = new QCheckBox(QStringLiteral("打开保存的xls文件夹"), this);
    SetControlId(m_checkOpen, worker_ids::kOpenFolder);
    m_checkOpen->setGeometry(DluRect(15, 52, 130, 10, u));

    m_btnOK = new QPushButton(QStringLiteral("取消"), this);
    SetControlId(m_btnOK, worker_ids::kOk);
    m_btnOK->setGeometry(DluRect(205, 50, 50, 14, u));
    m_btnOK->setDefault(true);
    connect(m_btnOK, &QPushButton::clicked, this, &CXlsoutDlg::OnOK);

    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    SetControlId(cancel, worker_ids::kCancel);
    cancel->setGeometry(DluRect(205, 50, 50, 14, u));
    cancel->hide();
    connect(cancel, &QPushButton::clicked, this, &CXlsoutDlg::reject);

    StartOnMessage(WM_START_EXPORT);
}

CXlsoutDlg::~CXlsoutDlg() { WaitForWorker(); }


void CXlsoutDlg::OnStart() {
    m_job.m_bDone.store(0);
    StartWorker(m_job.m_bStop, [this] { ExportWorker(m_job); });
}

void CXlsoutDlg::OnOK() {
    if (m_job.m_bDone.load() == 1) {
        if (m_checkOpen->isChecked())
            OpenSavedFolder(m_openFolder, QString::fromStdU16String(m_job.m_szSaveFolder),
                            QString::fromStdU16String(m_job.m_szPath));
        accept();
        return;
    }
    reject();
}

void CXlsoutDlg::reject() {
    RequestStop();
    WaitForWorker();
    QDialog::reject();
}

void CXlsoutDlg::SetProgress(int percent) {
    if (percent == m_nQueuedProgress) return;
    m_nQueuedProgress = percent;
    RunOnUiThread([this, percent] { m_progress->setValue(percent); });
}

void CXlsoutDlg::SetStatusText(std::u16string_view text) {
    RunOnUiThread([this, t = QString::fromStdU16String(std::u16string(text))] { m_text->setText(t); });
}

void CXlsoutDlg::SetButtonText(std::u16string_view text) {
    RunOnUiThread([this, t = QString::fromStdU16String(std::u16string(text))] { m_btnOK->setText(t); });
}
