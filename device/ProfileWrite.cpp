#include "device/ProfileWrite.h"

#include "external/usb/Usb.h"

const DeviceWriteOps& LibraryDeviceWriteOps()
{
    static const DeviceWriteOps ops{USB_SetID, USB_SetSHW, USB_SetDayTargetCalorie, USB_SetAlarmClock};
    return ops;
}

bool WriteProfileSequence(const UserRecord& user, const DeviceWriteOps& ops)
{
    int32_t hour = 0, minute = 0, second = 0;
    SplitAlarmTime(user.alarm, hour, minute, second);
    ops.setId(user.number);
    const int shw = ops.setShw(user.sex == 1 ? 1 : 0, user.height, user.weight, user.age, 1);
    const int kcal = ops.setDayTargetCalorie(user.targetCalories);
    const int alarm = ops.setAlarmClock(hour, minute, second);
    return shw == 1 && kcal == 1 && alarm == 1;
}
