#pragma once
// Controls carry their resource number in the dynamic property "ctrlId";
// GetDlgItem finds a control of a dialog by that number.

#include <QString>

class QWidget;

void SetCtrlId(QWidget* control, int id);
int CtrlId(const QWidget* control);  // 0 when none
// The first descendant of parent (breadth-first: direct children first) carrying the number.
QWidget* GetDlgItem(QWidget* parent, int id);
template <class T>
T* GetDlgItemAs(QWidget* parent, int id) { return qobject_cast<T*>(GetDlgItem(parent, id)); }

// The text of a label, button, line edit, group box or window, as SetWindowText/GetWindowText did.
void SetWindowText(QWidget* w, const QString& text);
QString GetWindowText(const QWidget* w);
