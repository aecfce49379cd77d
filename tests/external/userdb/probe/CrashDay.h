#pragma once
// The day records the crash writer stores: version v of day i holds more of
// that day than version v - 1, so each new version replaces the stored one.

#include "external/records/Records.h"

#include <cstring>

constexpr int32_t kCrashUser = 20001;
constexpr int kCrashDays = 300;

inline DeviceStepRecord MakeCrashDay(int dayIndex, int version)
{
    DeviceStepRecord r;
    std::memset(&r, 0, sizeof r);
    r.date.dt = OleDateFromYmd(2001, 1, 1) + dayIndex;
    r.steps = version * 1000 + dayIndex;
    for (int s = 0; s < kSlotsPerDay && s < version * 60; ++s) {
        r.slotKcal[s] = 1.0 + (s % 7) * 0.25;
        r.slotValues[s] = s % 13;
        r.calories += r.slotKcal[s];
    }
    return r;
}
