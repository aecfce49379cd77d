// A pedometer end to end: through the port folder, the device library and the device link into
// the user store, with the device-found, read and create dialogs answered by scripts.
#include "accounts/NewUserDlg.h"
#include "core/DeviceChoice.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
#include "core/Timings.h"
#include "device/DeviceFoundDlg.h"
#include "device/ReadDataDlg.h"
#include "device/SyncDlg.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"
#include "external/userdb/UserDbBackup.h"
#include "res/resource.h"
#include "tests/device/DeviceFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

namespace {

QImage Image(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

// Waits inside a read dialog until its list shows the pedometer's days.
bool WaitForRows(CReadDataDlg& dlg, int rows)
{
    return QTest::qWaitFor([&] { return dlg.List()->topLevelItemCount() == rows; }, 5000);
}

}  // namespace

TEST_F(DeviceTest, KnownPedometerIsStoredAnnouncedAskedAndErasedOnlyOnceSafe)
{
    AddUser(20002, "Lily", 2, 160, 55);
    const PedometerFile f = Pedometer(20002, 5);
    int foundShown = 0;
    OnDialog<CDeviceFoundDlg>([&](CDeviceFoundDlg& dlg) {
        ++foundShown;
        return ExecWith(dlg, [&] {
            EXPECT_EQ(GetWindowText(GetDlgItem(&dlg, IDC_DEVICE_ID)), QStringLiteral("用户ID：20002"));
            EXPECT_EQ(GetWindowText(GetDlgItem(&dlg, IDC_DEVICE_NAME)), QStringLiteral("用户名：Lily"));
            EXPECT_TRUE(GetDlgItem(&dlg, IDC_REMEMBER)->isEnabled());
            ClickItem(&dlg, IDC_FOUND_READ);
        });
    });
    OnDialog<CReadDataDlg>([&](CReadDataDlg& dlg) {
        return ExecWith(dlg, [&] {
            ASSERT_TRUE(WaitForRows(dlg, 5));
            EXPECT_EQ(dlg.List()->topLevelItem(0)->text(0), QStringLiteral("2024-3-1"));
            EXPECT_EQ(dlg.List()->topLevelItem(4)->text(2), QStringLiteral("Lily"));
            // Everything was stored at the arrival: ticking all and storing again adds nothing.
            ClickItem(&dlg, IDC_SELECT_ALL);
            ClickItem(&dlg, IDOK);
            EXPECT_EQ(m_dialogs.messages.value(0), QStringLiteral("共导出记录 0 条。"));

            m_dialogs.boxAnswer = QMessageBox::No;
            ClickItem(&dlg, IDC_DELETE);
            EXPECT_EQ(m_dialogs.messages.value(1).left(10), QStringLiteral("即将删除计步器中的所"));
            EXPECT_EQ(OnDisk().days.size(), 5u);
            EXPECT_EQ(dlg.List()->topLevelItemCount(), 5);

            m_dialogs.boxAnswer = QMessageBox::Yes;
            ClickItem(&dlg, IDC_DELETE);
            EXPECT_EQ(OnDisk().days.size(), 0u);
            // A checked copy of the store was taken before the pedometer was erased.
            std::vector<BackupInfo> copies;
            USER_ListBackups(USER_StorePath("Data Source=" + Dir().toStdString() + "User.mdb;"), copies, false);
            EXPECT_TRUE(std::any_of(copies.begin(), copies.end(), [](const BackupInfo& c) { return c.reason == BackupReason::Erase; }));
            EXPECT_EQ(dlg.List()->topLevelItemCount(), 0);
            EXPECT_FALSE(GetDlgItem(&dlg, IDC_DELETE)->isEnabled());
            dlg.reject();
        });
    });

    StartDevices();
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    EXPECT_EQ(StoredDays(20002, f), 5);
    ASSERT_FALSE(m_shell.balloons.empty());
    EXPECT_EQ(m_shell.balloons.back().first, QStringLiteral("发现计步器"));
    EXPECT_EQ(m_shell.balloons.back().second, QStringLiteral("号码: 20002\r\n用户名: Lily\r\n新增 5 天，更新 0 天"));
    EXPECT_EQ(m_shell.balloonTimeouts.back(), 10000);
    EXPECT_EQ(Image(m_shell.trayImage), Image(LoadIconFile(ReadTrayIconSkin().findPedometer)));
    ASSERT_NE(g_pDeviceUser, nullptr);
    EXPECT_EQ(RecordName(*g_pDeviceUser), "Lily");

    ASSERT_TRUE(QTest::qWaitFor([&] { return m_opened.size() == 2; }, 5000));
    EXPECT_EQ(foundShown, 1);
    EXPECT_EQ(StoredDays(20002, f), 5);  // erasing lost nothing
    EXPECT_EQ(m_dialogs.defaults.at(1), QMessageBox::NoButton);

    // The same days plugged in again: nothing new, and the balloon says so.
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg&) { return 1; });
    ASSERT_TRUE(Replug(f));
    EXPECT_TRUE(m_shell.balloons.back().second.endsWith(QStringLiteral("\r\n没有新数据")));
}

