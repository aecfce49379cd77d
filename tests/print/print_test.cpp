// Printing the chart page: the page geometry in 1/96 inch on a 96- and a 600-dpi device, the
// table, black and white, a PDF, the screen chart afterwards, and the print command with its
// preview window.
#include "output/print/PrintFrameWnd.h"
#include "output/print/PrintSetDlg.h"
#include "tests/charts/DayPageFixture.h"
#include "tests/support/TestDialogs.h"

#include "core/DlgItem.h"
#include "res/resource.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// A page image of the whole printed extent at a resolution, white, in grey levels (a 600-dpi
// page in colour would take a hundred megabytes).
QImage PageImage(int dpi, QImage::Format format = QImage::Format_Grayscale8, int heightUnits = kPrintPageHeight + 10)
{
    const double s = PrintUnitScale(dpi);
    QImage img(int(std::ceil((kPrintPageWidth + 10) * s)), int(std::ceil(heightUnits * s)), format);
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    return img;
}

void PrintOnto(CPrintView& view, QImage& img)
{
    QPainter p(&img);
    view.Print(p, img);
}

// The page's top part only (a 600-dpi page in colour would take a hundred megabytes): drawn
// in units of 1/96 inch at the image's resolution, without fitting the page to the image.
QImage PrintTopOfPage(CPrintView& view, int dpi)
{
    QImage img = PageImage(dpi, QImage::Format_RGB32, kPrintChartRect.bottom + 2);
    QPainter p(&img);
    p.scale(PrintUnitScale(dpi), PrintUnitScale(dpi));
    view.OnDraw(p);
    return img;
}

// The device pixel at the middle of the logical pixel (x, y).
bool DarkAt(const QImage& img, double x, double y, int dpi)
{
    const double s = PrintUnitScale(dpi);
    return qGray(img.pixel(int((x + 0.5) * s), int((y + 0.5) * s))) < 128;
}

// Whether any device pixel inside the logical rectangle is dark.
bool AnyDark(const QImage& img, const QRectF& units, int dpi)
{
    const double s = PrintUnitScale(dpi);
    const QRect r = QRectF(units.x() * s, units.y() * s, units.width() * s, units.height() * s).toRect() & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                return true;
    return false;
}

std::unique_ptr<CSkinListCtrl> ThreeColumnList(int rows)
{
    auto list = std::make_unique<CSkinListCtrl>();
    list->InsertColumn(0, QStringLiteral("日期"), CSkinListCtrl::FormatLeft, 100);
    list->InsertColumn(1, QStringLiteral("A"), CSkinListCtrl::FormatRight, 160);
    list->InsertColumn(2, QStringLiteral("B"), CSkinListCtrl::FormatRight, 230);
    for (int r = 0; r < rows; ++r) {
        list->InsertItem(r, QStringLiteral("2026-3-%1").arg(r + 1));
        list->SetItemText(r, 1, QStringLiteral("%1.000").arg(r));
        list->SetItemText(r, 2, QStringLiteral("W"));
    }
    return list;
}

// A 400 × 200 chart of one series (red, rising-diagonal pattern) in its host.
CChartWnd* OneSeriesChart(MessageRecorder& host, unsigned flags, double barWidth, int categories,
                          const std::function<double(int)>& value)
{
    auto* chart = new CChartWnd(&host);
    host.resize(400, 200);
    chart->setGeometry(0, 0, 400, 200);
    chart->SetDisplayFlags(flags);
    auto series = std::make_unique<ChartSeries>();
    series->key = 1;
    series->colour = 0x0000FF;
    series->barWidth = barWidth;
    EXPECT_EQ(chart->AddSeries(series), 1);
    for (int i = 0; i < categories; ++i) {
        chart->InsertCategory(i, std::make_unique<ChartCategory>(), false);
        chart->AddPoint(i, 0, value(i), 0, 1, i == categories - 1);
    }
    return chart;
}

}  // namespace

