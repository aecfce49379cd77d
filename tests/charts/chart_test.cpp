// The chart control: scale, data operations, layout arithmetic, messages, mouse and painted pixels.
#include "tests/charts/ChartTestHost.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include <memory>

// ---- scale ----------------------------------------------------------------

TEST(ChartScale, LadderStepsAboveTheValue)
{
    EXPECT_EQ(NextScaleMax(5.0, 4.9), 5.0);
    EXPECT_EQ(NextScaleMax(5.0, 5.0), 5.0);  // only a value strictly above grows it
    EXPECT_EQ(NextScaleMax(5.0, 7), 10.0);
    EXPECT_EQ(NextScaleMax(5.0, 25), 50.0);  // the step must be strictly greater
    EXPECT_EQ(NextScaleMax(5.0, 999), 1000.0);
    EXPECT_EQ(NextScaleMax(5.0, 1000), 2000.0);
    EXPECT_EQ(NextScaleMax(5.0, 9999999), 10000000.0);
    EXPECT_EQ(NextScaleMax(5.0, 10000000), 10000000.0);
    EXPECT_EQ(NextScaleMax(5.0, 12000000), 12000000.0);
}

TEST(ChartScale, SmallAndHostileValues)
{
    EXPECT_EQ(NextScaleMax(0.01, 0.05), 0.1);
    EXPECT_EQ(NextScaleMax(0.01, 0.5), 1.0);
    EXPECT_EQ(NextScaleMax(5.0, -3), 5.0);
    EXPECT_EQ(NextScaleMax(5.0, std::nan("")), 5.0);
    EXPECT_EQ(NextScaleMax(5.0, INFINITY), INFINITY);
}

TEST_F(ChartTest, AddPointGrowsTheScaleAndClearDataResetsIt)
{
    ChartSeries* s = AddSeries(1, 0xFF);
    ChartSeries* other = AddSeries(2, 0xFF00, 2.0, 77.0);
    chart->InsertCategory(0, MakeCategory("a"), false);
    EXPECT_EQ(chart->AddPoint(0, 0, 4.9, 0, 1, false), 1);
    EXPECT_EQ(s->scaleMax, 5.0);
    EXPECT_EQ(chart->AddPoint(0, 1, 1.0, 7.0, 1, false), 1);  // scale value, not the value, counts
    EXPECT_EQ(s->scaleMax, 10.0);
    EXPECT_EQ(chart->AddPoint(0, 2, 25.0, 0, 1, false), 1);
    EXPECT_EQ(s->scaleMax, 50.0);
    EXPECT_EQ(chart->AddPoint(0, 3, 3.0, 0, 1, false), 1);
    EXPECT_EQ(s->scaleMax, 50.0);  // never shrinks

    chart->ClearData();
    EXPECT_EQ(chart->GetCategoryCount(), 0);
    EXPECT_EQ(s->scaleMax, 5.0);
    EXPECT_EQ(other->scaleMax, 77.0);  // had no points: untouched
}

TEST_F(ChartTest, FixedScaleNeverChanges)
{
    chart->SetFixedScale(true);
    ChartSeries* s = AddSeries(1, 0xFF, 2.0, 25.0);
    chart->InsertCategory(0, MakeCategory("a"), false);
    EXPECT_EQ(chart->AddPoint(0, 0, 500.0, 23.0, 1, false), 1);
    EXPECT_EQ(chart->AddPoint(0, 0, 12000000.0, 0, 1, false), 1);
    EXPECT_EQ(s->scaleMax, 25.0);
    chart->ClearData();
    EXPECT_EQ(s->scaleMax, 25.0);
}

// ---- data operations ----------------------------------------------------

