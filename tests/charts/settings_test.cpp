// The settings sheet: the chart colours page, the pedometer page, and what the settings
// command does with the chart and the user's Graph.ini when the sheet closes.
#include "charts/SetPropertySheet.h"
#include "tests/charts/DayPageFixture.h"
#include "tests/support/TestDialogs.h"

#include "controls/ColourCombo.h"
#include "core/DeviceChoice.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Paths.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QDir>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr uint32_t kGreen = 32768;        // 0, 128, 0: "Green"
constexpr uint32_t kBlue = 16711680;      // 0, 0, 255: "Blue"
constexpr uint32_t kRed = 255;            // 255, 0, 0: "Red"
constexpr uint32_t kNotListed = 0x123456;

class SettingsTest : public DayDetailTest {
protected:
    // Runs the settings command; `script` plays the user inside the sheet.
    int RunSheet(const std::function<void(CSetPropertySheet&)>& script)
    {
        dialogs.boxAnswer = QMessageBox::Ok;
        bool ran = false;
        dialogs.runDialog = [&](QDialog& d) {
            ran = true;
            auto* sheet = dynamic_cast<CSetPropertySheet*>(&d);
            EXPECT_NE(sheet, nullptr);
            if (sheet)
                script(*sheet);
            return d.result();
        };
        const int result = RunChartSettings(nullptr, *page);
        EXPECT_TRUE(ran);
        return result;
    }

    static CColourCombo* Combo(QWidget& sheet, int id) { return GetDlgItemAs<CColourCombo>(&sheet, id); }
    static void Press(QWidget& sheet, int id) { GetDlgItemAs<QPushButton>(&sheet, id)->click(); }
    static int IndexOf(uint32_t colour)
    {
        for (size_t i = 0; i < StandardColours().size(); ++i)
            if (StandardColours()[i].colour == colour)
                return int(i);
        return -1;
    }

    QString GraphIni() const { return UserGraphIniPath(kUser); }

    TestDialogService dialogs;
};

}  // namespace

