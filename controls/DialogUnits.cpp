#include "controls/DialogUnits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

QFont DialogFont(int pointSize) {
    QFont font = QApplication::font();
    // The window's texts are mostly Chinese, and its column widths were made
    // for a face as narrow as a Chinese desktop's: with the CJK font (when it
    // is installed) the Latin digits of a start time fit their column too.
    static const bool haveCjkFont = QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei"));
    if (haveCjkFont) font.setFamily(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(pointSize);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}
