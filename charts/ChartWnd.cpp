#include "charts/ChartWnd.h"

#include "external/records/WndMessage.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int kHoverTimerPeriod = 100;
const QString kFallbackFace = QStringLiteral("WenQuanYi Micro Hei");

// Text with its top-left corner at (x, y), as a top-aligned text call places it.
void TextAt(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text)
{
    p.drawText(x, y + fm.ascent(), text);
}

// A straight line that, like the classic line call, leaves out its last pixel.
QLine OpenLine(int x1, int y1, int x2, int y2)
{
    const int dx = (x2 > x1) - (x2 < x1);
    const int dy = (y2 > y1) - (y2 < y1);
    if (dx == 0 || dy == 0)
        return QLine(x1, y1, x2 - dx, y2 - dy);
    return QLine(x1, y1, x2, y2);
}

QRect ToQRect(const ChartRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A one-pixel frame around the inside of a rectangle.
void Frame(QPainter& p, const ChartRect& r)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    if (r.Width() == 1 || r.Height() == 1)
        p.fillRect(ToQRect(r), Qt::black);
    else
        p.drawRect(r.left, r.top, r.Width() - 1, r.Height() - 1);
}

}  // namespace

CChartWnd::CChartWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the whole client is painted from one image
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_layoutRect = ClientRect();
}

CChartWnd::~CChartWnd()
{
    if (m_hoverTimer)
        killTimer(m_hoverTimer);
}

ChartRect CChartWnd::ClientRect() const
{
    return {0, 0, width(), height()};
}

// ---- data ---------------------------------------------------------------

int CChartWnd::AddSeries(std::unique_ptr<ChartSeries>& series)
{
    if (!series)
        return 0;
    for (const auto& s : m_series)
        if (s->key == series->key)
            return 0;
    m_series.push_back(std::move(series));
    return 1;
}

int CChartWnd::InsertCategory(int index, std::unique_ptr<ChartCategory> category, bool redraw)
{
    if (!category)
        return 0;
    const int at = std::clamp(index, 0, int(m_categories.size()));
    m_categories.insert(m_categories.begin() + at, std::move(category));
    if (redraw)
        update();
    return 1;
}

const ChartCategory* CChartWnd::GetCategory(int index) const
{
    if (index < 0 || index >= int(m_categories.size()))
        return nullptr;
    return m_categories[size_t(index)].get();
}

int CChartWnd::AddPoint(int categoryIndex, int position, double value, double scaleValue, int seriesKey,
                        bool relayout)
{
    if (categoryIndex < 0 || categoryIndex >= int(m_categories.size()))
        return 0;
    ChartCategory* category = m_categories[size_t(categoryIndex)].get();
    if (!category || m_series.empty())
        return 0;
    ChartSeries* series = nullptr;
    for (const auto& s : m_series)
        if (s->key == seriesKey) {
            series = s.get();
            break;
        }
    if (!series || position < 0 || position > int(category->points.size()))
        return 0;

    auto point = std::make_unique<ChartPoint>();
    point->value = value;
    point->scaleValue = scaleValue != 0.0 ? scaleValue : value;
    point->colour = series->colour;
    point->width = std::isfinite(series->barWidth) ? int(std::clamp(series->barWidth, 0.0, 1.0e6)) : 0;
    point->seriesName = series->name;
    point->series = series;
    const double scaleOfPoint = point->scaleValue;
    category->points.insert(category->points.begin() + position, std::move(point));

    if (!m_fixedScale)
        series->scaleMax = NextScaleMax(series->scaleMax, scaleOfPoint);
    if (relayout) {
        LayoutPoints();
        update();
    }
    return 1;
}

void CChartWnd::ClearData()
{
    std::set<const ChartSeries*> had;
    for (const auto& c : m_categories)
        for (const auto& p : c->points)
            had.insert(p->series);
    m_categories.clear();
    if (!m_fixedScale)
        for (auto& s : m_series)
            if (had.count(s.get()))
                s->scaleMax = 5.0;
}

// ---- configuration --------------------------------------------------------