TEST_F(ChartTest, AddPointRefusesBadArguments)
{
    chart->InsertCategory(0, MakeCategory("a"), false);
    EXPECT_EQ(chart->AddPoint(0, 0, 1.0, 0, 1, false), 0);  // no series yet
    AddSeries(1, 0xFF);
    EXPECT_EQ(chart->AddPoint(-1, 0, 1.0, 0, 1, false), 0);
    EXPECT_EQ(chart->AddPoint(1, 0, 1.0, 0, 1, false), 0);   // not below the count
    EXPECT_EQ(chart->AddPoint(0, 0, 1.0, 0, 9, false), 0);   // unknown key
    EXPECT_EQ(chart->AddPoint(0, -1, 1.0, 0, 1, false), 0);
    EXPECT_EQ(chart->AddPoint(0, 1, 1.0, 0, 1, false), 0);   // beyond the point count
    EXPECT_TRUE(chart->GetCategory(0)->points.empty());

    EXPECT_EQ(chart->AddPoint(0, 0, 1.0, 0, 1, false), 1);
    EXPECT_EQ(chart->AddPoint(0, 1, 2.0, 0, 1, false), 1);   // position == count appends
    EXPECT_EQ(chart->AddPoint(0, 0, 3.0, 0, 1, false), 1);   // position 0 inserts first
    const auto& pts = chart->GetCategory(0)->points;
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[0]->value, 3.0);
    EXPECT_EQ(pts[1]->value, 1.0);
    EXPECT_EQ(pts[2]->value, 2.0);
    EXPECT_EQ(pts[1]->scaleValue, 1.0);
    EXPECT_EQ(pts[1]->seriesName, QStringLiteral("S1"));
    EXPECT_EQ(pts[1]->width, 2);
}

TEST_F(ChartTest, AddSeriesRefusesADuplicateKeyAndLeavesItWithTheCaller)
{
    AddSeries(1, 0xFF);
    auto dup = MakeSeries(1, 0xFF00);
    EXPECT_EQ(chart->AddSeries(dup), 0);
    ASSERT_TRUE(dup);  // the caller still owns it
    EXPECT_EQ(chart->GetSeriesCount(), 1);
    EXPECT_EQ(chart->GetSeries(1), nullptr);
    EXPECT_EQ(chart->GetSeries(-1), nullptr);
    EXPECT_NE(chart->GetSeries(0), nullptr);
}

TEST_F(ChartTest, InsertCategoryClampsTheIndex)
{
    chart->InsertCategory(0, MakeCategory("a"), false);
    chart->InsertCategory(99, MakeCategory("b"), false);
    chart->InsertCategory(-5, MakeCategory("first"), false);
    chart->InsertCategory(1, MakeCategory("mid"), false);
    ASSERT_EQ(chart->GetCategoryCount(), 4);
    EXPECT_EQ(chart->GetCategory(0)->label, "first");
    EXPECT_EQ(chart->GetCategory(1)->label, "mid");
    EXPECT_EQ(chart->GetCategory(2)->label, "a");
    EXPECT_EQ(chart->GetCategory(3)->label, "b");
    EXPECT_EQ(chart->GetCategory(4), nullptr);
}

// ---- layout arithmetic -----------------------------------------------------

TEST_F(ChartTest, PointsStandSideBySideSeparatedByTheGap)
{
    AddSeries(1, 0xFF, 3.5);
    AddSeries(2, 0xFF00, 4.0);
    for (int i = 0; i < 3; ++i) {
        chart->InsertCategory(i, MakeCategory("x"), false);
        chart->AddPoint(i, 0, 2.5, 0, 1, false);
        chart->AddPoint(i, 1, 5.0, 0, 2, false);
    }
    chart->RecalcLayout();
    // height 200: baseline 150, plot height 200 - 12 - 6 - 50 - 5 = 127
    const auto& c0 = chart->GetCategory(0)->points;
    EXPECT_EQ(c0[0]->rect, (ChartRect{68, 150 - 63, 71, 150}));
    EXPECT_EQ(c0[1]->rect, (ChartRect{71, 150 - 127, 75, 150}));
    const auto& c1 = chart->GetCategory(1)->points;
    EXPECT_EQ(c1[0]->rect.left, 93);

    // scrolled: categories before the first keep their earlier rectangles
    chart->SetFirstCategory(1, true);
    EXPECT_EQ(chart->GetCategory(1)->points[0]->rect.left, 68);
    EXPECT_EQ(chart->GetCategory(0)->points[0]->rect.left, 68);
    EXPECT_EQ(chart->GetCategory(2)->points[0]->rect.left, 93);

    // a hidden series takes no room
    chart->ShowSeries(1, false);
    EXPECT_EQ(chart->GetCategory(1)->points[1]->rect.left, 68);
}

