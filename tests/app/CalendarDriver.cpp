#include "tests/app/CalendarDriver.h"

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>

#include "controls/CalenderDlg.h"
#include "tests/app/GuiTest.h"

QPoint DropDownPoint(QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    option.subControls = QStyle::SC_All;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box).center();
}

void ClickDay(CalenderDlg* picker, QDate day) {
    QCalendarWidget* calendar = picker->MonthCalendar();
    calendar->setCurrentPage(day.year(), day.month());
    calendar->setSelectedDate(day);
    auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(view, nullptr);
    const QRect cell = view->visualRect(view->currentIndex());
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

void PickDay(QComboBox* box, QDate day) {
    bool picked = false;
    WhenOpen<CalenderDlg>([&](CalenderDlg* picker) {
        ClickDay(picker, day);
        picked = true;
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, DropDownPoint(box));
    EXPECT_TRUE(picked);
}
