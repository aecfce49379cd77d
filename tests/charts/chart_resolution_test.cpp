// The chart at the target's resolution: device-pixel ratio 2, a 600-dpi page, a PDF, and the
// arithmetic behind line widths, pattern tiles and reference-line dashes.
#include "tests/charts/ChartTestHost.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A curve with captions, reference lines and the position line, as the chart page shows it.
void DressForResolution(CChartWnd* chart)
{
    chart->SetDisplayFlags(CHART_CURVE);
    chart->SetTitle("Title");
    chart->SetYAxisTitle("Y axis");
    chart->SetXAxisTitle("X");
    chart->SetLimitValues(1, 2, 3);
    chart->SetCursorLineColour(0xFF0000);
    chart->SetAxisColour(0x0000FF);
}

// How many device pixels of the colour stand in a row from (x, y) in the direction (dx, dy).
int RunLength(const QImage& img, int x, int y, int dx, int dy, QRgb colour)
{
    int n = 0;
    while (x >= 0 && y >= 0 && x < img.width() && y < img.height() && PixelAt(img, x, y) == colour) {
        ++n;
        x += dx;
        y += dy;
    }
    return n;
}

// The thickness of the first line of the colour met going right (along row `across`) or down
// (along column `across`) from `at`, which is moved to where the line starts.
int LineAhead(const QImage& img, int& at, int across, bool rightwards, QRgb colour)
{
    auto pixel = [&](int a) { return rightwards ? PixelAt(img, a, across) : PixelAt(img, across, a); };
    const int end = rightwards ? img.width() : img.height();
    while (at < end && pixel(at) != colour)
        ++at;
    return rightwards ? RunLength(img, at, across, 1, 0, colour) : RunLength(img, across, at, 0, 1, colour);
}

}  // namespace

TEST_F(ChartTest, DeviceRatioTwoDrawsAtItsOwnResolution)
{
    AddSeries(1, 0x0000FF);
    for (int i = 0; i < 14; ++i) {
        chart->InsertCategory(i, MakeCategory(QStringLiteral("C%1").arg(i)), false);
        chart->AddPoint(i, 0, 0.3 * i, 0, 1, i == 13);
    }
    DressForResolution(chart);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(201, 100));
    chart->RecalcLayout();
    const QImage one = chart->RenderImage(chart->size(), 1.0);
    const QImage two = chart->RenderImage(chart->size(), 2.0);
    ASSERT_EQ(two.size(), QSize(800, 400));

    // an enlarged 1× picture has every 2 × 2 block in one colour; a sharp one does not
    int mixedBlocks = 0;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 800; x += 2) {
            const QRgb c = PixelAt(two, x, y);
            mixedBlocks += PixelAt(two, x + 1, y) != c || PixelAt(two, x, y + 1) != c || PixelAt(two, x + 1, y + 1) != c;
        }
    EXPECT_GT(mixedBlocks, 200);
    EXPECT_NE(two, one.scaled(800, 400, Qt::IgnoreAspectRatio, Qt::FastTransformation));

    // the same layout: the lines lie on the same logical pixels, two device pixels thick
    EXPECT_EQ(PixelAt(one, 200, 150), RgbOf(0x0000FF));
    EXPECT_EQ(RunLength(two, 400, 300, 0, 1, RgbOf(0x0000FF)), 2);  // X axis at y 150
    EXPECT_EQ(PixelAt(two, 400, 299), RgbOf(0xFFFFFF));
    EXPECT_EQ(RunLength(two, 402, 90, 1, 0, RgbOf(0xFF0000)), 2);  // position line at x 201
    EXPECT_EQ(PixelAt(two, 401, 90), RgbOf(0xFFFFFF));
}

