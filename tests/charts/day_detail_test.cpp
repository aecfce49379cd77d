// The chart page over a real user store: month loading, rows, day display, the
// date picker, scrolling, the information strip, colours from Graph.ini.
#include "tests/charts/DayPageFixture.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "controls/SkinListCtrl.h"
#include "external/usb/Generator.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

// ---- pure texts and arithmetic ------------------------------------------------

TEST(DayDetailFormat, MonthQueryStopsAtTheMonthEnd)
{
    auto feb = MonthQueryDays(2026, 2);
    ASSERT_EQ(feb.size(), 28u);
    EXPECT_EQ(feb.back(), (Ymd{2026, 2, 28}));
    EXPECT_EQ(MonthQueryDays(2024, 2).size(), 29u);
    auto dec = MonthQueryDays(2025, 12);
    ASSERT_EQ(dec.size(), 31u);
    EXPECT_EQ(dec.back(), (Ymd{2025, 12, 31}));
    EXPECT_EQ(MonthQueryDays(2026, 4).size(), 30u);
    EXPECT_TRUE(MonthQueryDays(2026, 13).empty());
    EXPECT_TRUE(MonthQueryDays(2026, 0).empty());
}

TEST(DayDetailFormat, RowTexts)
{
    StepRecord r;
    r.Clear();
    r.day.calories = 10.0;
    r.effectiveKcal = 3.79;
    r.effectiveCount = 2;
    r.effectiveMinutes = 46;
    r.longestMinutes = 26;
    const QStringList t = DayRowTexts({2026, 3, 5}, r);
    EXPECT_EQ(t, QStringList({"2026-3-5", "10.000", "3.79", "37.00", "2", "46", "26"}));

    EXPECT_EQ(EffectiveRatioText(5.0, 0.0), "0.00");
    EXPECT_EQ(EffectiveRatioText(5.0, -2.0), "0.00");
    EXPECT_EQ(EffectiveRatioText(1.0, 3.0), "33.00");     // truncated, not rounded
    EXPECT_EQ(EffectiveRatioText(2.0, 3.0), "66.00");
    EXPECT_EQ(EffectiveRatioText(-1.0, 3.0), "-33.00");   // toward zero
    EXPECT_EQ(EffectiveRatioText(1.0, 1e-320), "0.00");   // an overflowing ratio is no number to show
}

TEST(DayDetailFormat, ExerciseAndSlotTexts)
{
    EXPECT_EQ(ExerciseText(245, 13), QStringLiteral("8:10:00 - 8:36:00[26分钟]"));
    EXPECT_EQ(ExerciseText(242, 13), QStringLiteral("8:4:00 - 8:30:00[26分钟]"));
    EXPECT_EQ(ExerciseText(0, 0), QStringLiteral("0:0:00 - 0:0:00[0分钟]"));
    EXPECT_EQ(ExerciseText(715, 5), QStringLiteral("23:50:00 - 24:0:00[10分钟]"));
    EXPECT_EQ(ExerciseText(0xFFFFFFFFu, 0xFFFFFFFFu).contains("分钟]"), true);  // no overflow
    EXPECT_EQ(SlotLabel(0), "00:00");
    EXPECT_EQ(SlotLabel(1), "00:02");
    EXPECT_EQ(SlotLabel(30), "01:00");
    EXPECT_EQ(SlotLabel(719), "23:58");
}

TEST(DayDetailFormat, StripTexts)
{
    EXPECT_EQ(ExerciseKcalText(LoadStr(248), 1234), QStringLiteral("运动量: 1.23千卡"));
    EXPECT_EQ(ExerciseKcalText(LoadStr(248), 0xFFFFFFFFu), QStringLiteral("运动量: 4294967.29千卡"));  // unsigned
    EXPECT_EQ(NoExerciseKcalText(LoadStr(248)), QStringLiteral("运动量: 0.00千卡"));
    EXPECT_EQ(CursorValueText(LoadStr(249), "08:10", 6.5), QStringLiteral("当前位置[08:10 6.50千卡]"));
    EXPECT_EQ(CursorValueText(LoadStr(249), "", 0), QStringLiteral("当前位置[ 0.00千卡]"));
}

