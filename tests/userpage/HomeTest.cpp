// The home page: the overview's sums against targets, the chart of the last 30 days, and the
// configured page (local, unreachable, none).

#include "tests/userpage/UserPageFixture.h"

#include "charts/ChartWnd.h"
#include "core/Globals.h"
#include "userpage/HomeOverview.h"
#include "userpage/HomePageDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>

namespace {

UserRecord Targets(int steps, int metres, int kcal, int stride)
{
    UserRecord u{};
    u.targetSteps = steps;
    u.targetDistance = metres;
    u.targetCalories = kcal;
    u.stride = stride;
    return u;
}

}  // namespace

TEST(HomeOverview, PeriodSumsMissingDaysAsZeroAndTargetsOverEveryDay)
{
    const QDate mon(2024, 3, 11);
    const std::vector<DayActivity> days = {
        {mon, 5000, 200.5, 20},
        {mon.addDays(2), 3000, 100.0, 5},
        {mon.addDays(2), 9999, 999.0, 99},  // the same date again counts once
        {mon.addDays(-1), 7000, 300.0, 30},  // before the period
        {mon.addDays(7), 7000, 300.0, 30},   // after it
        {mon.addDays(3), -50, -1.0, -4},     // hostile figures count nothing
        {QDate(), 100, 1.0, 1},
    };
    const PeriodTotals t = SumPeriod(days, mon, mon.addDays(6), Targets(8000, 5600, 300, 70));
    EXPECT_EQ(t.days, 7);
    EXPECT_EQ(t.daysWithData, 3);
    EXPECT_EQ(t.steps, 8000);
    EXPECT_DOUBLE_EQ(t.kcal, 300.5);
    EXPECT_EQ(t.effectiveMinutes, 25);
    EXPECT_DOUBLE_EQ(t.distanceKm, 8000 * 70 / 100000.0);
    EXPECT_EQ(t.targetSteps, 56000);
    EXPECT_DOUBLE_EQ(t.targetDistanceKm, 5.6 * 7);
    EXPECT_DOUBLE_EQ(t.targetKcal, 2100.0);

    // One day without data: zero against one day's targets; a reversed period is empty.
    const PeriodTotals none = SumPeriod(days, mon.addDays(1), mon.addDays(1), Targets(8000, 5600, 300, 70));
    EXPECT_EQ(none.days, 1);
    EXPECT_EQ(none.steps, 0);
    EXPECT_EQ(none.targetSteps, 8000);
    EXPECT_EQ(SumPeriod(days, mon.addDays(1), mon, Targets(1, 1, 1, 1)).days, 0);
    // Negative targets and stride count as none.
    const PeriodTotals odd = SumPeriod(days, mon, mon, Targets(-5, -5, -5, -70));
    EXPECT_EQ(odd.targetSteps, 0);
    EXPECT_DOUBLE_EQ(odd.distanceKm, 0.0);
}

TEST(HomeOverview, PeriodsAndScale)
{
    EXPECT_EQ(WeekStart(QDate(2024, 3, 17)), QDate(2024, 3, 11));  // a Sunday belongs to Monday's week
    EXPECT_EQ(WeekStart(QDate(2024, 3, 11)), QDate(2024, 3, 11));
    EXPECT_EQ(MonthStart(QDate(2024, 3, 17)), QDate(2024, 3, 1));
    EXPECT_EQ(OverviewFirstDay(QDate(2024, 3, 31)), QDate(2024, 3, 1));   // the month reaches further
    EXPECT_EQ(OverviewFirstDay(QDate(2024, 3, 2)), QDate(2024, 2, 2));    // 30 days back
    EXPECT_EQ(OverviewFirstDay(QDate(2024, 3, 31)).daysTo(QDate(2024, 3, 31)) + 1, 31);
    EXPECT_DOUBLE_EQ(OverviewScaleMax(0, 0), 50.0);
    EXPECT_DOUBLE_EQ(OverviewScaleMax(100, 300), 350.0);  // 345 rounded up to the next 50
    EXPECT_GE(OverviewScaleMax(1000, 300), 1000.0);
    EXPECT_DOUBLE_EQ(OverviewScaleMax(std::nan(""), -1), 50.0);
}