TEST_F(SettingsTest, AColourNotInTheListIsUnselectedAndOkStoresBlack)
{
    WriteFile(QStringLiteral("%1/Graph.ini").arg(kUser), "[Bar]\r\nCalorie=1193046\r\nCurposLineColor=255\r\n");
    OpenPage();
    EXPECT_EQ(page->GetChart()->GetAxisColour(), kNotListed);
    const int result = RunSheet([&](CSetPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("设置"));
        EXPECT_EQ(Combo(sheet, IDC_CURVE_COLOUR)->currentIndex(), -1);
        EXPECT_EQ(Combo(sheet, IDC_LIMIT_COLOUR)->GetSelectedColour(), kGreen);
        EXPECT_EQ(Combo(sheet, IDC_CURSOR_COLOUR)->GetSelectedColour(), kRed);
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        // no Help: OK, Cancel, Apply only
        EXPECT_EQ(sheet.findChild<QDialogButtonBox*>()->buttons().size(), 3);
        Press(sheet, IDOK);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(ReadGraphColours(GraphIni()), (ChartColours{0, kGreen, kRed}));
    EXPECT_EQ(page->GetChart()->GetAxisColour(), 0u);
    EXPECT_EQ(page->GetKcalSeries()->colour, 0u);
    EXPECT_TRUE(ReadFile(QStringLiteral("%1/Graph.ini").arg(kUser)).contains("Calorie=0"));
}

TEST_F(SettingsTest, CancelWritesTheUnchangedColoursBack)
{
    OpenPage();  // no Graph.ini: the defaults
    EXPECT_FALSE(QFile::exists(GraphIni()));
    const int result = RunSheet([&](CSetPropertySheet& sheet) {
        Combo(sheet, IDC_CURVE_COLOUR)->setCurrentIndex(IndexOf(kRed));  // changed, then cancelled
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    const QByteArray ini = ReadFile(QStringLiteral("%1/Graph.ini").arg(kUser));
    EXPECT_TRUE(ini.contains("Calorie=0")) << ini.constData();
    EXPECT_TRUE(ini.contains("2TargetColor=32768"));
    EXPECT_TRUE(ini.contains("CurposLineColor=16711680"));
    EXPECT_EQ(page->GetChartColours(), ChartColours{});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SettingsTest, ApplyColoursTheChartAtOnceAndTheNextLoginToo)
{
    OpenPage();
    RunSheet([&](CSetPropertySheet& sheet) {
        Combo(sheet, IDC_CURVE_COLOUR)->setCurrentIndex(IndexOf(kBlue));
        Combo(sheet, IDC_LIMIT_COLOUR)->setCurrentIndex(IndexOf(kRed));
        sheet.ApplyButton()->click();
        EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
        EXPECT_EQ(page->GetChart()->GetAxisColour(), kBlue);  // while the sheet is still open
        EXPECT_EQ(page->GetChart()->GetLimitLineColour(), kRed);
        Press(sheet, IDCANCEL);  // after Apply, Cancel keeps what was applied
    });
    EXPECT_EQ(page->GetChartColours(), (ChartColours{kBlue, kRed, kBlue}));
    // a new chart page (the next login) starts with them
    page.reset();
    OpenPage();
    EXPECT_EQ(page->GetChartColours(), (ChartColours{kBlue, kRed, kBlue}));
    EXPECT_EQ(page->GetKcalSeries()->colour, kBlue);
}

TEST_F(SettingsTest, TheLoggedInUsersFileKeepsItsOtherLinesAndNeverGetsTheTemplate)
{
    // the template in the program folder, and the user's folder with a file of its own
    WriteFile(QStringLiteral("Graph.ini"), "[Bar]\r\nCalorie=255\r\n2TargetColor=255\r\nCurposLineColor=255\r\n");
    WriteFile(QStringLiteral("%1/Graph.ini").arg(kUser), "; mine\r\n[Other]\r\nKey=1\r\n");
    SetLoginUser(user);
    OpenPage();
    EXPECT_EQ(page->GetChartColours(), ChartColours{});  // a missing key: the defaults, not the template's
    RunSheet([&](CSetPropertySheet& sheet) { Press(sheet, IDOK); });
    const QByteArray ini = ReadFile(QStringLiteral("%1/Graph.ini").arg(kUser));
    EXPECT_TRUE(ini.contains("; mine") && ini.contains("[Other]") && ini.contains("Key=1")) << ini.constData();
    EXPECT_EQ(ReadGraphColours(GraphIni()), ChartColours{});

    // the logged-in user's file is written even while another user's days are shown
    UserRecord other = MakeUser(10003, "小红", 50);
    ASSERT_EQ(USER_CreateUser(other), 1);
    page->SetUser(other);
    RunSheet([&](CSetPropertySheet& sheet) {
        Combo(sheet, IDC_CURSOR_COLOUR)->setCurrentIndex(IndexOf(kRed));
        Press(sheet, IDOK);
    });
    EXPECT_EQ(ReadGraphColours(GraphIni()).cursor, kRed);
    EXPECT_FALSE(QFile::exists(UserGraphIniPath(10003)));
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedOnceAndTheColoursStillApply)
{
    QDir().mkpath(GraphIni());  // a folder where the file should be: no write can succeed
    OpenPage();
    RunSheet([&](CSetPropertySheet& sheet) {
        Combo(sheet, IDC_CURVE_COLOUR)->setCurrentIndex(IndexOf(kRed));
        Press(sheet, IDOK);
    });
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QDir::toNativeSeparators(GraphIni()))) << qPrintable(dialogs.messages[0]);
    EXPECT_EQ(page->GetChart()->GetAxisColour(), kRed);

    WriteFile(QStringLiteral("blocker"), "a file where the folder should be");
    EXPECT_FALSE(WriteGraphColours(PathOf("blocker/Graph.ini"), ChartColours{}));
    EXPECT_EQ(ReadGraphColours(PathOf("missing/Graph.ini")), (ChartColours{0, 32768, 16711680}));
}

TEST_F(SettingsTest, ThePedometerPageShowsAndForgetsTheRememberedChoice)
{
    SetLoginUser(user);
    ASSERT_TRUE(RememberDeviceChoice(kUser, 3));
    OpenPage();
    auto pedometerPage = [](CSetPropertySheet& sheet) {
        auto* tabs = sheet.findChild<QTabWidget*>();
        EXPECT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("图表"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("计步器"));
        return tabs->widget(1);
    };
    // Cancel after Forget forgets nothing
    RunSheet([&](CSetPropertySheet& sheet) {
        QWidget* p = pedometerPage(sheet);
        const auto labels = p->findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == QStringLiteral("导出新数据"); }));
        auto* forget = p->findChild<QPushButton*>();
        ASSERT_TRUE(forget->isEnabled());
        forget->click();
        EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(RememberedDeviceChoice(kUser), 3);
    // OK after Forget forgets
    RunSheet([&](CSetPropertySheet& sheet) {
        pedometerPage(sheet)->findChild<QPushButton*>()->click();
        Press(sheet, IDOK);
    });
    EXPECT_EQ(RememberedDeviceChoice(kUser), 0);
    // nothing remembered: "ask every time", nothing to forget
    RunSheet([&](CSetPropertySheet& sheet) {
        EXPECT_FALSE(pedometerPage(sheet)->findChild<QPushButton*>()->isEnabled());
        Press(sheet, IDOK);
    });
    EXPECT_EQ(CSetPropertyPagePedometer::ChoiceText(0), QStringLiteral("每次询问"));
}

TEST_F(SettingsTest, TheChartPageMayGoWhileTheSheetIsOpen)
{
    OpenPage();
    RunSheet([&](CSetPropertySheet& sheet) {
        page.reset();  // the user page was rebuilt behind the sheet
        Press(sheet, IDOK);
    });
    EXPECT_TRUE(QFile::exists(GraphIni()));
}
