#include "core/DialogService.h"

#include "core/SkinSections.h"
#include "core/StringTable.h"

#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

namespace {
CDialogService g_desktop;
CDialogService* g_service = nullptr;

// Icons and types of the listed files by their names alone. Left to itself the file dialog
// opens files to look at their content, and closing any descriptor of the user store drops the
// store's own file locks (they belong to the process, not to the descriptor): another program
// could then checkpoint and remove the store's log under it and lose what it writes next.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileIconProvider::icon(QAbstractFileIconProvider::Folder);
        const QMimeType mime = m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
        return QIcon::fromTheme(mime.iconName(), QFileIconProvider::icon(QAbstractFileIconProvider::File));
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }

private:
    QMimeDatabase m_types;
};
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

QString CDialogService::SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                     const QStringList& filters, int* filterIndex)
{
    // Started in the suggested folder, so the working folder (perhaps the program's) is not listed.
    const QFileInfo start(suggested);
    NameOnlyIconProvider icons;  // outlives the dialog that uses it
    QFileDialog dialog(parent, caption, start.isAbsolute() ? start.absolutePath() : QString());
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller adds the extension first and then asks about the file it will really write.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    const int first = filterIndex ? *filterIndex : 0;
    if (first >= 0 && first < filters.size())
        dialog.selectNameFilter(filters[first]);
    dialog.selectFile(start.isAbsolute() ? start.fileName() : suggested);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (filterIndex)
        *filterIndex = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}

QStringList FileDialogFilters(const QString& filterText)
{
    // Pairs of description and pattern; an empty description ends the list.
    const QStringList parts = filterText.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].trimmed().isEmpty(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // Qt takes the patterns from the parentheses at the end of the description.
        const QString patterns = QString(pattern).replace(u';', u' ');
        if (!pattern.isEmpty() && !description.endsWith(QStringLiteral("(%1)").arg(pattern)))
            description += QStringLiteral(" (%1)").arg(patterns);
        filters << description;
    }
    return filters;
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
