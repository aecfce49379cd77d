#include "external/records/Records.h"

#include <gtest/gtest.h>

#include <QDate>

#include <cstring>
#include <limits>

TEST(RecordNames, TenBytesFitElevenDoNot)
{
    UserRecord r{};
    EXPECT_TRUE(SetRecordName(r, "abcdefghij"));
    EXPECT_EQ(RecordName(r), "abcdefghij");
    EXPECT_EQ(r.name[10], '\0');

    EXPECT_FALSE(NameFits("abcdefghijk"));
    EXPECT_FALSE(SetRecordName(r, "abcdefghijk"));
    EXPECT_EQ(RecordName(r), "abcdefghij");
}

TEST(RecordNames, MultiByteCharactersAreNeverSplit)
{
    UserRecord r{};
    // Four three-byte characters are 12 bytes: only three fit.
    EXPECT_FALSE(SetRecordName(r, "张三李四"));
    EXPECT_EQ(RecordName(r), "张三李");
    EXPECT_EQ(Utf8Prefix("a张", 2), "a");
    EXPECT_EQ(Utf8Prefix("a张", 4), "a张");
    EXPECT_EQ(Utf8Prefix("", 0), "");
    EXPECT_EQ(Utf8Prefix("张", 0), "");
}

TEST(RecordNames, NameWithoutTerminatorIsReadWithinTheField)
{
    UserRecord r{};
    std::memset(r.name, 'x', sizeof r.name);  // a hostile record with no NUL
    EXPECT_EQ(RecordName(r).size(), sizeof r.name);
}

TEST(RecordPasswords, OnlyEmptyOrFullDigestsAreTaken)
{
    UserRecord r{};
    const std::string digest(32, 'a');
    EXPECT_TRUE(SetRecordPassword(r, digest));
    EXPECT_EQ(RecordPassword(r), digest);
    EXPECT_FALSE(SetRecordPassword(r, "short"));
    EXPECT_EQ(RecordPassword(r), digest);
    EXPECT_TRUE(SetRecordPassword(r, ""));
    EXPECT_EQ(RecordPassword(r), "");
}

TEST(DeviceIds, OnlyNumbersStrictlyBetweenCountAsUsers)
{
    EXPECT_FALSE(IsUserNumberId(10000));
    EXPECT_TRUE(IsUserNumberId(10001));
    EXPECT_TRUE(IsUserNumberId(999998));
    EXPECT_FALSE(IsUserNumberId(kBlankDeviceId));
    EXPECT_FALSE(IsUserNumberId(0));
    EXPECT_FALSE(IsUserNumberId(-5));
}

TEST(OleDates, KnownValuesAndRoundTrip)
{
    EXPECT_EQ(OleDateFromYmd(1899, 12, 30), 0.0);
    EXPECT_EQ(OleDateFromYmd(1900, 1, 1), 2.0);
    EXPECT_EQ(OleDateFromYmd(2000, 1, 1), 36526.0);
    EXPECT_EQ(OleDateFromYmd(2008, 1, 1), 39448.0);
    for (int y : {1999, 2000, 2004, 2023, 2024, 2099}) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                const Ymd back = OleDateToYmd(OleDateFromYmd(y, m, d));
                ASSERT_EQ(back, (Ymd{y, m, d})) << y << "-" << m << "-" << d;
            }
        }
    }
}

TEST(OleDates, TimeOfDayAndHostileValues)
{
    EXPECT_EQ(OleDateToYmd(39448.999), (Ymd{2008, 1, 1}));
    EXPECT_EQ(OleDateToYmd(-0.5), (Ymd{1899, 12, 29}));
    EXPECT_EQ(OleDateToYmd(std::numeric_limits<double>::quiet_NaN()), Ymd{});
    EXPECT_EQ(OleDateToYmd(std::numeric_limits<double>::infinity()), Ymd{});
    EXPECT_EQ(OleDateToYmd(1e300), Ymd{});
}

TEST(Calendar, MonthLengthsAndLeapYears)
{
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_FALSE(IsValidYmd(2023, 2, 29));
    EXPECT_TRUE(IsValidYmd(2024, 2, 29));
    EXPECT_FALSE(IsValidYmd(2024, 0, 1));
}

TEST(AlarmTime, BuiltOnFirstOfJanuary2008AndSplitBack)
{
    const int32_t alarm = MakeAlarmTime(7, 30, 15);
    int h = -1, m = -1, s = -1;
    SplitAlarmTime(alarm, h, m, s);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);
    // The whole day of 2008-01-01 lies within one day of the epoch offset of that date.
    EXPECT_GE(alarm, 1199145600 - 14 * 3600);
    EXPECT_LE(alarm, 1199145600 + 24 * 3600 + 12 * 3600);
}

TEST(StepRecords, ClearEmptiesDayAndAnalysis)
{
    StepRecord r;
    r.day.steps = 5;
    r.day.slotKcal[719] = 2.5;
    r.exerciseStart = {1};
    r.exerciseSlots = {5};
    r.exerciseKcal = {1000};
    r.effectiveCount = 1;
    r.effectiveKcal = 1.0;
    r.Clear();
    EXPECT_EQ(r.day.steps, 0);
    EXPECT_EQ(r.day.slotKcal[719], 0.0);
    EXPECT_TRUE(r.exerciseStart.empty());
    EXPECT_EQ(r.effectiveCount, 0);
    EXPECT_EQ(r.effectiveKcal, 0.0);
}

TEST(OleDates, TextAndToday)
{
    EXPECT_EQ(OleDateText(OleDateFromYmd(2024, 2, 29) + 0.99), "2024-02-29");
    EXPECT_EQ(OleDateText(OleDateFromYmd(2000, 1, 1)), "2000-01-01");
    const QDate today = QDate::currentDate();
    EXPECT_EQ(TodayOleDate(), OleDateFromYmd(today.year(), today.month(), today.day()));
}
