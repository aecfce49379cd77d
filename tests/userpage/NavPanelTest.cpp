// The navigation panel: its pages, the column toggle, message 1245, the user folder, the
// toolbar's commands and the teardown.

#include "tests/userpage/UserPageFixture.h"

#include "charts/DayDetailDlg.h"
#include "controls/SkinButton.h"
#include "controls/SkinListCtrl.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "device/DeviceLink.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"
#include "userpage/NavPanelDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {

class NavPanelTest : public UserPageTest {
protected:
    void SetUp() override
    {
        UserPageTest::SetUp();
        AddUser(MakeUser(10002, "Lily"));
    }
    void TearDown() override
    {
        m_panel.reset();
        UserPageTest::TearDown();
    }
    CNavPanelDlg& Open(int number)
    {
        UserRecord r{};
        EXPECT_EQ(USER_GetUser(number, r), 1);
        SetLoginUser(r);
        m_panel = std::make_unique<CNavPanelDlg>();
        m_panel->show();
        return *m_panel;
    }
    std::unique_ptr<CNavPanelDlg> m_panel;
};

QString AccessibleName(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

}  // namespace

TEST_F(NavPanelTest, NormalUserGetsHomeAndChart)
{
    g_bUserManagement = true;
    CNavPanelDlg& panel = Open(10002);
    ASSERT_EQ(panel.PageBar()->GetPageCount(), 2);
    EXPECT_EQ(panel.PageBar()->Page(0), panel.HomePage());
    EXPECT_EQ(panel.PageBar()->Page(1), panel.ChartPage());
    EXPECT_EQ(panel.PageBar()->GetCurSel(), 0);
    EXPECT_EQ(panel.UserList(), nullptr);
    // Screen readers find the pages by name.
    EXPECT_EQ(AccessibleName(panel.PageBar()->Button(0)), QStringLiteral("首页"));
    EXPECT_EQ(AccessibleName(panel.PageBar()->Button(1)), QStringLiteral("图表"));
    EXPECT_EQ(AccessibleName(panel.ColumnButton()), QStringLiteral("隐藏/显示右侧栏"));
}

TEST_F(NavPanelTest, AdministratorWithManagementOffGetsTwoPages)
{
    g_bUserManagement = false;
    CNavPanelDlg& panel = Open(10001);
    EXPECT_EQ(panel.PageBar()->GetPageCount(), 2);
    EXPECT_EQ(panel.UserList(), nullptr);
}

