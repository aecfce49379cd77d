#include "external/userdb/UserDb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

DeviceStepRecord Quiet()
{
    DeviceStepRecord r;
    std::memset(&r, 0, sizeof r);
    r.date.dt = OleDateFromYmd(2024, 6, 1);
    return r;
}

void Active(DeviceStepRecord& r, int from, int slots, double kcal)
{
    for (int s = from; s < from + slots; ++s)
        r.slotKcal[s] = kcal;
}

void ExpectConsistent(const StepRecord& out)
{
    ASSERT_EQ(out.exerciseStart.size(), static_cast<size_t>(out.effectiveCount));
    ASSERT_EQ(out.exerciseSlots.size(), out.exerciseStart.size());
    ASSERT_EQ(out.exerciseKcal.size(), out.exerciseStart.size());
    int minutes = 0;
    int longest = 0;
    for (uint32_t slots : out.exerciseSlots) {
        minutes += static_cast<int>(slots) * 2;
        longest = std::max(longest, static_cast<int>(slots) * 2);
    }
    EXPECT_EQ(out.effectiveMinutes, minutes);
    EXPECT_EQ(out.longestMinutes, longest);
}

TEST(AnalyseExercise, FourSlotsAreNotAnExerciseFiveAre)
{
    const int weight = 60;
    const double kcal = 8.0;
    DeviceStepRecord r = Quiet();
    Active(r, 100, 4, kcal);
    StepRecord out;
    AnalyseExercise(r, weight, out);
    EXPECT_EQ(out.effectiveCount, 0);
    EXPECT_EQ(out.effectiveMinutes, 0);
    EXPECT_EQ(out.effectiveKcal, 0.0);

    Active(r, 200, 5, kcal);
    AnalyseExercise(r, weight, out);
    ExpectConsistent(out);
    ASSERT_EQ(out.effectiveCount, 1);
    EXPECT_EQ(out.exerciseStart[0], 200u);
    EXPECT_EQ(out.exerciseSlots[0], 5u);
    EXPECT_EQ(out.exerciseKcal[0], 40000u);
    EXPECT_EQ(out.effectiveMinutes, 10);
    EXPECT_EQ(out.longestMinutes, 10);
    EXPECT_DOUBLE_EQ(out.effectiveKcal, 40.0);
}

TEST(AnalyseExercise, RunAtTheStartAndAtTheEndOfTheDay)
{
    DeviceStepRecord r = Quiet();
    Active(r, 0, 5, 7.0);
    Active(r, 715, 5, 7.0);
    StepRecord out;
    AnalyseExercise(r, 60, out);
    ExpectConsistent(out);
    ASSERT_EQ(out.effectiveCount, 2);
    EXPECT_EQ(out.exerciseStart[0], 0u);
    EXPECT_EQ(out.exerciseStart[1], 715u);
    EXPECT_EQ(out.exerciseSlots[1], 5u);

    DeviceStepRecord tail = Quiet();
    Active(tail, 716, 4, 7.0);
    AnalyseExercise(tail, 60, out);
    EXPECT_EQ(out.effectiveCount, 0);
}

TEST(AnalyseExercise, ThresholdIsInclusive)
{
    for (int weight : {1, 45, 60, 73, 150}) {
        const double threshold = weight * 0.1002;
        DeviceStepRecord r = Quiet();
        Active(r, 10, 5, threshold);
        Active(r, 100, 5, threshold);
        r.slotKcal[102] = std::nextafter(threshold, 0.0);  // breaks the second run
        StepRecord out;
        AnalyseExercise(r, weight, out);
        ExpectConsistent(out);
        ASSERT_EQ(out.effectiveCount, 1) << weight;
        EXPECT_EQ(out.exerciseStart[0], 10u);
    }
}

TEST(AnalyseExercise, SeveralRunsTotalsAndLongest)
{
    DeviceStepRecord r = Quiet();
    Active(r, 100, 6, 7.0);   // 12 minutes
    Active(r, 300, 20, 9.0);  // 40 minutes
    Active(r, 330, 3, 9.0);   // too short
    Active(r, 500, 7, 6.5);   // 14 minutes
    r.slotKcal[600] = 100.0;
    StepRecord out;
    AnalyseExercise(r, 60, out);
    ExpectConsistent(out);
    ASSERT_EQ(out.effectiveCount, 3);
    EXPECT_EQ(out.exerciseStart, (std::vector<uint32_t>{100, 300, 500}));
    EXPECT_EQ(out.exerciseSlots, (std::vector<uint32_t>{6, 20, 7}));
    EXPECT_EQ(out.exerciseKcal, (std::vector<uint32_t>{42000, 180000, 45500}));
    EXPECT_EQ(out.effectiveMinutes, 66);
    EXPECT_EQ(out.longestMinutes, 40);
    EXPECT_DOUBLE_EQ(out.effectiveKcal, 42.0 + 180.0 + 45.5);
}

TEST(AnalyseExercise, EnergyIsRoundedToThousandths)
{
    DeviceStepRecord r = Quiet();
    Active(r, 50, 5, 0.1234567);   // 0.6172835 kcal -> 617
    Active(r, 80, 5, 0.12351);     // 0.61755 kcal -> 618 (rounded, not cut)
    StepRecord out;
    AnalyseExercise(r, 1, out);
    ASSERT_EQ(out.effectiveCount, 2);
    EXPECT_EQ(out.exerciseKcal[0], 617u);
    EXPECT_EQ(out.exerciseKcal[1], 618u);
}

TEST(AnalyseExercise, WholeDayIsOneExercise)
{
    DeviceStepRecord r = Quiet();
    Active(r, 0, kSlotsPerDay, 10.0);
    StepRecord out;
    AnalyseExercise(r, 60, out);
    ExpectConsistent(out);
    ASSERT_EQ(out.effectiveCount, 1);
    EXPECT_EQ(out.exerciseSlots[0], 720u);
    EXPECT_EQ(out.longestMinutes, 1440);
    EXPECT_EQ(out.exerciseKcal[0], 7200000u);
}

TEST(AnalyseExercise, UnknownWeightDoesNotMakeAStillDayExercise)
{
    DeviceStepRecord r = Quiet();
    StepRecord out;
    AnalyseExercise(r, 0, out);
    EXPECT_EQ(out.effectiveCount, 0);
    AnalyseExercise(r, -5, out);
    EXPECT_EQ(out.effectiveCount, 0);
    Active(r, 10, 5, 0.5);
    AnalyseExercise(r, 0, out);
    EXPECT_EQ(out.effectiveCount, 1);
}

TEST(AnalyseExercise, HugeEnergyDoesNotWrap)
{
    DeviceStepRecord r = Quiet();
    Active(r, 0, 5, 1e9);
    StepRecord out;
    AnalyseExercise(r, 60, out);
    ASSERT_EQ(out.effectiveCount, 1);
    EXPECT_EQ(out.exerciseKcal[0], UINT32_MAX);
}

TEST(AnalyseExercise, ReusedRecordStartsAfresh)
{
    DeviceStepRecord busy = Quiet();
    Active(busy, 0, 30, 9.0);
    StepRecord out;
    AnalyseExercise(busy, 60, out);
    ASSERT_EQ(out.effectiveCount, 1);
    AnalyseExercise(Quiet(), 60, out);
    EXPECT_EQ(out.effectiveCount, 0);
    EXPECT_TRUE(out.exerciseKcal.empty());
    EXPECT_EQ(out.effectiveMinutes, 0);
    EXPECT_EQ(out.longestMinutes, 0);
    EXPECT_EQ(out.effectiveKcal, 0.0);
}

}  // namespace