TEST(ChartLayoutMath, LegendSquaresStackDownTheRightSide)
{
    ChartSeriesList list;
    list.push_back(MakeSeries(1, 0));
    list.push_back(MakeSeries(2, 0));
    list.back()->visible = false;
    list.push_back(MakeSeries(3, 0));
    LayoutChartLegend(list, {10, 0, 410, 200}, ChartMargins{50, 12, 50, 50}, 12);
    EXPECT_EQ(list[0]->legendRect, (ChartRect{300, 12, 312, 24}));
    EXPECT_EQ(list[1]->legendRect, (ChartRect{300, 29, 312, 41}));
    EXPECT_EQ(list[2]->legendRect, (ChartRect{300, 46, 312, 58}));
    const auto printed = PrintedLegendRects(list);
    EXPECT_EQ(printed[0], list[0]->legendRect);
    EXPECT_EQ(printed[1], ChartRect{});
    EXPECT_EQ(printed[2], (ChartRect{300, 29, 312, 41}));  // moved up past the hidden one
}

TEST(ChartLayoutMath, BarWidthsByPeriod)
{
    const ChartMargins m{50, 12, 50, 50};
    // W = 700 - 6 - 50 - 50 = 594
    auto year = ComputeBarWidths(CHART_YEAR | CHART_DAY | CHART_BAR, 2, 700, 6, m);
    EXPECT_DOUBLE_EQ(year.gap, 15.0);  // 594 / 12 / 3 = 16.5, capped
    EXPECT_DOUBLE_EQ(year.barWidth, (594 - 180) / 12.0 / 2);
    EXPECT_EQ(year.labelStep, 1);
    EXPECT_FALSE(year.showValueLabels);

    auto month = ComputeBarWidths(CHART_MONTH | CHART_WEEK, 1, 700, 6, m);
    EXPECT_DOUBLE_EQ(month.gap, 594 / 31.0 / 2);
    EXPECT_DOUBLE_EQ(month.barWidth, (594 - 31 * month.gap) / 31);
    EXPECT_EQ(month.labelStep, 5);

    auto week = ComputeBarWidths(CHART_WEEK, 1, 700, 6, m);
    EXPECT_DOUBLE_EQ(week.gap, 15.0);
    EXPECT_DOUBLE_EQ(week.barWidth, (594 - 105) / 7.0);
    EXPECT_TRUE(week.showValueLabels);  // 69.9 > 43

    auto day = ComputeBarWidths(CHART_DAY, 1, 700, 6, m);
    EXPECT_DOUBLE_EQ(day.gap, 198.0);  // no cap
    EXPECT_DOUBLE_EQ(day.barWidth, 198.0);
    EXPECT_TRUE(day.setsValueLabels);

    auto all = ComputeBarWidths(CHART_ALL, 3, 700, 6, m);
    EXPECT_EQ(all.gap, 8.0);
    EXPECT_EQ(all.barWidth, 15.0);
    EXPECT_FALSE(all.setsValueLabels);  // showValueLabels keeps its value

    auto none = ComputeBarWidths(CHART_YEAR, 0, 700, 6, m);  // every series hidden
    EXPECT_TRUE(std::isfinite(none.barWidth));
}

TEST_F(ChartTest, UpdateBarWidthsAppliesTheTable)
{
    Resize(700, 300);
    AddSeries(1, 0xFF, 2.0);
    Fill(3, 1.0);
    chart->SetDisplayFlags(CHART_BAR | CHART_WEEK);
    chart->SetLabelStep(3, 2);
    chart->UpdateBarWidths();
    EXPECT_DOUBLE_EQ(chart->GetCategoryGap(), 15.0);
    EXPECT_EQ(chart->GetLabelStep(), 1);
    EXPECT_EQ(chart->GetLabelPhase(), 0);
    EXPECT_TRUE(chart->GetShowValueLabels());
    EXPECT_EQ(chart->GetCategory(2)->points[0]->width, 69);
    EXPECT_DOUBLE_EQ(chart->GetSeries(0)->barWidth, (594 - 105) / 7.0);
}

