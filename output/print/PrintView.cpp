#include "output/print/PrintView.h"

#include "charts/ChartPaint.h"
#include "charts/ChartWnd.h"
#include "charts/DayDetailDlg.h"
#include "controls/SkinListCtrl.h"
#include "core/StringTable.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLargestText = 12;
constexpr int kSmallestText = 8;
constexpr int kCellPadding = 2;  // units kept free on either side of a cell's text

QFont PrintFont(int pixelSize, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QRectF ToRectF(const ChartRect& r)
{
    return QRectF(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

double PrintUnitScale(int dpi)
{
    return std::max(dpi, 1) * 100 / 96 / 100.0;
}

std::vector<int> PrintColumnWidths(const std::vector<int>& listWidths)
{
    long long total = 0;
    for (int w : listWidths)
        total += std::max(w, 0);
    std::vector<int> out;
    for (int w : listWidths)
        out.push_back(total > 0 ? int(std::max(w, 0) * 650LL / total) : 0);
    return out;
}

std::pair<int, int> PrintRowSpan(int row)
{
    if (row < 0)
        return {kPrintHeaderTop, kPrintHeaderBottom};
    // Each row from the previous row's bottom - 1 to that bottom + 22.
    const int previousBottom = kPrintHeaderBottom + row * kPrintRowHeight;
    return {previousBottom - 1, previousBottom + kPrintRowHeight};
}

std::vector<ChartRect> PrintRowCells(int row, const std::vector<int>& widths)
{
    const auto [top, bottom] = PrintRowSpan(row);
    std::vector<ChartRect> cells;
    int left = kPrintTableLeft;
    int right = kPrintTableLeft;
    for (int w : widths) {
        right += w;
        cells.push_back({left, top, right, bottom});
        left = right - 1;
    }
    return cells;
}

int PrintTableTextSize(const std::vector<std::vector<QString>>& rowsOfTexts, const std::vector<int>& widths)
{
    for (int size = kLargestText; size > kSmallestText; --size) {
        const QFontMetricsF fm(PrintFont(size));
        bool fits = true;
        for (const auto& texts : rowsOfTexts)
            for (size_t c = 0; c < texts.size() && c < widths.size() && fits; ++c)
                fits = fm.horizontalAdvance(texts[c]) <= widths[c] - 2 * kCellPadding;
        if (fits)
            return size;
    }
    return kSmallestText;
}

int PrintCaptionTextSize(const std::vector<QString>& captions, const std::vector<int>& widths)
{
    // Two lines may nearly fill the row: paper lines are hairlines.
    const double height = kPrintHeaderBottom - kPrintHeaderTop - 0.3;
    for (int size = kLargestText; size > kSmallestText; --size) {
        const QFontMetricsF fm(PrintFont(size));
        bool fits = true;
        for (size_t c = 0; c < captions.size() && c < widths.size() && fits; ++c) {
            const QRectF room(0, 0, widths[c] - 2 * kCellPadding, 1000);
            const QRectF used = fm.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, captions[c]);
            fits = used.height() <= height && used.width() <= room.width();
        }
        if (fits)
            return size;
    }
    return kSmallestText;
}

PrintHeader PrintHeaderOf(const CDayDetailDlg& page)
{
    PrintHeader h;
    h.title = LoadStr(243);
    if (const StepRecord* day = page.GetSelectedDay())
        h.title += QLatin1Char(' ') + DayText(OleDateToYmd(day->day.date.dt));
    if (const UserRecord* user = page.GetUser())
        h.user = ReplaceR(LoadStr(153), QString::fromStdString(RecordName(*user)));
    if (page.GetLoadedMonth().isValid())
        h.month = ReplaceR(LoadStr(728), page.GetLoadedMonth().toString(QStringLiteral("yyyy-MM")));
    return h;
}

CPrintView::CPrintView(CChartWnd* chart, CSkinListCtrl* list, PrintHeader header)
    : m_chart(chart), m_list(list), m_header(std::move(header))
{
}

void CPrintView::Print(QPainter& p, const QPaintDevice& device)
{
    // One unit is 1/96 inch on any device; a printable area smaller than the page gets the
    // whole page scaled down rather than its last rows cut off.
    double sx = PrintUnitScale(device.logicalDpiX());
    double sy = PrintUnitScale(device.logicalDpiY());
    const double fit = std::min({1.0, device.width() / (kPrintPageWidth * sx), device.height() / (kPrintPageHeight * sy)});
    if (fit > 0.0) {
        sx *= fit;
        sy *= fit;
    }
    p.save();
    p.scale(sx, sy);
    OnDraw(p);
    p.restore();
}

void CPrintView::OnDraw(QPainter& p)
{
    DrawHeader(p);
    DrawChart(p);
    DrawTable(p);
}

void CPrintView::DrawHeader(QPainter& p)
{
    // Whose data, which day and month: a printed sheet must say so to be filed.
    const QRectF box = ToRectF(kPrintTitleRect);
    p.save();
    p.setPen(Qt::black);
    p.setFont(PrintFont(14, true));
    const QFontMetricsF bold(p.font());
    const QString title = bold.elidedText(m_header.title, Qt::ElideRight, box.width() / 2);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
    p.setFont(PrintFont(12));
    const QFontMetricsF fm(p.font());
    const QString month = fm.elidedText(m_header.month, Qt::ElideRight, box.width() / 4);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, month);
    // The name between them, right of the title and left of the month.
    const double left = box.left() + bold.horizontalAdvance(title) + 16;
    const double right = box.right() - fm.horizontalAdvance(month) - 16;
    if (right > left) {
        const QRectF middle(left, box.top(), right - left, box.height());
        p.drawText(middle, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                   fm.elidedText(m_header.user, Qt::ElideRight, middle.width()));
    }
    p.restore();
}

void CPrintView::DrawChart(QPainter& p)
{
    if (!m_chart)
        return;
    CChartWnd& chart = *m_chart;
    chart.SetDrawMode(chart.GetPrintInColour() ? 1 : 2);
    chart.SetLayoutRect(kPrintChartRect);
    chart.RecalcLayout();
    chart.DrawChart(p, QRect(kPrintChartRect.left, kPrintChartRect.top, kPrintChartRect.Width(), kPrintChartRect.Height()));
    // The window on screen keeps its own layout.
    chart.SetLayoutRect({0, 0, chart.width(), chart.height()});
    chart.SetDrawMode(0);
    chart.RecalcLayout();
}

void CPrintView::DrawTable(QPainter& p)
{
    if (!m_list || m_list->GetColumnCount() <= 0)
        return;
    const CSkinListCtrl& list = *m_list;
    const int columns = list.GetColumnCount();
    std::vector<int> listWidths;
    for (int c = 0; c < columns; ++c)
        listWidths.push_back(list.GetColumnWidth(c));
    const std::vector<int> widths = PrintColumnWidths(listWidths);

    // Row -1 is the header; rows beyond the list's items are empty framed cells.
    std::vector<std::vector<QString>> texts(kPrintRowCount + 1, std::vector<QString>(size_t(columns)));
    for (int c = 0; c < columns; ++c)
        texts[0][size_t(c)] = list.GetColumnText(c);
    for (int r = 0; r < kPrintRowCount && r < list.GetItemCount(); ++r)
        for (int c = 0; c < columns; ++c)
            texts[size_t(r) + 1][size_t(c)] = list.GetItemText(r, c);

    // One text size for the rows and one for the captions, as large as lets every text be
    // read whole; a caption may take two lines.
    const std::vector<std::vector<QString>> rows(texts.begin() + 1, texts.end());
    const QFont font = PrintFont(PrintTableTextSize(rows, widths));
    const QFont captionFont = PrintFont(std::min(font.pixelSize(), PrintCaptionTextSize(texts[0], widths)));
    p.save();
    const ChartPaintTarget target = ChartPaintTargetOf(p, true);
    const QColor black(0, 0, 0);
    for (int r = -1; r < kPrintRowCount; ++r) {
        const std::vector<ChartRect> cells = PrintRowCells(r, widths);
        p.setFont(r < 0 ? captionFont : font);
        const QFontMetricsF fm(p.font());
        for (int c = 0; c < columns; ++c) {
            const ChartRect& cell = cells[size_t(c)];
            DrawChartFrame(p, target, cell, black);
            const QString& text = texts[size_t(r) + 1][size_t(c)];
            if (text.isEmpty())
                continue;
            const QRectF box = ToRectF(cell).adjusted(kCellPadding, 0, -kCellPadding, 0);
            p.setPen(black);
            const QRectF needed = fm.boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, text);
            if (r < 0 && needed.height() <= box.height() - 0.3 && needed.width() <= box.width())
                p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
            else
                p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, fm.elidedText(text, Qt::ElideRight, box.width()));
        }
    }
    p.restore();
}
