#pragma once
// Dialog layouts are given in dialog units: a quarter of the dialog font's
// average character width across and an eighth of its height down.

#include <QFont>
#include <QRect>

struct DialogBaseUnits {
    int x;  // average width of the Latin letters, rounded
    int y;  // line height
};

// The dialogs' font: the system's UI font, in its CJK face where one is
// installed, at pointSize (9 for the main window and the About box, 8 for the
// small dialogs).
QFont DialogFont(int pointSize);

// Base units of font, measured on the screen the application shows on.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Pixels for dialog units, truncated as the dialog framework does.
inline int DluX(int x, DialogBaseUnits u) { return x * u.x / 4; }
inline int DluY(int y, DialogBaseUnits u) { return y * u.y / 8; }
inline QRect DluRect(int x, int y, int width, int height, DialogBaseUnits u) {
    return QRect(DluX(x, u), DluY(y, u), DluX(width, u), DluY(height, u));
}