TEST_F(ChartTest, CategoryCapacityUsesTheClientWidth)
{
    Resize(868, 300);
    chart->SetMargins(50, 20, 0, 20);
    chart->SetCategoryGap(6.0);
    EXPECT_EQ(chart->GetCategoryCapacity(), 102);  // 818 / 8
    chart->SetCategoryGap(-2.0);
    EXPECT_EQ(chart->GetCategoryCapacity(), 0);
}

// ---- messages ---------------------------------------------------------------

TEST_F(ChartTest, SetDisplayFlagsSendsItsMessageButDoesNotRepaint)
{
    AddSeries(1, 0xFF);
    Fill(5, 1.0);
    QCoreApplication::processEvents();
    int paints = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            *n += e->type() == QEvent::Paint;
            return false;
        }
    } counter(&paints);
    chart->installEventFilter(&counter);
    chart->SetDisplayFlags(CHART_CURVE);
    EXPECT_EQ(host->Count(WM_CHART_FLAGSCHANGED), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(chart->GetDisplayFlags(), CHART_CURVE);

    chart->ShowSeries(1, false);  // this one does invalidate
    EXPECT_EQ(host->Count(WM_CHART_SERIESCHANGED), 1);
    QCoreApplication::processEvents();
    EXPECT_GT(paints, 0);
    chart->removeEventFilter(&counter);
}

TEST_F(ChartTest, ShowSeriesOfAnUnknownKeyDoesNothing)
{
    AddSeries(1, 0xFF);
    chart->ShowSeries(7, false);
    EXPECT_TRUE(host->messages.empty());
    EXPECT_TRUE(chart->IsSeriesVisible(1));
    EXPECT_FALSE(chart->IsSeriesVisible(7));
}

TEST_F(ChartTest, SetFirstCategoryWithRelayoutReportsTheCursor)
{
    AddSeries(1, 0xFF);
    Fill(10, 1.0);
    chart->SetFirstCategory(3, false);
    EXPECT_TRUE(host->messages.empty());
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(120, 100));
    host->messages.clear();
    chart->SetFirstCategory(4, true);
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->messages[0].first, WM_CHART_CURSORMOVED);
    EXPECT_EQ(host->messages[0].second, 120u);
}

// ---- mouse --------------------------------------------------------------------

TEST_F(ChartTest, PositionLineOnlyInsideThePlotRange)
{
    AddSeries(1, 0xFF);
    Fill(10, 1.0);
    QString label = "keep";
    double value = -1;
    EXPECT_EQ(chart->GetCursorValue(label, value), 0);  // no line yet
    EXPECT_EQ(label, "keep");
    EXPECT_EQ(value, -1);

    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(50, 100));  // exactly leftMargin
    EXPECT_EQ(chart->GetCursorX(), 0);
    EXPECT_EQ(host->Count(WM_CHART_CURSORMOVED), 0);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(350, 100));  // exactly width - rightMargin
    EXPECT_EQ(chart->GetCursorX(), 0);
    EXPECT_EQ(host->Count(WM_CHART_CURSORMOVED), 0);

    // the column of category 2 runs from its left edge 108 to trunc(110 + 18) = 128
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(115, 20));
    EXPECT_EQ(chart->GetCursorX(), 115);
    ASSERT_EQ(host->Count(WM_CHART_CURSORMOVED), 1);
    EXPECT_EQ(host->messages.back().second, 115u);
    EXPECT_EQ(chart->GetCursorValue(label, value), 1);
    EXPECT_EQ(label, "C2");
    EXPECT_EQ(value, 1.0);

    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(51, 100));  // inside the range, no column
    EXPECT_EQ(chart->GetCursorX(), 51);
    label = "keep";
    EXPECT_EQ(chart->GetCursorValue(label, value), 0);
    EXPECT_EQ(label, "keep");
}

