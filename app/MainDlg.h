#pragma once
// The program's only top-level window: hosts one page at a time (start-up
// picture, login page, user page), wears the window skin, owns the tray icon,
// opens and closes the user store and the device library, and receives the
// device library's messages.

#include "app/MainWindowApi.h"
#include "app/SystemTray.h"
#include "external/records/Records.h"

#include <QBasicTimer>
#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>

class QEventLoop;

// Timers of the main window (all one-shot).
constexpr int kTimerStartup = 1;
constexpr int kTimerDeviceFound = 51;
constexpr int kTimerCreateUserForDevice = 52;
constexpr int kTimerHideBalloon = 91;

// The window-rectangle animation between the window and the tray icon: the
// rectangle at t in [0, 1] from `from` to `to`.
QRect TrayAnimationRect(const QRect& from, const QRect& to, double t);

// The user store's connection string for a program folder.
QString UserConnectionString(const QString& appPath);

class CMainDlg : public QDialog, public IMainWindow {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Runs the window modally until EndDialog; then tears it down (pages, user
    // store, device library). Returns the end result.
    int DoModal();
    int exec() override { return DoModal(); }
    void EndDialog(int result);
    void done(int result) override { EndDialog(result); }
    void setVisible(bool visible) override;

    void ShowUserPages(const UserRecord& user, const QString& password) override;
    void ShowLoginPage() override;
    // 0: from the window towards the tray icon; 5: back. Nothing without a known icon position.
    void DrawTrayAnimation(int direction);

    // State used by the pedometer handling.
    int& DeviceNumber() { return m_nDeviceNumber; }
    UserRecord& DeviceUser() { return m_deviceUser; }
    bool& NewUserPending() { return m_bNewUserPending; }
    QPointer<QWidget>& OpenDeviceDialog() { return m_openDeviceDialog; }
    CSystemTray& Tray() { return m_tray; }
    // Starts a timer anew (a running one is not stacked) / stops it.
    void RestartTimer(int id, int ms);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    // Takes a shown balloon away.
    void HideBalloon();

    QWidget* CurrentPage() const { return m_currentPage; }
    QWidget* PicturePage() const { return m_picturePage; }
    QWidget* LoginPage() const { return m_loginPage; }
    QWidget* UserPage() const { return m_userPage; }
    bool InitFailed() const { return m_initFailed; }
    bool DeviceLibraryStarted() const { return m_usbStarted; }

    // Handlers of the pedometer messages and timers, filled in by the pedometer
    // handling; each receives this window.
    struct Hooks {
        std::function<void(CMainDlg&, int number)> deviceArrived;
        std::function<void(CMainDlg&)> deviceRemoved;
        std::function<void(CMainDlg&)> deviceBlank;
        std::function<void(CMainDlg&)> balloonClicked;
        std::function<void(CMainDlg&)> deviceFoundTimer;       // timer 51, after the balloon is hidden
        std::function<void(CMainDlg&)> createUserTimer;        // timer 52, after the balloon is hidden
    };
    static Hooks& DeviceHooks();

    // Start-up picture time and fade time (ms); tests shorten them.
    static void SetStartupTimings(int pictureMs, int fadeMs);

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    virtual bool OnInitDialog();
    virtual void OnDeviceArrived(int number);
    virtual void OnDeviceRemoved();
    virtual void OnDeviceBlank();
    virtual void OnBalloonClicked();
    virtual void OnDeviceFoundTimer();
    virtual void OnCreateUserForDeviceTimer();

private:
    void OnTimer(int id);
    void OnTrayNotify(uintptr_t id, intptr_t message);
    void OnCommand(int id);
    bool OnSysCommand(int command);
    void ShowRestored();
    void EndStartupPicture();
    void FinishStartup();
    void Fade(bool in, const std::function<void()>& then);
    // Makes page the current one, sizes the window around it and centres the window.
    void HostPage(QWidget* page);
    void CenterOnScreen();
    void SetTrayTip(int stateString);
    void DestroyWindow();
    void PostNcDestroy();

    int m_nDeviceNumber = 0;
    UserRecord m_deviceUser{};
    bool m_bNewUserPending = false;
    CSystemTray m_tray;
    Qt::WindowFlags m_savedFlags;
    QPointer<QWidget> m_currentPage;
    QPointer<QWidget> m_picturePage, m_loginPage, m_userPage;
    QPointer<QWidget> m_openDeviceDialog;

    std::map<int, QBasicTimer> m_timers;
    QEventLoop* m_loop = nullptr;
    bool m_initDone = false;
    bool m_initFailed = false;
    bool m_usbStarted = false;
    bool m_destroyed = false;
    QString m_initError;
};