TEST_F(DeviceTest, RemovalClosesTheOpenDialogAndClearsTheDeviceState)
{
    AddUser(20002, "Lily");
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) { return ExecWith(dlg, [&] { ClickItem(&dlg, IDC_FOUND_SYNC); }); });
    bool closedByRemoval = false;
    OnDialog<CSyncDlg>([&](CSyncDlg& dlg) {
        const int result = ExecWith(dlg, [&] { Unplug(); });
        closedByRemoval = g_pDeviceUser == nullptr;
        return result;
    });
    StartDevices();
    Plug(Pedometer(20002, 2));
    ASSERT_TRUE(WaitForArrival());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_removals == 1 && m_link->OpenDeviceDialog() == nullptr; }, 30000));
    EXPECT_TRUE(closedByRemoval);
    EXPECT_EQ(m_opened, (QStringList{"CDeviceFoundDlg", "CSyncDlg"}));
    EXPECT_EQ(m_link->DeviceNumber(), 0);
    EXPECT_EQ(m_link->DeviceUser(), nullptr);
    EXPECT_EQ(m_shell.balloons.back(), std::make_pair(QStringLiteral("移除计步器"), QStringLiteral("计步器已从计算机上移除")));
    EXPECT_EQ(Image(m_shell.trayImage), Image(LoadIconFile(ReadTrayIconSkin().normal)));
    EXPECT_TRUE(m_link->IsTimerActive(kTimerHideBalloon));
}

TEST_F(DeviceTest, ANewPedometersBalloonOutlastsTheRemovalBalloonsHideTimer)
{
    m_link->OnDeviceRemoved();
    m_link->OnDeviceArrived(424242);
    QTest::qWait(300);
    EXPECT_EQ(m_shell.balloons.back().second, UnknownDeviceBalloonText(424242));
}

TEST_F(DeviceTest, RemovalWithinTheDelayOpensNoDialog)
{
    AddUser(20002, "Lily");
    Timings().deviceFound = 800;
    StartDevices();
    Plug(Pedometer(20002, 1));
    ASSERT_TRUE(WaitForArrival());
    EXPECT_TRUE(m_link->IsTimerActive(kTimerDeviceFound));
    Unplug();
    ASSERT_TRUE(WaitForRemoval());
    EXPECT_FALSE(m_link->IsTimerActive(kTimerDeviceFound));
    QTest::qWait(1000);
    EXPECT_TRUE(m_opened.isEmpty());
}