TEST_F(ChartTest, SingleSeriesLegendClickTogglesWithoutADrawnLegend)
{
    ChartSeries* s = AddSeries(1, 0x0000FF);
    Fill(3, 1.0);
    chart->RecalcLayout();
    const ChartRect sq = s->legendRect;
    ASSERT_GT(sq.Width(), 0);
    const QImage img = Render();
    EXPECT_FALSE(BoxHasOtherThan(img, sq.left, sq.top, sq.right, sq.bottom, RgbOf(0xFFFFFF)));

    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(sq.left + 3, sq.top + 3));
    EXPECT_FALSE(s->visible);
    EXPECT_EQ(host->Count(WM_CHART_SERIESCHANGED), 1);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(sq.left + 3, sq.top + 3));
    EXPECT_TRUE(s->visible);
    EXPECT_EQ(host->Count(WM_CHART_SERIESCHANGED), 2);
}

TEST_F(ChartTest, RightButtonReportsTheHitCode)
{
    ChartSeries* s = AddSeries(1, 0xFF, 6.0);
    Fill(3, 5.0);
    chart->RecalcLayout();  // places the legend square
    QTest::mouseClick(chart, Qt::RightButton, {}, QPoint(10, 10));
    const ChartRect r = chart->GetCategory(0)->points[0]->rect;
    QTest::mouseClick(chart, Qt::RightButton, {}, QPoint(r.left + 1, r.top + 2));
    QTest::mouseClick(chart, Qt::RightButton, {}, QPoint(s->legendRect.left + 1, s->legendRect.top + 1));
    ASSERT_EQ(host->messages.size(), 3u);
    EXPECT_EQ(host->messages[0], std::make_pair(WM_CHART_RBUTTONUP, uintptr_t(0)));
    EXPECT_EQ(host->messages[1], std::make_pair(WM_CHART_RBUTTONUP, uintptr_t(1)));
    EXPECT_EQ(host->messages[2], std::make_pair(WM_CHART_RBUTTONUP, uintptr_t(2)));
}

TEST_F(ChartTest, HoveringAPointShowsTheHoverCursor)
{
    AddSeries(1, 0xFF, 6.0);
    Fill(3, 5.0);
    const ChartRect r = chart->GetCategory(1)->points[0]->rect;
    QTest::mouseMove(chart, QPoint(10, 10));
    EXPECT_FALSE(chart->IsHovering());
    QTest::mouseMove(chart, QPoint(r.left + 1, r.top + 5));
    EXPECT_TRUE(chart->IsHovering());
    EXPECT_EQ(chart->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(CChartWnd::HoverCursor().pixmap().isNull());
}

// ---- painted pixels ----------------------------------------------------------

TEST_F(ChartTest, EmptyChartPaintsBackgroundAxesTicksAndReferenceLines)
{
    // 400 × 200: R = 350, B = 150, plot height 127, tick step 25
    QImage img = Render();
    const QRgb white = RgbOf(0xFFFFFF), black = RgbOf(0);
    EXPECT_EQ(PixelAt(img, 0, 0), white);
    EXPECT_EQ(PixelAt(img, 399, 199), white);
    EXPECT_EQ(PixelAt(img, 200, 150), black);  // X axis
    EXPECT_EQ(PixelAt(img, 50, 100), black);   // Y axis
    EXPECT_EQ(PixelAt(img, 349, 150), black);  // arrow tip region
    EXPECT_EQ(PixelAt(img, 346, 148), black);  // arrowhead body
    EXPECT_EQ(PixelAt(img, 50, 13), black);    // Y arrow
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(PixelAt(img, 56, 150 - 25 * i), black) << "tick " << i;
        EXPECT_EQ(PixelAt(img, 58, 150 - 25 * i), white) << "tick " << i;
    }
    EXPECT_FALSE(BoxHasOtherThan(img, 0, 0, 46, 200, white));  // no labels without series

    // with a series: its Y labels appear left of the axis, reference lines lie on the X axis
    AddSeries(1, 0x0000FF);  // red
    chart->SetLimitLineColour(0x00FF00);
    img = Render();
    EXPECT_TRUE(BoxHasTint(img, 20, 150 - 25 - 8, 46, 150 - 25 + 8, 0x0000FF));
    EXPECT_EQ(PixelAt(img, 51, 150), RgbOf(0x00FF00));  // dash-dot starts with a dash
    EXPECT_TRUE(BoxHas(img, 51, 150, 340, 151, black));  // and leaves gaps showing the axis
    EXPECT_FALSE(BoxHas(img, 51, 100, 340, 101, RgbOf(0x00FF00)));

    chart->SetLimitValues(1.0, 2.5, 5.0);
    img = Render();
    EXPECT_EQ(PixelAt(img, 51, 150 - 25), RgbOf(0x00FF00));  // 127 / 5 × 1 = 25
    EXPECT_EQ(PixelAt(img, 51, 150 - 63), RgbOf(0x00FF00));
    EXPECT_EQ(PixelAt(img, 51, 150 - 127), RgbOf(0x00FF00));
}

