// The calendar drop-down of the two date boxes: where it opens, what a
// picked day writes, and what leaves the field alone.

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "controls/CalenderDlg.h"
#include "tests/app/CalendarDriver.h"
#include "tests/app/WindowFixture.h"

class CalendarTest : public WindowTest {
protected:
    QComboBox* Box(int id) const { return qobject_cast<QComboBox*>(Ctl(id)); }
};

TEST_F(CalendarTest, OpensUnderTheBoxAndItsListStaysShut) {
    for (int id : {1013, 1014}) {
        QComboBox* box = Box(id);
        bool opened = false;
        WhenOpen<CalenderDlg>([&](CalenderDlg* picker) {
            opened = true;
            EXPECT_EQ(picker->pos(), box->mapToGlobal(QPoint(0, box->height()))) << id;
            const QSize calendar = picker->MonthCalendar()->size();
            EXPECT_EQ(picker->size(), QSize(calendar.width(), calendar.height() + 35)) << id;
            // The exit button sits in the middle of the strip under the calendar.
            const QRect exit = picker->ExitButton()->geometry();
            EXPECT_EQ(exit.x(), calendar.width() / 2 - exit.width() / 2) << id;
            EXPECT_EQ(exit.y(), calendar.height() - exit.height() / 2 + 17) << id;
            EXPECT_EQ(picker->ExitButton()->text(), QStringLiteral("退出"));
            EXPECT_TRUE(picker->windowFlags() & Qt::FramelessWindowHint);
            // The calendar has the focus.
            EXPECT_TRUE(picker->focusWidget() && picker->MonthCalendar()->isAncestorOf(picker->focusWidget()));
            EXPECT_FALSE(box->view()->isVisible()) << id;
            picker->reject();
        });
        QTest::mouseClick(box, Qt::LeftButton, {}, DropDownPoint(box));
        EXPECT_TRUE(opened) << id;
        EXPECT_FALSE(box->view()->isVisible()) << id;
    }
}

TEST_F(CalendarTest, PickingADayWritesItAsYearMonthDay) {
    const struct {
        int id;
        QDate day;
        const char* text;
    } cases[] = {
        {1013, QDate(2017, 3, 5), "2017-03-05"},
        {1014, QDate(2018, 12, 31), "2018-12-31"},
        // Before 1970 the day is written as picked.
        {1013, QDate(1969, 12, 31), "1969-12-31"},
        {1014, QDate(1905, 7, 1), "1905-07-01"},
    };
    for (const auto& c : cases) {
        SetText(c.id, QStringLiteral("old"));
        PickDay(Box(c.id), c.day);
        EXPECT_EQ(Text(c.id), QString::fromUtf8(c.text));
        EXPECT_EQ(OpenModal(), nullptr);
    }
    // The other box is not touched.
    SetText(1014, QStringLiteral("other"));
    PickDay(Box(1013), QDate(2016, 2, 29));
    EXPECT_EQ(Text(1013), QStringLiteral("2016-02-29"));
    EXPECT_EQ(Text(1014), QStringLiteral("other"));
}

TEST_F(CalendarTest, ExitEscapeAndMonthScrollingLeaveTheFieldAlone) {
    const struct {
        const char* how;
        std::function<void(CalenderDlg*)> close;
    } cases[] = {
        {"exit button", [](CalenderDlg* p) { QTest::mouseClick(p->ExitButton(), Qt::LeftButton); }},
        {"escape", [](CalenderDlg* p) { QTest::keyClick(p->focusWidget(), Qt::Key_Escape); }},
        {"enter", [](CalenderDlg* p) { QTest::keyClick(p->focusWidget(), Qt::Key_Return); }},
        {"enter on the frame", [](CalenderDlg* p) { QTest::keyClick(p, Qt::Key_Enter); }},
        {"scroll, then exit",
         [](CalenderDlg* p) {
             p->MonthCalendar()->showNextMonth();
             p->MonthCalendar()->showPreviousYear();
             QTest::qWait(50);
             EXPECT_TRUE(p->isVisible());
             QTest::mouseClick(p->ExitButton(), Qt::LeftButton);
         }},
    };
    for (const auto& c : cases) {
        SetText(1013, QStringLiteral("2017-01-02"));
        bool opened = false;
        WhenOpen<CalenderDlg>([&](CalenderDlg* picker) {
            opened = true;
            c.close(picker);
        });
        QTest::mouseClick(Box(1013), Qt::LeftButton, {}, DropDownPoint(Box(1013)));
        EXPECT_TRUE(opened) << c.how;
        EXPECT_TRUE(WaitFor([] { return OpenModal() == nullptr; })) << c.how;
        EXPECT_EQ(Text(1013), QStringLiteral("2017-01-02")) << c.how;
    }
}

TEST_F(CalendarTest, AClickInTheEditPartLetsTheUserType) {
    QComboBox* box = Box(1013);
    bool opened = false;
    QTimer::singleShot(200, [&] {
        if (auto* picker = qobject_cast<CalenderDlg*>(OpenModal())) {
            opened = true;
            picker->reject();
        }
    });
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(300);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(dlg->focusWidget() == box || dlg->focusWidget() == box->lineEdit()) << (dlg->focusWidget() ? dlg->focusWidget()->metaObject()->className() : "none");
    QTest::keyClicks(box->lineEdit(), QStringLiteral("2017-3-5"));
    EXPECT_EQ(Text(1013), QStringLiteral("2017-3-5"));
}
