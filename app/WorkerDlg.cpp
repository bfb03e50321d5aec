#include "app/WorkerDlg.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimerEvent>
#include <QUrl>

#include "platform/MessageBox.h"

namespace {
// The done notice: a private event type, apart from the program's messages.
const QEvent::Type kWorkerEnded = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

CWorkerDlg::CWorkerDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_target(std::make_shared<NoticeTarget>()),
      m_bWorkerEnded(std::make_shared<std::atomic<bool>>(false)) {
    std::lock_guard lock(m_target->mutex);
    m_target->receiver = this;
}

bool CWorkerDlg::OpenWithDesktop(const QString& folder) { return QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }

void CWorkerDlg::OpenSavedFolder(const FolderOpener& opener, const QString& folder, const QString& saved) {
    if (!opener(folder))
        platform::ShowMessageBox((QStringLiteral("没有可以打开文件夹的程序，文件保存在：\n") + saved).toStdU16String());
}

CWorkerDlg::~CWorkerDlg() {
    {
        std::lock_guard lock(m_target->mutex);
        m_target->receiver = nullptr;
    }
    WaitForWorker();
}

void CWorkerDlg::StartOnTimer(int delayMs, QEvent::Type message) {
    m_nStartDelay = delayMs;
    m_startMessage = message;
}

void CWorkerDlg::StartOnMessage(QEvent::Type message) {
    m_nStartDelay = -1;
    m_startMessage = message;
}

std::function<void(QEvent*)> CWorkerDlg::Poster() const {
    return [target = m_target](QEvent* event) {
        // The mutex keeps the dialog from closing between the test and the
        // posting.
        std::lock_guard lock(target->mutex);
        if (target->receiver)
            QCoreApplication::postEvent(target->receiver, event);
        else
            delete event;
    };
}

void CWorkerDlg::RunOnUiThread(std::function<void()> update) {
    QMetaObject::invokeMethod(this, std::move(update), Qt::QueuedConnection);
}

void CWorkerDlg::showEvent(QShowEvent* event) {
    if (QScreen* s = screen()) move(s->geometry().center() - rect().center());
    if (!m_bStartScheduled) {
        m_bStartScheduled = true;
        if (m_nStartDelay >= 0)
            m_nStartTimer = startTimer(m_nStartDelay);
        else if (m_startMessage != QEvent::None)
            QCoreApplication::postEvent(this, new QEvent(m_startMessage));
    }
    QDialog::showEvent(event);
}

void CWorkerDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_nStartTimer) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(m_nStartTimer);
    m_nStartTimer = 0;
    if (m_startMessage != QEvent::None)
        QCoreApplication::postEvent(this, new QEvent(m_startMessage));
    else
        OnStart();
}

bool CWorkerDlg::event(QEvent* event) {
    if (m_startMessage != QEvent::None && event->type() == m_startMessage) {
        if (!m_worker.joinable() && isVisible()) OnStart();
        return true;
    }
    if (event->type() == kWorkerEnded) {
        OnWorkerDone();
        return true;
    }
    return QDialog::event(event);
}

void CWorkerDlg::StartWorker(std::atomic<int>& stop, std::function<void()> work) {
    m_pStop = &stop;
    stop.store(0);
    m_worker = std::thread([work = std::move(work), ended = m_bWorkerEnded, post = Poster()] {
        work();
        ended->store(true);
        post(new QEvent(kWorkerEnded));
    });
}

void CWorkerDlg::RequestStop() {
    if (m_pStop) m_pStop->store(1);
}

bool CWorkerDlg::WorkerRunning() const { return m_worker.joinable() && !m_bWorkerEnded->load(); }

void CWorkerDlg::WaitForWorker() {
    if (!m_worker.joinable()) return;
    while (!m_bWorkerEnded->load()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    m_worker.join();
}

void CWorkerDlg::done(int result) {
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

void CWorkerDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