TEST(PrintGeometry, UnitsColumnsAndRows)
{
    EXPECT_DOUBLE_EQ(PrintUnitScale(96), 1.0);
    EXPECT_DOUBLE_EQ(PrintUnitScale(600), 6.25);
    EXPECT_DOUBLE_EQ(PrintUnitScale(300), 3.12);  // 300 × 100 ÷ 96 = 312 hundredths
    EXPECT_DOUBLE_EQ(PrintUnitScale(0), 0.01);
    EXPECT_EQ(PrintColumnWidths({100, 160, 230}), (std::vector<int>{132, 212, 305}));
    EXPECT_EQ(PrintColumnWidths({0, 0}), (std::vector<int>{0, 0}));
    EXPECT_EQ(PrintColumnWidths({-5, 10}), (std::vector<int>{0, 650}));
    EXPECT_EQ(PrintColumnWidths({2000000000, 2000000000}), (std::vector<int>{325, 325}));
    EXPECT_EQ(PrintRowSpan(-1), std::make_pair(350, 372));
    EXPECT_EQ(PrintRowSpan(0), std::make_pair(371, 394));
    EXPECT_EQ(PrintRowSpan(30), std::make_pair(1031, 1054));
    const std::vector<ChartRect> cells = PrintRowCells(0, {132, 212, 305});
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], (ChartRect{55, 371, 187, 394}));
    EXPECT_EQ(cells[1], (ChartRect{186, 371, 399, 394}));
    EXPECT_EQ(cells[2], (ChartRect{398, 371, 704, 394}));
    // the text shrinks to fit its cell, down to a floor
    EXPECT_EQ(PrintTableTextSize({{QStringLiteral("2026-11-28")}}, {200}), 12);
    EXPECT_LT(PrintTableTextSize({{QStringLiteral("2026-11-28")}}, {50}), 12);
    EXPECT_EQ(PrintTableTextSize({{QString(200, QLatin1Char('W'))}}, {50}), 8);
    // a caption may take two lines of the header row: larger than it could be on one
    const QString caption = QStringLiteral("Longest effective exercise [min]");
    const int twoLines = PrintCaptionTextSize({caption}, {110});
    EXPECT_GT(twoLines, PrintTableTextSize({{caption}}, {110}));
    EXPECT_LE(QFontMetricsF([&] { QFont f; f.setFamilies({QStringLiteral("WenQuanYi Micro Hei")}); f.setPixelSize(twoLines); return f; }())
                  .lineSpacing() * 2, 22.0);
}

class PrintTable : public ::testing::TestWithParam<int> {};

TEST_P(PrintTable, ColumnsInProportionAndThirtyOneFramedRows)
{
    const int dpi = GetParam();
    auto few = ThreeColumnList(2);
    CPrintView view(nullptr, few.get(), {});
    QImage img = PageImage(dpi);
    PrintOnto(view, img);
    // column edges of 132, 212 and 305 units, shared between neighbours
    for (int edge : {55, 186, 398, 703})
        EXPECT_TRUE(DarkAt(img, edge, 492, dpi)) << edge;
    for (int inside : {120, 300, 600})
        EXPECT_FALSE(DarkAt(img, inside, 380 + 22 * 5, dpi)) << inside;
    EXPECT_FALSE(DarkAt(img, 705, 492, dpi));
    // header and every one of the 31 rows framed; nothing below the last
    EXPECT_TRUE(DarkAt(img, 100, 350, dpi));
    for (int r = 0; r < kPrintRowCount; ++r)
        EXPECT_TRUE(DarkAt(img, 100, PrintRowSpan(r).second - 1, dpi)) << r;
    EXPECT_FALSE(AnyDark(img, QRectF(50, 1055, 660, 8), dpi));
    // two items printed, the rows after them empty
    EXPECT_TRUE(AnyDark(img, QRectF(60, 375, 120, 16), dpi));
    EXPECT_FALSE(AnyDark(img, QRectF(60, PrintRowSpan(5).first + 3, 120, 16), dpi));

    auto many = ThreeColumnList(40);
    CPrintView full(nullptr, many.get(), {});
    QImage img2 = PageImage(dpi);
    PrintOnto(full, img2);
    EXPECT_TRUE(AnyDark(img2, QRectF(60, PrintRowSpan(30).first + 3, 120, 16), dpi));  // the 31st item
    EXPECT_FALSE(AnyDark(img2, QRectF(50, 1055, 660, 8), dpi));                          // no 32nd
}

INSTANTIATE_TEST_SUITE_P(At96And600Dpi, PrintTable, ::testing::Values(96, 600));

TEST(PrintTable, APageShorterThanTheLayoutIsScaledDownNotCut)
{
    auto list = ThreeColumnList(3);
    CPrintView view(nullptr, list.get(), {});
    QImage img(720, 620, QImage::Format_Grayscale8);  // 96 dpi, 6.5 inches high
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    img.fill(Qt::white);
    PrintOnto(view, img);
    bool lastLine = false;
    for (int x = 100; x < 300; ++x)
        lastLine = lastLine || qGray(img.pixel(x, img.height() - 1)) < 128;
    EXPECT_TRUE(lastLine);  // the 31st row's bottom edge is on the page
}

