#include "controls/RasterOps.h"

#include <cstdint>

namespace {

// Pixel colours keep 0 in the top byte, so that AND and OR act on the colour
// alone and pixels compare as colours.
constexpr QRgb kColourBits = 0x00FFFFFF;
constexpr QRgb kThumbAndColour = 0x00D8E4F8;  // RGB(216, 228, 248)

QRgb Colour(QRgb pixel) { return pixel & kColourBits; }

}  // namespace

QImage ToColourBitmap(const QImage& image) {
    if (image.isNull()) return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

void BitBlt(QImage& dst, QRect dstRect, const QImage& src, int srcX, int srcY, RasterOp op) {
    // Clip against the source first, moving the destination along.
    const QRect wanted(srcX, srcY, dstRect.width(), dstRect.height());
    const QRect fromSrc = wanted.intersected(src.rect());
    QRect to = fromSrc.translated(dstRect.topLeft() - QPoint(srcX, srcY)).intersected(dst.rect());
    if (to.isEmpty()) return;
    const QPoint shift = QPoint(srcX, srcY) - dstRect.topLeft();
    for (int y = to.top(); y <= to.bottom(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y + shift.y()));
        for (int x = to.left(); x <= to.right(); ++x) {
            const QRgb sp = Colour(s[x + shift.x()]);
            const QRgb dp = Colour(d[x]);
            QRgb out = sp;
            if (op == RasterOp::And) out = dp & sp;
            if (op == RasterOp::Or) out = dp | sp;
            d[x] = 0xFF000000u | out;
        }
    }
}

QImage MakeMask(const QImage& colour, QRgb key) {
    QImage mask(colour.size(), QImage::Format_MonoLSB);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x)
            mask.setPixel(x, y, Colour(colour.pixel(x, y)) == Colour(key) ? 1 : 0);
    return mask;
}

QImage ExpandMask(const QImage& mask, QRgb textColour, QRgb backgroundColour) {
    QImage colour(mask.size(), QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            colour.setPixel(x, y, 0xFF000000u | Colour(mask.pixelIndex(x, y) ? backgroundColour : textColour));
    return colour;
}

QImage MakeThumbMask(QImage& thumb) {
    const QImage mask = MakeMask(thumb, thumb.pixel(0, 0));
    // Key pixels (1) meet the background colour black, the others the text
    // colour: ANDing clears the key and tints the rest.
    BitBlt(thumb, thumb.rect(), ExpandMask(mask, kThumbAndColour, 0), 0, 0, RasterOp::And);
    return mask;
}

void DrawTransparent(QImage& dst, int x, int y, const QImage& picture, const QImage& mask) {
    const QRect place(x, y, picture.width(), picture.height());
    // Black text and white background, the colours a fresh drawing surface has.
    BitBlt(dst, place, ExpandMask(mask, 0x000000, 0xFFFFFF), 0, 0, RasterOp::And);
    BitBlt(dst, place, picture, 0, 0, RasterOp::Or);
}

void DrawFocusRect(QImage& dst, QRect rect) {
    const QRect area = rect.intersected(dst.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const bool edgeRow = y == rect.top() || y == rect.bottom();
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool edge = edgeRow || x == rect.left() || x == rect.right();
            if (edge && (x - rect.left() + y - rect.top()) % 2 == 0) line[x] = 0xFF000000u | (~line[x] & kColourBits);
        }
    }
}
