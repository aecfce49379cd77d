// The user store's day records: one row per (number, day), the device record
// kept whole beside the weight and stride the user had when it was stored.
#include "external/userdb/UserDbInternal.h"
#include "external/userdb/UserDbState.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstring>

using namespace userdb;

namespace {

constexpr double kOleFirstDay = 36526.0;  // 2000-01-01
constexpr double kOleEndDay = 73051.0;    // 2100-01-01

int DayKey(double oleDate)
{
    const Ymd d = OleDateToYmd(oleDate);
    return d.year * 10000 + d.month * 100 + d.day;
}

// Tuple that orders two records of the same day by how much of it they hold.
struct Fullness {
    int32_t steps;
    double calories;
    int activeSlots;
    auto operator<=>(const Fullness&) const = default;
};

Fullness FullnessOf(const DeviceStepRecord& r)
{
    int active = 0;
    for (double v : r.slotKcal)
        active += v > 0.0 ? 1 : 0;
    return {r.steps, r.calories, active};
}

bool ValidAmount(double v) { return std::isfinite(v) && v >= 0.0; }

StoreText TextOfRefusal(DayRefusal refusal)
{
    switch (refusal) {
    case DayRefusal::None:
        return StoreText::Ok;
    case DayRefusal::InvalidDate:
        return StoreText::DayDateInvalid;
    case DayRefusal::OutOfRange:
        return StoreText::DayOutOfRange;
    case DayRefusal::InFuture:
        return StoreText::DayInFuture;
    case DayRefusal::InvalidValues:
        break;
    }
    return StoreText::DayBadValues;
}

// Why the store refuses a day today: DayRefusal::None, or the refusal with its text and detail.
DayRefusal RefusalToday(const DeviceStepRecord& day, StoreText& text, std::string& detail)
{
    const DayRefusal refusal = FindDayRefusal(day, TodayOleDate());
    text = TextOfRefusal(refusal);
    detail = refusal == DayRefusal::InFuture ? OleDateText(day.date.dt) : std::string();
    return refusal;
}

// Stores one day inside the caller's write transaction. 1 stored (new, or fuller than
// the stored copy), 0 already stored, USER_ERR_BAD_DAY refused, USER_ERR_GENERAL when
// the store failed; every outcome but 1 is left as the last failure.
int StoreDay(int32_t number, int32_t weight, int32_t stride, const DeviceStepRecord* day)
{
    if (!day)
        return Fail(USER_ERR_BAD_DAY, StoreText::BadDay);
    StoreText refusal;
    std::string detail;
    if (RefusalToday(*day, refusal, detail) != DayRefusal::None)
        return Fail(USER_ERR_BAD_DAY, refusal, std::move(detail));
    const int key = DayKey(day->date.dt);
    bool replace = false;
    {
        StmtUse s(Prepare("SELECT record FROM {D} WHERE number = ?1 AND day = ?2"));
        if (!s)
            return ReadError();
        sqlite3_bind_int(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, key);
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_ROW) {
            const void* blob = sqlite3_column_blob(s.get(), 0);
            const int bytes = sqlite3_column_bytes(s.get(), 0);
            if (bytes == static_cast<int>(sizeof(DeviceStepRecord)) && blob) {
                if (std::memcmp(blob, day, sizeof *day) == 0)
                    return Fail(USER_ERR_ALREADY_STORED, StoreText::AlreadyStored);
                DeviceStepRecord stored;
                std::memcpy(&stored, blob, sizeof stored);
                // A later read of the same day holds at least as much; a stale
                // copy never overwrites a fuller one.
                if (FullnessOf(*day) < FullnessOf(stored))
                    return Fail(USER_ERR_ALREADY_STORED, StoreText::FullerDayStored);
            }
            replace = true;  // a damaged stored copy is replaced too
        } else if (rc != SQLITE_DONE) {
            return ReadError();
        }
    }
    StmtUse s(replace ? Prepare("UPDATE {D} SET weight = ?3, stride = ?4, steps = ?5, calories = ?6, record = ?7 "
                                "WHERE number = ?1 AND day = ?2")
                      : Prepare("INSERT INTO {D} (number, day, weight, stride, steps, calories, record) "
                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    if (!s)
        return WriteError();
    sqlite3_bind_int(s.get(), 1, number);
    sqlite3_bind_int(s.get(), 2, key);
    sqlite3_bind_int(s.get(), 3, weight);
    sqlite3_bind_int(s.get(), 4, stride);
    sqlite3_bind_int(s.get(), 5, day->steps);
    sqlite3_bind_double(s.get(), 6, day->calories);
    sqlite3_bind_blob(s.get(), 7, day, static_cast<int>(sizeof *day), SQLITE_STATIC);
    if (sqlite3_step(s.get()) != SQLITE_DONE)
        return WriteError();
    return USER_OK;
}

// USER_InsertDataBatch without the lock and the error text.
int StoreDays(int32_t number, int32_t weight, int32_t stride, std::span<const DeviceStepRecord* const> days,
              std::vector<int>& results)
{
    // A failure of the whole batch: every day not refused for its content shares it.
    auto failAll = [&](int code) {
        for (int& r : results)
            r = r == USER_ERR_BAD_DAY ? r : code;
        return code;
    };
    results.assign(days.size(), USER_ERR_GENERAL);
    if (!g_store)
        return failAll(Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen));
    Transaction tx;
    if (!tx.ok())
        return failAll(WriteError());
    if (const int rc = RequireUserByNumber(number, nullptr); rc != USER_OK)
        return failAll(rc);

    int stored = 0;
    LastFailure firstMiss;
    for (size_t i = 0; i < days.size(); ++i) {
        const int rc = StoreDay(number, weight, stride, days[i]);
        results[i] = rc;
        if (rc == USER_ERR_GENERAL)
            return failAll(rc);  // rolled back: nothing of the batch is kept
        if (rc == USER_OK)
            ++stored;
        else if (firstMiss.code == USER_OK)
            firstMiss = g_last;
    }
    if (!tx.Commit())
        return failAll(WriteError());
    if (firstMiss.code == USER_OK)
        Succeed();
    else
        g_last = firstMiss;
    return stored;
}

}  // namespace

