#include "controls/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

QFont DialogFont(int pointSize) {
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}
