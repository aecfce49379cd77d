#pragma once
// Every modal dialog and message box of the program runs through here, and the program asks
// here whether the desktop has a notification area: the one seam tests answer instead of a
// person (a test installs its own service; null puts the desktop's back).

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

class CDialogService {
public:
    virtual ~CDialogService() = default;
    // Runs a dialog modally and returns its result. It blocks only its own window (the tray
    // keeps working) and has no minimise button.
    virtual int RunModal(QDialog& dialog);
    // A message box with the product name as caption; returns the button pressed.
    virtual int MessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                           QMessageBox::Icon icon, QMessageBox::StandardButton defaultButton);
    // Whether the desktop shows a notification area.
    virtual bool SystemTrayAvailable();
};

void SetDialogService(CDialogService* service);
CDialogService& DialogService();

inline int RunModal(QDialog& dialog) { return DialogService().RunModal(dialog); }
// Information for an OK-only box, question when Yes is offered.
int ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