TEST_F(DeviceTest, UnknownNumberStoresNothingUntilItsAccountIsCreatedFromTheBalloon)
{
    const PedometerFile f = Pedometer(30003, 4);
    StartDevices();
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    EXPECT_EQ(StoredDays(30003, f), 0);
    EXPECT_TRUE(m_link->NewUserPending());
    EXPECT_EQ(m_shell.balloons.back().second, UnknownDeviceBalloonText(30003));
    EXPECT_EQ(g_pDeviceUser->height, 160);  // the record is built from the pedometer
    QTest::qWait(200);
    EXPECT_TRUE(m_opened.isEmpty());  // no dialog of its own: only the balloon leads on

    OnDialog<CNewUserDlg>([&](CNewUserDlg& dlg) {
        return ExecWith(dlg, [&] {
            EXPECT_EQ(GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER)->text(), QStringLiteral("30003"));
            GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NAME)->setText(QStringLiteral("Tom"));
            ClickItem(&dlg, IDOK);
        });
    });
    m_link->OnBalloonClicked();
    EXPECT_EQ(m_opened, QStringList{"CNewUserDlg"});
    EXPECT_FALSE(m_link->NewUserPending());
    EXPECT_EQ(StoredDays(30003, f), 4);
    EXPECT_EQ(m_shell.balloons.back().second, QStringLiteral("号码: 30003\r\n用户名: Tom\r\n新增 4 天，更新 0 天"));
    m_link->OnBalloonClicked();  // nothing pending any more
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_F(DeviceTest, BlankPedometerAsksAnAdministratorOnlyAndTheCreatedAccountGetsItsDays)
{
    AddUser(20002, "Lily");
    const PedometerFile f = Pedometer(kBlankDeviceId, 3);
    StartDevices();

    // A normal user logged in: the balloon only.
    UserRecord normal{};
    ASSERT_EQ(USER_GetUser(20002, normal), 1);
    SetLoginUser(normal);
    m_shell.userPage = true;
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    EXPECT_EQ(m_shell.balloons.back().second, QStringLiteral("发现未初始化的计步器。\r\n请以管理员身份登录后为此计步器烧写用户资料。"));
    EXPECT_TRUE(m_link->IsTimerActive(kTimerHideBalloon));
    EXPECT_FALSE(m_link->IsTimerActive(kTimerCreateUserForDevice));
    QTest::qWait(300);
    EXPECT_EQ(m_shell.createUserCalls, 0);
    Unplug();
    ASSERT_TRUE(WaitForRemoval());

    // The administrator: the user page's create dialog for the pedometer, which writes a number into it.
    UserRecord admin{};
    ASSERT_EQ(USER_GetUser(10001, admin), 1);
    SetLoginUser(admin);
    m_shell.onCreateUser = [] {
        CNewUserDlg dlg;
        dlg.SetDeviceMode(1);
        RunModal(dlg);
    };
    OnDialog<CNewUserDlg>([&](CNewUserDlg& dlg) {
        return ExecWith(dlg, [&] {
            EXPECT_TRUE(GetDlgItemAs<QCheckBox>(&dlg, IDC_WRITE_DEVICE)->isChecked());
            GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER)->setText(QStringLiteral("40004"));
            GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NAME)->setText(QStringLiteral("Ann"));
            ClickItem(&dlg, IDOK);
        });
    });
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    EXPECT_EQ(m_shell.balloons.back().second, QStringLiteral("发现未初始化的计步器。\r\n请为此计步器烧写用户资料。"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_shell.createUserCalls == 1 && !m_opened.isEmpty(); }, 5000));
    EXPECT_EQ(OnDisk().profile.id, 40004);
    EXPECT_EQ(StoredDays(40004, f), 3);
    EXPECT_EQ(g_pDeviceUser->number, 40004);
}

TEST_F(DeviceTest, RememberedChoiceIsCarriedOutOnTheNextArrivalAndForgottenFromTheToolbar)
{
    AddUser(20002, "Lily");
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) {
        return ExecWith(dlg, [&] {
            GetDlgItemAs<QCheckBox>(&dlg, IDC_REMEMBER)->setChecked(true);
            ClickItem(&dlg, IDC_FOUND_READ);
        });
    });
    OnDialog<CReadDataDlg>([](CReadDataDlg&) { return 0; });
    StartDevices();
    Plug(Pedometer(20002, 2));
    ASSERT_TRUE(WaitForArrival());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_opened.size() == 2; }, 5000));
    EXPECT_EQ(RememberedDeviceChoice(20002), kFoundRead);

    // Next time the read dialog opens straight away.
    ASSERT_TRUE(Replug(Pedometer(20002, 2)));
    ASSERT_TRUE(WaitForDialog());
    EXPECT_EQ(m_opened, QStringList{"CReadDataDlg"});

    // The toolbar always asks, and offers to forget.
    m_opened.clear();
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) {
        return ExecWith(dlg, [&] {
            EXPECT_FALSE(GetDlgItem(&dlg, IDC_REMEMBER)->isEnabled());
            QWidget* forget = GetDlgItem(&dlg, IDC_FORGET_CHOICE);
            ASSERT_TRUE(forget->isVisible());
            ClickItem(&dlg, IDC_FORGET_CHOICE);
            EXPECT_FALSE(forget->isVisible());
            QTest::keyClick(&dlg, Qt::Key_Escape);
        });
    });
    EXPECT_FALSE(RunPedometerCommand(nullptr));
    EXPECT_EQ(RememberedDeviceChoice(20002), 0);

    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg&) { return -1; });
    ASSERT_TRUE(Replug(Pedometer(20002, 2)));
    ASSERT_TRUE(WaitForDialog());
    EXPECT_EQ(m_opened.first(), QStringLiteral("CDeviceFoundDlg"));
}

