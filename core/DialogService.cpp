#include "core/DialogService.h"

#include "core/StringTable.h"

#include <QDialog>
#include <QSystemTrayIcon>

namespace {
CDialogService g_desktop;
CDialogService* g_service = nullptr;
}  // namespace

int CDialogService::RunModal(QDialog& dialog)
{
    return dialog.exec();
}

int CDialogService::MessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                               QMessageBox::Icon icon, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, LoadStr(102), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
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
