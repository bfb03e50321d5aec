// The calendar drop-down of the two date boxes: where it opens, what a
// picked day writes, and what leaves the field alone.

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionToolButton>
#include <QTableView>
#include <QToolButton>
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
            if (qEnvironmentVariableIsSet("TMPSHOT")) picker->grab().save(qEnvironmentVariable("TMPSHOT"));
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

namespace {

QToolButton* MonthButton(CalenderDlg* p) {
    return p->MonthCalendar()->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
}

// Runs act on the picker of the start-date box.
void WithPicker(QComboBox* box, std::function<void(CalenderDlg*)> act) {
    bool opened = false;
    WhenOpen<CalenderDlg>([&](CalenderDlg* picker) {
        opened = true;
        act(picker);
        if (picker->isVisible()) picker->reject();
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, DropDownPoint(box));
    EXPECT_TRUE(opened);
}

}  // namespace

TEST_F(CalendarTest, MonthAndWeekdayNamesAreChinese) {
    WithPicker(Box(1013), [](CalenderDlg* p) {
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        p->MonthCalendar()->setCurrentPage(2017, 3);
        QTest::qWait(20);
        ASSERT_NE(MonthButton(p), nullptr);
        EXPECT_EQ(MonthButton(p)->text(), QStringLiteral("三月"));
        auto* view = p->MonthCalendar()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        ASSERT_NE(view, nullptr);
        QStringList header;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            header << view->model()->index(0, c).data(Qt::DisplayRole).toString();
        EXPECT_TRUE(header.contains(QStringLiteral("周一"))) << header.join(' ').toStdString();
        EXPECT_TRUE(header.contains(QStringLiteral("周日"))) << header.join(' ').toStdString();
        EXPECT_EQ(p->MonthCalendar()->locale(), chinese);
    });
}

TEST_F(CalendarTest, TheMonthArrowKeepsClearOfTheMonthName) {
    WithPicker(Box(1013), [](CalenderDlg* p) {
        QToolButton* button = MonthButton(p);
        ASSERT_NE(button, nullptr);
        QStyleOptionToolButton option;
        option.initFrom(button);
        const int arrow = button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button);
        for (int month = 1; month <= 12; ++month) {
            p->MonthCalendar()->setCurrentPage(2017, month);
            QTest::qWait(1);
            // The name is centred; the arrow is drawn from mbi - 5 pixels left
            // of the right edge (the common style's corner arrow).
            const int text = button->fontMetrics().horizontalAdvance(button->text());
            const int nameRight = (button->width() - text) / 2 + text;
            const int arrowLeft = button->width() + 4 - arrow;
            EXPECT_LT(nameRight, arrowLeft) << month << " " << button->text().toStdString();
        }
    });
}

TEST_F(CalendarTest, TheFirstClickAfterTypingAYearPicksTheDay) {
    SetText(1013, QStringLiteral("old"));
    int month = 0;
    WithPicker(Box(1013), [&](CalenderDlg* p) {
        QCalendarWidget* calendar = p->MonthCalendar();
        month = calendar->monthShown();
        auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
        auto* yearEdit = calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
        auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        ASSERT_TRUE(year && yearEdit && view);
        QTest::mouseClick(year, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return yearEdit->hasFocus(); }));
        QTest::keyClicks(yearEdit, QStringLiteral("2015"));
        // Day 15 is shown once, always in the month itself.
        QModelIndex fifteenth;
        for (int r = 1; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c)
                if (view->model()->index(r, c).data().toString() == QStringLiteral("15")) fifteenth = view->model()->index(r, c);
        ASSERT_TRUE(fifteenth.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(fifteenth).center());
        EXPECT_TRUE(WaitFor([&] { return !p->isVisible(); }));
    });
    EXPECT_EQ(Text(1013), QStringLiteral("2015-%1-15").arg(month, 2, 10, QChar(u'0')));
}
