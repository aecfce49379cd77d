#pragma once
// The one-day page's arithmetic and texts: which days a month query covers,
// the list's column texts, the exercise and slot texts, the information
// strip's texts, the page layout and the scrolling steps. Pure functions.

#include "external/records/Records.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

constexpr int kDayListHeight = 90;
constexpr int kStripHeight = 30;
constexpr uint32_t kStripColour = 0xEEEEEE;
constexpr int kScrollStep = 30;  // slots: one hour

// The days LoadMonth queries, from the 1st: at most 31, stopping when the month number
// grows (so a December runs its 31 days and never reaches January).
std::vector<Ymd> MonthQueryDays(int year, int month);

// "%d-%d-%d" without zero padding.
QString DayText(const Ymd& day);
// Column 3: effectiveKcal ÷ calories × 100 truncated to a whole number, written "%1.2f";
// 0.00 when calories is not positive.
QString EffectiveRatioText(double effectiveKcal, double calories);
// The seven column texts of a day's row.
QStringList DayRowTexts(const Ymd& day, const StepRecord& record);

// "%d:%d:00 - %d:%d:00[%d分钟]" of an exercise starting in a slot and lasting some slots.
QString ExerciseText(uint32_t startSlot, uint32_t slotCount);
// "HH:MM" of a slot (0 → 00:00, 719 → 23:58).
QString SlotLabel(int slot);

// String 248 with "<r>" replaced by "%1.2f" of thousandths × 0.001.
QString ExerciseKcalText(const QString& pattern, uint32_t thousandths);
// String 248 for no exercise: "<r>" replaced by 0.00.
QString NoExerciseKcalText(const QString& pattern);
// String 249 with "<r>" replaced by "%s %1.2f" of the label and value.
QString CursorValueText(const QString& pattern, const QString& label, double value);

// The page's layout for a client rectangle.
struct DayPageLayout {
    QRect list;
    QRect strip;            // the painted information strip
    QRect stripInvalidate;  // the area invalidated when its texts change
    QPoint picker;
    QPoint combo;
    QRect scroll;
    QRect chart;
};
// stripHeight: the strip's height (taller when its texts take two lines).
DayPageLayout ComputeDayPageLayout(const QRect& client, int scrollHeight, int stripHeight = kStripHeight);

// Scroll requests of the horizontal scroll bar.
enum class DayScroll { LineLeft, LineRight, PageLeft, PageRight, ThumbTrack, ThumbPosition, Other };
// The new first slot: ±30 per line or page, the thumb's position while tracking, clamped to
// [minimum, maximum] and then rounded up to a multiple of 30 (which may pass the maximum).
int DayScrollPosition(DayScroll code, int position, int thumb, int minimum, int maximum);

// The first slot of a day with steps, or the start of its first effective exercise when that
// comes earlier; -1 for a day with neither.
int FirstActiveSlot(const StepRecord& day);
// The scroll position for the first view of a day: the position stays while the active slot
// is in view (capacity slots from it); otherwise the whole hour before the slot's hour, so the
// start of the activity is seen with its lead-in, clamped and rounded as scrolling does.
int FirstViewPosition(int activeSlot, int position, int capacity, int minimum, int maximum);

// The row of the information strip, left to right: date picker, exercise caption, exercise
// combo, exercise energy, position-line value. Each keeps its classic place (picker 18,
// caption 110 in the strip, combo 173, energy 370 and value 490 in the strip) unless what
// stands before it needs the room; every text box is as wide as its widest text.
struct StripRowInput {
    QRect client;
    int pickerWidth = 96;
    int captionWidth = 0;   // text widths
    int comboWidth = 196;
    int energyWidth = 0;
    int valueWidth = 0;
    int lineHeight = 0;     // of the strip's texts; 0: never a second line
};
struct StripRowLayout {
    int pickerX = 0;
    int comboX = 0;
    QRect caption;  // in page coordinates, inside the strip's height
    QRect energy;
    QRect value;
    // A page too narrow for one row puts the position-line value under the exercise's energy,
    // and the strip grows by a line.
    int stripHeight = kStripHeight;
};
StripRowLayout ComputeStripRow(const StripRowInput& in);
