#pragma once
// Storing the connected pedometer's days for its user: at its arrival, when its account has just
// been created, from the read dialog, and before the pedometer is erased. One insert for all of
// them, so every road stores a day alike.

#include "external/records/Records.h"

#include <QString>

#include <vector>

// The day records the device library holds now, in its order (pointers owned by the library).
std::vector<const DeviceStepRecord*> PedometerDays();

// Stores days for a user with their weight and stride: one store result per day, in order
// (1 stored, 0 already stored, negative refused).
std::vector<int> StoreDays(const UserRecord& user, const std::vector<const DeviceStepRecord*>& days);

// What an import did.
struct ImportCounts {
    int added = 0;      // days the store did not hold
    int updated = 0;    // days it held a less complete copy of
    int unchanged = 0;  // days already stored as they are (or fuller)
    int failed = 0;     // days the store refused or could not take
    friend bool operator==(const ImportCounts&, const ImportCounts&) = default;
};

// Stores the days for the user and tells new days from updated ones.
ImportCounts ImportDays(const UserRecord& user, const std::vector<const DeviceStepRecord*>& days);

// The balloon's last line about an import: "新增 3 天，更新 1 天", with the days not stored when
// there are some, or "没有新数据".
QString ImportSummary(const ImportCounts& counts);

// Before the pedometer is erased: stores the days for the pedometer's user and returns how many
// the store does not hold afterwards (a day stored before counts as safe). Without a device
// user, without an account for its number or for a blank pedometer, every day would be lost.
int DaysLostByErasing(const UserRecord* deviceUser, const std::vector<const DeviceStepRecord*>& days);