TEST(DayDetailFormat, ScrollSteps)
{
    EXPECT_EQ(DayScrollPosition(DayScroll::LineRight, 0, 0, 0, 623), 30);
    EXPECT_EQ(DayScrollPosition(DayScroll::PageRight, 30, 0, 0, 623), 60);
    EXPECT_EQ(DayScrollPosition(DayScroll::LineLeft, 30, 0, 0, 623), 0);
    EXPECT_EQ(DayScrollPosition(DayScroll::PageLeft, 0, 0, 0, 623), 0);
    EXPECT_EQ(DayScrollPosition(DayScroll::ThumbTrack, 0, 45, 0, 623), 60);
    EXPECT_EQ(DayScrollPosition(DayScroll::ThumbTrack, 0, 60, 0, 623), 60);
    EXPECT_EQ(DayScrollPosition(DayScroll::ThumbPosition, 90, 45, 0, 623), 90);  // only tracking moves
    EXPECT_EQ(DayScrollPosition(DayScroll::Other, 17, 45, 0, 623), 30);
    EXPECT_EQ(DayScrollPosition(DayScroll::LineRight, 610, 0, 0, 623), 630);  // past the maximum
    EXPECT_EQ(DayScrollPosition(DayScroll::ThumbTrack, 0, 9999, 0, 623), 630);
    EXPECT_EQ(DayScrollPosition(DayScroll::ThumbTrack, 0, -50, 0, 623), 0);
    EXPECT_EQ(DayScrollPosition(DayScroll::LineRight, 0, 0, 0, -100), 0);  // window wider than the day
}

TEST(DayDetailFormat, PageLayout)
{
    const DayPageLayout l = ComputeDayPageLayout(QRect(0, 0, 868, 500), 17);
    EXPECT_EQ(l.list, QRect(0, 410, 868, 90));
    EXPECT_EQ(l.strip, QRect(8, 372, 852, 30));
    EXPECT_EQ(l.stripInvalidate, QRect(0, 372, 868, 30));
    EXPECT_EQ(l.picker, QPoint(18, 377));
    EXPECT_EQ(l.combo, QPoint(173, 377));
    EXPECT_EQ(l.scroll, QRect(50, 347, 818, 17));
    EXPECT_EQ(l.chart, QRect(0, 0, 868, 347));
    const DayPageLayout tiny = ComputeDayPageLayout(QRect(0, 0, 10, 10), 17);
    EXPECT_GE(tiny.chart.height(), 0);
    EXPECT_GE(tiny.scroll.width(), 0);
}

// ---- the page ------------------------------------------------------------------

