#pragma once
// The volume slider: a horizontal slider drawn from bitmaps. A channel (the
// track) in a normal and an active variant, the active one showing the part
// left of the thumb filled; a thumb in a normal and a pressed variant, drawn
// transparently through a mask made from its own top-left pixel's colour.
// It paints off-screen, follows the mouse while the left button is held,
// moves by keyboard steps, and tells its parent about every change the user
// makes by posting WM_SLIDER_TRACKING (while dragging) and WM_SLIDER_SETTLED
// (button released, navigation key handled), with its control id and the
// position.

#include <QEvent>
#include <QImage>
#include <QRect>
#include <QWidget>

class CBitmapSlider : public QWidget {
    Q_OBJECT
public:
    explicit CBitmapSlider(QWidget* parent);

    // Loads the channel bitmaps from the program's bitmap resources and makes
    // the control exactly the normal channel's size. False, with no channel,
    // when either cannot be loaded.
    bool SetChannelBitmaps(int normalId, int activeId);
    // Loads the thumb bitmaps and makes their masks (once, here). False, with
    // no thumb, when either cannot be loaded.
    bool SetThumbBitmaps(int normalId, int pressedId);
    // Stores the range; neither clamps the position nor repaints.
    void SetRange(int minimum, int maximum);
    // Stores position, lowered to the maximum, then raised to the minimum
    // (so with minimum > maximum it is the minimum), and repaints.
    void SetPos(int position);
    int GetPos() const { return m_nPos; }
    // Free space between the control's edges and the thumb's travel; the
    // bottom margin is kept but plays no part. No repaint.
    void SetMargins(int left, int top, int right, int bottom);
    // Whether a focus rectangle shows while the control has the focus. No
    // repaint.
    void ShowFocusRect(bool show) { m_bDrawFocusRect = show; }

    // The thumb centre's x for position, and the position for a thumb centre
    // at pixel x; both truncate toward zero.
    int Pos2Pixel(int position) const;
    int Pixel2Pos(int pixel) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Follows the pointer at x while dragging; posts WM_SLIDER_TRACKING when
    // the thumb centre moves to another pixel.
    void OnPointerAt(int x);
    void Post(QEvent::Type message) const;

    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 20;
    QRect m_rect;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nMarginLeft = 0;
    int m_nMarginRight = 0;
    int m_nMarginTop = 0;
    int m_nMarginBottom = 0;
    int m_nMouseOffset = 0;
    bool m_bChannelActive = false;
    bool m_bThumbActive = false;
    bool m_bThumb = false;
    bool m_bChannel = false;
    bool m_bLButtonDown = false;
    bool m_bFocus = false;
    bool m_bDrawFocusRect = true;

    QImage m_bmChannel;
    QImage m_bmChannelActive;
    QImage m_bmThumb;
    QImage m_bmThumbMask;
    QImage m_bmThumbActive;
    QImage m_bmThumbActiveMask;
};
