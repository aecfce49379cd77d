#include "device/DeviceImport.h"

#include "core/StringTable.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <cmath>
#include <memory>
#include <set>

std::vector<const DeviceStepRecord*> PedometerDays()
{
    std::vector<const DeviceStepRecord*> days;
    const int n = USB_GetDataCount();
    days.reserve(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        if (const DeviceStepRecord* day = USB_GetData(i))
            days.push_back(day);
    }
    return days;
}

std::vector<int> StoreDays(const UserRecord& user, const std::vector<const DeviceStepRecord*>& days)
{
    // One transaction for all the days: a pedometer full of days does not hold the window up.
    std::vector<int> results;
    std::string error;
    USER_InsertDataBatch(user.number, user.weight, user.stride, days, results, error);
    results.resize(days.size(), USER_ERR_GENERAL);  // (every day has its outcome; never fewer)
    return results;
}

namespace {

// Whether the store holds the day already (any copy of it).
bool DayIsStored(int32_t number, const DeviceStepRecord& day, StepRecord& scratch)
{
    if (!std::isfinite(day.date.dt))
        return false;
    const Ymd ymd = OleDateToYmd(day.date.dt);
    std::string error;
    scratch.Clear();
    return USER_GetData2(number, OleDateFromYmd(ymd.year, ymd.month, ymd.day), scratch, error) == 1;
}

}  // namespace

ImportCounts ImportDays(const UserRecord& user, const std::vector<const DeviceStepRecord*>& days)
{
    // The store answers 1 for a new day and for a fuller copy alike: what it held before tells them apart.
    // A day the pedometer holds twice is new only the first time.
    std::vector<bool> heldBefore;
    heldBefore.reserve(days.size());
    std::set<double> seen;
    auto scratch = std::make_unique<StepRecord>();
    for (const DeviceStepRecord* day : days) {
        const bool repeated = std::isfinite(day->date.dt) && !seen.insert(std::floor(day->date.dt)).second;
        heldBefore.push_back(repeated || DayIsStored(user.number, *day, *scratch));
    }

    const std::vector<int> results = StoreDays(user, days);
    ImportCounts counts;
    for (size_t i = 0; i < results.size(); ++i) {
        if (results[i] == 1)
            ++(heldBefore[i] ? counts.updated : counts.added);
        else if (results[i] == USER_ERR_ALREADY_STORED)
            ++counts.unchanged;
        else
            ++counts.failed;
    }
    return counts;
}

QString ImportSummary(const ImportCounts& counts)
{
    if (counts.failed > 0)
        return ReplaceR(ReplaceR01(LoadStr(552), counts.added, counts.updated), counts.failed);
    if (counts.added == 0 && counts.updated == 0)
        return LoadStr(551);
    return ReplaceR01(LoadStr(550), counts.added, counts.updated);
}

int DaysLostByErasing(const UserRecord* deviceUser, const std::vector<const DeviceStepRecord*>& days)
{
    // A blank pedometer's days belong to nobody yet; without a device user nothing can be stored.
    if (!deviceUser || deviceUser->number == kBlankDeviceId)
        return static_cast<int>(days.size());
    int lost = 0;
    for (const int result : StoreDays(*deviceUser, days))
        lost += (result == 1 || result == USER_ERR_ALREADY_STORED) ? 0 : 1;
    return lost;
}
