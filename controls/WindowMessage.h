#pragma once
// The program's private window messages: posted or sent QEvents whose types
// are the messages' numbers, carrying the two message parameters.

#include <QEvent>
#include <cstdint>

inline constexpr QEvent::Type WM_START_EXPORT = static_cast<QEvent::Type>(1124);
inline constexpr QEvent::Type WM_SCAN_DONE = static_cast<QEvent::Type>(1224);
inline constexpr QEvent::Type WM_START_CONVERSION = static_cast<QEvent::Type>(1225);
inline constexpr QEvent::Type WM_SLIDER_TRACKING = static_cast<QEvent::Type>(10449);
inline constexpr QEvent::Type WM_SLIDER_SETTLED = static_cast<QEvent::Type>(10450);

class WindowMessage : public QEvent {
public:
    WindowMessage(QEvent::Type type, intptr_t wParam = 0, intptr_t lParam = 0)
        : QEvent(type), wParam(wParam), lParam(lParam) {}
    const intptr_t wParam;
    const intptr_t lParam;
};