TEST_F(DayDetailTest, ChartConfigurationFromTheUser)
{
    OpenPage();
    CChartWnd* chart = page->GetChart();
    EXPECT_EQ(chart->GetTitle(), QStringLiteral("小明 运动过程图"));
    EXPECT_EQ(chart->GetXAxisTitle(), QStringLiteral("时间"));
    EXPECT_EQ(chart->GetYAxisTitle(), QStringLiteral("千卡/2分钟"));
    EXPECT_EQ(chart->GetDisplayFlags(), CHART_CURVE);
    EXPECT_EQ(chart->GetCategoryGap(), 6.0);
    EXPECT_FALSE(chart->GetPointMarkers());
    EXPECT_EQ(chart->GetLabelStep(), 5);
    const ChartMargins m = chart->GetMargins();
    EXPECT_EQ(std::tie(m.left, m.top, m.right, m.bottom), std::make_tuple(50, 20, 0, 20));
    const auto limits = chart->GetLimitValues();
    EXPECT_DOUBLE_EQ(limits[0], 60 * 0.1002);
    EXPECT_DOUBLE_EQ(limits[1], 60 * 0.2004);
    EXPECT_DOUBLE_EQ(limits[2], 60 * 0.2672);
    EXPECT_TRUE(chart->GetFixedScale());
    ChartSeries* s = page->GetKcalSeries();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->name, QStringLiteral("卡路里"));
    EXPECT_EQ(s->scaleMax, 25.0);
    EXPECT_EQ(s->decimals, 2);
    EXPECT_EQ(s->key, 1);

    CSkinListCtrl* list = page->GetDayList();
    ASSERT_EQ(list->GetColumnCount(), 7);
    EXPECT_EQ(list->GetColumnText(0), QStringLiteral("运动日期"));
    EXPECT_EQ(list->GetColumnText(6), QStringLiteral("有效运动最大持续时间[分钟]"));
    EXPECT_EQ(list->GetColumnWidth(3), 245);
    EXPECT_EQ(list->GetColumnFormat(0), CSkinListCtrl::FormatLeft);
    EXPECT_EQ(list->GetColumnFormat(1), CSkinListCtrl::FormatRight);
    EXPECT_EQ(GetDlgItem(page.get(), IDC_LIST), list);
    EXPECT_NE(GetDlgItem(page.get(), IDC_EXERCISE_COMBO), nullptr);
    EXPECT_NE(GetDlgItem(page.get(), IDC_DAY_SCROLL), nullptr);
    EXPECT_NE(GetDlgItem(page.get(), IDC_DAY_PICKER), nullptr);
}

TEST_F(DayDetailTest, FebruaryStopsAtTheFirstOfMarch)
{
    StoreGenerated(2026, 2, 1, 29);  // up to and including 1 March
    OpenPage();
    Pick(QDate(2026, 2, 10));
    ASSERT_EQ(page->GetDayList()->GetItemCount(), 28);
    EXPECT_EQ(RowDates().front(), "2026-2-1");
    EXPECT_EQ(RowDates().back(), "2026-2-28");
    EXPECT_EQ(SelectedDate(), QDate(2026, 2, 10));
}

TEST_F(DayDetailTest, DecemberEndsAfterItsThirtyFirstDay)
{
    Store(QuietDay(2025, 12, 30));
    Store(QuietDay(2025, 12, 31));
    Store(QuietDay(2026, 1, 1));
    OpenPage();
    Pick(QDate(2025, 12, 31));
    EXPECT_EQ(RowDates(), QStringList({"2025-12-30", "2025-12-31"}));
    EXPECT_EQ(SelectedDate(), QDate(2025, 12, 31));
}

TEST_F(DayDetailTest, DaysWithoutDataGetNoRow)
{
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 3, 3, 245, 13));
    OpenPage();
    Pick(QDate(2026, 3, 20));  // no row that day: the month's first row is shown
    EXPECT_EQ(RowDates(), QStringList({"2026-3-1", "2026-3-3"}));
    EXPECT_EQ(SelectedDate(), QDate(2026, 3, 1));
    EXPECT_EQ(page->GetDatePicker()->date(), QDate(2026, 3, 1));
    EXPECT_EQ(page->GetChart()->GetCategoryCount(), 720);
    EXPECT_EQ(page->GetDayList()->GetItemText(0, 3), "0.00");  // quiet day: no effective energy
}

TEST_F(DayDetailTest, AMonthWithoutDataLeavesEverythingEmpty)
{
    Store(QuietDay(2026, 3, 3, 245, 13));
    OpenPage();
    Pick(QDate(2026, 3, 3));
    ASSERT_EQ(page->GetExerciseCombo()->count(), 1);
    Pick(QDate(2026, 5, 3));
    EXPECT_EQ(page->GetDayList()->GetItemCount(), 0);
    EXPECT_EQ(page->GetSelectedDay(), nullptr);
    EXPECT_EQ(page->GetExerciseCombo()->count(), 0);
    EXPECT_EQ(page->GetChart()->GetCategoryCount(), 0);
    EXPECT_EQ(page->StripTexts()[1], QStringLiteral("运动量: 0.00千卡"));
    EXPECT_EQ(page->GetDatePicker()->date(), QDate(2026, 5, 3));
    page->ShowDay();  // nothing selected: nothing happens
    page->grab();     // and painting copes
}

