#pragma once
// The notification-area icon. Its activations reach the parent window as
// WM_TRAY_NOTIFY messages (wParam = icon id, lParam = WM_RBUTTONUP,
// WM_LBUTTONDBLCLK or NIN_BALLOONUSERCLICK); its menu's commands as WM_COMMAND.
// Where the desktop has no notification area Create fails and every other
// operation does nothing. The icon always has an image: a null one is replaced
// by the built-in skin's.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;

constexpr int WM_COMMAND = 0x0111;
constexpr int WM_LBUTTONUP = 0x0202;
constexpr int WM_LBUTTONDBLCLK = 0x0203;
constexpr int WM_RBUTTONUP = 0x0205;
constexpr int NIN_BALLOONUSERCLICK = 0x0405;

// Balloon icons.
constexpr int NIIF_NONE = 0;
constexpr int NIIF_INFO = 1;
constexpr int NIIF_WARNING = 2;
constexpr int NIIF_ERROR = 3;

// Field limits of the icon record, in characters.
constexpr int kTrayTipChars = 127;
constexpr int kTrayBalloonTextChars = 255;
constexpr int kTrayBalloonTitleChars = 63;

// A text cut to at most maxChars characters (code points), never splitting one.
QString CutToChars(const QString& text, int maxChars);

class CSystemTray : public QObject {
    Q_OBJECT
public:
    CSystemTray();
    ~CSystemTray() override;
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    bool Create(QWidget* parent, int callbackMessage, const QString& tip, const QIcon& icon, int id);
    void SetIcon(const QIcon& icon);
    void SetTooltipText(const QString& text);
    void ShowBalloon(const QString& text, const QString& title, int timeoutMs, int iconFlags);
    void RemoveIcon();
    // Handles the icon's own notifications; true when id is this icon's.
    bool OnTrayNotification(uintptr_t id, intptr_t message);
    // Opens the icon's menu (first item default and bold) at a screen position.
    void TrackMenu(const QPoint& globalPos);

    bool IsEnabled() const { return m_enabled; }
    // The image now shown (null when not enabled).
    QIcon Icon() const;
    int Id() const { return m_id; }
    // Where the icon is on the screen; empty when unknown.
    QRect Geometry() const;
    // The icon record's texts as last set (after cutting).
    QString TooltipText() const { return m_tip; }
    QString BalloonText() const { return m_balloonText; }
    QString BalloonTitle() const { return m_balloonTitle; }
    int BalloonTimeout() const { return m_balloonTimeout; }
    int BalloonIcon() const { return m_balloonIcon; }
    // The menu now open (or last opened), for inspection.
    QMenu* OpenMenu() const { return m_menu.get(); }

    // Whether a notification area exists (the dialog service answers).
    static bool IsAvailable();

private:
    void Notify(intptr_t message);

    bool m_enabled = false;
    QPointer<QWidget> m_parent;
    int m_message = 0;
    int m_id = 0;
    QString m_tip, m_balloonText, m_balloonTitle;
    int m_balloonTimeout = 0;
    int m_balloonIcon = NIIF_NONE;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
};
