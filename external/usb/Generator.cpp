#include "external/usb/Generator.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Draws from mt19937's raw output so a seed gives the same days with every standard library.
class DayRandom {
public:
    DayRandom(uint32_t seed, uint32_t day)
    {
        std::seed_seq seq{seed, day, 0x5EEDu};
        m_engine.seed(seq);
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (static_cast<double>(m_engine()) / 4294967296.0); }
    int Int(int lo, int hi) { return lo + static_cast<int>(m_engine() % static_cast<uint32_t>(hi - lo + 1)); }
    bool Chance(double p) { return Uniform(0.0, 1.0) < p; }

private:
    std::mt19937 m_engine;
};

struct Slot {
    double met = 1.0;
    int steps = 0;
};

constexpr int kSlotsPerHour = 30;

// Marks an activity of `slots` slots from `start` at the given intensity band and cadence band.
void PlaceActivity(std::vector<Slot>& day, DayRandom& rnd, int start, int slots, double metLo, double metHi,
                   double cadenceLo, double cadenceHi)
{
    const double met = rnd.Uniform(metLo, metHi);
    const double cadence = rnd.Uniform(cadenceLo, cadenceHi);  // steps a minute
    for (int s = start; s < start + slots && s < kSlotsPerDay; ++s) {
        const double m = std::clamp(met + rnd.Uniform(-0.25, 0.25), metLo, metHi);
        const double c = std::clamp(cadence + rnd.Uniform(-4.0, 4.0), cadenceLo, cadenceHi);
        day[s].met = m;
        day[s].steps = static_cast<int>(std::lround(c * 2.0));
    }
}

}  // namespace

double RestingKcalPerSlot(int weightKg)
{
    return SlotKcalAtMet(1.0, weightKg);
}

double SlotKcalAtMet(double met, int weightKg)
{
    return met * weightKg * 2.0 / 60.0;
}

DeviceStepRecord GenerateDay(double oleDate, int weightKg, uint32_t seed)
{
    weightKg = std::max(weightKg, 1);
    const long long dayNumber = static_cast<long long>(std::floor(oleDate));
    DayRandom rnd(seed, static_cast<uint32_t>(dayNumber));
    // OLE day 0 (1899-12-30) was a Saturday.
    const long long dow = ((dayNumber % 7) + 7) % 7;
    const bool weekend = dow == 0 || dow == 1;

    std::vector<Slot> day(kSlotsPerDay);
    const int wake = rnd.Int(6 * kSlotsPerHour, (weekend ? 9 : 7) * kSlotsPerHour + 15);
    const int sleep = rnd.Int(22 * kSlotsPerHour, kSlotsPerDay - 1);

    // Waking hours: sitting, standing, pottering about.
    for (int s = wake; s < sleep; ++s) {
        int steps = 0;
        if (rnd.Chance(0.25))
            steps = rnd.Int(4, 50);
        day[s].steps = steps;
        day[s].met = 1.2 + 0.01 * steps + rnd.Uniform(0.0, 0.35);
    }

    const int waking = sleep - wake;
    const int walks = rnd.Int(1, weekend ? 3 : 2);
    for (int i = 0; i < walks && waking > 40; ++i) {
        const int length = rnd.Int(5, 25);  // 10 to 50 minutes
        const int start = rnd.Int(wake + 5, std::max(wake + 5, sleep - length - 5));
        PlaceActivity(day, rnd, start, length, 3.5, 4.5, 100.0, 125.0);
    }
    if (rnd.Chance(weekend ? 0.55 : 0.3) && waking > 60) {
        const int length = rnd.Int(10, 25);  // 20 to 50 minutes
        const int start = rnd.Int(wake + 10, std::max(wake + 10, sleep - length - 10));
        PlaceActivity(day, rnd, start, length, 7.0, 10.0, 150.0, 180.0);
    }

    DeviceStepRecord r{};
    r.date.dt = oleDate;
    r.date.status = 0;
    int steps = 0;
    double calories = 0.0;
    for (int s = 0; s < kSlotsPerDay; ++s) {
        r.slotValues[s] = day[s].steps;
        r.slotKcal[s] = SlotKcalAtMet(day[s].met, weightKg);
        steps += day[s].steps;
        calories += r.slotKcal[s];
    }
    r.steps = steps;
    r.calories = calories;
    return r;
}

std::vector<DeviceStepRecord> GenerateDays(int firstYear, int firstMonth, int firstDay, int count, int weightKg, uint32_t seed)
{
    std::vector<DeviceStepRecord> days;
    if (count <= 0)
        return days;
    const double first = OleDateFromYmd(firstYear, firstMonth, firstDay);
    days.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        days.push_back(GenerateDay(first + i, weightKg, seed));
    return days;
}
