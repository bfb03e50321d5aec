#pragma once
// Driving the calendar drop-down of a date box as the user does.

#include <QComboBox>
#include <QDate>

class CalenderDlg;

// The middle of the box's drop-down part, in the box's coordinates.
QPoint DropDownPoint(QComboBox* box);

// Clicks the day's cell in the picker's month calendar; false when the cell
// cannot be found.
bool ClickDay(CalenderDlg* picker, QDate day);

// Opens the picker with a click on box's drop-down part and clicks day in it.
void PickDay(QComboBox* box, QDate day);
