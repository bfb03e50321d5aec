// The volume slider configured as the player configures it: its geometry,
// the notices it posts for the mouse and the keys (in order), and the pixels
// it paints.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "controls/BitmapSlider.h"
#include "controls/ControlId.h"
#include "controls/RasterOps.h"
#include "controls/WindowMessage.h"
#include "resources/ResourceIds.h"

namespace {

struct Notice {
    QEvent::Type message;
    intptr_t id;
    intptr_t position;
    bool operator==(const Notice&) const = default;
};

void PrintTo(const Notice& n, std::ostream* os) {
    *os << (n.message == WM_SLIDER_TRACKING ? "TRACKING" : n.message == WM_SLIDER_SETTLED ? "SETTLED" : "?") << "("
        << n.id << ", " << n.position << ")";
}

Notice Tracking(int position) { return {WM_SLIDER_TRACKING, 1012, position}; }
Notice Settled(int position) { return {WM_SLIDER_SETTLED, 1012, position}; }

// The slider's parent: keeps the notices that reach it, in order.
class NoticeRecorder : public QWidget {
public:
    bool event(QEvent* e) override {
        if (e->type() == WM_SLIDER_TRACKING || e->type() == WM_SLIDER_SETTLED) {
            auto* m = static_cast<WindowMessage*>(e);
            notices.push_back({e->type(), m->wParam, m->lParam});
            return true;
        }
        return QWidget::event(e);
    }
    std::vector<Notice> notices;
};

QRgb Rgb(QRgb pixel) { return pixel & 0x00FFFFFF; }

class BitmapSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(200, 60);
        slider = new CBitmapSlider(&parent);
        SetControlId(slider, 1012);
        slider->move(20, 20);
        // The player's configuration, in its order.
        ASSERT_TRUE(slider->SetChannelBitmaps(130, 131));
        ASSERT_TRUE(slider->SetThumbBitmaps(132, 133));
        slider->ShowFocusRect(false);
        slider->SetRange(0, 100);
        slider->SetPos(30);
        slider->SetMargins(2, 3, 2, 0);
        next = new QLineEdit(&parent);
        next->move(20, 40);
        parent.show();
        QApplication::setActiveWindow(&parent);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
        slider->setFocus();
    }

    // The notices posted since the last call.
    std::vector<Notice> Take() {
        QCoreApplication::sendPostedEvents();
        return std::exchange(parent.notices, {});
    }

    // A mouse message at x (y in the middle), as the window system delivers it
    // while the slider holds the mouse.
    void Mouse(QEvent::Type type, int x, Qt::MouseButtons held) {
        const QPointF at(x, 8);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, slider->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
    }
    void Press(int x) { Mouse(QEvent::MouseButtonPress, x, Qt::LeftButton); }
    void Drag(int x) { Mouse(QEvent::MouseMove, x, Qt::LeftButton); }
    void Release(int x) { Mouse(QEvent::MouseButtonRelease, x, Qt::NoButton); }

    NoticeRecorder parent;
    CBitmapSlider* slider = nullptr;
    QLineEdit* next = nullptr;
};

TEST_F(BitmapSliderTest, GeometryOfThePlayersConfiguration) {
    EXPECT_EQ(slider->size(), QSize(132, 17));
    const struct {
        int position, centre;
    } centres[] = {{0, 13}, {30, 44}, {100, 118}};
    for (const auto& c : centres) EXPECT_EQ(slider->Pos2Pixel(c.position), c.centre) << c.position;
    const struct {
        int pixel, position;
    } positions[] = {{13, 0}, {44, 29}, {45, 30}, {117, 99}, {118, 100}, {119, 100}};
    for (const auto& c : positions) EXPECT_EQ(slider->Pixel2Pos(c.pixel), c.position) << c.pixel;
}

TEST_F(BitmapSliderTest, SetPosClampsMaximumFirst) {
    const struct {
        int minimum, maximum, value, expected;
    } cases[] = {{0, 100, 150, 100}, {0, 100, -5, 0}, {0, 100, 57, 57}, {10, 5, 7, 10}};
    for (const auto& c : cases) {
        slider->SetRange(c.minimum, c.maximum);
        slider->SetPos(c.value);
        EXPECT_EQ(slider->GetPos(), c.expected) << c.minimum << ".." << c.maximum << " " << c.value;
    }
    // Setting the range leaves the position alone.
    slider->SetRange(0, 10);
    EXPECT_EQ(slider->GetPos(), 10);
    slider->SetRange(0, 5);
    EXPECT_EQ(slider->GetPos(), 10);
    EXPECT_TRUE(Take().empty());
}