TEST_F(DayDetailTest, PickingADayWithoutARowKeepsTheSelection)
{
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 3, 3));
    OpenPage();
    Pick(QDate(2026, 3, 3));
    EXPECT_EQ(SelectedDate(), QDate(2026, 3, 3));
    EXPECT_EQ(page->GetDayList()->GetSelectionMark(), 1);
    Pick(QDate(2026, 3, 2));
    EXPECT_EQ(SelectedDate(), QDate(2026, 3, 3));
    EXPECT_EQ(page->GetDayList()->GetSelectionMark(), 1);
    EXPECT_EQ(page->GetDatePicker()->date(), QDate(2026, 3, 2));
}

TEST_F(DayDetailTest, AnotherMonthReloadsThenSelects)
{
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 4, 2));
    Store(QuietDay(2026, 4, 7, 100, 6));
    OpenPage();
    Pick(QDate(2026, 3, 1));
    EXPECT_EQ(page->GetLoadedMonth(), QDate(2026, 3, 1));
    Pick(QDate(2026, 4, 7));
    EXPECT_EQ(RowDates(), QStringList({"2026-4-2", "2026-4-7"}));
    EXPECT_EQ(SelectedDate(), QDate(2026, 4, 7));
    EXPECT_EQ(page->GetDayList()->GetSelectionMark(), 1);
    EXPECT_EQ(page->GetExerciseCombo()->count(), 1);
}

TEST_F(DayDetailTest, RowSelectionShowsThatDay)
{
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 3, 3, 245, 13));
    OpenPage();
    Pick(QDate(2026, 3, 1));
    EXPECT_EQ(page->GetExerciseCombo()->count(), 0);
    page->GetDayList()->SetItemState(1, CSkinListCtrl::StateSelected, CSkinListCtrl::StateSelected);
    EXPECT_EQ(SelectedDate(), QDate(2026, 3, 3));
    EXPECT_EQ(page->GetDatePicker()->date(), QDate(2026, 3, 3));
    ASSERT_EQ(page->GetExerciseCombo()->count(), 1);
    EXPECT_EQ(page->GetExerciseCombo()->itemText(0), QStringLiteral("8:10:00 - 8:36:00[26分钟]"));
    EXPECT_EQ(page->GetExerciseCombo()->currentIndex(), 0);
    const StepRecord* day = page->GetSelectedDay();
    ASSERT_EQ(day->exerciseKcal.size(), 1u);
    EXPECT_EQ(page->StripTexts()[0], QStringLiteral("有效运动"));
    EXPECT_EQ(page->StripTexts()[1], ExerciseKcalText(LoadStr(248), day->exerciseKcal[0]));
    EXPECT_EQ(page->GetDayList()->GetItemText(1, 4), "1");
    EXPECT_EQ(page->GetDayList()->GetItemText(1, 6), "26");

    // the curve: 720 slots labelled 00:00 ... 23:58 with the day's values
    CChartWnd* chart = page->GetChart();
    ASSERT_EQ(chart->GetCategoryCount(), 720);
    EXPECT_EQ(chart->GetCategory(0)->label, "00:00");
    EXPECT_EQ(chart->GetCategory(719)->label, "23:58");
    EXPECT_EQ(chart->GetCategory(245)->points[0]->value, 9.0);
    EXPECT_EQ(page->GetKcalSeries()->scaleMax, 25.0);
}

TEST_F(DayDetailTest, ScrollingMovesByHours)
{
    Store(QuietDay(2026, 3, 1));
    OpenPage();
    Pick(QDate(2026, 3, 1));
    QScrollBar* bar = page->GetScrollBar();
    const int capacity = page->GetChart()->GetCategoryCapacity();
    EXPECT_EQ(capacity, (868 - 50) / 8);
    EXPECT_EQ(bar->maximum(), 725 - capacity);
    EXPECT_EQ(bar->value(), 0);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 30);
    EXPECT_EQ(page->GetChart()->GetFirstCategory(), 30);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(page->GetChart()->GetFirstCategory(), 0);

    bar->setSliderPosition(45);  // dragging the thumb
    EXPECT_EQ(bar->value(), 60);
    EXPECT_EQ(page->GetChart()->GetFirstCategory(), 60);

    bar->setSliderPosition(bar->maximum());  // 623 rounds up past the range's end
    EXPECT_EQ(page->GetChart()->GetFirstCategory(), 630);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(page->GetChart()->GetFirstCategory(), 630);
}

