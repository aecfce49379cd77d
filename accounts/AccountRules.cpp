#include "accounts/AccountRules.h"

#include "core/Globals.h"
#include "core/StringTable.h"
#include "core/DeviceLinkApi.h"
#include "core/DialogService.h"
#include "external/md5/Md5.h"
#include "external/userdb/UserDb.h"

#include "controls/BalloonTip.h"

#include <algorithm>

std::string PasswordDigestOf(const QString& password)
{
    if (password.isEmpty())
        return {};
    return PasswordDigest(password.toStdString());
}

int LoginAttempt(const std::string& name, const std::string& digest)
{
    ReleaseLoginUser();
    UserRecord fresh{};  // value-initialised: zero-filled
    const int result = USER_Login(name, digest, fresh);
    if (result == 1)
        SetLoginUser(fresh);
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

QValidator::State CNumberValidator::validate(QString& input, int&) const
{
    if (input.isEmpty())
        return Acceptable;  // an empty box reads as 0, as it always has
    qint64 value = 0;
    for (QChar c : input) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Invalid;
        value = value * 10 + (c.unicode() - '0');
        if (value > m_maxValue)
            return Invalid;
    }
    return Acceptable;
}

QValidator* MakeDigitsValidator(int maxDigits, QObject* parent)
{
    int maxValue = 0;
    for (int i = 0; i < std::min(maxDigits, 9); ++i)
        maxValue = maxValue * 10 + 9;
    return new CNumberValidator(maxValue, parent);
}

bool UserNumberFitsPedometer(int64_t number)
{
    return number > 0 && number < kBlankDeviceId;
}

bool WriteProfileToDevice(const UserRecord& user)
{
    return g_pDeviceLink && g_pDeviceLink->WriteProfile(user);
}

bool OverwriteAllowed(QWidget* parent, int32_t newNumber)
{
    if (!g_pDeviceUser || !NeedsOverwriteQuestion(g_pDeviceUser->number))
        return true;
    const QString question = ReplaceR01(LoadStr(196), g_pDeviceUser->number, newNumber);
    return ShowMessageBox(parent, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
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

void ShowErrorBalloon(QWidget* control, const QString& text, QWidget* alsoMendedBy)
{
    if (!control)
        return;
    CBalloonTip* tip =
        CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, LoadStr(103), text, control, std::nullopt, 5000);
    if (tip && alsoMendedBy)
        tip->EndOnEditOf(alsoMendedBy);
}