TEST_F(NavPanelTest, AdministratorWithManagementOnGetsTheUserList)
{
    g_bUserManagement = true;
    CNavPanelDlg& panel = Open(10001);
    ASSERT_EQ(panel.PageBar()->GetPageCount(), 3);
    ASSERT_NE(panel.UserList(), nullptr);
    EXPECT_EQ(panel.PageBar()->Page(1), panel.ChartPage());
    EXPECT_EQ(panel.PageBar()->Page(2), panel.UserList());
    EXPECT_EQ(AccessibleName(panel.PageBar()->Button(2)), QStringLiteral("管理用户"));

    // The list's "view step data" reaches the chart page with that user's month.
    AddUser(MakeUser(10003, "Tom"));
    StoreDay(10003, QDate::currentDate(), 2222, 150.0);
    panel.PageBar()->SelectPage(2);
    panel.UserList()->LoadFirstPage();
    CSkinListCtrl* list = panel.UserList()->List();
    int tom = -1;
    for (int row = 0; row < list->GetItemCount(); ++row)
        if (list->GetItemText(row, 1) == QStringLiteral("Tom"))
            tom = row;
    ASSERT_GE(tom, 0);
    list->SetItemState(tom, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                       CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
    panel.UserList()->OnViewStepData();
    QCoreApplication::sendPostedEvents(&panel);
    EXPECT_EQ(panel.PageBar()->GetCurSel(), 1);
    EXPECT_TRUE(panel.ChartPage()->GetChart()->GetTitle().startsWith(QStringLiteral("Tom")));
    EXPECT_EQ(panel.ChartPage()->GetDayList()->GetItemCount(), 1);

    // A blank pedometer's request opens the list's create dialog.
    QStringList ran;
    m_dialogs.runDialog = [&ran](QDialog& dlg) {
        ran << dlg.metaObject()->className();
        return int(QDialog::Rejected);
    };
    panel.CreateUserForDevice();
    EXPECT_EQ(ran, QStringList{"CNewUserDlg"});
}

TEST_F(NavPanelTest, LayoutAndColumnToggleWidensThePageBarByTheColumnAndEight)
{
    CNavPanelDlg& panel = Open(10002);
    panel.resize(868, 500);
    const int th = panel.Toolbar()->height();
    const int bw = panel.ColumnButton()->width(), bh = panel.ColumnButton()->height();
    const int pw = panel.RightColumn()->width();
    EXPECT_EQ(panel.Toolbar()->geometry(), QRect(8, 500 - th - 8, 852, th));
    EXPECT_EQ(panel.ColumnButton()->pos(), QPoint(868 - bw - 3, (500 - bh) / 2));
    EXPECT_EQ(panel.RightColumn()->geometry(), QRect(868 - bw - pw - 11, 8, pw, 500 - th - 8));
    const QRect shown = panel.PageBar()->geometry();
    EXPECT_EQ(shown, QRect(8, 8, 868 - bw - pw - 29, 500 - th - 24));
    EXPECT_EQ(panel.UserCard()->pos(), QPoint(0, 0));
    EXPECT_EQ(panel.RightColumn()->Pane(1), panel.SparePane());
    EXPECT_FALSE(panel.SparePane()->isVisible());
    EXPECT_EQ(panel.ColumnButton()->text(), QStringLiteral(">"));

    panel.ColumnButton()->click();
    EXPECT_FALSE(panel.RightColumn()->isVisible());
    EXPECT_EQ(panel.ColumnButton()->text(), QStringLiteral(">"));
    EXPECT_EQ(panel.PageBar()->width(), shown.width() + pw + 8);
    EXPECT_EQ(panel.PageBar()->height(), shown.height());

    panel.ColumnButton()->click();
    EXPECT_TRUE(panel.RightColumn()->isVisible());
    EXPECT_EQ(panel.ColumnButton()->text(), QStringLiteral("<"));
    EXPECT_EQ(panel.PageBar()->geometry(), shown);
}

TEST_F(NavPanelTest, Message1245ShowsThatUsersMonthFromACopy)
{
    AddUser(MakeUser(10003, "Tom"));
    const QDate today = QDate::currentDate();
    StoreDay(10003, today, 4321, 210.0);
    CNavPanelDlg& panel = Open(10002);
    {
        auto borrowed = std::make_unique<UserRecord>();
        ASSERT_EQ(USER_GetUser(10003, *borrowed), 1);
        SendMessage(&panel, WM_SHOW_USER_DATA, reinterpret_cast<uintptr_t>(borrowed.get()));
    }  // the sender's record is gone: the page must not use it (ASan would see it)
    EXPECT_EQ(panel.PageBar()->GetCurSel(), panel.PageBar()->IndexOfPage(panel.ChartPage()));
    EXPECT_TRUE(panel.ChartPage()->isVisible());
    EXPECT_TRUE(panel.ChartPage()->GetChart()->GetTitle().startsWith(QStringLiteral("Tom")));
    ASSERT_EQ(panel.ChartPage()->GetDayList()->GetItemCount(), 1);
    panel.ChartPage()->repaint();  // painting reads the copy
    // A null record changes nothing.
    panel.PageBar()->SelectPage(0);
    SendMessage(&panel, WM_SHOW_USER_DATA, 0);
    EXPECT_EQ(panel.PageBar()->GetCurSel(), 0);
}

TEST_F(NavPanelTest, UserFolderAndTemplateOnlyWhenTheFolderIsNew)
{
    WriteFile(QStringLiteral("Graph.ini"), "[Bar]\nCalorie=255\n");
    Open(10002);
    EXPECT_EQ(ReadFile(QStringLiteral("10002/Graph.ini")), QByteArray("[Bar]\nCalorie=255\n"));
    m_panel.reset();

    // The folder exists: the user's own Graph.ini stays, and a removed one is not recreated.
    WriteFile(QStringLiteral("10002/Graph.ini"), "[Bar]\nCalorie=65280\n");
    Open(10002);
    EXPECT_EQ(ReadFile(QStringLiteral("10002/Graph.ini")), QByteArray("[Bar]\nCalorie=65280\n"));
    m_panel.reset();
    QFile::remove(PathOf(QStringLiteral("10002/Graph.ini")));
    Open(10002);
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("10002/Graph.ini"))));
    QTest::qWait(20);
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
}

TEST_F(NavPanelTest, AUserNumberThatCannotBecomeAFolderIsSaidOnce)
{
    AddUser(MakeUser(10004, "Ann"));
    WriteFile(QStringLiteral("10004"), "a file where the folder would go");
    for (int login = 0; login < 2; ++login) {
        CNavPanelDlg& panel = Open(10004);
        EXPECT_TRUE(panel.UserFolderFailed());
        QTest::qWait(20);
        EXPECT_EQ(panel.PageBar()->GetPageCount(), 2);  // the page works all the same
        m_panel.reset();
    }
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_TRUE(m_dialogs.messages[0].contains(QStringLiteral("10004")));
}

