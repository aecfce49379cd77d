#include "charts/DayDetailFormat.h"

#include "core/StringTable.h"

#include <algorithm>
#include <cmath>

std::vector<Ymd> MonthQueryDays(int year, int month)
{
    std::vector<Ymd> days;
    if (!IsValidYmd(year, month, 1))
        return days;
    for (int d = 1; d <= 31; ++d) {
        // The day after the month's last one has a greater month number everywhere but December.
        if (d > DaysInMonth(year, month))
            break;
        days.push_back({year, month, d});
    }
    return days;
}

QString DayText(const Ymd& day)
{
    return QString::asprintf("%d-%d-%d", day.year, day.month, day.day);
}

QString EffectiveRatioText(double effectiveKcal, double calories)
{
    double ratio = 0.0;
    if (calories > 0) {
        ratio = std::trunc(effectiveKcal / calories * 100.0);
        if (!std::isfinite(ratio))
            ratio = 0.0;
    }
    return QString::asprintf("%1.2f", ratio);
}

QStringList DayRowTexts(const Ymd& day, const StepRecord& record)
{
    return {DayText(day),
            QString::asprintf("%1.3f", record.day.calories),
            QString::asprintf("%1.2f", record.effectiveKcal),
            EffectiveRatioText(record.effectiveKcal, record.day.calories),
            QString::asprintf("%d", record.effectiveCount),
            QString::asprintf("%d", record.effectiveMinutes),
            QString::asprintf("%d", record.longestMinutes)};
}

QString ExerciseText(uint32_t startSlot, uint32_t slotCount)
{
    const long long start = static_cast<long long>(startSlot) * 2;
    const long long end = start + static_cast<long long>(slotCount) * 2;
    return QString::asprintf("%lld:%lld:00 - %lld:%lld:00[%lld", start / 60, start % 60, end / 60, end % 60,
                             end - start) +
           LoadStr(511) + QLatin1Char(']');  // "分钟" in the built-in texts
}

QString SlotLabel(int slot)
{
    const int m = slot * 2;
    return QString::asprintf("%02d:%02d", (m / 60) % 100, m % 60);
}

namespace {

QString ReplaceText(const QString& pattern, const QString& value)
{
    QString s = pattern;
    s.replace(QStringLiteral("<r>"), value);
    return s;
}

}  // namespace

QString ExerciseKcalText(const QString& pattern, uint32_t thousandths)
{
    return ReplaceText(pattern, QString::asprintf("%1.2f", double(thousandths) * 0.001));
}

QString NoExerciseKcalText(const QString& pattern)
{
    return ReplaceText(pattern, QStringLiteral("0.00"));
}

QString CursorValueText(const QString& pattern, const QString& label, double value)
{
    return ReplaceText(pattern, label + QString::asprintf(" %1.2f", value));
}

DayPageLayout ComputeDayPageLayout(const QRect& client, int scrollHeight)
{
    DayPageLayout l;
    const int left = client.left();
    const int right = client.left() + client.width();    // exclusive
    const int bottom = client.top() + client.height();   // exclusive
    l.list = QRect(left, bottom - kDayListHeight, client.width(), kDayListHeight);
    const int T = bottom - kDayListHeight - kStripHeight - 8;
    l.strip = QRect(left + 8, T, std::max(client.width() - 16, 0), kStripHeight);
    l.stripInvalidate = QRect(0, T, right, bottom - 98 - T);
    l.picker = QPoint(left + 18, T + 5);
    l.combo = QPoint(left + 173, T + 5);
    const int scrollTop = T - scrollHeight - 8;
    l.scroll = QRect(left + 50, scrollTop, std::max(right - (left + 50), 0), scrollHeight);
    l.chart = QRect(left, client.top(), client.width(), std::max(scrollTop - client.top(), 0));
    return l;
}

std::vector<StripTextBox> StripTextBoxes(int stripWidth)
{
    // The caption keeps its 100-pixel box; the two value texts get the room up to the next
    // text (and to the strip's end) so a long value is never cut off.
    return {{110, 100}, {370, 120}, {490, std::max(stripWidth - 490, 100)}};
}

int DayScrollPosition(DayScroll code, int position, int thumb, int minimum, int maximum)
{
    int pos = position;
    switch (code) {
    case DayScroll::LineLeft:
    case DayScroll::PageLeft: pos -= kScrollStep; break;
    case DayScroll::LineRight:
    case DayScroll::PageRight: pos += kScrollStep; break;
    case DayScroll::ThumbTrack: pos = thumb; break;
    default: break;
    }
    pos = std::clamp(pos, minimum, std::max(minimum, maximum));
    if (pos % kScrollStep != 0)
        pos += kScrollStep - ((pos % kScrollStep) + kScrollStep) % kScrollStep;
    return pos;
}