TEST_F(DayDetailTest, PositionLineValueInTheStrip)
{
    Store(QuietDay(2026, 3, 3, 245, 13));
    OpenPage();
    Pick(QDate(2026, 3, 3));
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[ 0.00千卡]"));
    CChartWnd* chart = page->GetChart();
    EXPECT_EQ(chart->GetFirstCategory(), 210);  // the first view shows the exercise at 08:10
    page->GetScrollBar()->setSliderPosition(0);  // the user goes back to midnight
    // slot 2 of the first window: its column starts at 50 + 3 × 6 + 2 × 2 = 72
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(73, 50));
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[00:04 2.00千卡]"));
    // scrolling to 08:00 keeps the line's pixel column and re-reads the value under it
    page->GetScrollBar()->setSliderPosition(240);
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[08:04 2.00千卡]"));
    page->GetScrollBar()->setSliderPosition(245);  // rounds to 270
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[09:04 2.00千卡]"));
    page->GetScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(97, 50));  // sixth column: slot 245
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[08:10 9.00千卡]"));

    // another day under the same line shows that day's value; an empty month none
    Store(QuietDay(2026, 3, 4, 245, 13, 11.0));
    Pick(QDate(2026, 3, 2));  // same month, no row: nothing changes
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[08:10 9.00千卡]"));
    Pick(QDate(2026, 4, 4));
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[ 0.00千卡]"));
    Pick(QDate(2026, 3, 4));
    EXPECT_EQ(page->StripTexts()[2], QStringLiteral("当前位置[08:10 11.00千卡]"));
}

TEST_F(DayDetailTest, GraphIniDefaultsAndColours)
{
    OpenPage();
    CChartWnd* chart = page->GetChart();
    EXPECT_EQ(chart->GetAxisColour(), 0u);
    EXPECT_EQ(page->GetKcalSeries()->colour, 0u);
    EXPECT_EQ(chart->GetLimitLineColour(), 32768u);
    EXPECT_EQ(chart->GetCursorLineColour(), 16711680u);

    WriteFile(QStringLiteral("%1/Graph.ini").arg(kUser),
              "[Bar]\r\nCalorie=255\r\n2TargetColor=16711935\r\nCurposLineColor=65280junk\r\n");
    EXPECT_EQ(page->ApplyGraphSettings(), 1);
    EXPECT_EQ(chart->GetAxisColour(), 255u);
    EXPECT_EQ(page->GetKcalSeries()->colour, 255u);
    EXPECT_EQ(chart->GetLimitLineColour(), 16711935u);
    EXPECT_EQ(chart->GetCursorLineColour(), 65280u);

    // the curve is painted in the configured colour
    Store(QuietDay(2026, 3, 3, 0, 60, 15.0));  // clear of the reference lines
    Pick(QDate(2026, 3, 3));
    const QImage img = chart->RenderImage(chart->size());
    const int y = chart->GetCategory(2)->points[0]->rect.top;
    EXPECT_EQ(PixelAt(img, chart->GetCategory(2)->points[0]->rect.left - 3, y), RgbOf(255));

    // garbage gives atoi's answers, never a crash
    WriteFile(QStringLiteral("%1/Graph.ini").arg(kUser), QByteArray::fromRawData("\xff\xfe[Bar\x00\x01=\n", 10));
    EXPECT_EQ(page->ApplyGraphSettings(), 1);
    EXPECT_EQ(chart->GetLimitLineColour(), 32768u);
}