TEST_F(ChartTest, CurveLabelsEveryFifthCategoryFromTheFirstLaidOut)
{
    chart->SetDisplayFlags(CHART_CURVE);
    chart->SetTextColour(0x0000FF);
    chart->SetPointMarkers(false);
    AddSeries(1, 0);
    Fill(14, 1.0);
    // category k (from 1) of the layout starts at 50 + 20k - 2
    auto labelled = [&](const QImage& img, int k) {
        const int x = 50 + 20 * k - 2;
        return BoxHasTint(img, x, 153, x + 8, 170, 0x0000FF);
    };
    QImage img = Render();
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(labelled(img, k), k % 5 == 0) << "k " << k;

    chart->SetFirstCategory(2, true);
    img = Render();
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(labelled(img, k), k % 5 == 0) << "scrolled k " << k;
    // and the longer ticks stand under them
    EXPECT_EQ(PixelAt(img, 50 + 20 * 5 - 2, 150 - 8), RgbOf(0));
    EXPECT_EQ(PixelAt(img, 50 + 20 * 4 - 2, 150 - 8), RgbOf(0xFFFFFF));
}

TEST_F(ChartTest, BarLabelsCountFromTheFirstCategory)
{
    chart->SetDisplayFlags(CHART_BAR);
    chart->SetTextColour(0x0000FF);
    chart->SetLabelStep(5, 0);
    AddSeries(1, 0x00FF00, 8.0);
    Fill(12, 2.0);
    QImage img = Render();
    for (int c = 0; c < 10; ++c) {
        const ChartRect r = chart->GetCategory(c)->points[0]->rect;
        EXPECT_EQ(BoxHasTint(img, r.left - 4, 153, r.right + 4, 170, 0x0000FF), (c + 1) % 5 == 0) << c;
        EXPECT_EQ(PixelAt(img, r.left + 3, r.bottom - 3), RgbOf(0x00FF00));  // filled
        EXPECT_EQ(PixelAt(img, r.left, r.bottom - 3), RgbOf(0));              // framed
    }
}

TEST_F(ChartTest, APointReachingTheRightEdgeIsNotDrawn)
{
    // width 300: R = 250; point k spans [50 + 20k - 2, 50 + 20k), so point 10 ends at R
    Resize(300, 200);
    chart->SetDisplayFlags(CHART_BAR);
    AddSeries(1, 0xFF0000, 2.0);
    Fill(10, 3.0);
    QImage img = Render();
    EXPECT_NE(PixelAt(img, 228, 140), RgbOf(0xFFFFFF));  // point 9 drawn (frame)
    EXPECT_EQ(PixelAt(img, 248, 140), RgbOf(0xFFFFFF));  // point 10 not
    EXPECT_EQ(PixelAt(img, 249, 140), RgbOf(0xFFFFFF));

    // as a curve: the last segment (up to the high point 10) is missing
    chart->ClearData();
    chart->SetDisplayFlags(CHART_CURVE);
    chart->SetPointMarkers(false);
    for (int i = 0; i < 10; ++i) {
        chart->InsertCategory(i, MakeCategory("c"), false);
        chart->AddPoint(i, 0, i == 9 ? 5.0 : 1.0, 0, 1, i == 9);
    }
    img = Render();
    const int y1 = chart->GetCategory(8)->points[0]->rect.top;
    EXPECT_EQ(PixelAt(img, 220, y1), RgbOf(0xFF0000));                       // segment 8 → 9 drawn
    EXPECT_FALSE(BoxHas(img, 229, 12, 250, y1 - 1, RgbOf(0xFF0000)));        // nothing rises to point 10
}

