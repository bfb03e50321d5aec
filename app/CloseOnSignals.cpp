#include "app/CloseOnSignals.h"

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

#include "platform/TerminationSignals.h"

namespace {

int SignalPipe() { return platform::TerminationSignalPipe({SIGTERM, SIGINT}); }

}  // namespace

void CloseOnSignals::Catch() { SignalPipe(); }

CloseOnSignals::CloseOnSignals(QDialog& window) : m_window(window), m_pipe(SignalPipe()) {
    if (m_pipe < 0) return;
    auto* notifier = new QSocketNotifier(m_pipe, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CloseOnSignals::OnSignal);
}

void CloseOnSignals::OnSignal() {
    // One close for all the signals that came.
    unsigned char bytes[64];
    while (read(m_pipe, bytes, sizeof bytes) > 0) continue;
    CloseNext();
}

void CloseOnSignals::CloseNext() {
    QWidget* top = QApplication::activeModalWidget();
    if (!top || top == &m_window) {
        m_window.reject();
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(top))
        dialog->reject();
    else
        top->close();
    QTimer::singleShot(0, this, &CloseOnSignals::CloseNext);
}