void CChartWnd::SetDisplayFlags(unsigned flags)
{
    m_displayFlags = flags;
    if (m_autoBarWidth)
        UpdateBarWidths();
    SendToParent(WM_CHART_FLAGSCHANGED, 0);
}

void CChartWnd::SetMargins(int left, int top, int right, int bottom)
{
    m_margins = {left, top, right, bottom};
}

void CChartWnd::SetLabelStep(int step, int phase)
{
    m_labelStep = step;
    m_labelPhase = phase;
}

void CChartWnd::SetFont(const QString& face, int height, int weight)
{
    m_fontFace = face;
    m_fontHeight = height;
    m_fontWeight = weight;
}

void CChartWnd::UpdateBarWidths()
{
    const ChartBarWidths r = ComputeBarWidths(m_displayFlags, GetVisibleSeriesCount(), m_layoutRect.Width(),
                                              m_arrowLength, m_margins);
    if (r.setsValueLabels)
        m_showValueLabels = r.showValueLabels;
    m_labelStep = r.labelStep;
    m_labelPhase = 0;
    m_categoryGap = r.gap;
    const int width = std::isfinite(r.barWidth) ? int(std::clamp(r.barWidth, 0.0, 1.0e6)) : 0;
    for (auto& c : m_categories)
        for (auto& p : c->points)
            p->width = width;
    for (auto& s : m_series)
        s->barWidth = r.barWidth;
}

int CChartWnd::GetVisibleSeriesCount() const
{
    return int(std::count_if(m_series.begin(), m_series.end(), [](const auto& s) { return s->visible; }));
}

ChartSeries* CChartWnd::GetSeries(int index) const
{
    if (index < 0 || index >= int(m_series.size()))
        return nullptr;
    return m_series[size_t(index)].get();
}

void CChartWnd::ShowSeries(int key, bool visible)
{
    for (auto& s : m_series) {
        if (s->key != key)
            continue;
        s->visible = visible;
        if (m_autoBarWidth)
            UpdateBarWidths();
        LayoutPoints();
        SendToParent(WM_CHART_SERIESCHANGED, 0);
        update();
        return;
    }
}

bool CChartWnd::IsSeriesVisible(int key) const
{
    for (const auto& s : m_series)
        if (s->key == key)
            return s->visible;
    return false;
}

void CChartWnd::SetFirstCategory(int index, bool relayout)
{
    m_firstCategory = std::max(index, 0);
    if (relayout) {
        LayoutPoints();
        SendToParent(WM_CHART_CURSORMOVED, uintptr_t(m_cursorX));
        update();
    }
}

int CChartWnd::GetCategoryCapacity() const
{
    return ChartCategoryCapacity(width(), m_margins, m_categoryGap);
}

int CChartWnd::GetCursorValue(QString& label, double& value) const
{
    const ChartHit hit = ChartColumnHit(m_categories, m_firstCategory, m_categoryGap, m_cursorX,
                                        height() - m_margins.bottom - 1);
    if (hit.code != 1)
        return 0;
    const ChartCategory& c = *m_categories[size_t(hit.category)];
    label = c.label;
    value = c.points[size_t(hit.point)]->value;
    return 1;
}

// ---- layout ---------------------------------------------------------------

void CChartWnd::LayoutPoints()
{
    LayoutChartPoints(m_categories, m_firstCategory, m_layoutRect, m_margins, m_arrowLength, m_categoryGap);
}

void CChartWnd::RecalcLayout()
{
    if (m_autoBarWidth)
        UpdateBarWidths();
    LayoutPoints();
    LayoutChartLegend(m_series, m_layoutRect, m_margins, m_fontHeight);
}

// ---- painting -------------------------------------------------------------

QFont CChartWnd::MakeFont(bool /*rotated*/) const
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

QImage CChartWnd::PatternImage(int patternIndex)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (patternIndex) {
            case 0: on = x + y == 7; break;               // bottom-left to top-right
            case 1: on = x + y == 7 || x == y; break;     // both diagonals
            case 2: on = x == y; break;                   // top-left to bottom-right
            default: on = (x + y) % 2 == 0; break;        // checkerboard of single pixels
            }
            if (on)
                img.setPixel(x, y, black);
        }
    return img;
}

