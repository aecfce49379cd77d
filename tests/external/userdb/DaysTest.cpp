#include "tests/external/userdb/UserDbFixture.h"

#include "external/userdb/UserDbInternal.h"

#include <cmath>
#include <limits>

namespace {

class DaysTest : public UserDbTest {
protected:
    void SetUp() override
    {
        UserDbTest::SetUp();
        ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    }
    int Insert(const DeviceStepRecord& r, int32_t weight = 60)
    {
        m_error.clear();
        return USER_InsertData(10002, weight, 70, r, m_error);
    }
    int Get(int y, int m, int d, StepRecord& out, int32_t number = 10002)
    {
        m_error.clear();
        return USER_GetData2(number, OleDateFromYmd(y, m, d), out, m_error);
    }
    std::string m_error;
};

TEST_F(DaysTest, NewDayIsStoredAndReadBackByteForByte)
{
    DeviceStepRecord r = MakeDay(2022, 3, 14);
    Fill(r, 240, 260, 7.5, 180);
    r.slotValues2[720] = 3.25;
    r.reserved1 = 11;
    ASSERT_EQ(Insert(r), USER_OK) << m_error;
    StepRecord out;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK) << m_error;
    EXPECT_EQ(std::memcmp(&out.day, &r, sizeof r), 0);
    EXPECT_EQ(out.effectiveCount, 1);
    EXPECT_EQ(out.effectiveMinutes, 40);
    EXPECT_EQ(RawQuery("SELECT day FROM KX300_Data"), "20220314");
}

TEST_F(DaysTest, IdenticalDayIsAlreadyStored)
{
    DeviceStepRecord r = MakeDay(2022, 3, 14);
    Fill(r, 0, 30, 2.0);
    ASSERT_EQ(Insert(r), USER_OK);
    EXPECT_EQ(Insert(r), USER_ERR_ALREADY_STORED);
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_ALREADY_STORED), m_error);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "1");
}

TEST_F(DaysTest, FullerReadOfTheSameDayReplacesTheStoredOne)
{
    DeviceStepRecord morning = MakeDay(2022, 3, 14);
    Fill(morning, 200, 300, 3.0);
    DeviceStepRecord evening = morning;
    Fill(evening, 500, 600, 6.5);
    ASSERT_EQ(Insert(morning, 60), USER_OK);
    ASSERT_EQ(Insert(evening, 80), USER_OK) << m_error;
    StepRecord out;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(std::memcmp(&out.day, &evening, sizeof evening), 0);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "1");
    EXPECT_EQ(RawQuery("SELECT weight FROM KX300_Data"), "80");

    // A stale copy read again later does not overwrite the fuller day.
    EXPECT_EQ(Insert(morning), USER_ERR_ALREADY_STORED);
    EXPECT_FALSE(m_error.empty());
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(std::memcmp(&out.day, &evening, sizeof evening), 0);
}

TEST_F(DaysTest, EquallyFullButDifferentReadReplacesTheStoredOne)
{
    DeviceStepRecord first = MakeDay(2022, 3, 14);
    Fill(first, 200, 300, 3.0);
    DeviceStepRecord second = first;
    second.slotValues2[10] = 4.5;  // same totals, other detail
    ASSERT_EQ(Insert(first), USER_OK);
    ASSERT_EQ(Insert(second), USER_OK);
    StepRecord out;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(out.day.slotValues2[10], 4.5);
}

TEST_F(DaysTest, DamagedStoredDayIsReportedAndCanBeStoredAgain)
{
    DeviceStepRecord r = MakeDay(2022, 3, 14);
    Fill(r, 200, 300, 3.0);
    ASSERT_EQ(Insert(r), USER_OK);
    USER_Term(0, "508317");
    ASSERT_TRUE(RawExec("UPDATE KX300_Data SET record = x'0102'"));
    ASSERT_EQ(Reopen(), 0);
    StepRecord out;
    EXPECT_EQ(Get(2022, 3, 14, out), USER_ERR_GENERAL);
    EXPECT_FALSE(m_error.empty());
    EXPECT_EQ(USER_GetErrorMsg(USER_ERR_GENERAL), m_error);
    ASSERT_EQ(Insert(r), USER_OK) << m_error;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(std::memcmp(&out.day, &r, sizeof r), 0);
}