TEST_F(DeviceTest, ToolbarReadStoresTickedDaysAndEmptiesAfterARemoval)
{
    EXPECT_FALSE(RunPedometerCommand(nullptr));
    EXPECT_EQ(m_dialogs.messages, QStringList{"没有计步器链接到此计算机中！"});
    m_dialogs.messages.clear();

    // A number whose account appears behind the program's back: the read dialog stores the days.
    const PedometerFile f = Pedometer(30003, 3);
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) { return ExecWith(dlg, [&] { ClickItem(&dlg, IDC_FOUND_READ); }); });
    OnDialog<CReadDataDlg>([&](CReadDataDlg& dlg) {
        return ExecWith(dlg, [&] {
            ASSERT_TRUE(WaitForRows(dlg, 3));
            dlg.List()->topLevelItem(0)->setCheckState(0, Qt::Checked);
            dlg.List()->topLevelItem(2)->setCheckState(0, Qt::Checked);
            ClickItem(&dlg, IDOK);
            ClickItem(&dlg, IDOK);
            EXPECT_EQ(m_dialogs.messages, (QStringList{"共导出记录 2 条。", "共导出记录 0 条。"}));

            // Pulled out: the dialog stays (opened from the toolbar) but holds nothing of the pedometer.
            Unplug();
            ASSERT_TRUE(WaitForRemoval());
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(dlg.List()->topLevelItemCount(), 0);
            EXPECT_FALSE(GetDlgItem(&dlg, IDOK)->isEnabled());
            EXPECT_FALSE(GetDlgItem(&dlg, IDC_DELETE)->isEnabled());
            dlg.accept();  // Enter does nothing now
            EXPECT_EQ(m_dialogs.messages.size(), 2);
            dlg.reject();
        });
    });
    StartDevices();
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    m_opened.clear();
    AddUser(30003, "Tom");
    EXPECT_TRUE(RunPedometerCommand(nullptr));
    EXPECT_EQ(m_opened, (QStringList{"CDeviceFoundDlg", "CReadDataDlg"}));
    EXPECT_EQ(StoredDays(30003, f), 2);
}

TEST_F(DeviceTest, ErasingDaysThatCannotBeStoredSaysHowManyAndDefaultsToNo)
{
    const PedometerFile f = Pedometer(30003, 4);
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) { return ExecWith(dlg, [&] { ClickItem(&dlg, IDC_FOUND_READ); }); });
    OnDialog<CReadDataDlg>([&](CReadDataDlg& dlg) {
        return ExecWith(dlg, [&] {
            ASSERT_TRUE(WaitForRows(dlg, 4));
            m_dialogs.boxAnswer = QMessageBox::No;
            ClickItem(&dlg, IDC_DELETE);
            ASSERT_EQ(m_dialogs.messages.size(), 1);
            EXPECT_TRUE(m_dialogs.messages[0].startsWith(QStringLiteral("计步器中有 4 天的数据无法保存到计算机")));
            EXPECT_EQ(m_dialogs.defaults.back(), QMessageBox::No);
            EXPECT_EQ(OnDisk().days.size(), 4u);

            // Once the number has an account, erasing stores every day before the pedometer is emptied.
            AddUser(30003, "Tom");
            m_dialogs.boxAnswer = QMessageBox::Yes;
            ClickItem(&dlg, IDC_DELETE);
            EXPECT_EQ(m_dialogs.messages.value(1).left(10), QStringLiteral("即将删除计步器中的所"));
            EXPECT_EQ(StoredDays(30003, f), 4);
            EXPECT_EQ(OnDisk().days.size(), 0u);
            dlg.reject();
        });
    });
    StartDevices();
    Plug(f);
    ASSERT_TRUE(WaitForArrival());
    EXPECT_TRUE(RunPedometerCommand(nullptr));
    EXPECT_EQ(m_dialogs.messages.size(), 2);
}

TEST_F(DeviceTest, ThePedometersOwnerLoggedInCannotLogInAgainAndAnotherLogsInByThePedometer)
{
    AddUser(20002, "Lily");
    UserRecord lily{};
    ASSERT_EQ(USER_GetUser(20002, lily), 1);
    SetLoginUser(lily);
    bool loginEnabled = true;
    OnDialog<CDeviceFoundDlg>([&](CDeviceFoundDlg& dlg) {
        return ExecWith(dlg, [&] {
            loginEnabled = GetDlgItem(&dlg, IDC_FOUND_LOGIN)->isEnabled();
            QTest::keyClick(GetDlgItem(&dlg, IDC_REMEMBER), Qt::Key_Return);  // Enter outside the choices: 0
        });
    });
    StartDevices();
    Plug(Pedometer(20002, 1));
    ASSERT_TRUE(WaitForArrival());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_opened.isEmpty(); }, 5000));
    QTest::qWait(50);
    EXPECT_FALSE(loginEnabled);
    EXPECT_EQ(m_shell.userPagesShown, 0);

    ReleaseLoginUser();
    Unplug();
    ASSERT_TRUE(WaitForRemoval());
    OnDialog<CDeviceFoundDlg>([](CDeviceFoundDlg& dlg) { return ExecWith(dlg, [&] { ClickItem(&dlg, IDC_FOUND_LOGIN); }); });
    Plug(Pedometer(20002, 1));
    ASSERT_TRUE(WaitForArrival());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_shell.userPagesShown == 1; }, 5000));
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(g_pLoginUser->number, 20002);
    EXPECT_NE(g_pLoginUser, g_pDeviceUser);
}
