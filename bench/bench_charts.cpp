// The chart control and the chart page against raw baselines in the same run.
//   BM_DayChartPaint/N  lay out and paint the one-day chart (720 points, 1000 × 420) into an
//                       image at device-pixel ratio N (1: 100 %, 2: 200 %); raw: the same image
//                       filled white and the same 720 points drawn with one drawPolyline
//   BM_LoadMonthPainted the page's LoadMonth of a full month through the user store, then the
//                       chart painted; raw: the 31 USER_GetData2 calls alone
#include "BenchRatio.h"

#include "charts/ChartWnd.h"
#include "charts/DayDetailDlg.h"
#include "core/Globals.h"
#include "external/usb/Generator.h"
#include "external/userdb/UserDb.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <stdexcept>

namespace {

// Timed on this thread's CPU clock: the build machine runs other work at the same
// time, and wall-clock ratios of sub-millisecond paints swing with it.
using CpuRatio = BasicBenchRatio<ThreadCpuClock>;

constexpr int kUser = 10002;
constexpr int kWeight = 65;

// The one-day chart configured as the chart page configures it.
std::unique_ptr<CChartWnd> MakeDayChart(const DeviceStepRecord& day, QSize size)
{
    auto chart = std::make_unique<CChartWnd>();
    chart->resize(size);
    chart->SetXAxisTitle(QStringLiteral("时间"));
    chart->SetYAxisTitle(QStringLiteral("千卡/2分钟"));
    chart->SetTitle(QStringLiteral("小明 运动过程图"));
    chart->SetDisplayFlags(CHART_CURVE);
    chart->SetCategoryGap(6.0);
    chart->SetPointMarkers(false);
    chart->SetLabelStep(5, 0);
    chart->SetMargins(50, 20, 0, 20);
    chart->SetLimitValues(kWeight * 0.1002, kWeight * 0.2004, kWeight * 0.2672);
    chart->SetFixedScale(true);
    chart->SetLimitLineColour(32768);
    auto series = std::make_unique<ChartSeries>();
    series->key = 1;
    series->barWidth = 2.0;
    series->name = QStringLiteral("卡路里");
    series->scaleMax = 25.0;
    series->decimals = 2;
    chart->AddSeries(series);
    for (int s = 0; s < kSlotsPerDay; ++s) {
        auto c = std::make_unique<ChartCategory>();
        c->label = SlotLabel(s);
        chart->InsertCategory(s, std::move(c), false);
        chart->AddPoint(s, 0, day.slotKcal[s], 23.0, 1, false);
    }
    chart->SetLayoutRect({0, 0, size.width(), size.height()});
    return chart;
}

void BM_DayChartPaint(benchmark::State& state)
{
    const QSize size(1000, 420);
    const DeviceStepRecord day = GenerateDay(OleDateFromYmd(2026, 3, 14), kWeight, 7);
    auto chart = MakeDayChart(day, size);
    chart->SetFirstCategory(300, false);  // 10:00, a window with an exercise in it
    chart->RecalcLayout();
    // The baseline's points: the curve's left-top corners as the chart lays them out.
    QPolygon polyline;
    for (int s = 0; s < kSlotsPerDay; ++s) {
        const ChartRect& r = chart->GetCategory(s)->points[0]->rect;
        polyline << QPoint(r.left, r.top);
    }

    CpuRatio ratio;
    const int dpr = int(state.range(0));
    QImage target(size * dpr, QImage::Format_RGB32);
    target.setDevicePixelRatio(dpr);
    for (auto _ : state) {
        const double lib = ratio.Lib([&] {
            chart->RecalcLayout();
            QPainter p(&target);
            chart->DrawChart(p, QRect(QPoint(0, 0), size));
        });
        ratio.Raw([&] {
            QPainter p(&target);
            p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
            p.setPen(QPen(Qt::black, 1));
            p.drawPolyline(polyline);
        });
        state.SetIterationTime(lib);
    }
    ratio.Report(state);
}
BENCHMARK(BM_DayChartPaint)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

class StoreWithMonth {
public:
    StoreWithMonth()
    {
        if (!m_dir.isValid())
            throw std::runtime_error("temporary folder");
        SetProgramPaths(m_dir.path() + QStringLiteral("/Travimo"));
        const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                       g_strAppPath.toStdString() + "User.mdb;Persist Security Info=False";
        std::string error;
        if (USER_Init(connection, "KX300_User", "KX300_Data", error) != 0)
            throw std::runtime_error(error);
        user.number = kUser;
        SetRecordName(user, "小明");
        user.sex = 1;
        user.weight = kWeight;
        user.height = 172;
        user.stride = 72;
        user.age = 34;
        if (USER_CreateUser(user) != 1)
            throw std::runtime_error("create user");
        for (const DeviceStepRecord& day : GenerateDays(2026, 3, 1, 31, kWeight, 7))
            if (USER_InsertData(kUser, kWeight, 72, day, error) != 1)
                throw std::runtime_error(error);
    }
    ~StoreWithMonth() { USER_Term(0, ""); }
    StoreWithMonth(const StoreWithMonth&) = delete;
    StoreWithMonth& operator=(const StoreWithMonth&) = delete;

    UserRecord user{};

private:
    QTemporaryDir m_dir;
};

void BM_LoadMonthPainted(benchmark::State& state)
{
    StoreWithMonth store;
    CDayDetailDlg page;
    page.SetUser(store.user);
    page.resize(868, 500);
    page.show();
    QApplication::processEvents();
    page.GetDatePicker()->setDate(QDate(2026, 3, 14));  // loads March
    CChartWnd* chart = page.GetChart();
    QImage target(chart->size(), QImage::Format_RGB32);

    CpuRatio ratio;
    for (auto _ : state) {
        const double lib = ratio.Lib([&] {
            page.LoadMonth();
            QPainter p(&target);
            chart->DrawChart(p, chart->rect());
        });
        ratio.Raw([&] {
            std::string error;
            for (int d = 1; d <= 31; ++d) {
                StepRecord r;
                r.Clear();
                benchmark::DoNotOptimize(USER_GetData2(kUser, OleDateFromYmd(2026, 3, d), r, error));
            }
        });
        state.SetIterationTime(lib);
    }
    if (page.GetDayList() == nullptr || chart->GetCategoryCount() != kSlotsPerDay)
        state.SkipWithError("the month did not load");
    ratio.Report(state);
}
BENCHMARK(BM_LoadMonthPainted)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