TEST_F(DaysTest, WeightAtInsertTimeIsTheAnalysisWeight)
{
    DeviceStepRecord r = MakeDay(2022, 3, 14);
    Fill(r, 10, 20, 50 * 0.1002);
    ASSERT_EQ(Insert(r, 50), USER_OK);
    UserRecord u{};
    ASSERT_EQ(USER_GetUser(10002, u), USER_OK);
    u.weight = 90;
    ASSERT_EQ(USER_EditUser(u), USER_OK);
    StepRecord out;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(out.effectiveCount, 1);
    EXPECT_EQ(out.effectiveMinutes, 20);
    EXPECT_EQ(RawQuery("SELECT stride FROM KX300_Data"), "70");
}

TEST_F(DaysTest, BadRecordsAreRefusedWithText)
{
    struct Case {
        const char* what;
        void (*spoil)(DeviceStepRecord&);
    };
    const Case cases[] = {
        {"status", [](DeviceStepRecord& r) { r.date.status = 1; }},
        {"status -1", [](DeviceStepRecord& r) { r.date.status = -1; }},
        {"before 2000", [](DeviceStepRecord& r) { r.date.dt = OleDateFromYmd(1999, 12, 31); }},
        {"after 2099", [](DeviceStepRecord& r) { r.date.dt = OleDateFromYmd(2100, 1, 1); }},
        {"zero date", [](DeviceStepRecord& r) { r.date.dt = 0; }},
        {"nan date", [](DeviceStepRecord& r) { r.date.dt = std::numeric_limits<double>::quiet_NaN(); }},
        {"inf date", [](DeviceStepRecord& r) { r.date.dt = std::numeric_limits<double>::infinity(); }},
        {"nan slot", [](DeviceStepRecord& r) { r.slotKcal[300] = std::numeric_limits<double>::quiet_NaN(); }},
        {"inf slot", [](DeviceStepRecord& r) { r.slotKcal[719] = std::numeric_limits<double>::infinity(); }},
        {"negative slot", [](DeviceStepRecord& r) { r.slotKcal[0] = -0.5; }},
        {"negative count", [](DeviceStepRecord& r) { r.slotValues[5] = -1; }},
        {"nan second values", [](DeviceStepRecord& r) { r.slotValues2[720] = std::numeric_limits<double>::quiet_NaN(); }},
        {"negative second values", [](DeviceStepRecord& r) { r.slotValues2[1] = -2; }},
        {"negative steps", [](DeviceStepRecord& r) { r.steps = -1; }},
        {"negative calories", [](DeviceStepRecord& r) { r.calories = -1; }},
        {"nan calories", [](DeviceStepRecord& r) { r.calories = std::numeric_limits<double>::quiet_NaN(); }},
    };
    for (const Case& c : cases) {
        DeviceStepRecord r = MakeDay(2022, 3, 14);
        Fill(r, 10, 20, 6.0);
        c.spoil(r);
        EXPECT_EQ(Insert(r), USER_ERR_BAD_DAY) << c.what;
        EXPECT_FALSE(m_error.empty()) << c.what;
        std::string why;
        EXPECT_EQ(CheckDayRecord(r, why), USER_ERR_BAD_DAY) << c.what;
    }
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_BAD_DAY).empty());
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "0");
}

TEST(DayRefusal, EdgesOfTheRangeAndOfToday)
{
    const double someToday = OleDateFromYmd(2030, 5, 6) + 0.25;
    EXPECT_EQ(FindDayRefusal(MakeDay(2000, 1, 1), someToday), DayRefusal::None);
    EXPECT_EQ(FindDayRefusal(MakeDay(1999, 12, 31), someToday), DayRefusal::OutOfRange);
    DeviceStepRecord late = MakeDay(2030, 5, 6);
    late.date.dt += 0.999;  // a time late in the day still belongs to it
    EXPECT_EQ(FindDayRefusal(late, someToday), DayRefusal::None);
    EXPECT_EQ(FindDayRefusal(MakeDay(2030, 5, 7), someToday), DayRefusal::InFuture);
    // The last day of the range is taken once it has come; the next one never.
    EXPECT_EQ(FindDayRefusal(MakeDay(2099, 12, 31), OleDateFromYmd(2099, 12, 31)), DayRefusal::None);
    EXPECT_EQ(FindDayRefusal(MakeDay(2100, 1, 1), OleDateFromYmd(2100, 6, 1)), DayRefusal::OutOfRange);
    DeviceStepRecord bad = MakeDay(2000, 1, 1);
    bad.slotValues2[3] = -1.0;
    EXPECT_EQ(FindDayRefusal(bad, someToday), DayRefusal::InvalidValues);
}

