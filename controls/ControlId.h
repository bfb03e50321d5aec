#pragma once
// Every control of a dialog carries its numeric id, so that code and tests can
// find it the way the dialog's tables name it.

#include <QWidget>

// Gives widget the id.
void SetControlId(QWidget* widget, int id);

// The id of widget; 0 when it has none.
int ControlIdOf(const QObject* object);

// The control with the id among root's descendants; nullptr when there is none.
QWidget* FindControl(const QWidget* root, int id);
