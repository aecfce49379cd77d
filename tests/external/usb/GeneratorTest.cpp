// The generated days must look like a person's days: quiet nights, plausible
// walks and runs, totals that add up, and the same days for the same seed.

#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Generator, EnergyFormulas)
{
    EXPECT_DOUBLE_EQ(RestingKcalPerSlot(60), 2.0);      // 60 kcal an hour
    EXPECT_DOUBLE_EQ(SlotKcalAtMet(4.0, 75), 10.0);     // 4 x 75 x 2/60
    EXPECT_DOUBLE_EQ(SlotKcalAtMet(1.0, 90), RestingKcalPerSlot(90));
}

TEST(Generator, DaysAreConsecutiveValidAndAddUp)
{
    const int weight = 72;
    const auto days = GenerateDays(2023, 12, 30, 40, weight, 7);
    ASSERT_EQ(days.size(), 40u);
    const double resting = RestingKcalPerSlot(weight);
    for (size_t i = 0; i < days.size(); ++i) {
        const DeviceStepRecord& d = days[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(d.date.dt, OleDateFromYmd(2023, 12, 30) + static_cast<double>(i));
        EXPECT_EQ(d.date.status, 0);
        EXPECT_TRUE(IsValidDay(d));

        double sum = 0;
        int steps = 0;
        for (int s = 0; s < kSlotsPerDay; ++s) {
            sum += d.slotKcal[s];
            steps += d.slotValues[s];
            // Nobody spends less than resting energy, nor more than a hard run.
            EXPECT_GE(d.slotKcal[s], resting - 1e-9);
            EXPECT_LE(d.slotKcal[s], SlotKcalAtMet(10.0, weight) + 1e-9);
            // A 2-minute slot holds at most a fast runner's 180 steps a minute.
            EXPECT_GE(d.slotValues[s], 0);
            EXPECT_LE(d.slotValues[s], 360);
        }
        EXPECT_NEAR(d.calories, sum, 1e-6);
        EXPECT_EQ(d.steps, steps);

        // Sleeping from midnight to 5 o'clock: resting energy, no steps.
        for (int s = 0; s < 5 * 30; ++s) {
            EXPECT_DOUBLE_EQ(d.slotKcal[s], resting);
            EXPECT_EQ(d.slotValues[s], 0);
        }
        // A day is between a lazy and a very active one.
        EXPECT_GT(d.steps, 1500);
        EXPECT_LT(d.steps, 40000);
        EXPECT_GT(d.calories, resting * kSlotsPerDay * 1.1);
        EXPECT_LT(d.calories, resting * kSlotsPerDay * 2.5);
    }
}

TEST(Generator, EveryDayHasAWalkAndSomeDaysARun)
{
    const int weight = 60;
    const auto days = GenerateDays(2024, 5, 1, 60, weight, 11);
    int runDays = 0;
    for (const DeviceStepRecord& d : days) {
        int walkSlots = 0, runSlots = 0;
        for (int s = 0; s < kSlotsPerDay; ++s) {
            const double met = d.slotKcal[s] / RestingKcalPerSlot(weight);
            if (met >= 3.5 - 1e-9 && met <= 4.5 + 1e-9) {
                ++walkSlots;
                EXPECT_GE(d.slotValues[s], 190);  // brisk walking cadence
            }
            if (met >= 7.0 - 1e-9) {
                ++runSlots;
                EXPECT_GE(d.slotValues[s], 290);
            }
            // Nothing between a walk and a run: the bands do not blur.
            EXPECT_FALSE(met > 4.5 + 1e-9 && met < 7.0 - 1e-9) << met;
        }
        EXPECT_GE(walkSlots, 5);  // at least ten minutes of walking
        runDays += runSlots >= 10 ? 1 : 0;
    }
    EXPECT_GT(runDays, 5);
    EXPECT_LT(runDays, 50);
}

TEST(Generator, SameSeedSameDaysOtherSeedOtherDays)
{
    const auto a = GenerateDays(2024, 1, 1, 10, 80, 42);
    const auto b = GenerateDays(2024, 1, 1, 10, 80, 42);
    const auto c = GenerateDays(2024, 1, 1, 10, 80, 43);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(DeviceStepRecord)), 0);
    EXPECT_NE(std::memcmp(a.data(), c.data(), a.size() * sizeof(DeviceStepRecord)), 0);
    // A date's day does not depend on where the run of days starts.
    const auto later = GenerateDays(2024, 1, 4, 2, 80, 42);
    EXPECT_EQ(std::memcmp(&later[0], &a[3], sizeof(DeviceStepRecord)), 0);
}

TEST(Generator, DegenerateArguments)
{
    EXPECT_TRUE(GenerateDays(2024, 1, 1, 0, 60, 1).empty());
    EXPECT_TRUE(GenerateDays(2024, 1, 1, -3, 60, 1).empty());
    // A blank profile's weight of 0 still gives a valid day.
    const DeviceStepRecord d = GenerateDay(OleDateFromYmd(2024, 1, 1), 0, 1);
    EXPECT_TRUE(IsValidDay(d));
    EXPECT_GT(d.calories, 0);
}
