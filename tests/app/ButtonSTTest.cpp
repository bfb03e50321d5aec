// The flat icon buttons: their frames, the one-pixel shift, where icon and
// caption go, hover tracking, double clicks and the default style. The
// player window's own buttons are used where its configuration matters.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "controls/ButtonST.h"
#include "resources/ResourceIds.h"
#include "tests/app/WindowFixture.h"

namespace {

QImage Shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
void Hover(QWidget* w, QPoint at) { SendMouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }

QColor Shadow() { return QApplication::palette().color(QPalette::Dark); }
QColor Highlight() { return QApplication::palette().color(QPalette::Light); }

// The icon drawn at (x, y) on background, as the button should show it.
QImage IconOn(QSize size, const QColor& background, int id, QPoint at) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.drawPixmap(at, QPixmap(ArtworkPath(id)));
    return image;
}

// Pixels of rect in a and b differ: how many.
int Differences(const QImage& a, const QImage& b, QRect rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

class ButtonSTTest : public WindowTest {
protected:
    CButtonST* Button(int id) const { return qobject_cast<CButtonST*>(Ctl(id)); }
};

TEST_F(ButtonSTTest, TheWindowsButtonsAreFlatIconButtons) {
    for (int id : {1003, 1004, 1039, 1005, 1006, 1007, 1008, 1009, 1011}) EXPECT_NE(Button(id), nullptr) << id;
}

TEST_F(ButtonSTTest, FramesShowHoverAndPress) {
    const QColor blue(78, 128, 202), pale(216, 228, 248);
    for (int id : {1004, 1005}) {
        CButtonST* b = Button(id);
        const QColor background = id == 1004 ? blue : pale;
        const int r = b->width() - 1, bottom = b->height() - 1;
        QImage shot = Shot(b);
        // At rest: no frame, the background up to the edges.
        for (QPoint p : {QPoint(0, 0), QPoint(r, 0), QPoint(0, bottom), QPoint(r, bottom)})
            EXPECT_EQ(QColor(shot.pixel(p)), background) << id;

        Hover(b, b->rect().center());
        EXPECT_TRUE(b->IsHovered()) << id;
        shot = Shot(b);
        // Raised: light top and left, dark bottom and right, corners included.
        EXPECT_EQ(QColor(shot.pixel(0, 0)).rgb(), Highlight().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(r - 1, 0)).rgb(), Highlight().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(0, bottom - 1)).rgb(), Highlight().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(r, 0)).rgb(), Shadow().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(0, bottom)).rgb(), Shadow().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(r, bottom)).rgb(), Shadow().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(1, 1)), background) << id;

        b->setDown(true);
        shot = Shot(b);
        // Sunken: the colours exchanged.
        EXPECT_EQ(QColor(shot.pixel(0, 0)).rgb(), Shadow().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(r, bottom)).rgb(), Highlight().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(r, 0)).rgb(), Highlight().rgb()) << id;
        EXPECT_EQ(QColor(shot.pixel(1, 1)), background) << id;
        b->setDown(false);
        Hover(b, QPoint(-10, -10));
        EXPECT_FALSE(b->IsHovered()) << id;
    }
}

TEST_F(ButtonSTTest, IconPlacesAndTheOnePixelShift) {
    const QColor blue(78, 128, 202), pale(216, 228, 248);
    const struct {
        int id;
        QColor background;
        int icon, iconSize;
        bool caption;
    } cases[] = {
        {1003, blue, IDI_EXPORT, 24, true},  {1004, blue, IDI_REFRESH, 24, true}, {1005, pale, IDI_PLAY, 24, false},
        {1009, pale, IDI_NEXT, 24, false},   {1011, pale, IDI_SOUND, 16, false},
    };
    for (const auto& c : cases) {
        CButtonST* b = Button(c.id);
        // Beside a caption the icon sits 3 pixels in; alone it is centred.
        const QPoint at(c.caption ? 3 : (b->width() - c.iconSize) / 2, (b->height() - c.iconSize) / 2);
        if (c.caption) {
            EXPECT_EQ(at, QPoint(3, 3));
        }
        const QRect icon(at, QSize(c.iconSize, c.iconSize));
        EXPECT_EQ(Differences(Shot(b), IconOn(b->size(), c.background, c.icon, at), icon), 0) << c.id;

        // Pressed, everything moves one pixel right and down (the frame aside).
        b->setDown(true);
        const QImage pressed = Shot(b);
        b->setDown(false);
        const QRect inside = icon.translated(1, 1).intersected(b->rect().adjusted(1, 1, -1, -1));
        EXPECT_EQ(Differences(pressed, IconOn(b->size(), c.background, c.icon, at + QPoint(1, 1)), inside), 0) << c.id;
    }
    // The caption of a text button is white (smoothed at its edges), right of
    // the icon.
    const QImage shot = Shot(Button(1003));
    int white = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 27; x < shot.width(); ++x) white += qRed(shot.pixel(x, y)) > 230 && qBlue(shot.pixel(x, y)) > 230;
    EXPECT_GT(white, 20);
}

