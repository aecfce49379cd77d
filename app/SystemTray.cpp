#include "app/SystemTray.h"

#include "core/DialogService.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "external/records/WndMessage.h"
#include "res/resource.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

QString CutToChars(const QString& text, int maxChars)
{
    if (maxChars <= 0)
        return {};
    int chars = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (chars == maxChars)
            return text.left(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++chars;
    }
    return text;
}

namespace {
// A notification-area icon always shows an image: a blank slot would look as if the program had gone.
QIcon WithImage(const QIcon& icon)
{
    return icon.isNull() ? LoadIconFile(BuiltinSkinFolder() + QStringLiteral("TrayIcon_Normal.ico")) : icon;
}
}  // namespace

bool CSystemTray::IsAvailable()
{
    return DialogService().SystemTrayAvailable();
}

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray()
{
    RemoveIcon();
}

bool CSystemTray::Create(QWidget* parent, int callbackMessage, const QString& tip, const QIcon& icon, int id)
{
    RemoveIcon();
    m_enabled = false;
    if (!IsAvailable() || !parent)
        return false;
    m_parent = parent;
    m_message = callbackMessage;
    m_id = id;
    m_tip = CutToChars(tip, kTrayTipChars);
    m_icon = std::make_unique<QSystemTrayIcon>();
    m_icon->setIcon(WithImage(icon));
    m_icon->setToolTip(m_tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Context: Notify(WM_RBUTTONUP); break;
        case QSystemTrayIcon::DoubleClick: Notify(WM_LBUTTONDBLCLK); break;
        case QSystemTrayIcon::Trigger: Notify(WM_LBUTTONUP); break;
        default: break;
        }
    });
    connect(m_icon.get(), &QSystemTrayIcon::messageClicked, this, [this] { Notify(NIN_BALLOONUSERCLICK); });
    m_icon->show();
    m_enabled = true;
    return true;
}

void CSystemTray::Notify(intptr_t message)
{
    if (m_parent)
        PostMessage(m_parent, m_message, static_cast<uintptr_t>(m_id), message);
}

void CSystemTray::SetIcon(const QIcon& icon)
{
    if (m_enabled)
        m_icon->setIcon(WithImage(icon));
}

void CSystemTray::SetTooltipText(const QString& text)
{
    if (!m_enabled)
        return;
    m_tip = CutToChars(text, kTrayTipChars);
    m_icon->setToolTip(m_tip);
}

void CSystemTray::ShowBalloon(const QString& text, const QString& title, int timeoutMs, int iconFlags)
{
    if (!m_enabled)
        return;
    m_balloonText = CutToChars(text, kTrayBalloonTextChars);
    m_balloonTitle = CutToChars(title, kTrayBalloonTitleChars);
    m_balloonTimeout = timeoutMs;
    m_balloonIcon = iconFlags;
    QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
    switch (iconFlags) {
    case NIIF_INFO: icon = QSystemTrayIcon::Information; break;
    case NIIF_WARNING: icon = QSystemTrayIcon::Warning; break;
    case NIIF_ERROR: icon = QSystemTrayIcon::Critical; break;
    default: break;
    }
    // Empty texts take a shown balloon away.
    m_icon->showMessage(m_balloonTitle, m_balloonText, icon, timeoutMs);
}

void CSystemTray::RemoveIcon()
{
    if (!m_enabled)
        return;
    m_menu.reset();
    m_icon->hide();
    m_icon.reset();
    m_enabled = false;
}

QIcon CSystemTray::Icon() const
{
    return m_enabled ? m_icon->icon() : QIcon();
}

QRect CSystemTray::Geometry() const
{
    return m_enabled ? m_icon->geometry() : QRect();
}

void CSystemTray::TrackMenu(const QPoint& globalPos)
{
    if (!m_enabled)
        return;
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    QAction* show = m_menu->addAction(LoadDlgText(IDR_TRAY_MENU, ID_TRAY_SHOWHIDE));
    show->setData(ID_TRAY_SHOWHIDE);
    QFont bold = show->font();
    bold.setBold(true);
    show->setFont(bold);
    m_menu->setDefaultAction(show);
    QAction* exit = m_menu->addAction(LoadDlgText(IDR_TRAY_MENU, ID_TRAY_EXIT));
    exit->setData(ID_TRAY_EXIT);
    connect(m_menu.get(), &QMenu::triggered, this, [this](QAction* a) {
        // Queued: the command may end the program, which must not happen under the menu.
        PostMessage(m_parent, WM_COMMAND, static_cast<uintptr_t>(a->data().toInt()));
    });
    m_menu->popup(globalPos);
}

bool CSystemTray::OnTrayNotification(uintptr_t id, intptr_t message)
{
    if (!m_enabled || id != static_cast<uintptr_t>(m_id))
        return false;
    if (message == WM_RBUTTONUP) {
        if (m_parent)
            m_parent->activateWindow();
        TrackMenu(QCursor::pos());
    } else if (message == WM_LBUTTONDBLCLK) {
        if (m_parent) {
            m_parent->activateWindow();
            SendMessage(m_parent, WM_COMMAND, ID_TRAY_SHOWHIDE);
        }
    }
    return true;
}
