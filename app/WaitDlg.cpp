#include "app/WaitDlg.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimerEvent>
#include <algorithm>

#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "controls/WindowMessage.h"

namespace {
constexpr int kStartDelayMs = 100;
constexpr int kCancelWaitMs = 300;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace

CWaitDlg::CWaitDlg(std::shared_ptr<ScanJob> job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_job(std::move(job)),
      m_target(std::make_shared<NoticeTarget>()),
      m_bWorkerEnded(std::make_shared<std::atomic<bool>>(false)) {
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
    SetControlId(cancel, kIdCancel);
    cancel->setGeometry(DluRect(85, 38, 50, 14, u));
    connect(cancel, &QPushButton::clicked, this, &CWaitDlg::reject);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    SetControlId(ok, kIdOk);
    ok->setGeometry(DluRect(85, 38, 50, 14, u));
    ok->hide();

    {
        std::lock_guard lock(m_target->mutex);
        m_target->receiver = this;
    }
    // The worker calls this on its own thread; the target's mutex keeps the
    // dialog from closing between the test and the posting.
    m_job->postScanDone = [target = m_target](int found) {
        std::lock_guard lock(target->mutex);
        if (target->receiver) QCoreApplication::postEvent(target->receiver, new WindowMessage(WM_SCAN_DONE, found));
    };
}

CWaitDlg::~CWaitDlg() {
    {
        std::lock_guard lock(m_target->mutex);
        m_target->receiver = nullptr;
    }
    WaitForWorker();
}

void CWaitDlg::showEvent(QShowEvent* event) {
    if (QScreen* s = screen()) move(s->geometry().center() - rect().center());
    if (!m_bTimerStarted) {
        m_bTimerStarted = true;
        m_nStartTimer = startTimer(kStartDelayMs);
    }
    QDialog::showEvent(event);
}

void CWaitDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_nStartTimer) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(m_nStartTimer);
    m_nStartTimer = 0;
    StartWorker();
}

void CWaitDlg::StartWorker() {
    m_job->m_bStop.store(0);
    m_worker = std::thread([job = m_job, ended = m_bWorkerEnded] {
        if (job->m_bUseFilter)
            ScanWithFilter(*job);
        else
            ScanAll(*job);
        ended->store(true);
    });
}

bool CWaitDlg::event(QEvent* event) {
    if (event->type() == WM_SCAN_DONE) {
        accept();
        return true;
    }
    return QDialog::event(event);
}

void CWaitDlg::reject() {
    m_job->m_bStop.store(1);
    QThread::msleep(kCancelWaitMs);
    QDialog::reject();
}

void CWaitDlg::done(int result) {
    {
        std::lock_guard lock(m_target->mutex);
        m_target->receiver = nullptr;
    }
    if (m_nStartTimer) {
        killTimer(m_nStartTimer);
        m_nStartTimer = 0;
    }
    QDialog::done(result);
}

void CWaitDlg::WaitForWorker() {
    if (!m_worker.joinable()) return;
    while (!m_bWorkerEnded->load()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    m_worker.join();
}

void CWaitDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The thin frame that stands for the sizing border of a window without a
    // title bar.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