DayRefusal FindDayRefusal(const DeviceStepRecord& day, double today)
{
    const double dt = day.date.dt;
    if (day.date.status != 0 || !std::isfinite(dt))
        return DayRefusal::InvalidDate;
    if (dt < kOleFirstDay || dt >= kOleEndDay)
        return DayRefusal::OutOfRange;
    if (std::floor(dt) > std::floor(today))
        return DayRefusal::InFuture;
    if (day.steps < 0 || !ValidAmount(day.calories))
        return DayRefusal::InvalidValues;
    for (int s = 0; s < kSlotsPerDay; ++s) {
        if (!ValidAmount(day.slotKcal[s]) || day.slotValues[s] < 0)
            return DayRefusal::InvalidValues;
    }
    if (!std::all_of(std::begin(day.slotValues2), std::end(day.slotValues2), ValidAmount))
        return DayRefusal::InvalidValues;
    return DayRefusal::None;
}

int CheckDayRecord(const DeviceStepRecord& day, std::string& error)
{
    StoreText text;
    std::string detail;
    if (RefusalToday(day, text, detail) == DayRefusal::None)
        return USER_OK;
    error = RenderText(text, detail);
    return USER_ERR_BAD_DAY;
}

int USER_InsertDataBatch(int32_t number, int32_t weight, int32_t stride, std::span<const DeviceStepRecord* const> days,
                         std::vector<int>& results, std::string& error)
{
    std::lock_guard lock(g_mutex);
    const int rc = StoreDays(number, weight, stride, days, results);
    error = g_last.code == USER_OK ? std::string() : LastText();
    return rc;
}

int USER_InsertData(int32_t number, int32_t weight, int32_t stride, const DeviceStepRecord& day, std::string& error)
{
    const DeviceStepRecord* const one[] = {&day};
    std::vector<int> results;
    const int rc = USER_InsertDataBatch(number, weight, stride, one, results, error);
    return rc < 0 ? rc : results.front();
}

int USER_GetData2(int32_t number, double day, StepRecord& out, std::string& error)
{
    std::lock_guard lock(g_mutex);
    auto finish = [&](int rc) {
        error = rc == USER_OK ? std::string() : LastText();
        return rc;
    };
    if (!g_store)
        return finish(Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen));
    if (!std::isfinite(day) || day < kOleFirstDay || day >= kOleEndDay)
        return finish(Fail(USER_ERR_NO_DATA, StoreText::NoData));
    StmtUse s(Prepare("SELECT record, weight FROM {D} WHERE number = ?1 AND day = ?2"));
    if (!s)
        return finish(ReadError());
    sqlite3_bind_int(s.get(), 1, number);
    sqlite3_bind_int(s.get(), 2, DayKey(day));
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE)
        return finish(Fail(USER_ERR_NO_DATA, StoreText::NoData));
    if (rc != SQLITE_ROW)
        return finish(ReadError());
    const void* blob = sqlite3_column_blob(s.get(), 0);
    if (!blob || sqlite3_column_bytes(s.get(), 0) != static_cast<int>(sizeof(DeviceStepRecord)))
        return finish(Fail(USER_ERR_GENERAL, StoreText::StoredDayDamaged));
    std::memcpy(&out.day, blob, sizeof out.day);
    AnalyseExercise(out.day, sqlite3_column_int(s.get(), 1), out);
    return finish(Succeed());
}

void AnalyseExercise(const DeviceStepRecord& day, int32_t weight, StepRecord& out)
{
    out.exerciseStart.clear();
    out.exerciseSlots.clear();
    out.exerciseKcal.clear();
    out.effectiveCount = 0;
    out.effectiveMinutes = 0;
    out.effectiveKcal = 0.0;
    out.longestMinutes = 0;

    // 3 METs: weight x 0.1002 kcal per 2 minutes. A slot without any energy never
    // counts, so an unknown weight (0) does not turn a still day into exercise.
    const double threshold = static_cast<double>(weight) * 0.1002;
    auto counts = [&](int s) { return day.slotKcal[s] >= threshold && day.slotKcal[s] > 0.0; };
    constexpr int kMinSlots = 5;  // 10 minutes

    int s = 0;
    while (s < kSlotsPerDay) {
        if (!counts(s)) {
            ++s;
            continue;
        }
        const int start = s;
        double kcal = 0.0;
        while (s < kSlotsPerDay && counts(s))
            kcal += day.slotKcal[s++];
        const int length = s - start;
        if (length < kMinSlots)
            continue;
        const double thousandths = std::round(kcal * 1000.0);
        out.exerciseStart.push_back(static_cast<uint32_t>(start));
        out.exerciseSlots.push_back(static_cast<uint32_t>(length));
        out.exerciseKcal.push_back(thousandths >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(thousandths));
        out.effectiveCount += 1;
        out.effectiveMinutes += length * 2;
        out.effectiveKcal += kcal;
        out.longestMinutes = std::max(out.longestMinutes, length * 2);
    }
}