QCursor CChartWnd::HoverCursor()
{
    static const QCursor cursor = [] {
        // An arrow with a small bar-chart badge: "there is something to click here".
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QPolygon arrow({QPoint(1, 1), QPoint(1, 17), QPoint(5, 13), QPoint(8, 20), QPoint(11, 19),
                              QPoint(8, 12), QPoint(13, 12)});
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(arrow);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(14, 14, 16, 16, QColor(255, 255, 255));
        p.setPen(QColor(0, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(14, 14, 15, 15);
        p.fillRect(17, 23, 3, 5, QColor(0, 0, 255));
        p.fillRect(21, 19, 3, 9, QColor(0, 128, 0));
        p.fillRect(25, 21, 3, 7, QColor(255, 0, 0));
        p.end();
        return QCursor(pm, 1, 1);
    }();
    return cursor;
}

void CChartWnd::DrawChart(QPainter& target, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    QImage image(rect.size(), QImage::Format_RGB32);
    {
        QPainter p(&image);
        Render(p, rect.width(), rect.height());
    }
    target.drawImage(rect, image);
}

QImage CChartWnd::RenderImage(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    if (size.isEmpty())
        return image;
    QPainter p(&image);
    Render(p, size.width(), size.height());
    return image;
}

void CChartWnd::Render(QPainter& p, int w, int h)
{
    const ChartMargins& m = m_margins;
    const bool mono = m_drawMode == 2;
    const QColor black(0, 0, 0);
    auto marked = [&](uint32_t c) { return mono ? black : ColorRefToQColor(c); };
    const int R = w - m.right;
    const int B = h - m.bottom;
    const int plotHeight = ChartPlotHeight(h, m, m_arrowLength);

    const QFont font = MakeFont(false);
    const QFontMetrics fm(font);
    const int th = fm.height();
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setBrushOrigin(0, 0);

    // 1. Background.
    p.fillRect(0, 0, w, h, ColorRefToQColor(m_backColour));

    // 2. Captions.
    const QColor textColour = marked(m_textColour);
    p.setPen(textColour);
    if (!m_yAxisTitle.isEmpty()) {
        p.save();
        p.translate(m.left + 8 + th, m.top + 8);
        p.rotate(90);  // runs downward, glyph tops facing the plot
        TextAt(p, fm, 0, 0, m_yAxisTitle);
        p.restore();
    }
    if (!m_xAxisTitle.isEmpty())
        TextAt(p, fm, R - fm.horizontalAdvance(m_xAxisTitle), B - th - 5, m_xAxisTitle);
    if (!m_title.isEmpty())
        TextAt(p, fm, m.left + (R - m.left - fm.horizontalAdvance(m_title)) / 2, m.top + 8, m_title);

    // 3. Y ticks and the stacked labels of the visible series.
    const QColor axisColour = ColorRefToQColor(m_axisColour);
    const int step = ChartYTickStep(h, m, m_arrowLength, m_yDivisions);
    const int visibleCount = GetVisibleSeriesCount();
    for (int i = 1; i <= m_yDivisions; ++i) {
        const int y = B - i * step;
        p.setPen(QPen(axisColour, 1));
        p.drawLine(OpenLine(m.left, y, m.left + 7, y));
        int k = 0;
        for (const auto& s : m_series) {
            if (!s->visible)
                continue;
            const QString label = QString::asprintf("%1.1f", s->scaleMax / m_yDivisions * i);
            p.setPen(marked(s->colour));
            TextAt(p, fm, m.left - fm.horizontalAdvance(label) - 2, y + k * th - (visibleCount * th) / 2, label);
            ++k;
        }
    }

    // 4. Axes with their arrowheads.
    p.setPen(QPen(axisColour, 1));
    p.setBrush(axisColour);
    p.drawLine(OpenLine(m.left, B, R, B));
    p.drawPolygon(QPolygon({QPoint(R, B), QPoint(R - m_arrowLength, B + m_arrowWidth / 2),
                            QPoint(R - m_arrowLength, B - m_arrowWidth / 2)}));
    p.drawLine(OpenLine(m.left, B, m.left, m.top));
    p.drawPolygon(QPolygon({QPoint(m.left, m.top), QPoint(m.left - m_arrowWidth / 2, m.top + m_arrowLength),
                            QPoint(m.left + m_arrowWidth / 2, m.top + m_arrowLength)}));
    p.setBrush(Qt::NoBrush);

    // 5. Bars. Scrolling is meant for curves; bars start at the first laid-out category
    //    and keep counting labels from the chart's first category.
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
                    p.fillRect(ToQRect(pt->rect), QBrush(PatternImage(pt->series->patternIndex)));
                else
                    p.fillRect(ToQRect(pt->rect), ColorRefToQColor(pt->colour));
                Frame(p, pt->rect);
                x = pt->rect.right;
                if (m_showValueLabels) {
                    const QString v = ChartFormatValue(pt->value, pt->series->decimals);
                    p.setPen(marked(pt->colour));
                    TextAt(p, fm, pt->rect.left + (pt->rect.Width() - fm.horizontalAdvance(v)) / 2,
                           pt->rect.top - th - 3, v);
                }
                sum += pt->width;
            }
            ++counter;
            if (ChartCategoryLabelled(counter, m_labelStep, m_labelPhase)) {
                const QString& label = m_categories[c]->label;
                const int lx = xl + (sum - fm.horizontalAdvance(label)) / 2;
                if (lx < R) {
                    p.setPen(textColour);
                    TextAt(p, fm, lx, B + 3, label);
                }
            }
        }
    }

    // 6. Curves, joined at the points' left-top corners.
    if (m_displayFlags & CHART_CURVE) {
        QVector<QLine> segments;
        QVector<QLine> ticks;
        QVector<QPoint> markers;
        for (size_t si = 0; si < m_series.size(); ++si) {
            const ChartSeries* series = m_series[si].get();
            segments.clear();
            ticks.clear();
            markers.clear();
            double x = m.left;
            int counter = 0;
            const ChartPoint* previous = nullptr;
            for (size_t c = size_t(std::max(m_firstCategory, 0)); c < m_categories.size(); ++c) {
                int tick = 5;
                x += m_categoryGap;
                ++counter;
                if (si == 0 && ChartCategoryLabelled(counter, m_labelStep, m_labelPhase) && x < R) {
                    p.setPen(textColour);
                    TextAt(p, fm, int(x), B + 3, m_categories[c]->label);
                    tick = 10;
                }
                for (const auto& pt : m_categories[c]->points) {
                    if (!pt->series || !pt->series->visible || pt->rect.right >= R)
                        continue;
                    if (pt->series == series) {
                        if (!previous)
                            segments.append(QLine(m.left, pt->rect.top, pt->rect.left, pt->rect.top));
                        else
                            segments.append(QLine(previous->rect.left, previous->rect.top, pt->rect.left,
                                                  pt->rect.top));
                        ticks.append(OpenLine(int(x), B, int(x), B - tick));
                        if (m_pointMarkers)
                            markers.append(QPoint(pt->rect.left, pt->rect.top));
                        previous = pt.get();
                    }
                    x = pt->rect.right;
                }
            }
            p.setPen(QPen(marked(series->colour), 1));
            p.drawLines(segments);
            p.drawLines(ticks);
            if (!markers.isEmpty()) {
                p.setBrush(Qt::white);
                for (const QPoint& c : markers)
                    p.drawEllipse(QRect(c.x() - 3, c.y() - 3, 6, 6));
                p.setBrush(Qt::NoBrush);
            }
        }
    }

    // 7. The three reference lines, on the first series' scale.
    if (!m_series.empty()) {
        QPen pen(marked(m_limitLineColour), 1, Qt::DashDotLine);
        p.setPen(pen);
        for (double v : m_limitValues) {
            const int y = ChartValueY(h, m, m_arrowLength, m_series.front()->scaleMax, v);
            p.drawLine(OpenLine(m.left, y, R, y));
        }
        Q_UNUSED(plotHeight);
    }

    // 8. Legend, with two series or more.
    if (m_series.size() >= 2) {
        if (m_drawMode == 0) {
            for (const auto& s : m_series) {
                const ChartRect& r = s->legendRect;
                p.fillRect(ToQRect(r), ColorRefToQColor(s->colour));
                Frame(p, r);
                p.setPen(ColorRefToQColor(s->colour));
                TextAt(p, fm, r.right + 5, r.top, s->name);
                if (s->visible) {
                    p.setPen(black);
                    TextAt(p, fm, r.left + 1, r.top - 3, QStringLiteral("√"));
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
                    p.fillRect(ToQRect(r), QBrush(PatternImage(s.patternIndex)));
                else
                    p.fillRect(ToQRect(r), ColorRefToQColor(s.colour));
                Frame(p, r);
                p.setPen(marked(s.colour));
                TextAt(p, fm, r.right + 5, r.top, s.name);
            }
        }
    }

    // 9. Position line.
    if (m.left < m_cursorX && m_cursorX < w - m.right) {
        p.setPen(QPen(marked(m_cursorLineColour), 1));
        p.drawLine(OpenLine(m_cursorX, m.top, m_cursorX, h - m.bottom));
    }
}

