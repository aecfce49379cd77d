#pragma once
// The writer side of a user's day exports: one row per day with its totals.
// The caller reads the days from the store and passes plain values; the
// format (CSV, .xlsx, also .xls) follows the path's extension.

#include "output/export/ExportBook.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

struct DayExportRow {
    QDate date;
    int steps = 0;
    double distanceKm = 0.0;
    double kcal = 0.0;
    int effectiveCount = 0;
    int effectiveMinutes = 0;
    double effectiveKcal = 0.0;
    // kcal of the day's 720 two-minute slots; only the all-days export uses it.
    std::vector<double> slotKcal;
};

// The caller's texts (from its string table).
struct DayExportTexts {
    // Date, steps, distance, kcal, effective count, effective minutes, effective kcal.
    QStringList headings;
    QString daysSheet;   // name of the sheet of day rows
    QString slotsSheet;  // name of the sheet of two-minute slots (.xlsx only)
};

constexpr int kDayExportColumns = 7;

// The texts of one day's row: date "yyyy-MM-dd", steps, distance "%.2f",
// kcal "%.3f", count, minutes, effective kcal "%.2f".
QStringList DayRowTexts(const DayExportRow& day);
// The slot sheet's headings after the date: "00:00", "00:02", ... "23:58".
QStringList SlotHeadings();

// A heading row, then one row per day in the order given.
ExportResult ExportDays(const QString& filePath, const DayExportTexts& texts, const std::vector<DayExportRow>& days);
// The same and, in an .xlsx file, a second sheet with one row per day: the date
// and the 720 slot values (a missing slot is 0).
ExportResult ExportAllDays(const QString& filePath, const DayExportTexts& texts,
                           const std::vector<DayExportRow>& days);
