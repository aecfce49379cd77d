#include "external/records/Records.h"

#include <cmath>
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
// Days from 1970-01-01 to a civil date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Ymd CivilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Ymd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long kOleEpochFromUnix = -25569;  // 1899-12-30 in days since 1970-01-01
}  // namespace

double OleDateFromYmd(int year, int month, int day)
{
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kOleEpochFromUnix);
}

Ymd OleDateToYmd(double oleDate)
{
    if (!std::isfinite(oleDate) || std::fabs(oleDate) > 3.0e6)
        return Ymd{};
    const long long days = static_cast<long long>(std::floor(oleDate));
    return CivilFromDays(days + kOleEpochFromUnix);
}

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return kDays[month - 1];
}

bool IsValidYmd(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
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
