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

bool ClickDay(CalenderDlg* picker, QDate day) {
    QCalendarWidget* calendar = picker->MonthCalendar();
    calendar->setCurrentPage(day.year(), day.month());
    calendar->setSelectedDate(day);
    auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    if (!view) return false;
    const QRect cell = view->visualRect(view->currentIndex());
    if (!cell.isValid()) return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    return true;
}

void PickDay(QComboBox* box, QDate day) {
    bool picked = false;
    WhenOpen<CalenderDlg>([&](CalenderDlg* picker) {
        picked = ClickDay(picker, day);
        if (!picked) picker->reject();
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, DropDownPoint(box));
    EXPECT_TRUE(picked);
}
