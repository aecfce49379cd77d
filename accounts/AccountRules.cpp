#include "accounts/AccountRules.h"

#include "app/Globals.h"
#include "app/StringTable.h"
#include "external/md5/Md5.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <memory>

#include "controls/BalloonTip.h"

std::string PasswordDigestOf(const QString& password)
{
    if (password.isEmpty())
        return {};
    return PasswordDigest(password.toStdString());
}

void ReleaseLoginUser()
{
    // The pedometer's record belongs to the main window; only a record made here is ours to release.
    if (g_pLoginUser && g_pLoginUser != g_pDeviceUser)
        std::unique_ptr<UserRecord> released(g_pLoginUser);
    g_pLoginUser = nullptr;
}

int LoginAttempt(const std::string& name, const std::string& digest)
{
    ReleaseLoginUser();
    auto fresh = std::make_unique<UserRecord>();  // value-initialised: zero-filled
    const int result = USER_Login(name, digest, *fresh);
    if (result == 1)
        g_pLoginUser = fresh.release();
    return result;
}

std::vector<SlotPlace> LayoutLoginSlots(int n, int x0, int pictureWidth, int pictureHeight, int clientHeight)
{
    std::vector<SlotPlace> places;
    if (n <= 0)
        return places;
    const int step = pictureHeight + 8;
    int y = (clientHeight - n * step) / 2;  // C++ division truncates towards zero, as wanted
    for (int i = 0; i < n; ++i) {
        places.push_back({QPoint(x0, y), QPoint(x0 + pictureWidth + 8, y + 5)});
        y += step;
    }
    return places;
}

int SuggestStride(int height, int sexIndex)
{
    const double factor = sexIndex == 0 ? 0.415 : 0.413;
    return static_cast<int>(static_cast<double>(height) * factor);
}

bool ShowSuggestedNumber(int result, int32_t number)
{
    return result == 1 && number >= 10000;
}

bool NeedsOverwriteQuestion(int32_t deviceId)
{
    return IsUserNumberId(deviceId);
}

int ReadNumberText(const QString& text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        return 0;
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(v);
}

QValidator::State CUtf8LimitValidator::validate(QString& input, int&) const
{
    return input.toUtf8().size() <= m_maxBytes ? Acceptable : Invalid;
}

QValidator* MakeDigitsValidator(int maxDigits, QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(maxDigits)), parent);
}

DeviceWriteOps DefaultDeviceWriteOps()
{
    return {USB_SetID, USB_SetSHW, USB_SetDayTargetCalorie, USB_SetAlarmClock};
}

namespace {
std::unique_ptr<DeviceWriteOps> g_deviceOpsOverride;
AccountMessageBoxHook g_messageBoxHook;
}

void SetDeviceWriteOps(const DeviceWriteOps* ops)
{
    g_deviceOpsOverride = ops ? std::make_unique<DeviceWriteOps>(*ops) : nullptr;
}

const DeviceWriteOps& CurrentDeviceWriteOps()
{
    static const DeviceWriteOps library = DefaultDeviceWriteOps();
    return g_deviceOpsOverride ? *g_deviceOpsOverride : library;
}

bool WriteProfileToDevice(const UserRecord& user)
{
    const DeviceWriteOps& ops = CurrentDeviceWriteOps();
    int hour = 0, minute = 0, second = 0;
    SplitAlarmTime(user.alarm, hour, minute, second);
    ops.setId(user.number);
    const int shw = ops.setShw(user.sex == 1 ? 1 : 0, user.height, user.weight, user.age, 1);
    const int kcal = ops.setDayTargetCalorie(user.targetCalories);
    const int alarm = ops.setAlarmClock(hour, minute, second);
    return shw == 1 && kcal == 1 && alarm == 1;
}

bool OverwriteAllowed(QWidget* parent, int32_t newNumber)
{
    if (!g_pDeviceUser || !NeedsOverwriteQuestion(g_pDeviceUser->number))
        return true;
    const QString question = ReplaceR01(LoadStr(196), g_pDeviceUser->number, newNumber);
    return AccountMessageBox(parent, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void UpdateLoadedRecords(UserRecord& record, const std::function<void(UserRecord&)>& update)
{
    update(record);
    const int32_t number = record.number;
    if (g_pLoginUser && g_pLoginUser->number == number)
        update(*g_pLoginUser);
    if (g_pDeviceUser && g_pDeviceUser->number == number)
        update(*g_pDeviceUser);
}

void SetAccountMessageBoxHook(AccountMessageBoxHook hook)
{
    g_messageBoxHook = std::move(hook);
}

int AccountMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons)
{
    if (g_messageBoxHook)
        return g_messageBoxHook(text, buttons);
    const bool question = buttons.testFlag(QMessageBox::Yes);
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, LoadStr(102), text, buttons, parent);
    return box.exec();
}

void ShowErrorBalloon(QWidget* control, const QString& text)
{
    if (!control)
        return;
    CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, LoadStr(103), text, control, std::nullopt, 5000);
}
