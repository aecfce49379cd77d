#include "device/DeviceLink.h"

#include "core/DialogService.h"
#include "core/Globals.h"
#include "core/MainWindowApi.h"
#include "device/DeviceProgress.h"
#include "device/ProfileWrite.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <QTimerEvent>

IDeviceLink* g_pDeviceLink = nullptr;

CDeviceLink::CDeviceLink(QObject* parent) : QObject(parent)
{
    g_pDeviceLink = this;
}

CDeviceLink::~CDeviceLink()
{
    if (g_pDeviceUserIsOurs())
        g_pDeviceUser = nullptr;
    if (g_pDeviceLink == this)
        g_pDeviceLink = nullptr;
}

bool CDeviceLink::g_pDeviceUserIsOurs() const
{
    return g_pDeviceUser == &m_deviceUser;
}

void CDeviceLink::OnDeviceArrived(int number)
{
    m_nDeviceNumber = number;
    m_deviceUser = UserRecord{};
    if (USER_GetUser(number, m_deviceUser) != 1) {
        // No account has this number: the record is built from what the pedometer holds.
        m_deviceUser = UserRecord{};
        m_deviceUser.number = number;
        USB_GetSHW(m_deviceUser.sex, m_deviceUser.height, m_deviceUser.weight, m_deviceUser.age, 1);
        int32_t hour = 0, minute = 0, second = 0;
        USB_GetAlarmClock(hour, minute, second);
        m_deviceUser.alarm = MakeAlarmTime(hour, minute, 0);
        USB_GetDayTargetCalorie(m_deviceUser.targetCalories);
        m_bNewUserPending = true;
    }
    g_pDeviceUser = &m_deviceUser;
    emit DeviceArrived(number);
}

void CDeviceLink::OnDeviceBlank()
{
    m_deviceUser = UserRecord{};
    m_deviceUser.number = kBlankDeviceId;
    g_pDeviceUser = &m_deviceUser;
    emit BlankDeviceArrived();
}

void CDeviceLink::OnDeviceRemoved()
{
    ClearDeviceProgress();
    if (g_pDeviceUserIsOurs())
        g_pDeviceUser = nullptr;
    m_nDeviceNumber = 0;
    m_bNewUserPending = false;
    if (m_openDeviceDialog) {
        // Closed as by its Cancel, once the current handler has returned.
        QMetaObject::invokeMethod(m_openDeviceDialog.data(), &QWidget::close, Qt::QueuedConnection);
        m_openDeviceDialog = nullptr;
    }
    emit DeviceRemoved();
}

void CDeviceLink::OnBalloonClicked()
{
    if (m_bNewUserPending)
        m_bNewUserPending = false;
}

int CDeviceLink::LoginAsDeviceUser()
{
    if (!g_pDeviceUserIsOurs())
        return USER_ERR_NOT_FOUND;
    UserRecord user{};
    const int result = USER_Login(RecordName(m_deviceUser), RecordPassword(m_deviceUser), user);
    if (result != 1)
        return result;
    SetLoginUser(user);
    if (g_pMainWindow)
        g_pMainWindow->ShowUserPages(*g_pLoginUser, QString());
    return result;
}

bool CDeviceLink::WriteProfile(const UserRecord& user)
{
    return WriteProfileSequence(user, LibraryDeviceWriteOps());
}

void CDeviceLink::DeviceUserCreated(const UserRecord& user)
{
    if (!g_pDeviceUserIsOurs())
        return;
    m_deviceUser = user;
    m_nDeviceNumber = user.number;
    m_bNewUserPending = false;
}

int CDeviceLink::RunDeviceDialog(QDialog& dialog)
{
    m_openDeviceDialog = &dialog;
    const int result = RunModal(dialog);
    m_openDeviceDialog = nullptr;
    return result;
}

void CDeviceLink::RestartTimer(int id, int ms)
{
    m_timers[id].start(ms, this);
}

void CDeviceLink::KillTimer(int id)
{
    if (auto it = m_timers.find(id); it != m_timers.end())
        it->second.stop();
}

bool CDeviceLink::IsTimerActive(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second.isActive();
}

void CDeviceLink::timerEvent(QTimerEvent* e)
{
    for (auto& [id, timer] : m_timers) {
        if (timer.timerId() == e->timerId()) {
            timer.stop();  // every timer here fires once
            OnTimer(id);
            return;
        }
    }
    QObject::timerEvent(e);
}

void CDeviceLink::OnTimer(int id)
{
    if (g_pMainWindow && (id == kTimerDeviceFound || id == kTimerCreateUserForDevice || id == kTimerHideBalloon))
        g_pMainWindow->ShowTrayBalloon(QString(), QString(), 10000);  // takes the balloon away
}
