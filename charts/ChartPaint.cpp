// The chart's painting: the nine layers, drawn at the target's resolution.
#include "charts/ChartPaint.h"
#include "charts/ChartWnd.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

const QString kFallbackFace = QStringLiteral("WenQuanYi Micro Hei");

QRect ToQRect(const ChartRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Text at a baseline. Glyphs enlarged by the painter's scale come out smoothed even from a
// font without antialiasing, so black and white text finer than a screen pixel is filled as
// an outline instead: no grey edges on a black and white page.
void PaintText(QPainter& p, const QPointF& baseline, const QFont& font, const QString& text, bool mono, double scale)
{
    if (mono && scale != 1.0) {
        QPainterPath path;
        path.addText(baseline, font, text);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(path, p.pen().color());
        p.restore();
        return;
    }
    p.setFont(font);
    p.drawText(baseline, text);
}

// A brush of a monochrome pattern whose tile keeps its size in logical pixels at any scale.
QBrush PatternBrush(int patternIndex, double scale, int lineWidth)
{
    QBrush brush(CChartWnd::PatternImage(patternIndex, scale, lineWidth));
    if (scale != 1.0)
        brush.setTransform(QTransform::fromScale(1.0 / scale, 1.0 / scale));
    return brush;
}

}  // namespace

QFont CChartWnd::MakeFont() const
{
    QFont f;
    f.setFamilies({m_fontFace, kFallbackFace});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(m_fontHeight, 1));
    f.setWeight(QFont::Weight(std::clamp(m_fontWeight, 1, 1000)));
    // The monochrome print mode is black on white only: no grey edges on glyphs.
    if (m_drawMode == 2)
        f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QImage CChartWnd::PatternImage(int patternIndex, double scale, int lineWidth)
{
    const int n = ChartPatternTileSize(scale);
    QImage img(n, n, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (ChartPatternPixel(patternIndex, x, y, scale, lineWidth))
                img.setPixel(x, y, black);
    return img;
}

ChartPaintTarget ChartPaintTargetOf(const QPainter& p, bool paper)
{
    ChartPaintTarget t;
    const QTransform m = p.deviceTransform();
    // Device pixels per logical pixel: a device-pixel ratio, a printer's dpi ÷ 96, or both.
    const double scale = std::sqrt(std::abs(m.m11() * m.m22() - m.m12() * m.m21()));
    t.scale = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
    const QPaintEngine* engine = p.paintEngine();
    t.vector = !engine || engine->type() != QPaintEngine::Raster;
    t.line = ChartLineWidth(t.scale, paper) / t.scale;
    return t;
}

void DrawChartRule(QPainter& p, const ChartPaintTarget& target, double x, double y, double length, bool horizontal,
                   const QColor& colour)
{
    if (length <= 0)
        return;
    // The line runs through the middle of the classic drawing's pixel cells.
    const double t = target.line;
    const double across = (horizontal ? y : x) + (1.0 - t) / 2;
    if (target.vector) {
        // A pen line rather than a thin rectangle: a preview drawn smaller than the page never
        // loses a line thinner than a screen pixel.
        p.setPen(QPen(colour, t, Qt::SolidLine, Qt::FlatCap));
        if (horizontal)
            p.drawLine(QPointF(x, across + t / 2), QPointF(x + length, across + t / 2));
        else
            p.drawLine(QPointF(across + t / 2, y), QPointF(across + t / 2, y + length));
        return;
    }
    p.fillRect(horizontal ? QRectF(x, across, length, t) : QRectF(across, y, t, length), colour);
}

void DrawChartFrame(QPainter& p, const ChartPaintTarget& target, const ChartRect& r, const QColor& colour)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    DrawChartRule(p, target, r.left, r.top, r.Width(), true, colour);
    DrawChartRule(p, target, r.left, r.bottom - 1, r.Width(), true, colour);
    DrawChartRule(p, target, r.left, r.top, r.Height(), false, colour);
    DrawChartRule(p, target, r.right - 1, r.top, r.Height(), false, colour);
}

