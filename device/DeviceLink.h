#pragma once
// The device link: what the program knows of the connected pedometer and what its arrival and
// removal lead to. It owns the device number, the device record (g_pDeviceUser points into it),
// the new-user-pending flag, the dialog opened for the pedometer and the timers 51, 52 and 91.
// The main window hands it the device library's messages 0x715, 0x716 and 0x717 and the
// balloon click; it talks back to the shell through IMainWindow (core/MainWindowApi.h).

#include "core/DeviceLinkApi.h"
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

class CDeviceLink : public QObject, public IDeviceLink {
    Q_OBJECT
public:
    explicit CDeviceLink(QObject* parent = nullptr);
    ~CDeviceLink() override;
    CDeviceLink(const CDeviceLink&) = delete;
    CDeviceLink& operator=(const CDeviceLink&) = delete;

    // The device library's messages and the tray balloon's click.
    void OnDeviceArrived(int number);
    void OnDeviceBlank();
    void OnDeviceRemoved();
    void OnBalloonClicked();

    // Logs the pedometer's user in with the record's stored digest (the pedometer is the key):
    // the logged-in record becomes a copy of the device record and the main window shows the
    // user pages. USER_Login's result; nothing happens on any result but 1.
    int LoginAsDeviceUser();

    // IDeviceLink
    bool WriteProfile(const UserRecord& user) override;
    void DeviceUserCreated(const UserRecord& user) override;

    int DeviceNumber() const { return m_nDeviceNumber; }
    const UserRecord* DeviceUser() const { return g_pDeviceUserIsOurs() ? &m_deviceUser : nullptr; }
    bool NewUserPending() const { return m_bNewUserPending; }
    QDialog* OpenDeviceDialog() const { return m_openDeviceDialog; }

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

    int m_nDeviceNumber = 0;
    UserRecord m_deviceUser{};
    bool m_bNewUserPending = false;
    QPointer<QDialog> m_openDeviceDialog;
    std::map<int, QBasicTimer> m_timers;
};
