#pragma once
// Drawing at a target's own resolution: what the painter's device makes of one logical pixel,
// and the classic drawing's one-pixel lines and frames drawn there. The chart and the printed
// page share them.

#include "charts/ChartLayout.h"

#include <QColor>

class QPainter;

struct ChartPaintTarget {
    double scale = 1.0;   // device pixels per logical pixel
    bool vector = false;  // PDF, printer or print preview rather than pixels
    double line = 1.0;    // logical width of a one-pixel line there
};
// paper: the line widths of a printed page (hairlines) rather than of the screen.
ChartPaintTarget ChartPaintTargetOf(const QPainter& p, bool paper);

// The one-pixel line of the classic drawing covering the logical pixels (x, y) .. (x + length,
// y + 1) (horizontal) or (x, y) .. (x + 1, y + length), drawn target.line thick through their
// middle: identical pixels at a scale of 1, sharp at any other.
void DrawChartRule(QPainter& p, const ChartPaintTarget& target, double x, double y, double length, bool horizontal,
                   const QColor& colour);
// A one-pixel frame around the inside of a rectangle, so two rectangles sharing an edge pixel
// share one line.
void DrawChartFrame(QPainter& p, const ChartPaintTarget& target, const ChartRect& r, const QColor& colour);