void CChartWnd::DrawChart(QPainter& target, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // Drawn straight into the target: on screen the backing store is the off-screen buffer
    // already, and printers and PDF files keep the lines and text as such.
    target.save();
    const bool wholeDevice = target.device() && rect == QRect(0, 0, target.device()->width(), target.device()->height()) &&
                             target.deviceTransform().isIdentity() && !target.hasClipping();
    target.translate(rect.topLeft());
    if (!wholeDevice)  // the device's own edges clip a whole-device paint
        target.setClipRect(QRect(0, 0, rect.width(), rect.height()), Qt::IntersectClip);
    target.setRenderHint(QPainter::Antialiasing, false);
    target.setRenderHint(QPainter::TextAntialiasing, true);
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.setOpacity(1.0);
    target.setBrush(Qt::NoBrush);
    Render(target, rect.width(), rect.height());
    target.restore();
}

QImage CChartWnd::RenderImage(const QSize& size, double devicePixelRatio)
{
    const double dpr = devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    if (size.isEmpty())
        return image;
    QPainter p(&image);
    DrawChart(p, QRect(QPoint(0, 0), size));
    return image;
}

const QStaticText& CChartWnd::CachedText(const QFont& font, const QString& text)
{
    auto it = m_textCache.find(text);
    if (it == m_textCache.end()) {
        QStaticText st(text);
        st.setTextFormat(Qt::PlainText);
        st.setPerformanceHint(QStaticText::AggressiveCaching);
        st.prepare(QTransform(), font);
        it = m_textCache.insert(text, st);
    }
    return *it;
}

const QImage& CChartWnd::RotatedTitle(const QFont& font, const QColor& colour)
{
    const double s = m_target.scale;
    const QString key = m_yAxisTitle + QLatin1Char('\n') + font.key() + QLatin1Char('\n') + colour.name() +
                        QLatin1Char('\n') + QString::number(s);
    if (key != m_rotatedKey) {
        // The title turned a quarter clockwise: it runs downward with the glyph tops towards
        // the plot, as the escapement-2700 font of the classic drawing placed it.
        const QFontMetrics fm(font);
        const int th = fm.height();
        const int tw = std::max(fm.horizontalAdvance(m_yAxisTitle), 1);
        m_rotatedTitle = QImage(int(std::ceil(th * s)), int(std::ceil(tw * s)), QImage::Format_ARGB32_Premultiplied);
        m_rotatedTitle.setDevicePixelRatio(s);
        m_rotatedTitle.fill(Qt::transparent);
        QPainter p(&m_rotatedTitle);
        p.setPen(colour);
        p.translate(th, 0);
        p.rotate(90);
        PaintText(p, QPointF(0, fm.ascent()), font, m_yAxisTitle, m_drawMode == 2, s);
        p.end();
        m_rotatedKey = key;
    }
    return m_rotatedTitle;
}

const QImage& CChartWnd::DashDotRow(int width, const QColor& colour)
{
    const double s = m_target.scale;
    const int lineWidth = ChartLineWidth(s, m_drawMode != 0);
    const int deviceWidth = std::max(1, int(std::lround(std::max(width, 1) * s)));
    if (m_dashRow.width() != deviceWidth || m_dashRow.height() != lineWidth || m_dashColour != colour ||
        m_dashScale != s) {
        m_dashRow = QImage(deviceWidth, lineWidth, QImage::Format_ARGB32_Premultiplied);
        m_dashRow.setDevicePixelRatio(s);
        const QRgb on = colour.rgba();
        for (int x = 0; x < deviceWidth; ++x)
            for (int y = 0; y < lineWidth; ++y)
                m_dashRow.setPixel(x, y, ChartDashDotPixel(x, s) ? on : 0u);
        m_dashColour = colour;
        m_dashScale = s;
    }
    return m_dashRow;
}

int CChartWnd::TextWidth(const QFont& font, const QString& text)
{
    return qRound(CachedText(font, text).size().width());
}

