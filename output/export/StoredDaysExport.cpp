#include "output/export/StoredDaysExport.h"

#include "output/export/ExportDialog.h"
#include "output/export/ExportTexts.h"

#include "core/DialogService.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"

#include <functional>

namespace {

using DayWriter = std::function<ExportResult(const QString&, const DayExportTexts&, const std::vector<DayExportRow>&)>;

void ExportStoredDays(QWidget* parent, const UserRecord& user, const QDate& from, const QDate& to,
                      const QString& name, const std::vector<ExportFormat>& formats, const DayWriter& write)
{
    std::vector<DayExportRow> days;
    QString error;
    if (!ReadStoredDays(user, from, to, days, error)) {
        ReportExport(parent, ExportResult::Failure(error), QString());
        return;
    }
    if (days.empty()) {
        ShowMessageBox(parent, LoadStr(ExportText::NoStepData));
        return;
    }
    const QString path = AskExportPath(parent, name, formats);
    if (path.isEmpty())
        return;
    ReportExport(parent, write(path, StoredDayTexts(), days), ReplaceR(LoadStr(165), static_cast<int>(days.size())));
}

QString UserName(const UserRecord& user)
{
    return QString::fromStdString(RecordName(user));
}

}  // namespace

QDate FirstStorableDay()
{
    return QDate(2000, 1, 1);
}

QDate LastStorableDay()
{
    // The store's own today, so a day it has just taken is never left out.
    const Ymd today = OleDateToYmd(TodayOleDate());
    return QDate(today.year, today.month, today.day);
}

DayExportRow DayExportRowOf(const QDate& date, const StepRecord& record, int strideCm)
{
    DayExportRow row;
    row.date = date;
    row.steps = record.day.steps;
    row.distanceKm = static_cast<double>(record.day.steps) * strideCm / 100000.0;
    row.kcal = record.day.calories;
    row.effectiveCount = record.effectiveCount;
    row.effectiveMinutes = record.effectiveMinutes;
    row.effectiveKcal = record.effectiveKcal;
    row.slotKcal.assign(std::begin(record.day.slotKcal), std::end(record.day.slotKcal));
    return row;
}

bool ReadStoredDays(const UserRecord& user, const QDate& from, const QDate& to, std::vector<DayExportRow>& days,
                    QString& error)
{
    days.clear();
    StepRecord record;
    std::string detail;
    for (QDate d = from; d.isValid() && d <= to; d = d.addDays(1)) {
        const int rc = USER_GetData2(user.number, OleDateFromYmd(d.year(), d.month(), d.day()), record, detail);
        if (rc == USER_ERR_NO_DATA)
            continue;
        if (rc != USER_OK) {
            error = StoreErrorText(rc);
            days.clear();
            return false;
        }
        days.push_back(DayExportRowOf(d, record, user.stride));
    }
    return true;
}

DayExportTexts StoredDayTexts()
{
    return {{LoadStr(208), LoadStr(238), LoadStr(ExportText::DistanceHeading), LoadStr(209), LoadStr(212),
             LoadStr(213), LoadStr(210)},
            LoadStr(ExportText::DaysSheet),
            LoadStr(ExportText::SlotsSheet)};
}

void ExportUserMonth(QWidget* parent, const UserRecord& user, int year, int month)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return;
    const QString name = QStringLiteral("%1-%2").arg(UserName(user), first.toString(QStringLiteral("yyyy-MM")));
    ExportStoredDays(parent, user, first, first.addMonths(1).addDays(-1), name, {ExportFormat::Csv, ExportFormat::Xlsx},
                     ExportDays);
}

void ExportUserAllDays(QWidget* parent, const UserRecord& user)
{
    const QString name = QStringLiteral("%1-%2").arg(UserName(user)).arg(user.number);
    ExportStoredDays(parent, user, FirstStorableDay(), LastStorableDay(), name, {ExportFormat::Xlsx, ExportFormat::Csv},
                     ExportAllDays);
}