TEST_F(ChartTest, MonochromeModeIsBlackOnWhiteWithPatternedBars)
{
    chart->SetDisplayFlags(CHART_BAR | CHART_CURVE);
    chart->SetTitle("Title");
    chart->SetXAxisTitle("X");
    chart->SetYAxisTitle("Y axis");
    chart->SetLimitValues(1, 2, 3);
    chart->SetLimitLineColour(0x00FF00);
    chart->SetCursorLineColour(0xFF0000);
    AddSeries(1, 0x0000FF, 16.0);
    AddSeries(2, 0xFF0000, 16.0)->patternIndex = 3;
    for (int i = 0; i < 4; ++i) {
        chart->InsertCategory(i, MakeCategory("c"), false);
        chart->AddPoint(i, 0, 4.0, 0, 1, false);
        chart->AddPoint(i, 1, 3.0, 0, 2, i == 3);
    }
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(300, 100));
    chart->SetDrawMode(2);
    QImage img = Render();
    const QRgb white = RgbOf(0xFFFFFF), black = RgbOf(0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = PixelAt(img, x, y);
            ASSERT_TRUE(c == white || c == black) << x << "," << y << " " << std::hex << c;
        }
    EXPECT_EQ(PixelAt(img, 300, 100), black);  // position line in black
    // the first series' bar carries the rising diagonal, the second the checkerboard
    chart->SetDisplayFlags(CHART_BAR);  // no curve or reference line crossing the bars
    chart->SetLimitValues(0, 0, 0);
    img = Render();
    const ChartRect a = chart->GetCategory(0)->points[0]->rect;
    for (int y = a.top + 2; y < a.bottom - 2; ++y)
        for (int x = a.left + 2; x < a.right - 2; ++x)
            ASSERT_EQ(PixelAt(img, x, y) == black, (x + y) % 8 == 7) << x << "," << y;
    const ChartRect b = chart->GetCategory(0)->points[1]->rect;
    for (int y = b.top + 2; y < b.bottom - 2; ++y)
        for (int x = b.left + 2; x < b.right - 2; ++x)
            ASSERT_EQ(PixelAt(img, x, y) == black, (x + y) % 2 == 0) << x << "," << y;
}

