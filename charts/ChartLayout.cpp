#include "charts/ChartLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

double NextScaleMax(double scaleMax, double scaleValue)
{
    if (!(scaleValue > scaleMax))
        return scaleMax;
    if (scaleValue < 0.1)
        return 0.1;
    static constexpr double kLadder[] = {1, 5, 10, 25, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000,
                                         50000, 100000, 200000, 500000, 1000000, 2000000, 5000000, 10000000};
    for (double step : kLadder)
        if (step > scaleValue)
            return step;
    return scaleValue;
}

int ChartPlotHeight(int height, const ChartMargins& m, int arrowLength)
{
    return height - m.top - arrowLength - m.bottom - 5;
}

int ChartYTickStep(int height, const ChartMargins& m, int arrowLength, int yDivisions)
{
    if (yDivisions <= 0)
        return 0;
    return ChartPlotHeight(height, m, arrowLength) / yDivisions;
}

namespace {

// trunc(plotHeight ÷ scale × value), kept inside int range for absurd inputs.
int ScaledHeight(int plotHeight, double scaleMax, double value)
{
    if (!(scaleMax > 0.0))
        return 0;  // a series without a usable scale draws on the baseline
    const double v = std::trunc(double(plotHeight) / scaleMax * value);
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(v, -1.0e8, 1.0e8));
}

int TruncToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(std::trunc(v), -1.0e9, 1.0e9));
}

}  // namespace

int ChartValueY(int height, const ChartMargins& m, int arrowLength, double scaleMax, double value)
{
    return height - ScaledHeight(ChartPlotHeight(height, m, arrowLength), scaleMax, value) - m.bottom;
}

void LayoutChartPoints(ChartCategoryList& categories, int firstCategory, const ChartRect& layoutRect,
                       const ChartMargins& m, int arrowLength, double categoryGap)
{
    const int height = layoutRect.bottom - layoutRect.top;
    const int baseline = height - m.bottom;
    const int plotHeight = height - m.top - arrowLength - m.bottom - 5;
    double x = m.left;
    for (size_t c = size_t(std::max(firstCategory, 0)); c < categories.size(); ++c) {
        x += categoryGap;
        for (auto& p : categories[c]->points) {
            if (!p->series || !p->series->visible)
                continue;
            p->rect.top = baseline - ScaledHeight(plotHeight, p->series->scaleMax, p->value);
            p->rect.left = TruncToInt(x);
            p->rect.right = p->rect.left + p->width;
            p->rect.bottom = baseline;
            x = p->rect.right;
        }
    }
}

void LayoutChartLegend(ChartSeriesList& series, const ChartRect& layoutRect, const ChartMargins& m, int fontHeight)
{
    const int x = layoutRect.right - m.right - layoutRect.left - 50;
    int y = m.top;
    for (auto& s : series) {
        s->legendRect = {x, y, x + fontHeight, y + fontHeight};
        y += fontHeight + 5;
    }
}

int ChartCategoryCapacity(int clientWidth, const ChartMargins& m, double categoryGap)
{
    const double per = categoryGap + 2.0;
    if (!(per > 0.0))
        return 0;
    return TruncToInt(double(clientWidth - m.left - m.right) / per);
}

bool ChartCategoryLabelled(int count, int labelStep, int labelPhase)
{
    if (labelStep <= 0)
        return false;
    return count % labelStep == labelPhase;
}

ChartBarWidths ComputeBarWidths(unsigned flags, int visibleSeries, double layoutWidth, int arrowLength,
                                const ChartMargins& m)
{
    // With every series hidden no bar is drawn; one series' width keeps the numbers finite.
    const double n = std::max(visibleSeries, 1);
    const double W = layoutWidth - arrowLength - m.right - m.left;
    ChartBarWidths r;
    auto periodic = [&](double count, int step) {
        r.gap = std::min(W / count / (n + 1), 15.0);
        r.barWidth = (W - count * r.gap) / count / n;
        r.labelStep = step;
        r.setsValueLabels = true;
        r.showValueLabels = r.barWidth > 43;
    };
    if (flags & CHART_YEAR) {
        periodic(12, 1);
    } else if (flags & CHART_MONTH) {
        periodic(31, 5);
    } else if (flags & CHART_WEEK) {
        periodic(7, 1);
    } else if (flags & CHART_DAY) {
        r.gap = W / (n + 2);
        r.barWidth = (W - 2 * r.gap) / n;
        r.labelStep = 1;
        r.setsValueLabels = true;
        r.showValueLabels = r.barWidth > 43;
    } else {
        r.gap = 8;
        r.barWidth = 15;
        r.labelStep = 1;
        r.setsValueLabels = false;
    }
    return r;
}

