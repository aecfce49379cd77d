#include "device/DeviceLink.h"

#include "accounts/NewUserDlg.h"
#include "core/DeviceChoice.h"
#include "core/DialogService.h"
#include "core/Globals.h"
#include "core/MainWindowApi.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "core/Timings.h"
#include "device/DeviceFoundDlg.h"
#include "device/DeviceProgress.h"
#include "device/ProfileWrite.h"
#include "device/ReadDataDlg.h"
#include "device/SyncDlg.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <QIcon>
#include <QTimerEvent>
#include <QWidget>


QString KnownDeviceBalloonText(const UserRecord& user, const ImportCounts& counts)
{
    return QStringLiteral("%1: %2\r\n%3: %4\r\n%5")
        .arg(LoadStr(115), QString::number(user.number), LoadStr(116), QString::fromStdString(RecordName(user)),
             ImportSummary(counts));
}

QString UnknownDeviceBalloonText(int number)
{
    return QStringLiteral("%1: %2\r\n%3").arg(LoadStr(115), QString::number(number), LoadStr(218));
}

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

CDeviceLink* CDeviceLink::Current()
{
    return dynamic_cast<CDeviceLink*>(g_pDeviceLink);
}

bool CDeviceLink::g_pDeviceUserIsOurs() const
{
    return g_pDeviceUser == &m_deviceUser;
}

void CDeviceLink::ShowBalloon(const QString& title, const QString& text)
{
    // A new balloon is not taken away by the hide timer of the one it replaces.
    if (!text.isEmpty())
        KillTimer(kTimerHideBalloon);
    if (g_pMainWindow)
        g_pMainWindow->ShowTrayBalloon(title, text, kDeviceBalloonMs);
}

void CDeviceLink::SetTrayImage(const QString& iconFile)
{
    if (g_pMainWindow && g_pMainWindow->HasTrayIcon())
        g_pMainWindow->SetTrayImage(LoadIconFile(iconFile));
}

void CDeviceLink::OnDeviceArrived(int number)
{
    m_nDeviceNumber = number;
    m_nWrittenNumber = 0;
    SetTrayImage(ReadTrayIconSkin().findPedometer);
    m_deviceUser = UserRecord{};
    if (USER_GetUser(number, m_deviceUser) == 1) {
        g_pDeviceUser = &m_deviceUser;
        RestartTimer(kTimerDeviceFound, Timings().deviceFound);
        ImportAndAnnounce();
    } else {
        // No account has this number: the record is built from what the pedometer holds.
        m_deviceUser = UserRecord{};
        m_deviceUser.number = number;
        USB_GetSHW(m_deviceUser.sex, m_deviceUser.height, m_deviceUser.weight, m_deviceUser.age, 1);
        int32_t hour = 0, minute = 0, second = 0;
        USB_GetAlarmClock(hour, minute, second);
        m_deviceUser.alarm = MakeAlarmTime(hour, minute, 0);
        USB_GetDayTargetCalorie(m_deviceUser.targetCalories);
        g_pDeviceUser = &m_deviceUser;
        m_bNewUserPending = true;
        USB_ExportAllData();
        ShowBalloon(LoadStr(124), UnknownDeviceBalloonText(number));
    }
    emit DeviceArrived(number);
}

void CDeviceLink::ImportAndAnnounce()
{
    m_lastImport = ImportDays(m_deviceUser, PedometerDays());
    USB_ExportAllData();
    ShowBalloon(LoadStr(124), KnownDeviceBalloonText(m_deviceUser, m_lastImport));
}

void CDeviceLink::OnDeviceBlank()
{
    SetTrayImage(ReadTrayIconSkin().findPedometer);
    m_deviceUser = UserRecord{};
    m_deviceUser.number = kBlankDeviceId;
    g_pDeviceUser = &m_deviceUser;
    m_nWrittenNumber = 0;
    const bool adminPresent =
        g_pMainWindow && g_pMainWindow->HasUserPage() && g_pLoginUser && g_pLoginUser->rights == 1;
    ShowBalloon(LoadStr(124), LoadStr(adminPresent ? 195 : 194));
    if (adminPresent)
        RestartTimer(kTimerCreateUserForDevice, Timings().createUserForDevice);
    else
        RestartTimer(kTimerHideBalloon, Timings().hideBalloon);
    emit BlankDeviceArrived();
}

