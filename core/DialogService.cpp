#include "core/DialogService.h"

#include "core/SkinSections.h"
#include "core/StringTable.h"

#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QSystemTrayIcon>

namespace {
CDialogService g_desktop;
CDialogService* g_service = nullptr;

// Some window managers give every dialog a minimise button whatever it asks for, and minimise
// the dialog's whole window with it: a modal dialog that gets minimised is put back at once,
// and its window with it.
class CKeepShown : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && event->type() == QEvent::WindowStateChange && w->isMinimized()) {
            QTimer::singleShot(0, w, [w] {
                if (QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr; owner && owner->isMinimized())
                    owner->showNormal();
                w->showNormal();
            });
        }
        return false;
    }
};

// A modal dialog blocks only the window it belongs to, so the tray icon and its menu keep
// working while it is open; and it asks for no minimise button (minimising a dialog would take
// its window along) nor a maximise button unless it wants one.
void PrepareModal(QDialog& dialog)
{
    if (dialog.parentWidget() && dialog.windowModality() == Qt::NonModal)
        dialog.setWindowModality(Qt::WindowModal);
    Qt::WindowFlags flags = dialog.windowFlags();
    // A dialog in the skin's frame draws its own caption and buttons.
    if (flags.testFlag(Qt::FramelessWindowHint))
        flags = {};
    else if (!flags.testFlag(Qt::CustomizeWindowHint))
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags &= ~Qt::WindowMinimizeButtonHint;
    if (flags && flags != dialog.windowFlags())
        dialog.setWindowFlags(flags);
    const QString keeper = QStringLiteral("keepShown");
    if (!dialog.findChild<QObject*>(keeper, Qt::FindDirectChildrenOnly)) {
        auto* filter = new CKeepShown(&dialog);
        filter->setObjectName(keeper);
        dialog.installEventFilter(filter);
    }
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
    ApplyDialogSkin(&box);
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