TEST(PrintTable, AListWithoutColumnsPrintsNoTable)
{
    CSkinListCtrl empty;
    CPrintView view(nullptr, &empty, {});
    QImage img = PageImage(96);
    PrintOnto(view, img);
    EXPECT_FALSE(AnyDark(img, QRectF(0, 0, kPrintPageWidth, kPrintPageHeight), 96));
}

class PrintChart : public DayDetailTest, public ::testing::WithParamInterface<int> {};

TEST_P(PrintChart, BlackAndWhiteIsBlackOnWhiteWithPatternedBarsAndTheScreenStaysAsItWas)
{
    const int dpi = GetParam();
    Store(QuietDay(2026, 3, 3, 245, 13));
    OpenPage();
    Pick(QDate(2026, 3, 3));
    CChartWnd* chart = page->GetChart();
    page->SetChartColours({255, 32768, 16711680});  // red curve and axes, blue position line
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(300, 100));
    const QImage before = chart->grab().toImage();

    chart->SetPrintInColour(false);
    CPrintView view(chart, page->GetDayList(), PrintHeaderOf(*page));
    const QImage img = PrintTopOfPage(view, dpi);
    const double s = PrintUnitScale(dpi);
    int black = 0;
    for (int y = int(kPrintChartRect.top * s); y < int(kPrintChartRect.bottom * s); ++y)
        for (int x = int(kPrintChartRect.left * s); x < int(kPrintChartRect.right * s); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y << " " << std::hex << c;
            black += c == 0;
        }
    EXPECT_GT(black, 100);
    // the screen layout is back
    EXPECT_EQ(chart->GetDrawMode(), 0);
    EXPECT_EQ(chart->GetLayoutRect(), (ChartRect{0, 0, chart->width(), chart->height()}));
    EXPECT_EQ(chart->grab().toImage(), before);

    // the header line: whose data, which day, which month
    EXPECT_TRUE(AnyDark(img, QRectF(kPrintTitleRect.left, kPrintTitleRect.top, 200, 24), dpi));
    const PrintHeader header = PrintHeaderOf(*page);
    EXPECT_EQ(header.title, QStringLiteral("运动过程图 2026-3-3"));
    EXPECT_EQ(header.user, QStringLiteral("用户名：小明"));
    EXPECT_EQ(header.month, QStringLiteral("月份：2026-03"));

    // in colour the curve keeps its colour
    chart->SetPrintInColour(true);
    const QImage colour = PrintTopOfPage(view, dpi);
    bool red = false;
    for (int y = int(kPrintChartRect.top * s); y < int(kPrintChartRect.bottom * s) && !red; ++y)
        for (int x = int(kPrintChartRect.left * s); x < int(kPrintChartRect.right * s) && !red; ++x)
            red = qRed(colour.pixel(x, y)) > 200 && qGreen(colour.pixel(x, y)) < 60;
    EXPECT_TRUE(red);
    EXPECT_EQ(chart->grab().toImage(), before);
}

INSTANTIATE_TEST_SUITE_P(At96And600Dpi, PrintChart, ::testing::Values(96, 600));

TEST_P(PrintChart, BarsAreFilledWithTheirPatternsInBlackAndWhite)
{
    const int dpi = GetParam();
    MessageRecorder host;
    CChartWnd* chart = OneSeriesChart(host, CHART_BAR, 40, 3, [](int) { return 4.0; });
    chart->SetPrintInColour(false);
    CPrintView view(chart, nullptr, {});
    const QImage img = PrintTopOfPage(view, dpi);
    chart->SetLayoutRect(kPrintChartRect);  // where the first bar went on the page
    chart->RecalcLayout();
    const ChartRect bar = chart->GetCategory(0)->points[0]->rect;
    const double s = PrintUnitScale(dpi);
    int black = 0, white = 0;
    for (int y = int((kPrintChartRect.top + bar.top + 2) * s); y < int((kPrintChartRect.top + bar.bottom - 2) * s); ++y)
        for (int x = int((kPrintChartRect.left + bar.left + 2) * s); x < int((kPrintChartRect.left + bar.right - 2) * s); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;
            (c == 0 ? black : white) += 1;
        }
    // one diagonal line per 8 units: an eighth of the bar at 96 dpi, two pixels in 48 at 600
    const double share = double(black) / (black + white);
    EXPECT_GT(share, dpi == 96 ? 0.1 : 0.03) << share;
    EXPECT_LT(share, dpi == 96 ? 0.15 : 0.06) << share;
}