TEST_F(BitmapSliderTest, APressOnTheThumbKeepsItAPressBesideItMovesIt) {
    // 5 pixels right of the centre at 44: on the thumb (half width 11).
    Press(44 + 5);
    EXPECT_EQ(slider->GetPos(), 30);
    Release(44 + 5);
    // Released without a drag: settled all the same.
    EXPECT_EQ(Take(), std::vector<Notice>{Settled(30)});

    // 12 pixels right: the thumb centres on the pointer's pixel.
    Press(44 + 12);
    EXPECT_EQ(slider->GetPos(), 40);
    EXPECT_EQ(Take(), std::vector<Notice>{Tracking(40)});
    Release(44 + 12);
    EXPECT_EQ(Take(), std::vector<Notice>{Settled(40)});
}

TEST_F(BitmapSliderTest, DraggingPastTheEnds) {
    Press(44);  // on the centre: the offset is 0
    Drag(10);
    Drag(-30);
    Drag(0);
    // Clamped to pixel 13, the centre of position 0: one notice only.
    EXPECT_EQ(Take(), std::vector<Notice>{Tracking(0)});
    Drag(60);
    EXPECT_EQ(Take(), std::vector<Notice>{Tracking(44)});
    // Past the right end the pointer is held at 119, while position 100 puts
    // the centre at 118: every move posts again.
    Drag(150);
    Drag(160);
    Drag(400);
    EXPECT_EQ(Take(), (std::vector<Notice>{Tracking(100), Tracking(100), Tracking(100)}));
    Release(400);
    Drag(10);  // no longer dragging
    EXPECT_EQ(Take(), std::vector<Notice>{Settled(100)});
    EXPECT_EQ(slider->GetPos(), 100);
}

TEST_F(BitmapSliderTest, MovesWithoutAPressDoNothing) {
    Mouse(QEvent::MouseMove, 100, Qt::NoButton);
    Mouse(QEvent::MouseMove, 5, Qt::NoButton);
    EXPECT_EQ(slider->GetPos(), 30);
    EXPECT_TRUE(Take().empty());
}

