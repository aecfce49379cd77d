#pragma once
// The device link: what the program knows of the connected pedometer and what its arrival and
// removal lead to. It owns the device number, the device record (g_pDeviceUser points into it),
// the new-user-pending flag, the dialog opened for the pedometer and the timers 51, 52 and 91.
// The main window hands it the device library's messages 0x715, 0x716 and 0x717 and the
// balloon click; it talks back to the shell through IMainWindow (core/MainWindowApi.h).

#include "core/DeviceLinkApi.h"
#include "device/DeviceImport.h"
#include "external/records/Records.h"

#include <QBasicTimer>
#include <QDialog>
#include <QObject>
#include <QPointer>

#include <map>

// Timers of the device link (all one-shot), numbered as the main window's were.
constexpr int kTimerDeviceFound = 51;
constexpr int kTimerCreateUserForDevice = 52;
constexpr int kTimerHideBalloon = 91;

// How long a pedometer balloon shows.
constexpr int kDeviceBalloonMs = 10000;

// Results of the device-found dialog.
constexpr int kFoundNothing = 1;
constexpr int kFoundLogin = 2;
constexpr int kFoundRead = 3;
constexpr int kFoundSync = 4;

// Balloon texts: a known user's number and name, with the import's line; a number without account.
QString KnownDeviceBalloonText(const UserRecord& user, const ImportCounts& counts);
QString UnknownDeviceBalloonText(int number);

class CDeviceLink : public QObject, public IDeviceLink {
    Q_OBJECT
public:
    explicit CDeviceLink(QObject* parent = nullptr);
    ~CDeviceLink() override;
    CDeviceLink(const CDeviceLink&) = delete;
    CDeviceLink& operator=(const CDeviceLink&) = delete;

    // The running device link, or null.
    static CDeviceLink* Current();

    // The device library's messages and the tray balloon's click.
    void OnDeviceArrived(int number);
    void OnDeviceBlank();
    void OnDeviceRemoved();
    void OnBalloonClicked();

    // Logs the pedometer's user in with the record's stored digest (the pedometer is the key):
    // the logged-in record becomes a copy of the device record and the main window shows the
    // user pages. USER_Login's result; nothing happens on any result but 1.
    int LoginAsDeviceUser();

    // Carries out a result of the device-found dialog: log in, read new data or synchronise the
    // profile (anything else: nothing). The read and sync dialogs of a registered run close when
    // the pedometer is removed. False when nothing was done (also when the pedometer is gone).
    bool CarryOut(int result, bool registered, QWidget* parent);

    // IDeviceLink
    bool WriteProfile(const UserRecord& user) override;
    // A created account that the pedometer holds (its number, or one just written into it) gets
    // the pedometer's days at once.
    void DeviceUserCreated(const UserRecord& user) override;

    int DeviceNumber() const { return m_nDeviceNumber; }
    const UserRecord* DeviceUser() const { return g_pDeviceUserIsOurs() ? &m_deviceUser : nullptr; }
    bool NewUserPending() const { return m_bNewUserPending; }
    QDialog* OpenDeviceDialog() const { return m_openDeviceDialog; }
    // What the last import of a pedometer's days did.
    ImportCounts LastImport() const { return m_lastImport; }

    // Starts a timer anew (a running one is not stacked) / stops it.
    void RestartTimer(int id, int ms);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;

signals:
    void DeviceArrived(int number);
    void BlankDeviceArrived();
    void DeviceRemoved();

protected:
    void timerEvent(QTimerEvent* e) override;
    virtual void OnTimer(int id);

private:
    bool g_pDeviceUserIsOurs() const;
    // Runs a dialog for the connected pedometer, registered so that a removal closes it.
    int RunDeviceDialog(QDialog& dialog);
    // Timer 51: the remembered choice, or the device-found dialog.
    void OnDeviceFound();
    // Stores the pedometer's days for the device user and shows the arrival balloon.
    void ImportAndAnnounce();
    void ShowBalloon(const QString& title, const QString& text);
    void SetTrayImage(const QString& iconFile);

    int m_nDeviceNumber = 0;
    UserRecord m_deviceUser{};
    bool m_bNewUserPending = false;
    int m_nWrittenNumber = 0;  // the number last written into the connected pedometer
    ImportCounts m_lastImport;
    QPointer<QDialog> m_openDeviceDialog;
    std::map<int, QBasicTimer> m_timers;
};

// The parent of a dialog for the pedometer: the main window while it shows, else none.
QWidget* DeviceDialogParent();

// The toolbar's pedometer command: the device-found dialog (always asking; it offers to forget a
// remembered choice) and what the choice leads to; without a connected pedometer, a message.
// True when new data was read: the caller reloads its chart page.
bool RunPedometerCommand(QWidget* parent);