// ---- window events --------------------------------------------------------

void CChartWnd::paintEvent(QPaintEvent*)
{
    m_layoutRect = ClientRect();
    QPainter p(this);
    DrawChart(p, rect());
}

void CChartWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_layoutRect = ClientRect();
    RecalcLayout();
    update();
}

void CChartWnd::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const ChartHit hit = ChartHitTest(m_categories, m_series, m_firstCategory, pos.x(), pos.y());
        if (m_margins.left < pos.x() && pos.x() < width() - m_margins.right) {
            m_cursorX = pos.x();
            SendToParent(WM_CHART_CURSORMOVED, uintptr_t(m_cursorX));
            update();
        }
        if (hit.code == 2) {
            ChartSeries& s = *m_series[size_t(hit.series)];
            s.visible = !s.visible;
            if (m_autoBarWidth)
                UpdateBarWidths();
            LayoutPoints();
            SendToParent(WM_CHART_SERIESCHANGED, 0);
            update();
        } else if (hit.code == 1) {
            // The clicked point's label, series and value, shown as a tooltip by the click.
            const ChartCategory& c = *m_categories[size_t(hit.category)];
            const ChartPoint& pt = *c.points[size_t(hit.point)];
            const int decimals = pt.series ? pt.series->decimals : 0;
            const QString text = QStringLiteral("%1[%2]: %3").arg(c.label, pt.seriesName, ChartFormatValue(pt.value, decimals));
            QToolTip::showText(event->globalPosition().toPoint(), text, this);
            update();
        }
        setFocus(Qt::MouseFocusReason);
    } else if (event->button() == Qt::RightButton) {
        const ChartHit hit = ChartHitTest(m_categories, m_series, m_firstCategory, pos.x(), pos.y());
        SendToParent(WM_CHART_RBUTTONUP, uintptr_t(hit.code));
        setFocus(Qt::MouseFocusReason);
    }
    QWidget::mouseReleaseEvent(event);
}

void CChartWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_hovering) {
        const QPoint pos = event->position().toPoint();
        const ChartHit hit = ChartHitTest(m_categories, m_series, m_firstCategory, pos.x(), pos.y());
        if (hit.code == 1 || hit.code == 2) {
            m_hovering = true;
            setCursor(HoverCursor());
            m_hoverTimer = startTimer(kHoverTimerPeriod);
        }
    }
    QWidget::mouseMoveEvent(event);
}

void CChartWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_hoverTimer || m_hoverTimer == 0) {
        QWidget::timerEvent(event);
        return;
    }
    const QPoint pos = mapFromGlobal(QCursor::pos());
    if (ChartHitTest(m_categories, m_series, m_firstCategory, pos.x(), pos.y()).code == 0)
        StopHover();
}

void CChartWnd::StopHover()
{
    if (m_hoverTimer)
        killTimer(m_hoverTimer);
    m_hoverTimer = 0;
    m_hovering = false;
    unsetCursor();
}

void CChartWnd::SendToParent(int message, uintptr_t wParam)
{
    SendMessage(parentWidget(), message, wParam, 0);
}
