#pragma once
// Every modal dialog and message box of the program runs through here, and the program asks
// here whether the desktop has a notification area: the one seam tests answer instead of a
// person (a test installs its own service; null puts the desktop's back).

#include <QMessageBox>
#include <QString>
#include <QStringList>

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
    // A save-file dialog starting at `suggested` (a path or a bare name) with the filters in
    // Qt's form ("Text (*.txt)"), the one at *filterIndex chosen first. Returns the path the
    // person chose, as typed (nothing added, nothing asked about an existing file), or an
    // empty text when cancelled; *filterIndex becomes the filter chosen last.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QStringList& filters, int* filterIndex);
};

void SetDialogService(CDialogService* service);
CDialogService& DialogService();

inline int RunModal(QDialog& dialog) { return DialogService().RunModal(dialog); }
// The filters of a string-table filter text "Description(*.ext)|*.ext|...||" in Qt's form.
QStringList FileDialogFilters(const QString& filterText);
// Information for an OK-only box, question when Yes is offered.
int ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
