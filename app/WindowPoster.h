#pragma once
// The window's message queue for the playback: messages posted from any
// thread (the engine's own commands, the sound device's notices) arrive at
// the window as posted events, in the order posted, and a delayed message
// joins the queue when its timer fires, the window going on meanwhile.

#include <QEvent>
#include <QObject>

#include "platform/MessagePoster.h"

class PostedMessage : public QEvent {
public:
    static QEvent::Type EventType();
    PostedMessage(int message, uintptr_t wParam, intptr_t lParam)
        : QEvent(EventType()), message(message), wParam(wParam), lParam(lParam) {}
    const int message;
    const uintptr_t wParam;
    const intptr_t lParam;
};

class WindowPoster : public platform::MessagePoster {
public:
    explicit WindowPoster(QObject* window) : window_(window) {}
    void Post(int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;
    void PostAfter(int delayMs, int message, uintptr_t wParam = 0, intptr_t lParam = 0) override;

private:
    QObject* window_;
};
