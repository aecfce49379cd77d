#include "userpage/HomeOverview.h"

#include "external/records/Records.h"

#include <algorithm>
#include <cmath>
#include <set>

PeriodTotals SumPeriod(const std::vector<DayActivity>& days, const QDate& first, const QDate& last,
                       const UserRecord& user)
{
    PeriodTotals t;
    if (!first.isValid() || !last.isValid() || last < first)
        return t;
    t.days = int(first.daysTo(last)) + 1;
    std::set<qint64> seen;
    for (const DayActivity& d : days) {
        if (!d.date.isValid() || d.date < first || d.date > last || !seen.insert(d.date.toJulianDay()).second)
            continue;
        ++t.daysWithData;
        t.steps += std::max<int64_t>(d.steps, 0);
        if (std::isfinite(d.kcal) && d.kcal > 0)
            t.kcal += d.kcal;
        t.effectiveMinutes += std::max<int64_t>(d.effectiveMinutes, 0);
    }
    const double strideCm = std::max(user.stride, 0);
    t.distanceKm = double(t.steps) * strideCm / 100000.0;
    t.targetSteps = int64_t(std::max(user.targetSteps, 0)) * t.days;
    t.targetDistanceKm = double(std::max(user.targetDistance, 0)) * t.days / 1000.0;
    t.targetKcal = double(std::max(user.targetCalories, 0)) * t.days;
    return t;
}

QDate WeekStart(const QDate& today)
{
    return today.addDays(1 - today.dayOfWeek());
}

QDate MonthStart(const QDate& today)
{
    return QDate(today.year(), today.month(), 1);
}

QDate OverviewFirstDay(const QDate& today)
{
    return std::min({today.addDays(1 - kOverviewDays), WeekStart(today), MonthStart(today)});
}

double OverviewScaleMax(double maxKcal, double targetKcal)
{
    constexpr double kStep = 50.0;
    double top = 0.0;
    for (double v : {maxKcal, targetKcal})
        if (std::isfinite(v) && v > top)
            top = v;
    top = std::min(top * 1.15, 1.0e7);
    return std::max(kStep, std::ceil(top / kStep) * kStep);
}
