#pragma once
// The sequence that writes a user's profile into the pedometer, over a set of device
// operations (the device library's, or a test's that records the calls).

#include "external/records/Records.h"

#include <cstdint>
#include <functional>

struct DeviceWriteOps {
    std::function<int(int32_t)> setId;
    std::function<int(int32_t, int32_t, int32_t, int32_t, int)> setShw;
    std::function<int(int32_t)> setDayTargetCalorie;
    std::function<int(int32_t, int32_t, int32_t)> setAlarmClock;
};

// The device library's operations.
const DeviceWriteOps& LibraryDeviceWriteOps();

// Writes ID, body profile (1 for a male else 0, height, weight, age, 1), calorie target and alarm
// time, in this order, each whatever the one before returned. True when the profile, target and
// alarm writes each returned 1 (the ID write reports nothing).
bool WriteProfileSequence(const UserRecord& user, const DeviceWriteOps& ops);
