#pragma once
// The printed page of the chart page: a header line with whose data it is, the chart above a
// table copied from the day list. Laid out in units of 1/96 inch on any device, so the page
// looks the same on the screen's preview, a 600-dpi printer and a PDF file.

#include "charts/ChartLayout.h"

#include <QPointer>
#include <QRect>
#include <QString>

#include <vector>

class CChartWnd;
class CDayDetailDlg;
class CSkinListCtrl;
class QPaintDevice;
class QPainter;

// ---- page geometry (1/96 inch) ---------------------------------------------------

constexpr ChartRect kPrintChartRect{50, 60, 700, 320};
constexpr int kPrintTableLeft = 55;
constexpr int kPrintTableWidth = 650;
constexpr int kPrintHeaderTop = 350;
constexpr int kPrintHeaderBottom = 372;
constexpr int kPrintRowHeight = 22;
constexpr int kPrintRowCount = 31;
// The header line in the free top margin above the chart.
constexpr ChartRect kPrintTitleRect{50, 24, 700, 48};
// The extent of everything printed, from the printable area's origin.
constexpr int kPrintPageWidth = 705;
constexpr int kPrintPageHeight = kPrintHeaderBottom + kPrintRowCount * kPrintRowHeight;

// Device pixels per 1/96 inch: dpi × 100 ÷ 96 in whole hundredths, as the page's mapping
// (window extent 100, viewport extent dpi × 100 ÷ 96) gives it.
double PrintUnitScale(int dpi);
// The table's column widths: each list column's share of the 650 units, truncated.
std::vector<int> PrintColumnWidths(const std::vector<int>& listWidths);
// The top and bottom of table row `row` (-1: the header row); rows share their edge lines.
std::pair<int, int> PrintRowSpan(int row);
// The cells of a row from the column widths: each starts on the previous one's right edge.
std::vector<ChartRect> PrintRowCells(int row, const std::vector<int>& widths);
// The largest text size (12 down to 8 units) at which every text fits its cell on one line;
// 8 when none does (the texts then end in an ellipsis).
int PrintTableTextSize(const std::vector<std::vector<QString>>& rowsOfTexts, const std::vector<int>& widths);
// The same for the column captions, which may take two lines of the header row.
int PrintCaptionTextSize(const std::vector<QString>& captions, const std::vector<int>& widths);

// The header line: the curve's title and day, whose it is, the month of the table.
struct PrintHeader {
    QString title;
    QString user;
    QString month;
};
PrintHeader PrintHeaderOf(const CDayDetailDlg& page);

// Draws the page for the chart and the list (either may be gone: its part stays empty).
class CPrintView {
public:
    CPrintView(CChartWnd* chart, CSkinListCtrl* list, PrintHeader header);

    // Prepares the painter for the device (1/96 inch per unit; scaled down only when the
    // printable area is smaller than the page) and draws the page.
    void Print(QPainter& p, const QPaintDevice& device);
    // Draws the page on a painter already in units of 1/96 inch.
    void OnDraw(QPainter& p);

private:
    void DrawHeader(QPainter& p);
    void DrawChart(QPainter& p);
    void DrawTable(QPainter& p);

    QPointer<CChartWnd> m_chart;
    QPointer<CSkinListCtrl> m_list;
    PrintHeader m_header;
};
