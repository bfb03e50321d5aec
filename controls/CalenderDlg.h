#pragma once
// The date picker of the query panel: a month calendar that opens under a
// date field of the player window. Picking a day closes it with OK and the
// day in PickedDay(), for the caller to write into the field as FormatDay
// gives it; the exit button, Enter and Escape close it with no day picked.

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QPushButton;
class QSpinBox;

class CalenderDlg : public QDialog {
    Q_OBJECT
public:
    // Opens under field, a control of parent.
    CalenderDlg(QWidget* parent, QWidget* field);

    // The day picked; invalid when the picker was closed without one.
    QDate PickedDay() const { return m_picked; }

    QCalendarWidget* MonthCalendar() const { return m_calendar; }
    QPushButton* ExitButton() const { return m_btnExit; }

    // Text written for a picked day: four-digit year, two-digit month and
    // day. Days before 1970 are written as picked too.
    static QString FormatDay(const QDate& day);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Enter is the OK command, wherever the focus is.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sizes the calendar, puts the picker under the target control and centres
    // the exit button in the strip below the calendar.
    void OnInitDialog();
    void OnDaySelected(const QDate& day);
    // Widens the month button so that its drop-down arrow keeps clear of the
    // longest month name.
    void MakeRoomForTheMonthArrow();
    // Closes with OK after the events already queued, as a posted command does.
    void PostOk();

    QWidget* m_field;
    QDate m_picked;
    QCalendarWidget* m_calendar;
    QPushButton* m_btnExit;
    QSpinBox* m_yearEdit = nullptr;
    bool m_bLaidOut = false;
};
