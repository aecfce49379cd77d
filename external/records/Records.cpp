#include "external/records/Records.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

void StepRecord::Clear()
{
    std::memset(&day, 0, sizeof day);
    exerciseStart.clear();
    exerciseSlots.clear();
    exerciseKcal.clear();
    effectiveCount = 0;
    effectiveMinutes = 0;
    effectiveKcal = 0.0;
    longestMinutes = 0;
}

std::string Utf8Prefix(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t cut = maxBytes;
    // Step back over continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

bool NameFits(const std::string& name)
{
    return name.size() <= static_cast<size_t>(kNameMaxBytes);
}

bool SetRecordName(UserRecord& r, const std::string& name)
{
    const std::string fitted = Utf8Prefix(name, kNameMaxBytes);
    std::memset(r.name, 0, sizeof r.name);
    std::memcpy(r.name, fitted.data(), fitted.size());
    return fitted.size() == name.size();
}

std::string RecordName(const UserRecord& r)
{
    return std::string(r.name, strnlen(r.name, sizeof r.name));
}

bool SetRecordPassword(UserRecord& r, const std::string& digest)
{
    if (!digest.empty() && digest.size() != static_cast<size_t>(kDigestChars))
        return false;
    std::memset(r.password, 0, sizeof r.password);
    std::memcpy(r.password, digest.data(), digest.size());
    return true;
}

std::string RecordPassword(const UserRecord& r)
{
    return std::string(r.password, strnlen(r.password, sizeof r.password));
}

bool IsUserNumberId(int32_t id)
{
    return id > 10000 && id < kBlankDeviceId;
}

namespace {
namespace chr = std::chrono;

// Day 0 of OLE automation dates.
constexpr chr::sys_days kOleEpoch{chr::year{1899} / chr::December / 30};

// The day of a civil date; a month or day outside its range counts on from the
// first of the month (month 13 is January of the next year, day 0 the last day
// of the month before).
chr::sys_days DayOf(int year, int month, int day)
{
    const chr::year_month first = chr::year{year} / chr::January + chr::months{month - 1};
    return chr::sys_days{first / 1} + chr::days{day - 1};
}
}  // namespace

double OleDateFromYmd(int year, int month, int day)
{
    return static_cast<double>((DayOf(year, month, day) - kOleEpoch).count());
}

Ymd OleDateToYmd(double oleDate)
{
    // 3e6 days either side of 1899 stays well inside the range of chr::year.
    if (!std::isfinite(oleDate) || std::fabs(oleDate) > 3.0e6)
        return Ymd{};
    const chr::year_month_day d{kOleEpoch + chr::days{static_cast<long long>(std::floor(oleDate))}};
    return Ymd{static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
               static_cast<int>(static_cast<unsigned>(d.day()))};
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    const chr::year_month_day_last last{chr::year{year} / chr::month{static_cast<unsigned>(month)} / chr::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

bool IsValidYmd(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

double TodayOleDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return OleDateFromYmd(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

std::string OleDateText(double oleDate)
{
    const Ymd d = OleDateToYmd(oleDate);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

int32_t MakeAlarmTime(int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = 2008 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 1;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return static_cast<int32_t>(std::mktime(&t));
}

void SplitAlarmTime(int32_t alarm, int& hour, int& minute, int& second)
{
    const std::time_t tt = alarm;
    std::tm t{};
    if (!localtime_r(&tt, &t)) {
        hour = minute = second = 0;
        return;
    }
    hour = t.tm_hour;
    minute = t.tm_min;
    second = t.tm_sec;
}
