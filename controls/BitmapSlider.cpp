#include "controls/BitmapSlider.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

#include "controls/ControlId.h"
#include "controls/MyMemDC.h"
#include "controls/RasterOps.h"
#include "controls/WindowMessage.h"
#include "resources/ResourceIds.h"

namespace {

QImage LoadBitmap(int id) { return ToColourBitmap(QImage(ArtworkPath(id))); }

}  // namespace

CBitmapSlider::CBitmapSlider(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted from the off-screen picture: nothing is erased.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A tab stop; Tab moves on, the arrow keys stay here.
    setFocusPolicy(Qt::StrongFocus);
}

bool CBitmapSlider::SetChannelBitmaps(int normalId, int activeId) {
    m_bChannel = false;
    m_bmChannel = LoadBitmap(normalId);
    m_bmChannelActive = QImage();
    if (m_bmChannel.isNull()) return false;
    m_bmChannelActive = LoadBitmap(activeId);
    if (m_bmChannelActive.isNull()) {
        m_bmChannel = QImage();
        return false;
    }
    m_bChannelActive = true;
    m_nWidth = m_bmChannel.width();
    m_nHeight = m_bmChannel.height();
    resize(m_nWidth, m_nHeight);
    m_rect = rect();
    m_bChannel = true;
    return true;
}

bool CBitmapSlider::SetThumbBitmaps(int normalId, int pressedId) {
    m_bThumb = false;
    m_bmThumb = LoadBitmap(normalId);
    m_bmThumbMask = m_bmThumb.isNull() ? QImage() : MakeThumbMask(m_bmThumb);
    m_bmThumbActive = LoadBitmap(pressedId);
    m_bmThumbActiveMask = m_bmThumbActive.isNull() ? QImage() : MakeThumbMask(m_bmThumbActive);
    if (m_bmThumb.isNull()) return false;
    if (m_bmThumbActive.isNull()) {
        m_bmThumb = m_bmThumbMask = QImage();
        return false;
    }
    m_bThumbActive = true;
    m_nThumbWidth = m_bmThumb.width();
    m_nThumbHeight = m_bmThumb.height();
    if (!m_bChannel) {
        m_rect = rect();
        m_nWidth = m_rect.width();
        m_nHeight = m_rect.height();
    }
    m_bThumb = true;
    return true;
}

void CBitmapSlider::SetRange(int minimum, int maximum) {
    m_nMin = minimum;
    m_nMax = maximum;
}

void CBitmapSlider::SetPos(int position) {
    m_nPos = position;
    if (m_nPos > m_nMax) m_nPos = m_nMax;
    if (m_nPos < m_nMin) m_nPos = m_nMin;
    update();
}

void CBitmapSlider::SetMargins(int left, int top, int right, int bottom) {
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
}

// An empty range or a track without length has no scale: the thumb stays at
// the start and every pixel means the minimum.
int CBitmapSlider::Pos2Pixel(int position) const {
    const int track = m_nWidth - m_nMarginRight - m_nThumbWidth - m_nMarginLeft;
    const int half = m_nThumbWidth / 2;
    if (m_nMax == m_nMin || track == 0) return m_nMarginLeft + half;
    const double offset = static_cast<double>(position - m_nMin) / (m_nMax - m_nMin) * track;
    return m_nMarginLeft + static_cast<int>(offset) + half;
}

int CBitmapSlider::Pixel2Pos(int pixel) const {
    const int track = m_nWidth - m_nMarginRight - m_nThumbWidth - m_nMarginLeft;
    const int half = m_nThumbWidth / 2;
    if (m_nMax == m_nMin || track == 0) return m_nMin;
    return static_cast<int>(static_cast<double>(pixel - half - m_nMarginLeft) / track * (m_nMax - m_nMin) + m_nMin);
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CMyMemDC dc(painter, rect());
    const int centre = Pos2Pixel(m_nPos);
    if (m_bChannel) {
        if (m_bChannelActive) {
            // Filled left of the thumb centre, plain from it on.
            dc.BitBlt(QRect(centre, 0, m_nWidth - centre, m_nHeight), m_bmChannel, centre, 0, RasterOp::Copy);
            dc.BitBlt(QRect(0, 0, centre, m_nHeight), m_bmChannelActive, 0, 0, RasterOp::Copy);
        } else {
            dc.BitBlt(QRect(0, 0, m_nWidth, m_nHeight), m_bmChannel, 0, 0, RasterOp::Copy);
        }
    }
    if (m_bThumb) {
        const bool pressed = m_bThumbActive && m_bLButtonDown;
        dc.DrawTransparent(centre - m_nThumbWidth / 2, m_nMarginTop, pressed ? m_bmThumbActive : m_bmThumb,
                           pressed ? m_bmThumbActiveMask : m_bmThumbMask);
    }
    if (m_bDrawFocusRect && m_bFocus) dc.DrawFocusRect(m_rect);
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The mouse stays with the slider until the button comes up.
    setFocus(Qt::MouseFocusReason);
    m_bLButtonDown = true;
    const int x = event->position().toPoint().x();
    // A press on the thumb keeps the thumb where it is under the pointer; a
    // press elsewhere centres the thumb on the pointer.
    const int d = x - Pos2Pixel(m_nPos);
    m_nMouseOffset = std::abs(d) <= m_nThumbWidth / 2 ? d : 0;
    OnPointerAt(x);
    update();
    event->accept();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bLButtonDown) return;
    OnPointerAt(event->position().toPoint().x());
    event->accept();
}

void CBitmapSlider::OnPointerAt(int pointerX) {
    const int half = m_nThumbWidth / 2;
    int x = pointerX - m_nMouseOffset;
    if (x < m_nMarginLeft + half) x = m_nMarginLeft + half;
    if (x > m_nWidth - m_nMarginRight - half) x = m_nWidth - m_nMarginRight - half;
    // Pixels are compared, not positions: the last pixel of the travel is
    // not a centre any position maps to, so resting there posts every time.
    if (x == Pos2Pixel(m_nPos)) return;
    m_nPos = Pixel2Pos(x);
    if (m_nPos > m_nMax) m_nPos = m_nMax;
    if (m_nPos < m_nMin) m_nPos = m_nMin;
    update();
    Post(WM_SLIDER_TRACKING);
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_bLButtonDown = false;
    update();
    Post(WM_SLIDER_SETTLED);
    event->accept();
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    int value = 0;
    switch (event->key()) {
    case Qt::Key_PageUp:
        value = m_nPos - m_nPage;
        break;
    case Qt::Key_PageDown:
        value = m_nPos + m_nPage;
        break;
    case Qt::Key_End:
        value = m_nMax;
        break;
    case Qt::Key_Home:
        value = m_nMin;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        value = m_nPos - 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        value = m_nPos + 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetPos(value);
    Post(WM_SLIDER_SETTLED);
    event->accept();
}

void CBitmapSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_bFocus = true;
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_bFocus = false;
    update();
}

void CBitmapSlider::Post(QEvent::Type message) const {
    if (QWidget* parent = parentWidget())
        QCoreApplication::postEvent(parent, new WindowMessage(message, ControlIdOf(this), m_nPos));
}
