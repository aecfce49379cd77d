#pragma once
// The chart's records and the arithmetic behind its layout: scale ladder,
// point and legend placement, bar widths by period, label rhythm and hit
// testing. Nothing here touches a widget, so tests call it directly.

#include "controls/Colour.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// Display flags: chart kind (bits may be combined) and one period bit read by UpdateBarWidths.
constexpr unsigned CHART_BAR = 0x01;
constexpr unsigned CHART_CURVE = 0x02;
constexpr unsigned CHART_DAY = 0x04;
constexpr unsigned CHART_WEEK = 0x08;
constexpr unsigned CHART_MONTH = 0x10;
constexpr unsigned CHART_YEAR = 0x20;
constexpr unsigned CHART_ALL = 0x40;

// A rectangle with exclusive right and bottom edges, as the layout computes them.
struct ChartRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const ChartRect&, const ChartRect&) = default;
};

struct ChartSeries {
    int key = 0;                // unique within a chart
    uint32_t colour = 0;        // fill, line, label and legend colour
    int patternIndex = 0;       // 0..3: monochrome fill pattern
    double barWidth = 0.0;      // width given to each new point
    QString name;               // legend text
    double scaleMax = 5.0;      // top of the Y axis for this series
    bool visible = true;
    int decimals = 0;           // digits in value labels: 0, 1 or 2
    ChartRect legendRect;       // legend square, set by the layout
};

struct ChartPoint {
    double value = 0.0;
    double scaleValue = 0.0;
    uint32_t colour = 0;
    int width = 0;
    ChartRect rect;
    QString seriesName;
    ChartSeries* series = nullptr;  // not owned
};

struct ChartCategory {
    std::vector<std::unique_ptr<ChartPoint>> points;
    QString label;
};

using ChartSeriesList = std::vector<std::unique_ptr<ChartSeries>>;
using ChartCategoryList = std::vector<std::unique_ptr<ChartCategory>>;

// The distances of the plot area from the layout rectangle's edges.
struct ChartMargins {
    int left = 50, top = 12, right = 50, bottom = 50;
};

// ---- scale ----------------------------------------------------------------

// The scale maximum after a point with scaleValue arrives: unchanged unless the value is
// strictly above it; then 0.1 below 0.1, the first ladder step strictly above the value,
// or the value itself from 10 000 000 on.
double NextScaleMax(double scaleMax, double scaleValue);

// Height of the plot for a layout or drawing height.
int ChartPlotHeight(int height, const ChartMargins& m, int arrowLength);
// Distance between two Y ticks (0 when yDivisions is not positive).
int ChartYTickStep(int height, const ChartMargins& m, int arrowLength, int yDivisions);
// The Y of a value on a scale, in a drawing of the given height.
int ChartValueY(int height, const ChartMargins& m, int arrowLength, double scaleMax, double value);

// ---- layout ---------------------------------------------------------------

// Lays out the points of categories firstCategory.. inside a layout rectangle; earlier
// categories keep their rectangles. Points of hidden series are skipped.
void LayoutChartPoints(ChartCategoryList& categories, int firstCategory, const ChartRect& layoutRect,
                       const ChartMargins& m, int arrowLength, double categoryGap);

// Places every series' legend square, visible or not.
void LayoutChartLegend(ChartSeriesList& series, const ChartRect& layoutRect, const ChartMargins& m, int fontHeight);

// How many categories fit the client width ((width − margins) ÷ (gap + 2), truncated).
int ChartCategoryCapacity(int clientWidth, const ChartMargins& m, double categoryGap);

// Whether the category with the running count (from 1) carries its label.
bool ChartCategoryLabelled(int count, int labelStep, int labelPhase);

// The result of the bar-width table for a period.
struct ChartBarWidths {
    double gap = 8.0;
    double barWidth = 15.0;
    int labelStep = 1;
    bool setsValueLabels = false;  // false: showValueLabels keeps its value
    bool showValueLabels = false;
};
// flags: the display flags (only the period bits count); visibleSeries: n; the widths in pixels.
ChartBarWidths ComputeBarWidths(unsigned flags, int visibleSeries, double layoutWidth, int arrowLength,
                                const ChartMargins& m);

// ---- hit testing ---------------------------------------------------------

struct ChartHit {
    int code = 0;               // 0 nothing, 1 point, 2 legend square
    int category = -1;
    int point = -1;
    int series = -1;            // index of the series (code 2)
};
ChartHit ChartHitTest(const ChartCategoryList& categories, const ChartSeriesList& series, int firstCategory,
                      int x, int y);
// The point whose column (its rect widened by the gap to the right and up to the top) holds (x, y).
ChartHit ChartColumnHit(const ChartCategoryList& categories, int firstCategory, double categoryGap, int x, int y);

// A value written with 0, 1 or 2 decimals ("%1.0f", "%1.1f", "%1.2f").
QString ChartFormatValue(double value, int decimals);

// Legend squares as the printed modes show them: hidden series left out, each visible
// square moved up by (height + 5) for every hidden series before it. Index-parallel to
// series; hidden series get an empty rectangle.
std::vector<ChartRect> PrintedLegendRects(const ChartSeriesList& series);

// ---- resolution -----------------------------------------------------------

// The chart is laid out in logical pixels and drawn at the target's resolution: `scale`
// device pixels per logical pixel (the screen's device-pixel ratio, or a printer's dots per
// inch ÷ 96).
// Width in device pixels of the chart's one-pixel lines: on screen they grow with the scale
// (2 at 200 %); on paper (the print modes) they are hairlines of about 1/300 inch, at least
// one device dot, so a line stays a line rather than a 1/96-inch bar.
int ChartLineWidth(double scale, bool paper);
// Whether the device pixel (x, y) of a monochrome fill pattern tile is black. The tile is
// the 8 × 8 pattern drawn at the scale: 8 × round(scale) pixels square, lines lineWidth
// device pixels thick, the checkerboard in cells of round(scale) pixels.
int ChartPatternTileSize(double scale);
bool ChartPatternPixel(int patternIndex, int x, int y, double scale, int lineWidth);
// Whether device pixel x of a reference line (dash 4, gap 2, dot 1, gap 2 logical pixels)
// is drawn.
bool ChartDashDotPixel(int x, double scale);
