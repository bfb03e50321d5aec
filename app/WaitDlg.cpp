#include "app/WaitDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <algorithm>

#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "controls/WindowMessage.h"

namespace {
constexpr int kStartDelayMs = 100;
constexpr int kCancelWaitMs = 300;
}  // namespace

CWaitDlg::CWaitDlg(std::shared_ptr<ScanJob> job, QWidget* parent) : CWorkerDlg(parent), m_job(std::move(job)) {
    setFont(DialogFont(8));
    const DialogBaseUnits u = BaseUnitsOf(font());
    setFixedSize(DluX(220, u), DluY(62, u));

    auto* text = new QLabel(QStringLiteral("正在检索语音文件，请等待……"), this);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QRect place = DluRect(49, 20, 119, 8, u);
    // Chinese glyphs may stand taller than the Latin line the units measure.
    place.setHeight(std::max(place.height(), text->sizeHint().height()));
    text->setGeometry(place);

    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    SetControlId(cancel, worker_ids::kCancel);
    cancel->setGeometry(DluRect(85, 38, 50, 14, u));
    connect(cancel, &QPushButton::clicked, this, &CWaitDlg::reject);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    SetControlId(ok, worker_ids::kOk);
    ok->setGeometry(DluRect(85, 38, 50, 14, u));
    ok->hide();

    // The worker calls this on its own thread.
    m_job->postScanDone = [post = Poster()](int found) { post(new WindowMessage(WM_SCAN_DONE, found)); };
    StartOnTimer(kStartDelayMs);
}

void CWaitDlg::OnStart() {
    StartWorker(m_job->m_bStop, [job = m_job] {
        if (job->m_bUseFilter)
            ScanWithFilter(*job);
        else
            ScanAll(*job);
    });
}

bool CWaitDlg::event(QEvent* event) {
    if (event->type() == WM_SCAN_DONE) {
        accept();
        return true;
    }
    return CWorkerDlg::event(event);
}

void CWaitDlg::reject() {
    RequestStop();
    QThread::msleep(kCancelWaitMs);
    QDialog::reject();
}
