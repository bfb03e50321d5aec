#include "controls/MyMemDC.h"

CMyMemDC::CMyMemDC(QPainter& target, const QRect& rect)
    : m_bitmap(rect.size(), QImage::Format_RGB32), m_target(target), m_rect(rect) {
    m_bitmap.fill(target.background().color());
}

CMyMemDC::~CMyMemDC() { m_target.drawImage(m_rect.topLeft(), m_bitmap); }

void CMyMemDC::BitBlt(const QRect& dstRect, const QImage& src, int srcX, int srcY, RasterOp op) {
    ::BitBlt(m_bitmap, dstRect.translated(-m_rect.topLeft()), src, srcX, srcY, op);
}

void CMyMemDC::DrawTransparent(int x, int y, const QImage& picture, const QImage& mask) {
    ::DrawTransparent(m_bitmap, x - m_rect.left(), y - m_rect.top(), picture, mask);
}

void CMyMemDC::DrawFocusRect(const QRect& rect) { ::DrawFocusRect(m_bitmap, rect.translated(-m_rect.topLeft())); }
