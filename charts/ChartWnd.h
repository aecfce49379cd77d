#pragma once
// The chart control: one or more series over a row of labelled categories,
// drawn as curves or as adjacent bars, with a movable position line and a
// legend whose squares show or hide their series. It tells its parent about
// these events with the messages 1705-1708 (external/records/WndMessage.h).
//
// DrawChart paints onto any QPainter (screen, image, printer, PDF) at the target's own
// resolution: the layout stays in logical pixels, and a painter scaled by a device-pixel
// ratio or a printer's dots per inch gets sharp lines, text and patterns rather than an
// enlarged 96-dpi picture. At a scale of 1 the pixels are those of the classic drawing.

#include "charts/ChartLayout.h"
#include "charts/ChartPaint.h"

#include <QCursor>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QPainter;

class CChartWnd : public QWidget {
    Q_OBJECT
public:
    explicit CChartWnd(QWidget* parent = nullptr);
    ~CChartWnd() override;
    CChartWnd(const CChartWnd&) = delete;
    CChartWnd& operator=(const CChartWnd&) = delete;

    // Takes the series when its key is new (series is then null) and returns 1; returns 0 and
    // leaves the series with the caller when the key is present already. No redraw.
    int AddSeries(std::unique_ptr<ChartSeries>& series);
    // Inserts at index (clamped to 0 .. count) and takes the category. Returns 1.
    int InsertCategory(int index, std::unique_ptr<ChartCategory> category, bool redraw);
    int AddPoint(int categoryIndex, int position, double value, double scaleValue, int seriesKey, bool relayout);
    int GetCategoryCount() const { return int(m_categories.size()); }
    const ChartCategory* GetCategory(int index) const;
    void ClearData();

    void SetTitle(const QString& title) { m_title = title; }
    QString GetTitle() const { return m_title; }
    void SetXAxisTitle(const QString& title) { m_xAxisTitle = title; }
    void SetYAxisTitle(const QString& title) { m_yAxisTitle = title; }
    QString GetXAxisTitle() const { return m_xAxisTitle; }
    QString GetYAxisTitle() const { return m_yAxisTitle; }

    void SetDisplayFlags(unsigned flags);
    unsigned GetDisplayFlags() const { return m_displayFlags; }
    void SetCategoryGap(double gap) { m_categoryGap = gap; }
    double GetCategoryGap() const { return m_categoryGap; }
    void SetMargins(int left, int top, int right, int bottom);
    ChartMargins GetMargins() const { return m_margins; }
    void SetLabelStep(int step, int phase);
    int GetLabelStep() const { return m_labelStep; }
    int GetLabelPhase() const { return m_labelPhase; }
    void SetAutoBarWidth(bool on) { m_autoBarWidth = on; }
    bool GetAutoBarWidth() const { return m_autoBarWidth; }
    void UpdateBarWidths();
    bool GetShowValueLabels() const { return m_showValueLabels; }

    int GetVisibleSeriesCount() const;
    int GetSeriesCount() const { return int(m_series.size()); }
    ChartSeries* GetSeries(int index) const;
    void ShowSeries(int key, bool visible);
    bool IsSeriesVisible(int key) const;
    void SetPointMarkers(bool on) { m_pointMarkers = on; }
    bool GetPointMarkers() const { return m_pointMarkers; }

    void SetFirstCategory(int index, bool relayout);
    int GetFirstCategory() const { return m_firstCategory; }
    int GetCategoryCapacity() const;

    // The category label and point value under the position line: 1 on a hit, otherwise 0
    // with the outputs untouched.
    int GetCursorValue(QString& label, double& value) const;
    int GetCursorX() const { return m_cursorX; }

