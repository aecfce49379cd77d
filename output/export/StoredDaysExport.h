#pragma once
// A user's stored days out of the user store into a file: the chart page's month and the user
// list's "every stored day". Each asks for the file, reads the days (one USER_GetData2 per
// day), writes them and says how it went.

#include "output/export/DayExport.h"

#include <QDate>
#include <QString>

#include <vector>

struct StepRecord;
struct UserRecord;
class QWidget;

// The days the store can hold for anyone: 2000-01-01 to today.
QDate FirstStorableDay();
QDate LastStorableDay();

// A stored day as an export row; the distance is the steps times the stride (cm).
DayExportRow DayExportRowOf(const QDate& date, const StepRecord& record, int strideCm);

// The user's stored days from `from` to `to` in date order; days the store does not hold are
// left out. False, with the store's text in error, when the store fails on a day.
bool ReadStoredDays(const UserRecord& user, const QDate& from, const QDate& to, std::vector<DayExportRow>& days,
                    QString& error);

// The headings and sheet names in the user's language.
DayExportTexts StoredDayTexts();

// "Export this month…": the month's stored days as CSV or .xlsx.
void ExportUserMonth(QWidget* parent, const UserRecord& user, int year, int month);
// "Export step data…": every stored day as .xlsx (with the two-minute sheet) or CSV.
void ExportUserAllDays(QWidget* parent, const UserRecord& user);