void CChartWnd::DrawText(QPainter& p, int x, int y, const QString& text)
{
    if (m_target.vector) {
        // Printers and PDF files keep text as text.
        p.drawStaticText(x, y, CachedText(p.font(), text));
        return;
    }
    // Labels repeat from paint to paint: each is drawn once into a small image of its own
    // colour at the target's resolution and then only blended, which costs a fraction of
    // laying out and drawing glyphs.
    const double s = m_target.scale;
    const QColor colour = p.pen().color();
    const QString key = text + QLatin1Char('\x1f') + QString::number(colour.rgba(), 16);
    auto it = m_textImages.find(key);
    if (it == m_textImages.end()) {
        const QStaticText& st = CachedText(p.font(), text);
        const QSize size(std::max(1, int(std::ceil(st.size().width() * s))),
                         std::max(1, int(std::ceil(st.size().height() * s))));
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(s);
        img.fill(Qt::transparent);
        QPainter ip(&img);
        ip.setPen(colour);
        if (m_drawMode == 2 && s != 1.0) {
            PaintText(ip, QPointF(0, QFontMetricsF(p.font()).ascent()), p.font(), text, true, s);
        } else {
            ip.setFont(p.font());
            ip.drawStaticText(0, 0, st);
        }
        ip.end();
        it = m_textImages.insert(key, img);
    }
    p.drawImage(QPointF(x, y), *it);
}

void CChartWnd::Arrowheads(QPainter& p, int R, int B, const QColor& colour)
{
    const ChartMargins& m = m_margins;
    const int halfWidth = m_arrowWidth / 2;
    if (m_target.scale == 1.0 && !m_target.vector) {
        // The classic filled triangles, pixel for pixel, as rectangle fills.
        for (int i = 0; i <= m_arrowLength && m_arrowLength > 0; ++i) {
            const int half = halfWidth * (m_arrowLength - i) / m_arrowLength;
            p.fillRect(R - m_arrowLength + i, B - half, 1, 2 * half + 1, colour);  // pointing right
            p.fillRect(m.left - half, m.top + m_arrowLength - i, 2 * half + 1, 1, colour);  // pointing up
        }
        return;
    }
    // At a finer resolution the true triangles over the same pixel cells.
    const double c = 0.5;  // pixel centres of the classic drawing
    p.save();
    p.setRenderHint(QPainter::Antialiasing, m_drawMode != 2);  // black and white has no greys
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(R + c + 0.5, B + c), QPointF(R - m_arrowLength, B + c + halfWidth + 0.5),
                             QPointF(R - m_arrowLength, B + c - halfWidth - 0.5)}));
    p.drawPolygon(QPolygonF({QPointF(m.left + c, m.top), QPointF(m.left + c - halfWidth - 0.5, m.top + m_arrowLength + 1),
                             QPointF(m.left + c + halfWidth + 0.5, m.top + m_arrowLength + 1)}));
    p.restore();
}

