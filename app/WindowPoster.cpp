#include "app/WindowPoster.h"

#include <QCoreApplication>
#include <QTimer>

QEvent::Type PostedMessage::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void WindowPoster::Post(int message, uintptr_t wParam, intptr_t lParam) {
    QCoreApplication::postEvent(window_, new PostedMessage(message, wParam, lParam));
}

void WindowPoster::PostAfter(int delayMs, int message, uintptr_t wParam, intptr_t lParam) {
    QTimer::singleShot(delayMs, window_, [this, message, wParam, lParam] { Post(message, wParam, lParam); });
}
