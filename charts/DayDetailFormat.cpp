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

DayPageLayout ComputeDayPageLayout(const QRect& client, int scrollHeight, int stripHeight)
{
    DayPageLayout l;
    const int left = client.left();
    const int right = client.left() + client.width();    // exclusive
    const int bottom = client.top() + client.height();   // exclusive
    l.list = QRect(left, bottom - kDayListHeight, client.width(), kDayListHeight);
    const int T = bottom - kDayListHeight - stripHeight - 8;
    l.strip = QRect(left + 8, T, std::max(client.width() - 16, 0), stripHeight);
    l.stripInvalidate = QRect(0, T, right, bottom - 98 - T);
    l.picker = QPoint(left + 18, T + 5);
    l.combo = QPoint(left + 173, T + 5);
    const int scrollTop = T - scrollHeight - 8;
    l.scroll = QRect(left + 50, scrollTop, std::max(right - (left + 50), 0), scrollHeight);
    l.chart = QRect(left, client.top(), client.width(), std::max(scrollTop - client.top(), 0));
    return l;
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

int FirstActiveSlot(const StepRecord& day)
{
    int first = -1;
    for (int s = 0; s < kSlotsPerDay; ++s)
        if (day.day.slotValues[s] > 0) {
            first = s;
            break;
        }
    const size_t n = std::min(day.exerciseStart.size(), day.exerciseSlots.size());
    for (size_t i = 0; i < n; ++i) {
        const uint32_t start = day.exerciseStart[i];
        if (start < uint32_t(kSlotsPerDay) && (first < 0 || int(start) < first))
            first = int(start);
    }
    return first;
}

int FirstViewPosition(int activeSlot, int position, int capacity, int minimum, int maximum)
{
    if (activeSlot < 0 || (activeSlot >= position && activeSlot < position + std::max(capacity, 1)))
        return position;
    const int hourBefore = std::max(0, (activeSlot / kScrollStep - 1) * kScrollStep);
    return DayScrollPosition(DayScroll::ThumbTrack, position, hourBefore, minimum, maximum);
}

StripRowLayout ComputeStripRow(const StripRowInput& in)
{
    const DayPageLayout page = ComputeDayPageLayout(in.client, 0);
    const QRect& strip = page.strip;
    constexpr int kGap = 4;
    StripRowLayout out;
    out.pickerX = page.picker.x();
    const int captionX = std::max(strip.left() + 110, out.pickerX + in.pickerWidth + kGap);
    out.caption = QRect(captionX, strip.top(), std::max(in.captionWidth, 0), strip.height());
    out.comboX = std::max(page.combo.x(), in.captionWidth > 0 ? captionX + in.captionWidth + kGap : 0);
    const int energyX = std::max(strip.left() + 370, out.comboX + in.comboWidth + kGap);
    out.energy = QRect(energyX, strip.top(), std::max(120, in.energyWidth + kGap), strip.height());
    const int valueX = std::max(strip.left() + 490, out.energy.left() + out.energy.width());
    out.value = QRect(valueX, strip.top(), std::max({100, in.valueWidth, strip.left() + strip.width() - valueX}),
                      strip.height());
    if (in.lineHeight <= 0 || valueX + in.valueWidth <= strip.left() + strip.width())
        return out;
    // One row does not fit: the value goes on a second line under the energy, and the strip
    // (with everything on it) grows upwards by that line.
    out.stripHeight = std::max(kStripHeight, 2 * in.lineHeight + 8);
    const int grow = out.stripHeight - kStripHeight;
    for (QRect* r : {&out.caption, &out.energy, &out.value})
        r->translate(0, -grow);
    out.caption.setHeight(out.stripHeight);
    out.energy.setHeight(in.lineHeight + 2);
    out.value = QRect(out.energy.left(), out.energy.top() + in.lineHeight + 4,
                      std::max(in.valueWidth, strip.left() + strip.width() - out.energy.left()), in.lineHeight + 2);
    return out;
}
