#include "controls/ButtonST.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "controls/ColorRef.h"

namespace {

// A one-pixel frame: top and left edges in topLeft, bottom and right edges
// (with the corners they reach) in bottomRight.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    const int x = r.x(), y = r.y(), cx = r.width(), cy = r.height();
    p.fillRect(x, y, cx - 1, 1, topLeft);
    p.fillRect(x, y, 1, cy - 1, topLeft);
    p.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    p.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

}  // namespace

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
    const QPalette system = QApplication::palette();
    const QColor face = system.color(QPalette::Button);
    const QColor text = system.color(QPalette::ButtonText);
    m_crColors[static_cast<int>(ColorSlot::BkActive)] = face;
    m_crColors[static_cast<int>(ColorSlot::FgActive)] = text;
    m_crColors[static_cast<int>(ColorSlot::BkNormal)] = face;
    m_crColors[static_cast<int>(ColorSlot::FgNormal)] = text;
    m_crColors[static_cast<int>(ColorSlot::BkFocus)] = face;
    // Moves without a button held are needed for the hover frame.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CButtonST::SetColor(ColorSlot slot, uint32_t colour) {
    m_crColors[static_cast<int>(slot)] = ColorFromRef(colour);
    update();
}

int CButtonST::SetIcon(const QPixmap& icon) {
    m_icon = QPixmap();
    if (icon.isNull()) return 1;
    m_icon = icon;
    update();
    return 0;
}

bool CButtonST::event(QEvent* event) {
    // A modal window opening over the button ends whatever the pointer did.
    if (event->type() == QEvent::WindowBlocked) CancelHover();
    return QPushButton::event(event);
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    // A pointer that arrives with the left button already held (pressed
    // elsewhere) does not light the button.
    if ((event->buttons() & Qt::LeftButton) && !m_bMouseOnButton) return;
    // While the button holds the mouse, moves arrive from outside it too.
    if (rect().contains(event->position().toPoint())) {
        if (!m_bMouseOnButton) {
            m_bMouseOnButton = true;
            update();
        }
    } else {
        CancelHover();
    }
}

void CButtonST::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    CancelHover();
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    CancelHover();
}

void CButtonST::CancelHover() {
    if (!m_bMouseOnButton) return;
    m_bMouseOnButton = false;
    update();
}

void CButtonST::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect item = rect();
    const bool pressed = isDown();
    const bool focused = hasFocus();
    auto colour = [this](ColorSlot slot) { return m_crColors[static_cast<int>(slot)]; };

    ColorSlot background = ColorSlot::BkNormal;
    if (m_bMouseOnButton || pressed)
        background = ColorSlot::BkActive;
    else if (focused)
        background = ColorSlot::BkFocus;
    p.fillRect(item, colour(background));

    const QPalette system = QApplication::palette();
    const QColor shadow = system.color(QPalette::Dark);
    const QColor highlight = system.color(QPalette::Light);
    if (pressed)
        Draw3dRect(p, item, shadow, highlight);
    else if (m_bMouseOnButton)
        Draw3dRect(p, item, highlight, shadow);

    const QString caption = text();
    QRect captionRect = item;
    if (!m_icon.isNull()) {
        const int iconWidth = m_icon.width();
        const int iconHeight = m_icon.height();
        int x = item.left() + (item.width() - iconWidth) / 2;
        if (!caption.isEmpty()) {
            x = item.left() + 3;
            captionRect.setLeft(captionRect.left() + iconWidth + 3);
        }
        int y = item.top() + (item.height() - iconHeight) / 2;
        if (pressed) {
            ++x;
            ++y;
        }
        p.drawPixmap(x, y, m_icon);
    }

    if (!caption.isEmpty()) {
        if (pressed) captionRect.translate(1, 1);
        // The wrapped text's block, centred in the caption area.
        const int flags = Qt::TextWordWrap | Qt::AlignHCenter;
        QRect bound = fontMetrics().boundingRect(captionRect, flags, caption);
        bound.moveTopLeft(captionRect.topLeft());
        bound.translate((captionRect.width() - bound.width()) / 2, (captionRect.height() - bound.height()) / 2);
        p.setPen(colour(m_bMouseOnButton || pressed ? ColorSlot::FgActive : ColorSlot::FgNormal));
        p.drawText(bound, flags, caption);
    }
}