TEST(PrintPdf, APageOfLinesAndTextAtSixHundredDpi)
{
    auto list = ThreeColumnList(5);
    MessageRecorder host;
    CChartWnd* chart = OneSeriesChart(host, CHART_CURVE, 2, 30, [](int i) { return i % 5; });
    chart->SetPrintInColour(true);
    CPrintView view(chart, list.get(), {QStringLiteral("T"), QStringLiteral("U"), QStringLiteral("M")});
    QTemporaryDir dir;
    const QString file = dir.filePath("page.pdf");
    {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        QPainter p(&pdf);
        view.Print(p, pdf);
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);  // one page
    EXPECT_FALSE(bytes.contains("/Subtype /Image"));  // no 96-dpi picture of the chart
}

// ---- the print command and its preview ------------------------------------------------

class PrintCommand : public DayDetailTest {
protected:
    void SetUp() override
    {
        DayDetailTest::SetUp();
        Store(QuietDay(2026, 3, 3, 245, 13));
        mainWindow = std::make_unique<QWidget>();
        mainWindow->resize(900, 560);
        page = std::make_unique<CDayDetailDlg>(mainWindow.get());
        page->SetUser(user);
        page->resize(868, 500);
        mainWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow.get()));
        Pick(QDate(2026, 3, 3));
        dialogs.boxAnswer = QMessageBox::Ok;
    }
    void TearDown() override
    {
        (void)page.release();  // a child of the main window, which deletes it
        mainWindow.reset();
        DayDetailTest::TearDown();
    }

    // Answers the print settings dialog: the radio shown first, then the choice and OK or Cancel.
    void AnswerPrintSettings(int choose, bool ok, int* shown = nullptr)
    {
        dialogs.runDialog = [=](QDialog& d) {
            auto* dlg = dynamic_cast<CPrintSetDlg*>(&d);
            EXPECT_NE(dlg, nullptr);
            if (!dlg)
                return int(QDialog::Rejected);
            EXPECT_EQ(dlg->windowTitle(), QStringLiteral("打印设置"));
            if (shown)
                *shown = GetDlgItemAs<QRadioButton>(dlg, IDC_PRINT_COLOUR)->isChecked() ? 1 : 0;
            GetDlgItemAs<QRadioButton>(dlg, choose == 1 ? IDC_PRINT_COLOUR : IDC_PRINT_MONO)->click();
            GetDlgItemAs<QPushButton>(dlg, ok ? IDOK : IDCANCEL)->click();
            return dlg->result();
        };
    }

    std::unique_ptr<QWidget> mainWindow;
    TestDialogService dialogs;
};

TEST_F(PrintCommand, CancelDoesNothing)
{
    page->SetPrintColour(1);
    int shown = -1;
    AnswerPrintSettings(0, false, &shown);
    EXPECT_EQ(RunChartPrint(page.get(), *page), nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(page->GetPrintColour(), 1);
    EXPECT_TRUE(mainWindow->isVisible());
}

TEST_F(PrintCommand, ThePreviewTakesThePlaceOfTheMainWindowAndGivesItBack)
{
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    AnswerPrintSettings(1, true);
    QPointer<CPrintFrameWnd> frame = RunChartPrint(page.get(), *page);
    ASSERT_TRUE(frame);
    EXPECT_EQ(page->GetPrintColour(), 1);
    EXPECT_TRUE(page->GetChart()->GetPrintInColour());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("打印预览"));
    EXPECT_FALSE(mainWindow->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(frame->Preview()->pageCount(), 1);

    // Print: the system dialog (answered with a PDF file), page 1; the preview stays
    QTemporaryDir dir;
    const QString pdf = dir.filePath("printed.pdf");
    dialogs.runDialog = [&](QDialog& d) {
        auto* printDialog = qobject_cast<QPrintDialog*>(&d);
        EXPECT_NE(printDialog, nullptr);
        if (!printDialog)
            return int(QDialog::Rejected);
        EXPECT_EQ(printDialog->maxPage(), 1);
        printDialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        printDialog->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    };
    frame->Print();
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));
    EXPECT_TRUE(frame->isVisible());

    // Close: the main window comes back, the program goes on, the window is gone
    frame->close();
    EXPECT_TRUE(mainWindow->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame);
    EXPECT_EQ(lastClosed.count(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PrintCommand, ThePageMayGoWhileThePreviewIsOpen)
{
    AnswerPrintSettings(0, true);
    QPointer<CPrintFrameWnd> frame = RunChartPrint(page.get(), *page);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(page->GetChart()->GetPrintInColour());
    page.reset();  // the user page was rebuilt behind the preview
    frame->Preview()->updatePreview();
    QApplication::processEvents();
    frame->close();
    EXPECT_TRUE(mainWindow->isVisible());
}
