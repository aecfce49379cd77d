#pragma once
// The home page's activity overview, as arithmetic: one day's figures, the sums of a period
// against the user's daily targets, the periods and the bar chart's scale. Pure functions.

#include <QDate>

#include <cstdint>
#include <vector>

struct UserRecord;

// What a stored day contributes to the overview.
struct DayActivity {
    QDate date;
    int64_t steps = 0;
    double kcal = 0.0;
    int64_t effectiveMinutes = 0;
};

// A period's sums and the daily targets summed over its days.
struct PeriodTotals {
    int days = 0;           // days in the period
    int daysWithData = 0;   // of those, the days found
    int64_t steps = 0;
    double distanceKm = 0.0;  // steps × stride
    double kcal = 0.0;
    int64_t effectiveMinutes = 0;
    int64_t targetSteps = 0;
    double targetDistanceKm = 0.0;
    double targetKcal = 0.0;
};

// Sums the days of [first, last]: a day missing from `days` counts as zero, a date given twice
// counts once (the first), days outside the period and negative figures count nothing.
// Targets are the user's daily targets times the days of the period (negative targets as 0).
PeriodTotals SumPeriod(const std::vector<DayActivity>& days, const QDate& first, const QDate& last,
                       const UserRecord& user);

constexpr int kOverviewDays = 30;

// The Monday of today's week and the first of today's month.
QDate WeekStart(const QDate& today);
QDate MonthStart(const QDate& today);
// The first day the overview needs: the earliest of the last 30 days, the week and the month.
QDate OverviewFirstDay(const QDate& today);

// The top of the bar scale: a little above the larger of the highest day and the target, in
// whole steps of 50 kcal, never below 50.
double OverviewScaleMax(double maxKcal, double targetKcal);
