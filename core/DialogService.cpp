#include "core/DialogService.h"

#include "core/StringTable.h"

#include <QDialog>
#include <QSystemTrayIcon>

namespace {
CDialogService g_desktop;
CDialogService* g_service = nullptr;

// A modal dialog blocks only the window it belongs to, so the tray icon and its menu keep
// working while it is open; and it offers no minimise button (minimising a dialog would take
// its window along) nor a maximise button unless it asks for one.
void PrepareModal(QDialog& dialog)
{
    if (dialog.parentWidget() && dialog.windowModality() == Qt::NonModal)
        dialog.setWindowModality(Qt::WindowModal);
    Qt::WindowFlags flags = dialog.windowFlags();
    if (!flags.testFlag(Qt::CustomizeWindowHint))
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags &= ~Qt::WindowMinimizeButtonHint;
    if (flags != dialog.windowFlags())
        dialog.setWindowFlags(flags);
}
}  // namespace

int CDialogService::RunModal(QDialog& dialog)
{
    PrepareModal(dialog);
    return dialog.exec();
}

int CDialogService::MessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                               QMessageBox::Icon icon, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, LoadStr(102), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    PrepareModal(box);
    return box.exec();
}

bool CDialogService::SystemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SetDialogService(CDialogService* service)
{
    g_service = service;
}

CDialogService& DialogService()
{
    return g_service ? *g_service : g_desktop;
}

int ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton)
{
    const QMessageBox::Icon icon = buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Question : QMessageBox::Information;
    return DialogService().MessageBox(parent, text, buttons, icon, defaultButton);
}
