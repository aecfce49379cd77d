#pragma once
// The three records that cross the boundary between the program and the
// user store / device libraries. Their layouts are binary interfaces: the
// device file format and the store keep them byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 4)

// One user's profile, 100 bytes.
struct UserRecord {
    int32_t number;          // user ID; also written into the pedometer
    char name[11];           // UTF-8, at most 10 bytes, NUL-terminated
    char pad0[1];
    int32_t sex;             // 1 = male, anything else female
    int32_t age;             // years
    int32_t weight;          // kg
    int32_t height;          // cm
    int32_t stride;          // cm
    int32_t photo;           // picture number: Photo/<photo>.bmp
    int32_t reserved;        // carried, never read
    char password[33];       // digest: empty or 32 hex characters
    char pad1[3];
    int32_t rights;          // 1 = administrator
    int32_t targetSteps;     // steps a day
    int32_t targetDistance;  // metres a day
    int32_t targetCalories;  // kcal a day
    int32_t alarm;           // Unix time; only its time of day is used
};

// The day stamp of a device record: an OLE automation date and its status word.
struct OleDateStamp {
    double dt;        // days since 1899-12-30
    int32_t status;   // 0 = valid
};

constexpr int kSlotsPerDay = 720;  // 2-minute slots

// One day of pedometer data, 14440 bytes.
struct DeviceStepRecord {
    OleDateStamp date;
    int32_t reserved1;
    int32_t reserved2;
    int32_t slotValues[kSlotsPerDay];
    int32_t steps;
    double slotValues2[kSlotsPerDay + 1];
    double slotKcal[kSlotsPerDay];   // kcal spent in slot s (minutes 2s .. 2s+2)
    double calories;                 // kcal of the whole day
};

#pragma pack(pop)

static_assert(sizeof(UserRecord) == 100);
static_assert(offsetof(UserRecord, number) == 0);
static_assert(offsetof(UserRecord, name) == 4);
static_assert(offsetof(UserRecord, sex) == 16);
static_assert(offsetof(UserRecord, age) == 20);
static_assert(offsetof(UserRecord, weight) == 24);
static_assert(offsetof(UserRecord, height) == 28);
static_assert(offsetof(UserRecord, stride) == 32);
static_assert(offsetof(UserRecord, photo) == 36);
static_assert(offsetof(UserRecord, reserved) == 40);
static_assert(offsetof(UserRecord, password) == 44);
static_assert(offsetof(UserRecord, rights) == 80);
static_assert(offsetof(UserRecord, targetSteps) == 84);
static_assert(offsetof(UserRecord, targetDistance) == 88);
static_assert(offsetof(UserRecord, targetCalories) == 92);
static_assert(offsetof(UserRecord, alarm) == 96);

static_assert(sizeof(OleDateStamp) == 12);
static_assert(sizeof(DeviceStepRecord) == 14440);
static_assert(offsetof(DeviceStepRecord, date) == 0);
static_assert(offsetof(DeviceStepRecord, reserved1) == 12);
static_assert(offsetof(DeviceStepRecord, reserved2) == 16);
static_assert(offsetof(DeviceStepRecord, slotValues) == 20);
static_assert(offsetof(DeviceStepRecord, steps) == 2900);
static_assert(offsetof(DeviceStepRecord, slotValues2) == 2904);
static_assert(offsetof(DeviceStepRecord, slotKcal) == 8672);
static_assert(offsetof(DeviceStepRecord, calories) == 14432);

// One stored day with its effective-exercise analysis, as the user store fills it.
struct StepRecord {
    DeviceStepRecord day{};
    std::vector<uint32_t> exerciseStart;  // first slot of each effective exercise
    std::vector<uint32_t> exerciseSlots;  // its length in slots
    std::vector<uint32_t> exerciseKcal;   // its energy in thousandths of a kcal
    int32_t effectiveCount = 0;
    int32_t effectiveMinutes = 0;
    double effectiveKcal = 0.0;
    int32_t longestMinutes = 0;

    void Clear();
};

constexpr int kNameMaxBytes = 10;
constexpr int kDigestChars = 32;
// A pedometer holding this ID was never initialised.
constexpr int32_t kBlankDeviceId = 999999;

// ---- names -----------------------------------------------------------------

// The longest prefix of a UTF-8 text that fits in maxBytes without cutting a character.
std::string Utf8Prefix(const std::string& text, size_t maxBytes);
// Whether a UTF-8 text fits the 10-byte name field.
bool NameFits(const std::string& name);
// Copies name into the record, cut to 10 bytes on a character boundary; true when nothing was cut.
bool SetRecordName(UserRecord& r, const std::string& name);
std::string RecordName(const UserRecord& r);
// Copies a digest (empty or 32 characters) into the record; false (record unchanged) for any other length.
bool SetRecordPassword(UserRecord& r, const std::string& digest);
std::string RecordPassword(const UserRecord& r);

// Whether a pedometer ID counts as a user number (10000 < id < 999999).
bool IsUserNumberId(int32_t id);

// ---- dates ---------------------------------------------------------------

struct Ymd {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Ymd&, const Ymd&) = default;
};

// Days since 1899-12-30 for a civil date (proleptic Gregorian).
double OleDateFromYmd(int year, int month, int day);
// The civil date of an OLE date's day part (time of day ignored, negative dates floored).
Ymd OleDateToYmd(double oleDate);
bool IsValidYmd(int year, int month, int day);
int DaysInMonth(int year, int month);
// The OLE date of today (00:00, local time).
double TodayOleDate();
// "yyyy-mm-dd" of an OLE date's day.
std::string OleDateText(double oleDate);

// ---- alarm -------------------------------------------------------------

// Unix time of hour:minute:second local time on 2008-01-01.
int32_t MakeAlarmTime(int hour, int minute, int second);
// Hour, minute and second of an alarm value, local time.
void SplitAlarmTime(int32_t alarm, int& hour, int& minute, int& second);