    void SetLimitValues(double a, double b, double c) { m_limitValues = {a, b, c}; }
    std::array<double, 3> GetLimitValues() const { return m_limitValues; }
    void SetFixedScale(bool on) { m_fixedScale = on; }
    bool GetFixedScale() const { return m_fixedScale; }
    void SetLimitLineColour(uint32_t c) { m_limitLineColour = c; }
    uint32_t GetLimitLineColour() const { return m_limitLineColour; }
    void SetCursorLineColour(uint32_t c) { m_cursorLineColour = c; }
    uint32_t GetCursorLineColour() const { return m_cursorLineColour; }
    void SetAxisColour(uint32_t c) { m_axisColour = c; }
    uint32_t GetAxisColour() const { return m_axisColour; }
    void SetBackColour(uint32_t c) { m_backColour = c; }
    uint32_t GetBackColour() const { return m_backColour; }
    void SetTextColour(uint32_t c) { m_textColour = c; }
    uint32_t GetTextColour() const { return m_textColour; }
    void SetDrawMode(int mode) { m_drawMode = mode; }
    int GetDrawMode() const { return m_drawMode; }
    void SetPrintInColour(bool on) { m_printInColour = on; }
    bool GetPrintInColour() const { return m_printInColour; }
    void SetLayoutRect(const ChartRect& r) { m_layoutRect = r; }
    ChartRect GetLayoutRect() const { return m_layoutRect; }
    void SetFont(const QString& face, int height, int weight);
    bool IsHovering() const { return m_hovering; }

    // Lays out the points and legend squares (after UpdateBarWidths when autoBarWidth is set).
    void RecalcLayout();
    // Paints the whole chart into rect of the target painter.
    void DrawChart(QPainter& target, const QRect& rect);
    // The same drawing into a fresh image of the given logical size at a device-pixel ratio
    // (the layout is used as it is).
    QImage RenderImage(const QSize& size, double devicePixelRatio = 1.0);

    // The hover cursor (resource 146), painted at start-up.
    static QCursor HoverCursor();
    // The monochrome fill pattern 0..3 as an 8 × 8 black-on-white image, or its tile at a
    // scale with lines of lineWidth device pixels.
    static QImage PatternImage(int patternIndex, double scale = 1.0, int lineWidth = 1);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    ChartRect ClientRect() const;
    void LayoutPoints();
    QFont MakeFont() const;
    void Render(QPainter& p, int w, int h);
    void Arrowheads(QPainter& p, int R, int B, const QColor& colour);
    void ReferenceLine(QPainter& p, int x, int y, int width, const QColor& colour);
    void SendToParent(int message, uintptr_t wParam);
    void StopHover();

    ChartSeriesList m_series;
    ChartCategoryList m_categories;
    double m_categoryGap = 18.0;
    uint32_t m_backColour = 0xFFFFFF;
    uint32_t m_axisColour = 0x000000;
    ChartMargins m_margins;
    int m_arrowLength = 6;
    int m_arrowWidth = 6;
    QString m_xAxisTitle;
    QString m_yAxisTitle;
    QString m_title;
    QString m_fontFace = QStringLiteral("宋体");
    int m_fontHeight = 12;
    int m_fontWeight = 200;
    uint32_t m_textColour = 0x585858;
    bool m_hovering = false;
    unsigned m_displayFlags = CHART_BAR;
    int m_labelStep = 5;
    int m_labelPhase = 0;
    bool m_autoBarWidth = false;
    bool m_showValueLabels = false;
    ChartRect m_layoutRect;
    int m_drawMode = 0;
    bool m_printInColour = false;
    bool m_pointMarkers = true;
    int m_firstCategory = 0;
    int m_cursorX = 0;
    uint32_t m_cursorLineColour = 0xFF0000;
    std::array<double, 3> m_limitValues{0.0, 0.0, 0.0};
    uint32_t m_limitLineColour = 0x00FF00;
    int m_yDivisions = 5;
    bool m_fixedScale = false;

    int m_hoverTimer = 0;  // timer 1 while hovering
    ChartPaintTarget m_target;  // of the paint in progress
    // Laid-out texts of the last paints (labels repeat from paint to paint), for one font.
    void DrawText(QPainter& p, int x, int y, const QString& text);
    const QStaticText& CachedText(const QFont& font, const QString& text);
    int TextWidth(const QFont& font, const QString& text);
    const QImage& RotatedTitle(const QFont& font, const QColor& colour);
    const QImage& DashDotRow(int width, const QColor& colour);
    QImage m_rotatedTitle;
    QString m_rotatedKey;
    QImage m_dashRow;
    QColor m_dashColour;
    double m_dashScale = 0.0;
    QHash<QString, QStaticText> m_textCache;
    QString m_textCacheFont;
    double m_textCacheScale = 1.0;
    QHash<QString, QImage> m_textImages;
};
