#include "output/export/DayExport.h"

#include "external/records/Records.h"

#include <charconv>

namespace {

QString Fixed(double value, int decimals)
{
    char digits[64];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return QString::number(value, 'f', decimals);
    return QString::fromLatin1(digits, end - digits);
}

ExportSheet DaysSheet(const DayExportTexts& texts, const std::vector<DayExportRow>& days)
{
    ExportSheet sheet{texts.daysSheet, {}, {1, 2, 3, 4, 5, 6}};
    sheet.rows.reserve(days.size() + 1);
    sheet.rows.push_back(texts.headings.mid(0, kDayExportColumns));
    for (const DayExportRow& day : days)
        sheet.rows.push_back(DayRowTexts(day));
    return sheet;
}

ExportSheet SlotsSheet(const DayExportTexts& texts, const std::vector<DayExportRow>& days)
{
    ExportSheet sheet{texts.slotsSheet, {}, {}};
    for (int c = 1; c <= kSlotsPerDay; ++c)
        sheet.numberColumns.append(c);
    sheet.rows.reserve(days.size() + 1);
    sheet.rows.push_back(QStringList{texts.headings.value(0)} + SlotHeadings());
    for (const DayExportRow& day : days) {
        QStringList row;
        row.reserve(kSlotsPerDay + 1);
        row.append(day.date.toString(Qt::ISODate));
        for (int s = 0; s < kSlotsPerDay; ++s)
            row.append(Fixed(s < static_cast<int>(day.slotKcal.size()) ? day.slotKcal[static_cast<size_t>(s)] : 0.0, 3));
        sheet.rows.push_back(std::move(row));
    }
    return sheet;
}

}  // namespace

QStringList DayRowTexts(const DayExportRow& day)
{
    return {day.date.toString(Qt::ISODate),   QString::number(day.steps),
            Fixed(day.distanceKm, 2),         Fixed(day.kcal, 3),
            QString::number(day.effectiveCount), QString::number(day.effectiveMinutes),
            Fixed(day.effectiveKcal, 2)};
}

QStringList SlotHeadings()
{
    QStringList headings;
    headings.reserve(kSlotsPerDay);
    for (int s = 0; s < kSlotsPerDay; ++s)
        headings.append(QStringLiteral("%1:%2").arg(s / 30, 2, 10, QLatin1Char('0')).arg(s % 30 * 2, 2, 10, QLatin1Char('0')));
    return headings;
}

ExportResult ExportDays(const QString& filePath, const DayExportTexts& texts, const std::vector<DayExportRow>& days)
{
    ExportWorkbook book;
    book.sheets.push_back(DaysSheet(texts, days));
    return WriteWorkbook(filePath, book);
}

ExportResult ExportAllDays(const QString& filePath, const DayExportTexts& texts,
                           const std::vector<DayExportRow>& days)
{
    ExportWorkbook book;
    book.sheets.push_back(DaysSheet(texts, days));
    // Only .xlsx holds 721 columns; CSV holds one sheet.
    if (ExportFormatForPath(filePath) == ExportFormat::Xlsx)
        book.sheets.push_back(SlotsSheet(texts, days));
    return WriteWorkbook(filePath, book);
}