TEST_F(DaysTest, FirstDayOfTheRangeAndTodayAreStoredTomorrowIsNot)
{
    DeviceStepRecord first = MakeDay(2000, 1, 1);
    DeviceStepRecord today = MakeDay(2000, 1, 1);
    today.date.dt = TodayOleDate() + 0.5;
    DeviceStepRecord tomorrow = today;
    tomorrow.date.dt += 1.0;
    ASSERT_EQ(Insert(first), USER_OK) << m_error;
    ASSERT_EQ(Insert(today), USER_OK) << m_error;
    EXPECT_EQ(Insert(tomorrow), USER_ERR_BAD_DAY);
    EXPECT_NE(m_error.find(OleDateText(tomorrow.date.dt)), std::string::npos) << m_error;
    std::string detail;
    EXPECT_EQ(USER_GetErrorTextId(USER_ERR_BAD_DAY, detail), kUserDbLastTextId);
    EXPECT_EQ(detail, OleDateText(tomorrow.date.dt));
    StepRecord out;
    EXPECT_EQ(Get(2000, 1, 1, out), USER_OK);
    EXPECT_EQ(USER_GetData2(10002, today.date.dt, out, m_error), USER_OK);
    EXPECT_EQ(out.day.date.dt, today.date.dt);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "2");
}

TEST_F(DaysTest, UnknownUserIsRefused)
{
    std::string error;
    EXPECT_EQ(USER_InsertData(10099, 60, 70, MakeDay(2022, 1, 1), error), USER_ERR_NOT_FOUND);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(RawQuery("SELECT count(*) FROM KX300_Data"), "0");
}

TEST_F(DaysTest, MissingDayIsNotAnEmptyRow)
{
    DeviceStepRecord r = MakeDay(2022, 3, 14);
    Fill(r, 10, 20, 6.0);
    ASSERT_EQ(Insert(r), USER_OK);
    StepRecord out;
    EXPECT_NE(Get(2022, 3, 15, out), USER_OK);
    EXPECT_EQ(Get(2022, 3, 15, out), USER_ERR_NO_DATA);
    EXPECT_FALSE(m_error.empty());
    EXPECT_FALSE(USER_GetErrorMsg(USER_ERR_NO_DATA).empty());
    // Another user's day is not this user's.
    EXPECT_NE(Get(2022, 3, 14, out, 10001), USER_OK);
    EXPECT_NE(Get(2022, 3, 14, out, 10099), USER_OK);
    std::string error;
    EXPECT_NE(USER_GetData2(10002, std::numeric_limits<double>::quiet_NaN(), out, error), USER_OK);
    EXPECT_NE(USER_GetData2(10002, -1e300, out, error), USER_OK);
    // A time of day within the day still finds it.
    EXPECT_EQ(USER_GetData2(10002, OleDateFromYmd(2022, 3, 14) + 0.5, out, error), USER_OK);
}

TEST_F(DaysTest, GetDataReplacesWhatTheRecordHeld)
{
    DeviceStepRecord busy = MakeDay(2022, 3, 14);
    Fill(busy, 10, 20, 9.0);
    Fill(busy, 100, 130, 9.0);
    DeviceStepRecord quiet = MakeDay(2022, 3, 15);
    Fill(quiet, 10, 12, 1.0);
    ASSERT_EQ(Insert(busy), USER_OK);
    ASSERT_EQ(Insert(quiet), USER_OK);
    StepRecord out;
    ASSERT_EQ(Get(2022, 3, 14, out), USER_OK);
    EXPECT_EQ(out.effectiveCount, 2);
    ASSERT_EQ(Get(2022, 3, 15, out), USER_OK);
    EXPECT_EQ(out.effectiveCount, 0);
    EXPECT_TRUE(out.exerciseStart.empty());
    EXPECT_EQ(out.effectiveKcal, 0.0);
    EXPECT_EQ(out.longestMinutes, 0);
}

TEST_F(DaysTest, DaysSurviveReopening)
{
    for (int d = 1; d <= 31; ++d) {
        DeviceStepRecord r = MakeDay(2023, 1, d);
        Fill(r, d, d + 10, 7.0);
        ASSERT_EQ(Insert(r), USER_OK);
    }
    ASSERT_EQ(Reopen(), 0);
    for (int d = 1; d <= 31; ++d) {
        StepRecord out;
        ASSERT_EQ(Get(2023, 1, d, out), USER_OK) << d;
        EXPECT_EQ(out.exerciseStart, std::vector<uint32_t>{static_cast<uint32_t>(d)});
    }
    EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
}

}  // namespace
