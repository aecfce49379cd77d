#include "core/DeviceChoice.h"

#include "core/Paths.h"
#include "core/Profile.h"

#include <QDir>
#include <QFile>

namespace {

const QString kSection = QStringLiteral("Pedometer");
const QString kKey = QStringLiteral("Choice");

bool Rememberable(int result)
{
    return result == 1 || result == 2 || result == 3;
}

}  // namespace

int RememberedDeviceChoice(int number)
{
    const int result = Profile::GetInt(UserDeviceChoicePath(number), kSection, kKey, 0);
    return Rememberable(result) ? result : 0;
}

bool RememberDeviceChoice(int number, int result)
{
    if (!Rememberable(result) || !QDir().mkpath(UserFolder(number)))
        return false;
    return Profile::WriteInt(UserDeviceChoicePath(number), kSection, kKey, result);
}

bool ForgetDeviceChoice(int number)
{
    const QString path = UserDeviceChoicePath(number);
    return !QFile::exists(path) || Profile::WriteInt(path, kSection, kKey, 0);
}
