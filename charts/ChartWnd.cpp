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

}  // namespace

CChartWnd::CChartWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the drawing covers the whole client
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