TEST_F(ButtonSTTest, TheMuteButtonsIconCanBeSwitched) {
    CButtonST* mute = Button(1011);
    const QColor pale(216, 228, 248);
    const QPoint at((mute->width() - 16) / 2, (mute->height() - 16) / 2);
    const QRect icon(at, QSize(16, 16));
    ASSERT_GT(Differences(IconOn(mute->size(), pale, IDI_SOUND, at), IconOn(mute->size(), pale, IDI_MUTED, at), icon), 0);
    EXPECT_EQ(mute->SetIcon(QPixmap(ArtworkPath(IDI_MUTED))), 0);
    EXPECT_EQ(Differences(Shot(mute), IconOn(mute->size(), pale, IDI_MUTED, at), icon), 0);
    EXPECT_EQ(mute->SetIcon(QPixmap(ArtworkPath(IDI_SOUND))), 0);
    EXPECT_EQ(Differences(Shot(mute), IconOn(mute->size(), pale, IDI_SOUND, at), icon), 0);
    // An icon that cannot be read leaves the button without one.
    EXPECT_EQ(mute->SetIcon(QPixmap()), 1);
    EXPECT_EQ(Differences(Shot(mute), IconOn(mute->size(), pale, 0, at), icon), 0);
}

TEST_F(ButtonSTTest, APointerArrivingWithTheButtonHeldDoesNotLightIt) {
    CButtonST* b = Button(1005);
    const QPoint inside = b->rect().center();
    // Pressed on the window's background, then moved onto the button.
    QTest::mousePress(dlg.get(), Qt::LeftButton, {}, QPoint(600, 585));
    SendMouse(b, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(b->IsHovered());
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, {}, QPoint(600, 585));
    Hover(b, inside);
    EXPECT_TRUE(b->IsHovered());

    // Pressed on the button and dragged off it: the frame goes, though the
    // button still has the mouse.
    SendMouse(b, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(b, QEvent::MouseMove, QPoint(-5, -5), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(b->IsHovered());
    SendMouse(b, QEvent::MouseButtonRelease, QPoint(-5, -5), Qt::LeftButton, Qt::NoButton);

    // Leaving the button or tabbing away from it clears the frame.
    Hover(b, inside);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_FALSE(b->IsHovered());
    QApplication::setActiveWindow(dlg.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    Hover(b, inside);
    b->setFocus();
    Button(1006)->setFocus();
    EXPECT_FALSE(b->IsHovered());
}

TEST(ButtonST, ADoubleClickGivesTwoClicks) {
    QDialog dialog;
    CButtonST b(&dialog);
    b.resize(30, 30);
    dialog.show();
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    const QPoint at(15, 15);
    // What the window system delivers for a double click.
    SendMouse(&b, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&b, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(&b, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&b, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(ButtonST, AWrappedCaptionIsCentredAsABlock) {
    QDialog dialog;
    CButtonST b(&dialog);
    b.setText(QStringLiteral("play the next recording"));
    b.resize(70, 90);
    b.SetColor(CButtonST::ColorSlot::BkNormal, 0xFFFFFF);
    b.SetColor(CButtonST::ColorSlot::FgNormal, 0x000000);
    dialog.show();
    const QImage shot = Shot(&b);
    QRect ink;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (QColor(shot.pixel(x, y)) != Qt::white) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isNull());
    // Several lines, each within the button.
    EXPECT_GT(ink.height(), 2 * b.fontMetrics().height());
    EXPECT_LE(std::abs(ink.left() - (b.width() - 1 - ink.right())), 2) << ink.left() << " " << ink.right();
    // Centred down too (glyphs keep a little room under the last line).
    EXPECT_LE(std::abs(ink.top() - (b.height() - 1 - ink.bottom())), b.fontMetrics().descent() + 2)
        << ink.top() << " " << ink.bottom();
}

TEST(ButtonST, TheDefaultButtonKeepsItsOwnLook) {
    QDialog dialog;
    CButtonST b(&dialog);
    b.setText(QStringLiteral("确定"));
    b.resize(80, 28);
    dialog.show();
    const QImage before = Shot(&b);
    b.setDefault(true);
    EXPECT_TRUE(b.isDefault());
    EXPECT_EQ(Shot(&b), before);
}

}  // namespace