TEST(ChartPatterns, FourMonochromePatterns)
{
    const QImage rising = CChartWnd::PatternImage(0);
    const QImage cross = CChartWnd::PatternImage(1);
    const QImage falling = CChartWnd::PatternImage(2);
    const QImage checker = CChartWnd::PatternImage(3);
    EXPECT_EQ(rising.pixel(0, 7) & 0xFFFFFF, 0u);
    EXPECT_EQ(rising.pixel(7, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(rising.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(falling.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(falling.pixel(0, 7) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(cross.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(cross.pixel(0, 7) & 0xFFFFFF, 0u);
    EXPECT_EQ(cross.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(checker.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(checker.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(checker.pixel(1, 1) & 0xFFFFFF, 0u);
}

TEST_F(ChartTest, PositionLineInItsColour)
{
    AddSeries(1, 0);
    Fill(5, 1.0);
    chart->SetCursorLineColour(0xFF0000);  // blue
    QImage img = Render();
    EXPECT_FALSE(BoxHas(img, 0, 0, 400, 200, RgbOf(0xFF0000)));
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(200, 80));
    img = Render();
    EXPECT_EQ(PixelAt(img, 200, 12), RgbOf(0xFF0000));
    EXPECT_EQ(PixelAt(img, 200, 100), RgbOf(0xFF0000));
    EXPECT_EQ(PixelAt(img, 200, 149), RgbOf(0xFF0000));
    EXPECT_EQ(PixelAt(img, 200, 11), RgbOf(0xFFFFFF));
    EXPECT_EQ(PixelAt(img, 201, 100), RgbOf(0xFFFFFF));

    chart->SetDrawMode(1);  // colour print keeps the colour
    img = Render();
    EXPECT_EQ(PixelAt(img, 200, 100), RgbOf(0xFF0000));
}

TEST_F(ChartTest, LegendWithTwoSeriesShowsTheCheckMarkOnScreenOnly)
{
    ChartSeries* a = AddSeries(1, 0x0000FF);
    ChartSeries* b = AddSeries(2, 0x00FF00);
    Fill(3, 1.0);
    chart->ShowSeries(1, false);
    QImage img = Render();
    EXPECT_EQ(PixelAt(img, a->legendRect.left + 6, a->legendRect.top + 6), RgbOf(0x0000FF));  // hidden, still shown
    EXPECT_EQ(PixelAt(img, a->legendRect.left, a->legendRect.top), RgbOf(0));                 // framed
    chart->SetDrawMode(1);
    img = Render();
    // printed: the hidden series is left out and the visible one moves up into its place
    EXPECT_EQ(PixelAt(img, a->legendRect.left + 6, a->legendRect.top + 6), RgbOf(0x00FF00));
    EXPECT_EQ(PixelAt(img, b->legendRect.left + 6, b->legendRect.top + 6), RgbOf(0xFFFFFF));
}

TEST_F(ChartTest, DirectAndImagePaintingGiveTheSamePixels)
{
    // an unscaled raster target is drawn straight into; it must look exactly like the image
    AddSeries(1, 0x0000FF);
    Fill(30, 2.5);
    chart->SetDisplayFlags(CHART_CURVE);
    chart->SetTitle("Title");
    chart->SetYAxisTitle("Y axis");
    chart->SetXAxisTitle("X");
    chart->SetLimitValues(1, 2, 3);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(150, 100));
    const QImage image = Render();
    QImage page(600, 400, QImage::Format_RGB32);
    page.fill(Qt::gray);
    {
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);  // a caller's hints do not leak in
        p.setBrush(Qt::red);
        chart->DrawChart(p, QRect(100, 150, 400, 200));
    }
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            ASSERT_EQ(PixelAt(page, 100 + x, 150 + y), PixelAt(image, x, y)) << x << "," << y;
    EXPECT_EQ(PixelAt(page, 99, 150), qRgb(160, 160, 164) & 0xFFFFFF);   // nothing outside
    EXPECT_EQ(PixelAt(page, 500, 349), qRgb(160, 160, 164) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(page, 100, 349), PixelAt(image, 0, 199));
}

TEST_F(ChartTest, HostileValuesLayOutOnTheBaseline)
{
    AddSeries(1, 0xFF);
    chart->InsertCategory(0, MakeCategory("nan"), false);
    chart->InsertCategory(1, MakeCategory("inf"), false);
    chart->InsertCategory(2, MakeCategory("huge"), false);
    EXPECT_EQ(chart->AddPoint(0, 0, std::nan(""), 0, 1, false), 1);
    EXPECT_EQ(chart->AddPoint(1, 0, INFINITY, 0, 1, false), 1);
    EXPECT_EQ(chart->AddPoint(2, 0, 1e300, 0, 1, true), 1);
    EXPECT_EQ(chart->GetCategory(0)->points[0]->rect.top, 150);
    EXPECT_EQ(chart->GetCategory(1)->points[0]->rect.top, 150);
    Render();  // and painting copes
    chart->GetSeries(0)->barWidth = std::nan("");
    chart->InsertCategory(3, MakeCategory("w"), false);
    EXPECT_EQ(chart->AddPoint(3, 0, 1.0, 0, 1, true), 1);
    EXPECT_EQ(chart->GetCategory(3)->points[0]->width, 0);
}