TEST_F(ChartTest, AtSixHundredDotsPerInchLinesStayHairlines)
{
    AddSeries(1, 0x00FF00);
    Fill(20, 1.0);
    DressForResolution(chart);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(301, 100));
    // as the printing code does it: a 600-dpi page in units of 1/96 inch
    QImage page(650 * 625 / 100 + 1, 260 * 625 / 100 + 1, QImage::Format_RGB32);
    page.setDotsPerMeterX(23622);
    page.setDotsPerMeterY(23622);
    page.fill(Qt::white);
    chart->SetDrawMode(1);
    chart->SetLayoutRect({0, 0, 650, 260});
    chart->RecalcLayout();
    {
        QPainter p(&page);
        p.scale(6.25, 6.25);
        chart->DrawChart(p, QRect(0, 0, 650, 260));
    }
    chart->SetDrawMode(0);
    // position line at x 301 and the X axis at y 260 - 50 = 210, each through the middle of its
    // 1/96-inch cell, less than 3 device pixels thick
    int x = 301 * 625 / 100;
    const int cursorWidth = LineAhead(page, x, 100 * 625 / 100, true, RgbOf(0xFF0000));
    EXPECT_GE(cursorWidth, 1);
    EXPECT_LT(cursorWidth, 3);
    EXPECT_LT(std::abs(x + cursorWidth / 2 - int(301.5 * 6.25)), 2);
    int y = 210 * 625 / 100;
    const int axisHeight = LineAhead(page, y, 400 * 625 / 100, false, RgbOf(0x0000FF));
    EXPECT_GE(axisHeight, 1);
    EXPECT_LT(axisHeight, 3);
}

TEST_F(ChartTest, PrintsOntoAPdfAsVectorsAndRestoresTheScreenLayout)
{
    AddSeries(1, 0x0000FF, 8.0);
    AddSeries(2, 0xFF0000, 8.0)->patternIndex = 1;
    for (int i = 0; i < 6; ++i) {
        chart->InsertCategory(i, MakeCategory("c"), false);
        chart->AddPoint(i, 0, 2.0, 0, 1, false);
        chart->AddPoint(i, 1, 3.0, 0, 2, i == 5);
    }
    DressForResolution(chart);
    const QImage before = Render();
    QTemporaryDir dir;
    const QString file = dir.filePath("chart.pdf");
    {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        QPainter p(&pdf);
        // logical units of 1/96 inch, as the printing code sets them up
        p.scale(pdf.logicalDpiX() / 96.0, pdf.logicalDpiY() / 96.0);
        chart->SetDrawMode(1);
        chart->SetLayoutRect({50, 60, 700, 320});
        chart->RecalcLayout();
        chart->DrawChart(p, QRect(50, 60, 650, 260));
        chart->SetDrawMode(0);
        chart->SetLayoutRect({0, 0, chart->width(), chart->height()});
        chart->RecalcLayout();
    }
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_FALSE(bytes.contains("/Subtype /Image"));  // lines and text, no 96-dpi picture
    EXPECT_EQ(chart->GetCategory(0)->points[0]->rect.bottom, 150);  // the screen layout is back
    EXPECT_EQ(Render(), before);
}

TEST(ChartResolution, LineWidthsAndPatternTiles)
{
    EXPECT_EQ(ChartLineWidth(1.0, false), 1);
    EXPECT_EQ(ChartLineWidth(1.25, false), 1);
    EXPECT_EQ(ChartLineWidth(2.0, false), 2);
    EXPECT_EQ(ChartLineWidth(1.0, true), 1);     // a 96-dpi page
    EXPECT_EQ(ChartLineWidth(6.25, true), 2);    // 600 dpi: 1/300 inch
    EXPECT_EQ(ChartLineWidth(12.5, true), 4);    // 1200 dpi
    EXPECT_EQ(ChartLineWidth(std::nan(""), false), 1);
    EXPECT_EQ(ChartLineWidth(-3, true), 1);
    EXPECT_EQ(ChartLineWidth(1e9, false), 64);
    // the rising diagonal at 600 dpi: a 48-pixel tile, two pixels thick, continuous across tiles
    const QImage tile = CChartWnd::PatternImage(0, 6.25, 2);
    ASSERT_EQ(tile.size(), QSize(48, 48));
    for (int x = 0; x < 48; ++x) {
        int black = 0;
        for (int y = 0; y < 48; ++y)
            black += (tile.pixel(x, y) & 0xFFFFFF) == 0;
        EXPECT_EQ(black, 2) << x;
    }
    EXPECT_EQ(tile.pixel(0, 47) & 0xFFFFFF, 0u);
    EXPECT_EQ(ChartPatternTileSize(std::nan("")), 8);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(ChartDashDotPixel(x, 1.0), x < 4 || x == 6) << x;
    EXPECT_TRUE(ChartDashDotPixel(24, 6.25));   // logical 3: the dash
    EXPECT_FALSE(ChartDashDotPixel(26, 6.25));  // logical 4: the gap
}