TEST_F(NavPanelTest, LogoutFromTheToolbarLeavesThePageValidThenDestroysItInOrder)
{
    g_bUserManagement = true;
    CNavPanelDlg& panel = Open(10001);
    QPointer<CNavPanelDlg> alive(&panel);
    // The main window replaces the page once the handler has returned.
    m_main.onLogout = [this] { m_panel.release()->deleteLater(); };
    QStringList gone;
    auto watch = [&gone](QObject* o, const char* name) {
        QObject::connect(o, &QObject::destroyed, [&gone, name] { gone << QString::fromLatin1(name); });
    };
    watch(panel.HomePage(), "home");
    watch(panel.UserList(), "userlist");
    watch(panel.ChartPage(), "chart");
    watch(panel.PageBar(), "pagebar");
    watch(panel.Toolbar(), "toolbar");
    watch(panel.UserCard(), "card");
    watch(panel.SparePane(), "spare");
    watch(panel.RightColumn(), "column");

    GetDlgItemAs<CSkinButton>(panel.Toolbar(), IDC_TB_LOGOUT)->click();
    EXPECT_EQ(m_main.logouts, 1);
    EXPECT_FALSE(alive.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(gone, (QStringList{"home", "userlist", "chart", "pagebar", "toolbar", "card", "spare", "column"}));
    EXPECT_NE(g_pLoginUser, nullptr);  // the next login replaces the record
}

TEST_F(NavPanelTest, ToolbarCommandsThatWorkNow)
{
    CNavPanelDlg& panel = Open(10002);
    // About: the about-box command posted to the main window.
    panel.OnToolbarCommand(IDC_TB_ABOUT);
    QCoreApplication::sendPostedEvents(&m_main);
    ASSERT_EQ(m_main.messages.size(), 1u);
    EXPECT_EQ(m_main.messages[0], std::make_pair(WM_SYSCOMMAND, uintptr_t(IDM_ABOUTBOX)));

    // Profile and password run their dialogs on the logged-in record.
    QStringList ran;
    m_dialogs.runDialog = [&ran](QDialog& dlg) {
        ran << dlg.metaObject()->className();
        return int(QDialog::Rejected);
    };
    panel.OnToolbarCommand(IDC_TB_PROFILE);
    panel.OnToolbarCommand(IDC_TB_PASSWORD);
    EXPECT_EQ(ran, (QStringList{"CEditUserDlg", "CPasswordDlg"}));

    // The main window's move shows the strip before its own timer does.
    EXPECT_FALSE(panel.Toolbar()->isVisible());
    panel.OnMainWindowMoved();
    EXPECT_TRUE(panel.Toolbar()->isVisible());
    for (int id : {IDC_TB_PRINT, IDC_TB_SETTINGS, IDC_TB_LOGOUT, IDC_TB_PASSWORD})
        EXPECT_FALSE(AccessibleName(GetDlgItem(panel.Toolbar(), id)).isEmpty());
    EXPECT_EQ(AccessibleName(GetDlgItem(panel.Toolbar(), IDC_TB_PRINT)), QStringLiteral("打印"));
    EXPECT_EQ(AccessibleName(GetDlgItem(panel.Toolbar(), IDC_TB_LOGOUT)), QStringLiteral("注销"));
}

TEST_F(NavPanelTest, TabReachesEveryControlInReadingOrder)
{
    CNavPanelDlg& panel = Open(10002);
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    panel.OnMainWindowMoved();  // the toolbar shows
    panel.PageBar()->Button(0)->setFocus();
    QStringList order;
    for (int i = 0; i < 14; ++i) {
        QWidget* f = QApplication::focusWidget();
        ASSERT_NE(f, nullptr);
        order << (f == panel.UserCard() ? QStringLiteral("card") : AccessibleName(f));
        QTest::keyClick(f, Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{"首页", "图表", "card", "修改个人资料", "修改密码", "隐藏/显示右侧栏", "USB", "个人资料",
                                  "密码", "打印", "设置", "注销", "关于", "首页"}));
    // The card is read by its lines.
    EXPECT_TRUE(panel.UserCard()->accessibleDescription().contains(QStringLiteral("号码 : 10002")));
}

TEST_F(NavPanelTest, PrintSettingsAndPedometerReachTheirDialogs)
{
    CNavPanelDlg& panel = Open(10002);
    QStringList ran;
    m_dialogs.runDialog = [&ran](QDialog& dlg) {
        ran << dlg.metaObject()->className();
        return int(QDialog::Rejected);
    };
    panel.OnToolbarCommand(IDC_TB_PRINT);
    panel.OnToolbarCommand(IDC_TB_SETTINGS);
    EXPECT_EQ(ran, (QStringList{"CPrintSetDlg", "CSetPropertySheet"}));
    // No pedometer connected: the message, nothing else.
    panel.OnToolbarCommand(IDC_TB_USB);
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("没有计步器链接到此计算机中！")});
    EXPECT_EQ(ran.size(), 2);
}

TEST_F(NavPanelTest, DaysStoredOnThePedometersArrivalShowOnTheHomePage)
{
    CDeviceLink link;
    CNavPanelDlg& panel = Open(10002);
    EXPECT_EQ(panel.HomePage()->Totals()[0].steps, 0);
    StoreDay(10002, QDate::currentDate(), 4321, 180.0);
    emit link.DeviceArrived(10003);  // another user's pedometer changes nothing here
    EXPECT_EQ(panel.HomePage()->Totals()[0].steps, 0);
    emit link.DeviceArrived(10002);
    EXPECT_EQ(panel.HomePage()->Totals()[0].steps, 4321);
    EXPECT_EQ(panel.ChartPage()->GetDayList()->GetItemCount(), 1);
}
