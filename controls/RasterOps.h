#pragma once
// The bitmap operations the skinned controls draw with, carried out pixel by
// pixel on 24-bit colour images (QImage::Format_RGB32) and one-bit masks
// (QImage::Format_MonoLSB, bit 1 = white).

#include <QImage>
#include <QRect>

// How a source pixel s combines with the destination pixel d.
enum class RasterOp {
    Copy,  // d = s
    And,   // d = d & s
    Or,    // d = d | s
};

// A colour picture made from a bitmap file: 24-bit colour, any alpha dropped.
// Null when the image is null.
QImage ToColourBitmap(const QImage& image);

// Combines the source rectangle from (srcX, srcY), of the destination
// rectangle's size, into dst's rectangle with op. Both rectangles are clipped
// to their images, keeping source and destination pixels paired.
void BitBlt(QImage& dst, QRect dstRect, const QImage& src, int srcX, int srcY, RasterOp op);

// The one-bit mask of a colour bitmap: 1 where the pixel has key's colour,
// 0 elsewhere.
QImage MakeMask(const QImage& colour, QRgb key);

// A mask as colour pixels, the way a one-bit bitmap meets a colour one: bits
// 0 take textColour, bits 1 backgroundColour.
QImage ExpandMask(const QImage& mask, QRgb textColour, QRgb backgroundColour);

// Prepares a thumb picture for transparent drawing and returns its mask. The
// key colour is the colour of pixel (0, 0); in thumb, key-coloured pixels
// become black and every other pixel is ANDed with RGB(216, 228, 248).
QImage MakeThumbMask(QImage& thumb);

// Draws picture transparently at (x, y) of dst through its mask: the mask is
// ANDed on (clearing the picture's opaque pixels, keeping the rest), then the
// picture is ORed on.
void DrawTransparent(QImage& dst, int x, int y, const QImage& picture, const QImage& mask);

// Inverts every other pixel along the edge of rect, starting at its top-left
// corner: the dotted focus rectangle. Drawing it twice removes it.
void DrawFocusRect(QImage& dst, QRect rect);