TEST_F(BitmapSliderTest, KeysStepThroughSetPosThenSettle) {
    const struct {
        Qt::Key key;
        int from, to;
    } cases[] = {
        {Qt::Key_PageUp, 30, 10},  {Qt::Key_PageUp, 10, 0},     {Qt::Key_PageDown, 30, 50}, {Qt::Key_PageDown, 90, 100},
        {Qt::Key_End, 30, 100},    {Qt::Key_Home, 30, 0},       {Qt::Key_Home, 0, 0},       {Qt::Key_Left, 30, 29},
        {Qt::Key_Up, 30, 29},      {Qt::Key_Right, 30, 31},     {Qt::Key_Down, 30, 31},     {Qt::Key_Left, 0, 0},
        {Qt::Key_Right, 100, 100},
    };
    for (const auto& c : cases) {
        slider->SetPos(c.from);
        QTest::keyClick(slider, c.key);
        EXPECT_EQ(slider->GetPos(), c.to) << c.key << " from " << c.from;
        EXPECT_EQ(Take(), std::vector<Notice>{Settled(c.to)}) << c.key << " from " << c.from;
        // The arrow keys stay with the slider.
        EXPECT_TRUE(slider->hasFocus()) << c.key;
    }
    // Other keys are not the slider's.
    QTest::keyClick(slider, Qt::Key_A);
    EXPECT_TRUE(Take().empty());
    // Tab moves the focus on.
    QTest::keyClick(slider, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_TRUE(Take().empty());
}

class BitmapSliderPixels : public BitmapSliderTest {
protected:
    static QImage Bitmap(int id) { return ToColourBitmap(QImage(ArtworkPath(id))); }
    QImage Grab() const { return slider->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(BitmapSliderPixels, ChannelsThumbAndKeyColour) {
    const QImage channel = Bitmap(130), filled = Bitmap(131), thumb = Bitmap(132);
    ASSERT_EQ(channel.size(), QSize(132, 17));
    ASSERT_EQ(filled.size(), QSize(132, 17));
    ASSERT_EQ(thumb.size(), QSize(23, 11));
    ASSERT_EQ(Bitmap(133).size(), QSize(23, 11));
    const QImage shot = Grab();
    ASSERT_EQ(shot.size(), QSize(132, 17));
    // Position 30: the centre is at 44, the thumb covers x 33..55, y 3..13.
    const int left = 33, top = 3;
    int mismatches = 0;
    QString first;
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 132; ++x) {
            // Opaque channel: filled left of the centre, plain from it on.
            const QRgb track = Rgb((x < 44 ? filled : channel).pixel(x, y));
            const QPoint t(x - left, y - top);
            QRgb expected = track;
            // Transparent thumb: the key shows the track, the rest is the
            // thumb ANDed with RGB(216, 228, 248).
            if (thumb.rect().contains(t) && Rgb(thumb.pixel(t)) != 0xFF0000) expected = Rgb(thumb.pixel(t)) & 0xD8E4F8;
            if (Rgb(shot.pixel(x, y)) != expected && mismatches++ == 0)
                first = QStringLiteral("%1,%2: %3 instead of %4").arg(x).arg(y).arg(Rgb(shot.pixel(x, y)), 6, 16).arg(expected, 6, 16);
        }
    }
    EXPECT_EQ(mismatches, 0) << first.toStdString();
    // The key colour lies where the corners are, and the two channels differ
    // in the groove: the painted track is filled left of the thumb only.
    EXPECT_EQ(Rgb(thumb.pixel(0, 0)), 0xFF0000u);
    EXPECT_EQ(Rgb(thumb.pixel(1, 10)), 0xFF0000u);
    EXPECT_EQ(Rgb(thumb.pixel(22, 9)), 0xFF0000u);
    EXPECT_NE(Rgb(thumb.pixel(2, 0)), 0xFF0000u);
    EXPECT_NE(Rgb(thumb.pixel(1, 1)), 0xFF0000u);
    EXPECT_NE(Rgb(filled.pixel(20, 8)), Rgb(channel.pixel(20, 8)));
    EXPECT_EQ(Rgb(shot.pixel(20, 8)), Rgb(filled.pixel(20, 8)));
    EXPECT_EQ(Rgb(shot.pixel(70, 8)), Rgb(channel.pixel(70, 8)));
    // Around the track the channel has the panel's colour.
    EXPECT_EQ(Rgb(channel.pixel(0, 0)), 0xD8E4F8u);
    EXPECT_EQ(Rgb(filled.pixel(131, 16)), 0xD8E4F8u);
}

TEST_F(BitmapSliderPixels, ThePressedThumbShowsWhileDragging) {
    const QImage thumb = Bitmap(132), pressed = Bitmap(133);
    const QPoint middle(11, 5);  // of the thumb, at (44, 8) on the control
    ASSERT_NE(Rgb(thumb.pixel(middle)) & 0xD8E4F8, Rgb(pressed.pixel(middle)) & 0xD8E4F8);
    EXPECT_EQ(Rgb(Grab().pixel(44, 8)), Rgb(thumb.pixel(middle)) & 0xD8E4F8);
    Press(44);
    EXPECT_EQ(Rgb(Grab().pixel(44, 8)), Rgb(pressed.pixel(middle)) & 0xD8E4F8);
    Release(44);
    EXPECT_EQ(Rgb(Grab().pixel(44, 8)), Rgb(thumb.pixel(middle)) & 0xD8E4F8);
}

TEST(RasterOps, TheKeyColourIsTheTopLeftPixels) {
    // Green is the key here: whatever pixel (0, 0) holds.
    QImage thumb(3, 1, QImage::Format_RGB32);
    thumb.setPixel(0, 0, qRgb(0, 255, 0));
    thumb.setPixel(1, 0, qRgb(0, 255, 0));
    thumb.setPixel(2, 0, qRgb(255, 255, 255));
    const QImage mask = MakeThumbMask(thumb);
    EXPECT_EQ(mask.pixelIndex(0, 0), 1);
    EXPECT_EQ(mask.pixelIndex(2, 0), 0);
    EXPECT_EQ(Rgb(thumb.pixel(0, 0)), 0u);
    EXPECT_EQ(Rgb(thumb.pixel(2, 0)), 0xD8E4F8u);
    QImage target(4, 1, QImage::Format_RGB32);
    target.fill(qRgb(10, 20, 30));
    DrawTransparent(target, 1, 0, thumb, mask);
    EXPECT_EQ(Rgb(target.pixel(0, 0)), Rgb(qRgb(10, 20, 30)));
    EXPECT_EQ(Rgb(target.pixel(1, 0)), Rgb(qRgb(10, 20, 30)));
    EXPECT_EQ(Rgb(target.pixel(2, 0)), Rgb(qRgb(10, 20, 30)));
    EXPECT_EQ(Rgb(target.pixel(3, 0)), 0xD8E4F8u);
}

}  // namespace