void CChartWnd::ReferenceLine(QPainter& p, int x, int y, int width, const QColor& colour)
{
    if (width <= 0)
        return;
    const double t = m_target.line;
    const double top = y + (1.0 - t) / 2;  // through the middle of its pixel row, as every line
    if (!m_target.vector) {
        p.drawImage(QPointF(x, top), DashDotRow(width, colour));
        return;
    }
    QPen pen(colour, t, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({4 / t, 2 / t, 1 / t, 2 / t});  // in pen widths
    p.setPen(pen);
    p.drawLine(QPointF(x, top + t / 2), QPointF(x + width, top + t / 2));
}

void CChartWnd::Render(QPainter& p, int w, int h)
{
    m_target = ChartPaintTargetOf(p, m_drawMode != 0);
    const ChartMargins& m = m_margins;
    const bool mono = m_drawMode == 2;
    const QColor black(0, 0, 0);
    // Black and white means black on white: every colour of the chart, the axes included.
    auto marked = [&](uint32_t c) { return mono ? black : ColorRefToQColor(c); };
    const int R = w - m.right;
    const int B = h - m.bottom;

    const QFont font = MakeFont();
    const QFontMetrics fm(font);
    const int th = fm.height();
    p.setFont(font);
    const QString fontKey = font.key();
    // The text images are of one font at one resolution.
    if (fontKey != m_textCacheFont || m_target.scale != m_textCacheScale || m_textCache.size() > 4000 ||
        m_textImages.size() > 4000) {
        m_textCache.clear();
        m_textImages.clear();
        m_textCacheFont = fontKey;
        m_textCacheScale = m_target.scale;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setBrushOrigin(0, 0);

    // 1. Background.
    p.fillRect(0, 0, w, h, ColorRefToQColor(m_backColour));

    // 2. Captions.
    const QColor textColour = marked(m_textColour);
    p.setPen(textColour);
    if (!m_yAxisTitle.isEmpty()) {
        if (m_target.vector) {
            p.save();
            p.translate(m.left + 8 + th, m.top + 8);
            p.rotate(90);
            p.drawText(0, fm.ascent(), m_yAxisTitle);
            p.restore();
        } else {
            p.drawImage(QPointF(m.left + 8, m.top + 8), RotatedTitle(font, textColour));
        }
    }
    if (!m_xAxisTitle.isEmpty())
        DrawText(p, R - TextWidth(font, m_xAxisTitle), B - th - 5, m_xAxisTitle);
    if (!m_title.isEmpty())
        DrawText(p, m.left + (R - m.left - TextWidth(font, m_title)) / 2, m.top + 8, m_title);

    // 3. Y ticks and the stacked labels of the visible series.
    const QColor axisColour = marked(m_axisColour);
    const int step = ChartYTickStep(h, m, m_arrowLength, m_yDivisions);
    const int visibleCount = GetVisibleSeriesCount();
    for (int i = 1; i <= m_yDivisions; ++i) {
        const int y = B - i * step;
        DrawChartRule(p, m_target, m.left, y, 7, true, axisColour);
        int k = 0;
        for (const auto& s : m_series) {
            if (!s->visible)
                continue;
            const QString label = QString::asprintf("%1.1f", s->scaleMax / m_yDivisions * i);
            p.setPen(marked(s->colour));
            DrawText(p, m.left - TextWidth(font, label) - 2, y + k * th - (visibleCount * th) / 2, label);
            ++k;
        }
    }

    // 4. Axes with their arrowheads.
    if (R > m.left)
        DrawChartRule(p, m_target, m.left, B, R - m.left, true, axisColour);
    if (B > m.top)
        DrawChartRule(p, m_target, m.left, m.top + 1, B - m.top, false, axisColour);
    Arrowheads(p, R, B, axisColour);

    // 5. Bars. Scrolling is meant for curves; bars start at the first laid-out category
    //    and keep counting labels from the chart's first category.
    const int lineWidth = ChartLineWidth(m_target.scale, m_drawMode != 0);
    if (m_displayFlags & CHART_BAR) {
        double x = m.left;
        int counter = std::max(m_firstCategory, 0);
        for (size_t c = size_t(counter); c < m_categories.size(); ++c) {
            x += m_categoryGap;
            const int xl = int(x);
            int sum = 0;
            for (const auto& pt : m_categories[c]->points) {
                if (!pt->series || !pt->series->visible || pt->rect.right >= R)
                    continue;
                if (mono)
                    p.fillRect(ToQRect(pt->rect), PatternBrush(pt->series->patternIndex, m_target.scale, lineWidth));
                else
                    p.fillRect(ToQRect(pt->rect), ColorRefToQColor(pt->colour));
                DrawChartFrame(p, m_target, pt->rect, black);
                x = pt->rect.right;
                if (m_showValueLabels) {
                    const QString v = ChartFormatValue(pt->value, pt->series->decimals);
                    p.setPen(marked(pt->colour));
                    DrawText(p, pt->rect.left + (pt->rect.Width() - TextWidth(font, v)) / 2,
                           pt->rect.top - th - 3, v);
                }
                sum += pt->width;
            }
            ++counter;
            if (ChartCategoryLabelled(counter, m_labelStep, m_labelPhase)) {
                const QString& label = m_categories[c]->label;
                const int lx = xl + (sum - TextWidth(font, label)) / 2;
                if (lx < R) {
                    p.setPen(textColour);
                    DrawText(p, lx, B + 3, label);
                }
            }
        }
    }

    // 6. Curves, joined at the points' left-top corners.
    if ((m_displayFlags & CHART_CURVE)) {
        QPolygon curve;  // the segments join end to start: one polyline per series
        QVector<QPoint> ticks;  // (x, height)
        QVector<QPoint> markers;
        for (size_t si = 0; si < m_series.size(); ++si) {
            const ChartSeries* series = m_series[si].get();
            curve.clear();
            ticks.clear();
            markers.clear();
            double x = m.left;
            int counter = 0;
            const ChartPoint* previous = nullptr;
            for (size_t c = size_t(std::max(m_firstCategory, 0)); c < m_categories.size(); ++c) {
                int tick = 5;
                x += m_categoryGap;
                if (x >= R)
                    break;  // x only grows: nothing further right is drawn
                ++counter;
                if (si == 0 && ChartCategoryLabelled(counter, m_labelStep, m_labelPhase) && x < R) {
                    // A label the drawing's edge would cut in two is left out; its tick stays.
                    const QString& label = m_categories[c]->label;
                    if (int(x) + TextWidth(font, label) <= w) {
                        p.setPen(textColour);
                        DrawText(p, int(x), B + 3, label);
                    }
                    tick = 10;
                }
                for (const auto& pt : m_categories[c]->points) {
                    if (!pt->series || !pt->series->visible || pt->rect.right >= R)
                        continue;
                    if (pt->series == series) {
                        if (!previous)
                            curve.append(QPoint(m.left, pt->rect.top));
                        curve.append(QPoint(pt->rect.left, pt->rect.top));
                        ticks.append(QPoint(int(x), tick));
                        if (m_pointMarkers)
                            markers.append(QPoint(pt->rect.left, pt->rect.top));
                        previous = pt.get();
                    }
                    x = pt->rect.right;
                }
            }
            const QColor seriesColour = marked(series->colour);
            // Finer than a screen pixel the curve runs through the middle of the classic pixels,
            // smoothed in colour; at 100 % it keeps its pixels.
            // Finer than a screen pixel the curve runs through the middle of the classic pixels,
            // smoothed in colour; at 100 % it keeps its pixels.
            const bool fine = m_target.scale != 1.0 || m_target.vector;
            const bool smooth = fine && !mono;  // black and white has no greys
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.setPen(QPen(seriesColour, m_target.line));
            if (fine) {
                p.translate(0.5, 0.5);
                p.drawPolyline(curve);
                p.translate(-0.5, -0.5);
            } else {
                p.drawPolyline(curve);
            }
            p.setRenderHint(QPainter::Antialiasing, false);
            for (const QPoint& t : ticks)
                DrawChartRule(p, m_target, t.x(), B - t.y() + 1, t.y(), false, seriesColour);
            if (!markers.isEmpty()) {
                p.setRenderHint(QPainter::Antialiasing, smooth);
                p.setPen(QPen(seriesColour, m_target.line));
                p.setBrush(Qt::white);
                for (const QPoint& c : markers)
                    p.drawEllipse(fine ? QRectF(c.x() - 2.5, c.y() - 2.5, 6, 6) : QRectF(c.x() - 3, c.y() - 3, 6, 6));
                p.setBrush(Qt::NoBrush);
                p.setRenderHint(QPainter::Antialiasing, false);
            }
        }
    }

    // 7. The three reference lines, on the first series' scale.
    if (!m_series.empty()) {
        const QColor limitColour = marked(m_limitLineColour);
        for (double v : m_limitValues)
            ReferenceLine(p, m.left, ChartValueY(h, m, m_arrowLength, m_series.front()->scaleMax, v), R - m.left,
                          limitColour);
    }

    // 8. Legend, with two series or more.
    if (m_series.size() >= 2) {
        if (m_drawMode == 0) {
            for (const auto& s : m_series) {
                const ChartRect& r = s->legendRect;
                p.fillRect(ToQRect(r), ColorRefToQColor(s->colour));
                DrawChartFrame(p, m_target, r, black);
                p.setPen(ColorRefToQColor(s->colour));
                DrawText(p, r.right + 5, r.top, s->name);
                if (s->visible) {
                    p.setPen(black);
                    DrawText(p, r.left + 1, r.top - 3, QStringLiteral("√"));
                }
            }
        } else {
            const std::vector<ChartRect> rects = PrintedLegendRects(m_series);
            for (size_t i = 0; i < m_series.size(); ++i) {
                const ChartSeries& s = *m_series[i];
                if (!s.visible)
                    continue;
                const ChartRect& r = rects[i];
                if (mono)
                    p.fillRect(ToQRect(r), PatternBrush(s.patternIndex, m_target.scale, lineWidth));
                else
                    p.fillRect(ToQRect(r), ColorRefToQColor(s.colour));
                DrawChartFrame(p, m_target, r, black);
                p.setPen(marked(s.colour));
                DrawText(p, r.right + 5, r.top, s.name);
            }
        }
    }

    // 9. Position line.
    if (m.left < m_cursorX && m_cursorX < w - m.right && h - m.bottom > m.top)
        DrawChartRule(p, m_target, m_cursorX, m.top, h - m.bottom - m.top, false, marked(m_cursorLineColour));
}