void CDeviceLink::OnDeviceRemoved()
{
    ClearDeviceProgress();
    if (g_pDeviceUserIsOurs())
        g_pDeviceUser = nullptr;
    m_nDeviceNumber = 0;
    m_nWrittenNumber = 0;
    m_bNewUserPending = false;
    // No dialog ever opens for a pedometer that is gone.
    KillTimer(kTimerDeviceFound);
    KillTimer(kTimerCreateUserForDevice);
    SetTrayImage(ReadTrayIconSkin().normal);
    ShowBalloon(LoadStr(171), LoadStr(172));
    RestartTimer(kTimerHideBalloon, Timings().hideBalloon);
    if (m_openDeviceDialog) {
        // Closed as by its Cancel, once the current handler has returned.
        QMetaObject::invokeMethod(m_openDeviceDialog.data(), &QWidget::close, Qt::QueuedConnection);
        m_openDeviceDialog = nullptr;
    }
    emit DeviceRemoved();
}

void CDeviceLink::OnBalloonClicked()
{
    if (!m_bNewUserPending)
        return;
    m_bNewUserPending = false;
    CNewUserDlg dlg(DeviceDialogParent());
    dlg.SetDeviceMode(1);
    dlg.SetPresetNumber(m_nDeviceNumber);
    RunModal(dlg);
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

bool CDeviceLink::CarryOut(int result, bool registered, QWidget* parent)
{
    if (result != kFoundLogin && result != kFoundRead && result != kFoundSync)
        return false;
    if (!g_pDeviceUserIsOurs()) {
        // Pulled out while the choice was being made.
        ShowMessageBox(parent, LoadStr(162));
        return false;
    }
    auto run = [&](QDialog& dialog) { return registered ? RunDeviceDialog(dialog) : RunModal(dialog); };
    if (result == kFoundLogin) {
        LoginAsDeviceUser();
    } else if (result == kFoundRead) {
        CReadDataDlg dlg(parent);
        run(dlg);
    } else {
        CSyncDlg dlg(parent);
        dlg.SetRecord(&m_deviceUser);
        run(dlg);
    }
    return true;
}

void CDeviceLink::OnDeviceFound()
{
    if (!g_pDeviceUserIsOurs())
        return;
    const int number = m_deviceUser.number;
    int result = RememberedDeviceChoice(number);
    if (result == 0) {
        CDeviceFoundDlg dlg(DeviceDialogParent());
        dlg.SetFromArrival(1);
        result = RunDeviceDialog(dlg);
        if (dlg.Remember())
            RememberDeviceChoice(number, result);  // keeps only login, nothing and read
    } else if (result == kFoundLogin && g_pLoginUser && g_pLoginUser->number == number) {
        return;  // the pedometer's owner is logged in already
    }
    CarryOut(result, true, DeviceDialogParent());
}

bool CDeviceLink::WriteProfile(const UserRecord& user)
{
    const bool written = WriteProfileSequence(user, LibraryDeviceWriteOps());
    if (written)
        m_nWrittenNumber = user.number;
    return written;
}

void CDeviceLink::DeviceUserCreated(const UserRecord& user)
{
    if (!g_pDeviceUserIsOurs())
        return;
    const bool holdsNumber = user.number == m_nDeviceNumber || user.number == m_nWrittenNumber;
    m_deviceUser = user;
    m_nDeviceNumber = user.number;
    m_bNewUserPending = false;
    // Its days go to the new account now, without unplugging and plugging in again.
    if (holdsNumber)
        ImportAndAnnounce();
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
    if (id != kTimerDeviceFound && id != kTimerCreateUserForDevice && id != kTimerHideBalloon)
        return;
    ShowBalloon(QString(), QString());  // takes the balloon away
    if (id == kTimerDeviceFound)
        OnDeviceFound();
    else if (id == kTimerCreateUserForDevice && g_pMainWindow)
        g_pMainWindow->CreateUserForDevice();
}

QWidget* DeviceDialogParent()
{
    // Over the main window while it shows; on its own when the window rests in the tray.
    auto* window = dynamic_cast<QWidget*>(g_pMainWindow);
    return window && window->isVisible() ? window : nullptr;
}

bool RunPedometerCommand(QWidget* parent)
{
    CDeviceLink* link = CDeviceLink::Current();
    if (!link || !link->DeviceUser()) {
        ShowMessageBox(parent, LoadStr(162));
        return false;
    }
    CDeviceFoundDlg dlg(parent);  // from the toolbar: always asks
    const int result = RunModal(dlg);
    return link->CarryOut(result, false, parent) && result == kFoundRead;
}
