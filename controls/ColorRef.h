#pragma once
// Colours are written as 0x00BBGGRR values (red in the low byte) throughout
// the program's tables; this turns one into a QColor.

#include <QColor>
#include <cstdint>

inline QColor ColorFromRef(uint32_t bbggrr) {
    return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                  static_cast<int>((bbggrr >> 16) & 0xFF));
}