TEST_F(DayDetailTest, SetUserRetitlesAndReloads)
{
    UserRecord other = MakeUser(10003, "小红", 50);
    ASSERT_EQ(USER_CreateUser(other), 1);
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 3, 2), 10003);
    Store(QuietDay(2026, 3, 9), 10003);
    OpenPage();
    Pick(QDate(2026, 3, 1));
    EXPECT_EQ(RowDates(), QStringList({"2026-3-1"}));
    page->SetUser(other);
    EXPECT_EQ(page->GetChart()->GetTitle(), QStringLiteral("小红 运动过程图"));
    EXPECT_EQ(RowDates(), QStringList({"2026-3-2", "2026-3-9"}));
    EXPECT_DOUBLE_EQ(page->GetChart()->GetLimitValues()[0], 50 * 0.1002);
    page->ClearUser();  // nobody: an empty page, no crash
    EXPECT_EQ(page->GetDayList()->GetItemCount(), 0);
}

TEST_F(DayDetailTest, TheUserGivenIsCopiedSoItsRecordMayGoAtOnce)
{
    // A list page hands over a row's record and frees it on its next page, search or delete.
    UserRecord other = MakeUser(10003, "小红", 50);
    ASSERT_EQ(USER_CreateUser(other), 1);
    Store(QuietDay(2026, 3, 2), 10003);
    Store(QuietDay(2026, 4, 5), 10003);
    OpenPage();
    auto row = std::make_unique<UserRecord>(other);
    page->SetUser(*row);
    row.reset();
    Pick(QDate(2026, 4, 5));  // a month change reads the user again
    EXPECT_EQ(RowDates(), QStringList({"2026-4-5"}));
    EXPECT_EQ(page->GetChart()->GetTitle(), QStringLiteral("小红 运动过程图"));
}

TEST_F(DayDetailTest, SetUserBeforeCreationOnlyStores)
{
    Store(QuietDay(QDate::currentDate().year(), QDate::currentDate().month(), 1));
    page = std::make_unique<CDayDetailDlg>();
    page->SetUser(user);
    EXPECT_FALSE(page->IsCreated());
    EXPECT_EQ(page->LoadMonth(), 0);
    ASSERT_TRUE(page->Create());
    EXPECT_EQ(page->GetDayList()->GetItemCount(), 0);  // filled 2 s later
    EXPECT_EQ(page->GetDatePicker()->date(), QDate::currentDate());
    QElapsedTimer waited;
    waited.start();
    while (page->GetDayList()->GetItemCount() == 0 && waited.elapsed() < 5000)
        QTest::qWait(50);
    EXPECT_EQ(page->GetDayList()->GetItemCount(), 1);
    EXPECT_GE(waited.elapsed(), 1900);
}

TEST_F(DayDetailTest, DateIconFromTheProgramFolder)
{
    OpenPage();
    EXPECT_EQ(page->GetDayList()->GetImageCount(), 0);  // no icon: the list works without
    page.reset();
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(icon.save(PathOf("date.ico"), "ICO"));
    OpenPage();
    EXPECT_EQ(page->GetDayList()->GetImageCount(), 1);
}

TEST_F(DayDetailTest, PrintColourIsStored)
{
    OpenPage();
    EXPECT_EQ(page->GetPrintColour(), 0);
    page->SetPrintColour(1);
    EXPECT_EQ(page->GetPrintColour(), 1);
}

TEST_F(DayDetailTest, StripIsPaintedAboveTheList)
{
    OpenPage();
    const QImage img = page->grab().toImage();
    // strip: (8, 372) .. (860, 402), colour 0xEEEEEE, left of the picker
    EXPECT_EQ(img.pixel(10, 374) & 0xFFFFFF, 0xEEEEEEu);
    EXPECT_EQ(img.pixel(850, 400) & 0xFFFFFF, 0xEEEEEEu);
    EXPECT_EQ(img.pixel(4, 380) & 0xFFFFFF, 0xFFFFFFu);   // white page outside it
    EXPECT_EQ(img.pixel(400, 405) & 0xFFFFFF, 0xFFFFFFu);
}