TEST(HomeOverview, HomePageKeyBecomesAnAddress)
{
    EXPECT_TRUE(HomePageUrl(QString()).isEmpty());
    EXPECT_TRUE(HomePageUrl(QStringLiteral(" about:blank ")).isEmpty());
    EXPECT_EQ(HomePageUrl(QStringLiteral("https://example.org/a")), QUrl(QStringLiteral("https://example.org/a")));
    EXPECT_EQ(HomePageUrl(QStringLiteral("/srv/x.html")), QUrl::fromLocalFile(QStringLiteral("/srv/x.html")));
    EXPECT_EQ(HomePageUrl(QStringLiteral("javascript:alert(1)")).scheme(), QStringLiteral("file"));
}

class HomePageTest : public UserPageTest {
protected:
    void SetUp() override
    {
        UserPageTest::SetUp();
        m_user = MakeUser(10002, "Lily");
        AddUser(m_user);
    }
    void SetHomePage(const QByteArray& value) { WriteFile(QStringLiteral("Travimo.ini"), "[App]\nHomePage=" + value + "\n"); }
    UserRecord m_user{};
};

TEST_F(HomePageTest, OverviewShowsThirtyDaysWithGapsAndReloadsNewDays)
{
    SetHomePage("about:blank");
    const QDate today = QDate::currentDate();
    StoreDay(10002, today.addDays(-3), 6000, 250.0);
    CHomePageDlg page;
    page.SetUser(m_user);
    page.resize(600, 400);
    page.show();
    EXPECT_EQ(page.Browser()->isVisible(), false);
    ASSERT_EQ(page.Chart()->GetCategoryCount(), kOverviewDays);
    // The day with data is the fourth bar from the right; the others are empty places, not hidden.
    EXPECT_DOUBLE_EQ(page.Chart()->GetCategory(kOverviewDays - 4)->points.at(0)->value, 250.0);
    EXPECT_DOUBLE_EQ(page.Chart()->GetCategory(kOverviewDays - 1)->points.at(0)->value, 0.0);
    EXPECT_DOUBLE_EQ(page.Chart()->GetLimitValues()[0], 300.0);
    EXPECT_EQ(page.Totals()[0].steps, 0);       // today
    EXPECT_EQ(page.Totals()[0].targetSteps, 8000);

    StoreDay(10002, today, 1234, 80.0);
    page.Reload();
    EXPECT_EQ(page.Totals()[0].steps, 1234);
    EXPECT_EQ(page.Totals()[0].daysWithData, 1);
    EXPECT_DOUBLE_EQ(page.Chart()->GetCategory(kOverviewDays - 1)->points.at(0)->value, 80.0);
}

TEST_F(HomePageTest, LocalPageIsShownReadOnly)
{
    WriteFile(QStringLiteral("home.html"), "<html><body><h1>Hello page</h1><script>x()</script></body></html>");
    SetHomePage("home.html");
    CHomePageDlg page;
    page.show();
    EXPECT_TRUE(page.Browser()->isVisible());
    EXPECT_TRUE(page.Browser()->isReadOnly());
    EXPECT_TRUE(page.Browser()->toPlainText().contains(QStringLiteral("Hello page")));
    EXPECT_FALSE(page.FetchMessage()->isVisible());
}

TEST_F(HomePageTest, UnreachablePageGivesOneLineAndALink)
{
    SetHomePage("http://127.0.0.1:1/little.asp");
    CHomePageDlg page;
    QSignalSpy done(&page, &CHomePageDlg::PageDone);
    page.show();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(done.last().at(0).toBool());
    EXPECT_TRUE(page.FetchMessage()->isVisible());
    EXPECT_TRUE(page.FetchMessage()->text().contains(QStringLiteral("http://127.0.0.1:1/little.asp")));
    EXPECT_FALSE(page.FetchMessage()->text().contains(QLatin1Char('\n')));
    EXPECT_FALSE(page.Browser()->isVisible());
    auto* link = page.findChild<QPushButton*>();
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), QStringLiteral("在浏览器中打开"));

    // A missing local file: the same line.
    SetHomePage("missing.html");
    page.Navigate();
    EXPECT_TRUE(page.FetchMessage()->isVisible());
}
