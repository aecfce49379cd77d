#pragma once
// Realistic pedometer days for the virtual pedometer, tests, screenshots and benchmarks.
//
// A day: a night of resting energy (weight x 1 kcal/kg/h), a waking day of
// light activity, one to three walks (3.5-4.5 METs, 100-125 steps a minute) and
// on some days a run (7-10 METs, 150-180 steps a minute). Every slot spends at
// least the resting energy; the day's calories are the sum of its slots and its
// steps the sum of its slots' steps (kept per slot in slotValues). The same
// seed and date always give the same day, whatever the first day or count.

#include "external/records/Records.h"

#include <cstdint>
#include <vector>

// kcal per 2-minute slot at rest: weight x 1 kcal/kg/h = weight / 30.
double RestingKcalPerSlot(int weightKg);
// kcal per 2-minute slot at an intensity of met METs: MET x weight x 2/60.
double SlotKcalAtMet(double met, int weightKg);

// One day dated oleDate (status 0). weightKg is taken as at least 1.
DeviceStepRecord GenerateDay(double oleDate, int weightKg, uint32_t seed);
// count consecutive days from the given date (count < 0 gives none).
std::vector<DeviceStepRecord> GenerateDays(int firstYear, int firstMonth, int firstDay, int count, int weightKg, uint32_t seed);