ChartHit ChartHitTest(const ChartCategoryList& categories, const ChartSeriesList& series, int firstCategory,
                      int x, int y)
{
    for (size_t c = size_t(std::max(firstCategory, 0)); c < categories.size(); ++c) {
        const auto& points = categories[c]->points;
        for (size_t i = 0; i < points.size(); ++i) {
            const ChartPoint& p = *points[i];
            if (p.series && p.series->visible && p.rect.Contains(x, y))
                return {1, int(c), int(i), -1};
        }
    }
    for (size_t s = 0; s < series.size(); ++s)
        if (series[s]->legendRect.Contains(x, y))
            return {2, -1, -1, int(s)};
    return {};
}

ChartHit ChartColumnHit(const ChartCategoryList& categories, int firstCategory, double categoryGap, int x, int y)
{
    for (size_t c = size_t(std::max(firstCategory, 0)); c < categories.size(); ++c) {
        const auto& points = categories[c]->points;
        for (size_t i = 0; i < points.size(); ++i) {
            const ChartPoint& p = *points[i];
            if (!p.series || !p.series->visible)
                continue;
            const ChartRect column{p.rect.left, 0, TruncToInt(p.rect.right + categoryGap), p.rect.bottom};
            if (column.Contains(x, y))
                return {1, int(c), int(i), -1};
        }
    }
    return {};
}

QString ChartFormatValue(double value, int decimals)
{
    return QString::asprintf(decimals <= 0 ? "%1.0f" : decimals == 1 ? "%1.1f" : "%1.2f", value);
}

std::vector<ChartRect> PrintedLegendRects(const ChartSeriesList& series)
{
    std::vector<ChartRect> out(series.size());
    int shift = 0;
    for (size_t i = 0; i < series.size(); ++i) {
        const ChartRect& r = series[i]->legendRect;
        if (!series[i]->visible) {
            shift += r.Height() + 5;
            continue;
        }
        out[i] = {r.left, r.top - shift, r.right, r.bottom - shift};
    }
    return out;
}

int ChartLineWidth(double scale, bool paper)
{
    if (!std::isfinite(scale) || scale <= 0.0)
        return 1;
    const double width = paper ? scale * 96.0 / 300.0 : scale;
    return std::max(1, int(std::lround(std::min(width, 64.0))));
}

int ChartPatternTileSize(double scale)
{
    if (!(scale >= 1.0))
        return 8;
    return 8 * int(std::lround(std::min(scale, 64.0)));
}

bool ChartPatternPixel(int patternIndex, int x, int y, double scale, int lineWidth)
{
    const int n = ChartPatternTileSize(scale);
    x = ((x % n) + n) % n;
    y = ((y % n) + n) % n;
    const int w = std::clamp(lineWidth, 1, n);
    // Distance from a diagonal, counted one way only so a thick line stays one line wide
    // across tile edges.
    auto onRising = [&] { return ((x + y - (n - 1)) % n + n) % n < w; };   // bottom-left to top-right
    auto onFalling = [&] { return ((x - y) % n + n) % n < w; };             // top-left to bottom-right
    switch (patternIndex) {
    case 0: return onRising();
    case 1: return onRising() || onFalling();
    case 2: return onFalling();
    default: {
        const int cell = std::max(1, n / 8);
        return (x / cell + y / cell) % 2 == 0;
    }
    }
}

bool ChartDashDotPixel(int x, double scale)
{
    if (!(scale > 0.0))
        scale = 1.0;
    const int logical = int(std::floor(x / scale)) % 9;
    return logical < 4 || logical == 6;
}
