// A photograph of the top band and the playback panel on a real X server,
// with "刷新列表" hovered and Play pressed, left in the build folder for a
// person to look at. Runs only when TOLVAN_CONTROLS_SHOT names the picture.

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "controls/ButtonST.h"
#include "tests/app/WindowFixture.h"

TEST_F(WindowTest, ControlsScreenshot) {
    const QString out = qEnvironmentVariable("TOLVAN_CONTROLS_SHOT");
    if (out.isEmpty()) GTEST_SKIP() << "TOLVAN_CONTROLS_SHOT is not set";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    auto* refresh = qobject_cast<CButtonST*>(Ctl(1004));
    auto* play = qobject_cast<CButtonST*>(Ctl(1005));
    ASSERT_TRUE(refresh && play);
    const QPoint over = refresh->rect().center();
    QMouseEvent move(QEvent::MouseMove, QPointF(over), QPointF(refresh->mapToGlobal(over)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(refresh, &move);
    ASSERT_TRUE(refresh->IsHovered());
    play->setDown(true);
    QTest::qWait(500);
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 1024, 600).toImage();
    ASSERT_TRUE(shot.save(out));
    // What reached the screen: the raised frame of the hovered button and
    // the sunken frame of the pressed one.
    const QPalette system = QApplication::palette();
    const QPoint r = refresh->mapTo(dlg.get(), QPoint(0, 0)), p = play->mapTo(dlg.get(), QPoint(0, 0));
    EXPECT_EQ(QColor(shot.pixel(r)).rgb(), system.color(QPalette::Light).rgb());
    EXPECT_EQ(QColor(shot.pixel(p)).rgb(), system.color(QPalette::Dark).rgb());
    play->setDown(false);
}
