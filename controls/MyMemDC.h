#pragma once
// Off-screen drawing for a control's paint: everything is drawn into an image
// of the covered rectangle, which reaches the screen in one copy when the
// object goes out of scope, so nothing half-drawn ever shows.

#include <QImage>
#include <QPainter>
#include <QRect>

#include "controls/RasterOps.h"

class CMyMemDC {
public:
    // Covers rect of target's device (target's coordinates, which are the
    // logical coordinates of every drawing call below). The off-screen image
    // starts filled with target's background colour.
    CMyMemDC(QPainter& target, const QRect& rect);
    // Copies the off-screen image to target at rect.
    ~CMyMemDC();
    CMyMemDC(const CMyMemDC&) = delete;
    CMyMemDC& operator=(const CMyMemDC&) = delete;

    // Combines src's pixels from (srcX, srcY) into dstRect with op.
    void BitBlt(const QRect& dstRect, const QImage& src, int srcX, int srcY, RasterOp op);
    // Draws picture at (x, y) through its mask (RasterOps' DrawTransparent).
    void DrawTransparent(int x, int y, const QImage& picture, const QImage& mask);
    // The dotted focus rectangle on rect.
    void DrawFocusRect(const QRect& rect);

private:
    QImage m_bitmap;
    QPainter& m_target;
    QRect m_rect;
};
