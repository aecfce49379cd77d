#pragma once
// The program's only top-level window: hosts one page at a time (start-up
// picture, login page, user page), wears the window skin, owns the tray icon,
// opens and closes the user store and the device library, and receives the
// device library's messages.

#include "app/SystemTray.h"
#include "core/MainWindowApi.h"
#include "external/records/Records.h"

#include <QBasicTimer>
#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class CDeviceLink;
class QEventLoop;

// The main window's own timer (one-shot); the pedometer's timers belong to the device link.
constexpr int kTimerStartup = 1;

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

    bool HasUserPage() const override { return m_userPage != nullptr; }
    bool HasTrayIcon() const override { return m_tray.IsEnabled(); }
    void SetTrayImage(const QIcon& icon) override { m_tray.SetIcon(icon); }
    void ShowTrayBalloon(const QString& title, const QString& text, int timeoutMs) override;
    void CreateUserForDevice() override;

    // The device link; it lives until the window is torn down.
    CDeviceLink& DeviceLink() { return *m_deviceLink; }
    CSystemTray& Tray() { return m_tray; }
    // Takes a shown balloon away.
    void HideBalloon();
    // Whether the window's own timer (1, the start-up picture) is running.
    bool IsTimerActive(int id) const { return id == kTimerStartup && m_startupTimer.isActive(); }

    QWidget* CurrentPage() const { return m_currentPage; }
    QWidget* PicturePage() const { return m_picturePage; }
    QWidget* LoginPage() const { return m_loginPage; }
    QWidget* UserPage() const { return m_userPage; }
    bool InitFailed() const { return m_initFailed; }
    const QStringList& SkinPiecesFromBuiltin() const { return m_missingSkinPieces; }
    bool DeviceLibraryStarted() const { return m_usbStarted; }

signals:
    // The window moved: the user page passes it on to its toolbar strip.
    void MainWindowMoved();

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    virtual bool OnInitDialog();

private:
    void OnTrayNotify(uintptr_t id, intptr_t message);
    void OnCommand(int id);
    bool OnSysCommand(int command);
    void ShowRestored();
    void EndStartupPicture();
    void FinishStartup();
    void Fade(bool in, const std::function<void()>& then);
    // Makes page the current one, sizes the window around it and centres the window on the
    // screen, shrunk to fit it but not below minimum unless the screen is smaller.
    void HostPage(QWidget* page, QSize minimum = QSize(0, 0));
    // The screen area the window may use (its screen's available area less any frame).
    QRect AvailableArea() const;
    // Centres the window, or moves it into the area, shrinking it where it must.
    void PlaceOnScreen(bool centre, QSize minimum = QSize());
    void SetTrayTip(int stateString);
    void DestroyWindow();
    void PostNcDestroy();

    std::unique_ptr<CDeviceLink> m_deviceLink;
    CSystemTray m_tray;
    Qt::WindowFlags m_savedFlags;
    QPointer<QWidget> m_currentPage;
    QPointer<QWidget> m_picturePage, m_loginPage, m_userPage;

    QBasicTimer m_startupTimer;  // timer 1
    QEventLoop* m_loop = nullptr;
    bool m_initDone = false;
    bool m_initFailed = false;
    bool m_usbStarted = false;
    bool m_destroyed = false;
    QString m_initError;
    QStringList m_missingSkinPieces;  // pieces of the chosen skin that the built-in one stands in for
};
