#pragma once
// The player's flat push button: an icon and, where it has one, a caption on
// a background colour of the owner's choosing. No frame at rest; a raised
// one-pixel frame while the pointer is over it; a sunken frame with icon and
// caption shifted one pixel down and right while it is pressed. Clicks reach
// the owner as the button's ordinary clicked signal.

#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <cstdint>

class CButtonST : public QPushButton {
    Q_OBJECT
public:
    enum class ColorSlot { BkActive, FgActive, BkNormal, FgNormal, BkFocus };

    explicit CButtonST(QWidget* parent);

    // Stores colour (0x00BBGGRR) in slot and repaints. BkActive and FgActive
    // apply while the button is hovered or pressed, BkFocus while it only has
    // the focus, BkNormal and FgNormal otherwise.
    void SetColor(ColorSlot slot, uint32_t colour);
    // Takes icon (drawn at its own size) in place of the current one and
    // repaints: 0. A null icon leaves the button without one: 1, no repaint.
    int SetIcon(const QPixmap& icon);

    // The pointer is over the button (as far as the frame shows it).
    bool IsHovered() const { return m_bMouseOnButton; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void CancelHover();

    bool m_bMouseOnButton = false;
    QColor m_crColors[5];
    QPixmap m_icon;
};
