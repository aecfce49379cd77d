#include "charts/ChartWnd.h"

#include "external/records/WndMessage.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEngine>
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
    // A raster target painted without scaling (a widget's backing store, an image) is an
    // off-screen buffer already: drawing straight into it gives the same pixels without the
    // copy. Printers, PDF and scaled painters get the image of the rectangle's size, so one
    // image pixel becomes one logical unit there.
    const QPaintEngine* engine = target.paintEngine();
    if (engine && engine->type() == QPaintEngine::Raster &&
        target.deviceTransform().type() <= QTransform::TxTranslate) {
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
        Render(target, rect.width(), rect.height());
        target.restore();
        return;
    }
    // One image per size: a fresh 1000 × 400 image per paint costs more in page faults
    // than the whole drawing.
    if (m_offscreen.size() != rect.size())
        m_offscreen = QImage(rect.size(), QImage::Format_RGB32);
    {
        QPainter p(&m_offscreen);
        Render(p, rect.width(), rect.height());
    }
    target.drawImage(rect, m_offscreen);
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
    const QString key = m_yAxisTitle + QLatin1Char('\n') + font.key() + QLatin1Char('\n') + colour.name();
    if (key != m_rotatedKey) {
        // The title turned a quarter clockwise: it runs downward with the glyph tops towards
        // the plot, as the escapement-2700 font of the classic drawing placed it.
        const QFontMetrics fm(font);
        const int th = fm.height();
        const int tw = std::max(fm.horizontalAdvance(m_yAxisTitle), 1);
        m_rotatedTitle = QImage(th, tw, QImage::Format_ARGB32_Premultiplied);
        m_rotatedTitle.fill(Qt::transparent);
        QPainter p(&m_rotatedTitle);
        p.setFont(font);
        p.setPen(colour);
        p.translate(th, 0);
        p.rotate(90);
        p.drawText(0, fm.ascent(), m_yAxisTitle);
        p.end();
        m_rotatedKey = key;
    }
    return m_rotatedTitle;
}

const QImage& CChartWnd::DashDotRow(int width, const QColor& colour)
{
    width = std::max(width, 1);
    if (m_dashRow.width() != width || m_dashColour != colour) {
        // The dash-dot pattern of a one-pixel pen: dash 4, gap 2, dot 1, gap 2.
        static constexpr int kPattern[] = {4, 2, 1, 2};
        m_dashRow = QImage(width, 1, QImage::Format_ARGB32_Premultiplied);
        const QRgb on = colour.rgba();
        int x = 0;
        for (int i = 0; x < width; i = (i + 1) % 4)
            for (int n = 0; n < kPattern[i] && x < width; ++n, ++x)
                m_dashRow.setPixel(x, 0, i % 2 == 0 ? on : 0u);
        m_dashColour = colour;
    }
    return m_dashRow;
}

int CChartWnd::TextWidth(const QFont& font, const QString& text)
{
    return qRound(CachedText(font, text).size().width());
}

void CChartWnd::DrawText(QPainter& p, int x, int y, const QString& text)
{
    // Labels repeat from paint to paint: each is drawn once into a small image of its own
    // colour and then only blended, which costs a fraction of laying out and drawing glyphs.
    const QColor colour = p.pen().color();
    const QString key = text + QLatin1Char('\x1f') + QString::number(colour.rgba(), 16);
    auto it = m_textImages.find(key);
    if (it == m_textImages.end()) {
        const QStaticText& st = CachedText(p.font(), text);
        const QSize size(std::max(1, int(std::ceil(st.size().width()))), std::max(1, int(std::ceil(st.size().height()))));
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter ip(&img);
        ip.setFont(p.font());
        ip.setPen(colour);
        ip.drawStaticText(0, 0, st);
        ip.end();
        it = m_textImages.insert(key, img);
    }
    p.drawImage(x, y, *it);
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
    const QString fontKey = font.key();
    if (fontKey != m_textCacheFont || m_textCache.size() > 4000 || m_textImages.size() > 4000) {
        m_textCache.clear();
        m_textImages.clear();
        m_textCacheFont = fontKey;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setBrushOrigin(0, 0);

    // 1. Background.
    p.fillRect(0, 0, w, h, ColorRefToQColor(m_backColour));

    // 2. Captions.
    const QColor textColour = marked(m_textColour);
    p.setPen(textColour);
    if (!m_yAxisTitle.isEmpty())
        p.drawImage(m.left + 8, m.top + 8, RotatedTitle(font, textColour));
    if (!m_xAxisTitle.isEmpty())
        DrawText(p, R - TextWidth(font, m_xAxisTitle), B - th - 5, m_xAxisTitle);
    if (!m_title.isEmpty())
        DrawText(p, m.left + (R - m.left - TextWidth(font, m_title)) / 2, m.top + 8, m_title);

    // 3. Y ticks and the stacked labels of the visible series.
    const QColor axisColour = ColorRefToQColor(m_axisColour);
    const int step = ChartYTickStep(h, m, m_arrowLength, m_yDivisions);
    const int visibleCount = GetVisibleSeriesCount();
    for (int i = 1; i <= m_yDivisions; ++i) {
        const int y = B - i * step;
        p.fillRect(m.left, y, 7, 1, axisColour);
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
    // Straight lines and the small triangles as rectangle fills: the cheapest way to the
    // same pixels.
    if (R > m.left)
        p.fillRect(m.left, B, R - m.left, 1, axisColour);
    if (B > m.top)
        p.fillRect(m.left, m.top + 1, 1, B - m.top, axisColour);
    const int halfWidth = m_arrowWidth / 2;
    for (int i = 0; i <= m_arrowLength && m_arrowLength > 0; ++i) {
        const int half = halfWidth * (m_arrowLength - i) / m_arrowLength;
        p.fillRect(R - m_arrowLength + i, B - half, 1, 2 * half + 1, axisColour);  // pointing right
        p.fillRect(m.left - half, m.top + m_arrowLength - i, 2 * half + 1, 1, axisColour);  // pointing up
    }

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
        QVector<QRect> ticks;
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
                        ticks.append(QRect(int(x), B - tick + 1, 1, tick));
                        if (m_pointMarkers)
                            markers.append(QPoint(pt->rect.left, pt->rect.top));
                        previous = pt.get();
                    }
                    x = pt->rect.right;
                }
            }
            p.setPen(QPen(marked(series->colour), 1));
            p.drawPolyline(curve);
            const QColor seriesColour = marked(series->colour);
            for (const QRect& t : ticks)
                p.fillRect(t, seriesColour);
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
        const QImage& dashes = DashDotRow(R - m.left, marked(m_limitLineColour));
        for (double v : m_limitValues) {
            const int y = ChartValueY(h, m, m_arrowLength, m_series.front()->scaleMax, v);
            p.drawImage(m.left, y, dashes);
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
                    p.fillRect(ToQRect(r), QBrush(PatternImage(s.patternIndex)));
                else
                    p.fillRect(ToQRect(r), ColorRefToQColor(s.colour));
                Frame(p, r);
                p.setPen(marked(s.colour));
                DrawText(p, r.right + 5, r.top, s.name);
            }
        }
    }

    // 9. Position line.
    if (m.left < m_cursorX && m_cursorX < w - m.right) {
        if (h - m.bottom > m.top)
            p.fillRect(m_cursorX, m.top, 1, h - m.bottom - m.top, marked(m_cursorLineColour));
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
