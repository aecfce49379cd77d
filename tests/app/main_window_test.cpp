// The main window: start-up picture, login page host, user pages, tray, closing
// down, pedometer messages and the skin it wears.

#include "app/AboutDlg.h"
#include "device/DeviceProgress.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "app/MainDlg.h"
#include "app/Placement.h"
#include "core/Timings.h"
#include "device/DeviceLink.h"
#include "tests/support/TestDialogs.h"
#include "core/StringTable.h"
#include "core/SkinSections.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinFrame.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"
#include "tests/support/ProgramFolder.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using MainWindowTest = ShellFixture;

QSize FramedSize(QWidget* window, QSize client)
{
    QRect r(QPoint(0, 0), client);
    WS_CalcWindowRect(window, r, 0);
    return r.size();
}

TEST(MainWindowText, ConnectionStringNamesTheStoreInTheProgramFolder)
{
    EXPECT_EQ(UserConnectionString(QStringLiteral("/opt/步/")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;\t\t\t\t\t\tData Source=/opt/步/User.mdb;"
                             "Persist Security Info=False;\t\t\t\t\t\t\t\tJet OLEDB:Database Password=508317"));
}

TEST(MainWindowText, TrayAnimationRunsBetweenTheRectangles)
{
    const QRect a(100, 100, 400, 300), b(1200, 780, 16, 16);
    EXPECT_EQ(TrayAnimationRect(a, b, 0.0), a);
    EXPECT_EQ(TrayAnimationRect(a, b, 1.0), b);
    EXPECT_EQ(TrayAnimationRect(a, b, 7.0), b);
    EXPECT_EQ(TrayAnimationRect(a, b, -1.0), a);
    const QRect mid = TrayAnimationRect(a, b, 0.5);
    EXPECT_EQ(mid.left(), 650);
    EXPECT_TRUE(mid.width() < a.width() && mid.width() > b.width());
}

TEST(DeviceProgress, CallbackStoresValuesAndCompletesOnLastRecord)
{
    g_bUsbComplete = false;
    EXPECT_EQ(UsbProgressCallback(10, 3, 7), 0);
    EXPECT_EQ(g_nUsbTotal.load(), 10);
    EXPECT_EQ(g_nUsbCurrent.load(), 3);
    EXPECT_EQ(g_nUsbExtra.load(), 7);
    EXPECT_FALSE(g_bUsbComplete.load());
    UsbProgressCallback(10, 10, 0);
    EXPECT_TRUE(g_bUsbComplete.load());
    UsbProgressCallback(10, 4, 0);  // stays complete until a new transfer resets it
    EXPECT_TRUE(g_bUsbComplete.load());
    g_bUsbComplete = false;
}

class WindowSkinKeys : public ProgramFolderTest {};

TEST_F(WindowSkinKeys, EveryKeyHasItsDefaultWithoutSetIni)
{
    // The default skin's files in a folder of their own, without Set.ini.
    const QString f = Dir() + QStringLiteral("Skin/empty/");
    ASSERT_TRUE(CopyTree(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Skin/标准"), f));
    ASSERT_TRUE(QFile::remove(f + "Set.ini"));
    const WindowSkinSettings s = ReadWindowSkin(f);
    EXPECT_EQ(s.textColor, 0u);
    EXPECT_EQ(s.icon, f + "App.ico");
    EXPECT_EQ(s.titleLeft, f + "title_left.bmp");
    EXPECT_EQ(s.titleCenter, f + "title_center.bmp");
    EXPECT_EQ(s.titleRight, f + "title_right.bmp");
    EXPECT_EQ(s.closeNormal, f + "close_normal.bmp");
    EXPECT_EQ(s.closeOver, f + "close_over.bmp");
    EXPECT_EQ(s.closeDown, f + "close_down.bmp");
    EXPECT_EQ(s.maxNormal, f + "max_normal.bmp");
    EXPECT_EQ(s.maxOver, f + "max_over.bmp");
    EXPECT_EQ(s.maxDown, f + "max_down.bmp");
    EXPECT_EQ(s.minNormal, f + "min_normal.bmp");
    EXPECT_EQ(s.minOver, f + "min_over.bmp");
    EXPECT_EQ(s.minDown, f + "min_down.bmp");
    EXPECT_EQ(s.borderLeft, f + "Border_left.bmp");
    EXPECT_EQ(s.borderBottomLeft, f + "Border_bottom_left.bmp");
    EXPECT_EQ(s.borderBottomCenter, f + "Border_bottom_center.bmp");
    EXPECT_EQ(s.borderBottomRight, f + "Border_bottom_right.bmp");
    EXPECT_EQ(s.borderRight, f + "Border_right.bmp");
    EXPECT_EQ(s.topRound, 0);
    EXPECT_EQ(s.bottomRound, 0);
    EXPECT_EQ(s.sbtnOffsetY, 1);
    EXPECT_EQ(s.sbtnOffsetR, 5);
    EXPECT_EQ(s.sbtnSpace, 0);
}

TEST_F(WindowSkinKeys, KeysAreReadAsWrittenIncludingTheirQuirks)
{
    const QString f = Dir() + QStringLiteral("Skin/s/");
    ASSERT_TRUE(CopyTree(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Skin/标准"), f));
    for (const char* name : {"pressed.bmp", "l.bmp", "r.bmp", "wrong.bmp"})
        ASSERT_TRUE(QFile::copy(f + "close_down.bmp", f + name));
    ASSERT_TRUE(QDir().mkpath(f + "ico") && QFile::copy(f + "App.ico", f + "ico/A.ico"));
    WriteFile(QStringLiteral("Skin/s/Set.ini"),
              "[title]\r\nTextColor=0x10\r\nCloseDownBmp=wrong.bmp\r\nClsoeDownBmp=pressed.bmp\r\n"
              "Icon=ico\\A.ico\r\nLeftBmp=l.bmp\r\n[Border]\r\nTopRound=7abc\r\nBottomRound=3\r\nRightBmp=r.bmp\r\n");
    WindowSkinSettings s = ReadWindowSkin(f);
    EXPECT_EQ(s.textColor, 0u);  // decimal only: "0x10" is 0
    EXPECT_EQ(s.closeDown, f + "pressed.bmp");
    EXPECT_EQ(s.icon, f + "ico/A.ico");
    EXPECT_EQ(s.titleLeft, f + "l.bmp");
    EXPECT_EQ(s.titleRight, f + "title_right.bmp");
    EXPECT_EQ(s.topRound, 7);
    EXPECT_EQ(s.bottomRound, 3);
    EXPECT_EQ(s.borderRight, f + "r.bmp");
    EXPECT_EQ(s.borderLeft, f + "Border_left.bmp");

    WriteFile(QStringLiteral("Skin/s/Set.ini"), "[Title]\nTextColor=16711680\nCloseDownBmp=wrong.bmp\n");
    s = ReadWindowSkin(f);
    EXPECT_EQ(s.textColor, 16711680u);
    EXPECT_EQ(s.closeDown, f + "close_down.bmp");  // only the key spelt the skin's way counts
}

TEST_F(MainWindowTest, StartupPictureThenLoginPageTimerFiresOnce)
{
    CMainDlg dlg;
    QSize pictureWindow, pictureSize;
    QPointer<QWidget> firstLogin;
    int loginPagesSeen = 0;
    const int result = Run(dlg, [&] {
        ASSERT_NE(dlg.PicturePage(), nullptr);
        pictureSize = dlg.PicturePage()->size();
        pictureWindow = dlg.size();
        EXPECT_EQ(WS_GetStyle(&dlg), 0u);  // a bare rectangle during the picture
        EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::Tool));
        ASSERT_TRUE(WaitForLoginPage(dlg));
        firstLogin = dlg.LoginPage();
        QTest::qWait(150);  // several start-up periods: the timer must not come back
        loginPagesSeen = static_cast<int>(dlg.findChildren<QWidget*>().count());
        EXPECT_EQ(dlg.LoginPage(), firstLogin.data());
        EXPECT_FALSE(dlg.IsTimerActive(kTimerStartup));
        EXPECT_EQ(dlg.PicturePage(), nullptr);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Travimo"));
        EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(WS_GetStyle(&dlg), WS_STYLE_CAPTION);
        // The page sits in the client area and the window is its framed size, not resizable.
        EXPECT_EQ(firstLogin->geometry(), dlg.contentsRect());
        EXPECT_EQ(dlg.size(), FramedSize(&dlg, firstLogin->size()));
        EXPECT_GT(dlg.contentsMargins().top(), 0);
        EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
        EXPECT_TRUE(dlg.DeviceLibraryStarted());
        Exit(dlg);
    });
    EXPECT_EQ(result, IDCANCEL);
    const QSize show = QImage(PathOf(QStringLiteral("Show.bmp"))).size();
    EXPECT_EQ(pictureSize, show);
    EXPECT_EQ(pictureWindow, show);
    EXPECT_GT(loginPagesSeen, 0);
    EXPECT_EQ(firstLogin, nullptr);  // destroyed with the window
}

TEST_F(MainWindowTest, ExitEndsTheModalLoopAndClosesTheLibraries)
{
    CMainDlg dlg;
    UserRecord admin{};
    const int result = Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_EQ(USER_GetUser(10001, admin), 1);  // the store is open
        Exit(dlg);
        EXPECT_FALSE(dlg.isVisible());  // hidden at once, closed after the handler
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(USER_GetUser(10001, admin), USER_ERR_NOT_OPEN);
    EXPECT_FALSE(dlg.DeviceLibraryStarted());
    EXPECT_EQ(dlg.LoginPage(), nullptr);
    EXPECT_EQ(GetDlgItem(&dlg, IDD_LOGIN_PAGE), nullptr);
    EXPECT_EQ(g_pLoginUser, nullptr);
}

TEST_F(MainWindowTest, AProgrammaticCloseEndsTheProgramLikeExit)
{
    CMainDlg dlg;
    const int result = Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        QMetaObject::invokeMethod(&dlg, "close", Qt::QueuedConnection);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(MainWindowTest, UserStoreFailureShowsItsTextAndEnds)
{
    WriteFile(QStringLiteral("User.db"), QByteArray(4096, '\x5a'));
    CMainDlg dlg;
    QString text, caption;
    bool mainShown = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        mainShown = mainShown || dlg.isVisible();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                text = box->text();
                caption = box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    poll.start();
    dlg.DoModal();
    poll.stop();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error: "))) << text.toStdString();
    EXPECT_GT(text.size(), 7);
    EXPECT_EQ(caption, QStringLiteral("Travimo"));
    EXPECT_TRUE(dlg.InitFailed());
    EXPECT_FALSE(mainShown);
    EXPECT_EQ(dlg.LoginPage(), nullptr);
    EXPECT_EQ(dlg.PicturePage(), nullptr);
    EXPECT_FALSE(dlg.DeviceLibraryStarted());
}

TEST_F(MainWindowTest, CloseBoxHidesIntoTrayAndShowBringsTheSamePageBack)
{
    m_dialogs.trayAvailable = true;
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        ASSERT_TRUE(dlg.Tray().IsEnabled());
        EXPECT_EQ(dlg.Tray().TooltipText(), QStringLiteral("Travimo -- 未登录"));
        QWidget* page = dlg.LoginPage();
        const QRect closeBox = CSkinFrame::Of(&dlg, false)->Layout().close;
        ASSERT_FALSE(closeBox.isEmpty());
        QTest::mouseClick(&dlg, Qt::LeftButton, {}, closeBox.center());
        EXPECT_FALSE(dlg.isVisible());
        QTest::qWait(20);
        EXPECT_EQ(dlg.LoginPage(), page);  // still running, still the same page

        PostMessage(&dlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isVisible(); }, 2000));
        EXPECT_EQ(dlg.CurrentPage(), page);

        // Logged in: the close box hides, the menu's first command shows the same user page.
        UserRecord user{};
        dlg.ShowUserPages(user, QString());
        EXPECT_EQ(dlg.Tray().TooltipText(), QStringLiteral("Travimo -- 已登录"));
        QWidget* userPage = dlg.UserPage();
        SendMessage(&dlg, WM_SYSCOMMAND, SC_CLOSE);
        EXPECT_FALSE(dlg.isVisible());
        PostMessage(&dlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Tray().OpenMenu() != nullptr; }, 2000));
        QMenu* menu = dlg.Tray().OpenMenu();
        EXPECT_EQ(menu->defaultAction(), menu->actions().value(0));
        menu->actions().value(0)->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isVisible(); }, 2000));
        EXPECT_EQ(dlg.CurrentPage(), userPage);
        menu->close();
        dlg.ShowLoginPage();
        EXPECT_EQ(dlg.Tray().TooltipText(), QStringLiteral("Travimo -- 未登录"));
        Exit(dlg);
    });
    EXPECT_FALSE(dlg.Tray().IsEnabled());  // removed with the window
}

TEST_F(MainWindowTest, WithoutTrayTheCloseBoxMinimisesAndAllElseWorks)
{
    m_dialogs.trayAvailable = false;
    CMainDlg dlg;
    std::vector<int> arrived;
    QObject::connect(&dlg.DeviceLink(), &CDeviceLink::DeviceArrived, [&](int n) { arrived.push_back(n); });
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_FALSE(dlg.Tray().IsEnabled());
        EXPECT_TRUE(dlg.DeviceLibraryStarted());
        SendMessage(&dlg, WM_SYSCOMMAND, SC_CLOSE);
        EXPECT_TRUE(dlg.isVisible());  // never hidden where nothing could bring it back
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isMinimized(); }, 2000));
        SendMessage(&dlg, WM_COMMAND, ID_TRAY_SHOWHIDE);
        EXPECT_FALSE(dlg.isMinimized());
        dlg.HideBalloon();
        dlg.DeviceLink().RestartTimer(kTimerHideBalloon, 1);
        PostMessage(&dlg, WM_DEVICE_ARRIVED, 123456);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !arrived.empty(); }, 2000));
        UserRecord user{};
        dlg.ShowUserPages(user, QString());
        EXPECT_NE(dlg.UserPage(), nullptr);
        Exit(dlg);
    });
    EXPECT_EQ(arrived, std::vector<int>{123456});
}

TEST_F(MainWindowTest, MinimumSizeOnlyWhileLoggedIn)
{
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        const QSize loginSize = dlg.size();
        EXPECT_EQ(dlg.minimumSize(), loginSize);
        EXPECT_EQ(dlg.maximumSize(), loginSize);
        QPointer<QWidget> login = dlg.LoginPage();

        UserRecord user{};
        g_pMainWindow->ShowUserPages(user, QString());
        QWidget* page = dlg.UserPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(CtrlId(page), IDD_NAV_PANEL);
        // 868 x 500 in its frame, as far as the screen allows.
        const QRect area = dlg.screen()->availableGeometry();
        EXPECT_EQ(dlg.size(), CentredWindowRect(FramedSize(&dlg, QSize(868, 500)), QSize(530, 480), area).size());
        EXPECT_EQ(page->geometry(), dlg.contentsRect());
        EXPECT_EQ(dlg.minimumSize(), QSize(530, 480));
        EXPECT_GT(dlg.maximumSize().width(), 2000);
        EXPECT_EQ(WS_GetStyle(&dlg), WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.LoginPage(), nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return login.isNull(); }, 2000));

        // Dragging the bottom-right corner far inwards stops at the minimum.
        const QPoint corner(dlg.width() - 1, dlg.height() - 1);
        QTest::mousePress(&dlg, Qt::LeftButton, {}, corner);
        QTest::mouseMove(&dlg, corner - QPoint(800, 800));
        QTest::mouseRelease(&dlg, Qt::LeftButton, {}, corner - QPoint(800, 800));
        EXPECT_EQ(dlg.size(), QSize(530, 480));
        EXPECT_EQ(page->geometry(), dlg.contentsRect());  // the page follows the window

        QPointer<QWidget> oldUser = page;
        g_pMainWindow->ShowLoginPage();
        EXPECT_EQ(WS_GetStyle(&dlg), WS_STYLE_CAPTION);
        EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
        EXPECT_EQ(dlg.size(), FramedSize(&dlg, dlg.LoginPage()->size()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return oldUser.isNull(); }, 2000));

        // A second login builds a fresh user page.
        g_pMainWindow->ShowUserPages(user, QString());
        EXPECT_NE(dlg.UserPage(), nullptr);
        Exit(dlg);
    });
}

TEST_F(MainWindowTest, PagesReplacedFromTheirOwnHandlersLiveUntilTheHandlerReturns)
{
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        UserRecord user{};
        dlg.ShowUserPages(user, QString());
        auto* logout = new QPushButton(QStringLiteral("logout"), dlg.UserPage());
        QPointer<QWidget> page = dlg.UserPage();
        QObject::connect(logout, &QPushButton::clicked, logout, [logout] {
            g_pMainWindow->ShowLoginPage();
            logout->setText(QStringLiteral("still alive"));  // the page is still there
            logout->parentWidget()->update();
        });
        logout->click();
        EXPECT_NE(dlg.LoginPage(), nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return page.isNull(); }, 2000));

        // And the device login from the login page's own handler.
        auto* device = new QPushButton(QStringLiteral("device"), dlg.LoginPage());
        QPointer<QWidget> login = dlg.LoginPage();
        QObject::connect(device, &QPushButton::clicked, device, [device, &user] {
            g_pMainWindow->ShowUserPages(user, QString());
            device->setText(QStringLiteral("still alive"));
        });
        device->click();
        EXPECT_NE(dlg.UserPage(), nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return login.isNull(); }, 2000));
        Exit(dlg);
    });
}

TEST_F(MainWindowTest, PedometerMessagesAndTheBalloonClickReachTheDeviceLink)
{
    CMainDlg dlg;
    std::vector<std::string> calls;
    CDeviceLink& link = dlg.DeviceLink();
    QObject::connect(&link, &CDeviceLink::DeviceArrived, [&](int n) { calls.push_back("arrived " + std::to_string(n)); });
    QObject::connect(&link, &CDeviceLink::BlankDeviceArrived, [&] { calls.push_back("blank"); });
    QObject::connect(&link, &CDeviceLink::DeviceRemoved, [&] { calls.push_back("removed"); });
    // The balloon click opens the create dialog for the pedometer's number; it is cancelled here.
    m_dialogs.runDialog = [&](QDialog& d) {
        calls.push_back(d.metaObject()->className());
        return IDCANCEL;
    };
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        PostMessage(&dlg, WM_DEVICE_ARRIVED, 300123);  // a number without an account: the balloon offers one
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.NewUserPending(); }, 2000));
        PostMessage(&dlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, NIN_BALLOONUSERCLICK);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !link.NewUserPending(); }, 2000));
        PostMessage(&dlg, WM_DEVICE_BLANK);
        PostMessage(&dlg, WM_DEVICE_REMOVED);
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls.size() == 4; }, 2000));
        Exit(dlg);
    });
    EXPECT_EQ(calls, (std::vector<std::string>{"arrived 300123", "CNewUserDlg", "blank", "removed"}));
}

TEST_F(MainWindowTest, AboutComesFromTheCaptionIconMenuAndTheSystemCommand)
{
    CMainDlg dlg;
    QString version;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<CAboutDlg*>(w); about && about->isVisible()) {
                if (auto* label = GetDlgItemAs<QLabel>(about, IDC_ABOUT_VERSION))
                    version = label->text();
                about->accept();
            }
        }
    });
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        QMenu* menu = WS_GetSystemMenu(&dlg);
        ASSERT_NE(menu, nullptr);
        QAction* entry = nullptr;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                entry = a;
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(), QStringLiteral("关于 Travimo..."));
        poll.start();
        entry->trigger();
        EXPECT_EQ(version, QStringLiteral("Travimo v2.0 版"));
        version.clear();
        PostMessage(&dlg, WM_SYSCOMMAND, IDM_ABOUTBOX);  // the toolbar's about button
        EXPECT_TRUE(QTest::qWaitFor([&] { return !version.isEmpty(); }, 3000));
        poll.stop();
        Exit(dlg);
    });
}

TEST_F(MainWindowTest, LoginAndDeviceRecordsAreReleasedAtTheEnd)
{
    {
        CMainDlg dlg;
        Run(dlg, [&] {
            ASSERT_TRUE(WaitForLoginPage(dlg));
            SetLoginUser(UserRecord{});  // as the login page makes it
            Exit(dlg);
        });
        EXPECT_EQ(g_pLoginUser, nullptr);  // released (the leak checker watches)
    }
    {
        CMainDlg dlg;
        Run(dlg, [&] {
            ASSERT_TRUE(WaitForLoginPage(dlg));
            PostMessage(&dlg, WM_DEVICE_ARRIVED, 10001);  // the administrator's pedometer
            ASSERT_TRUE(QTest::qWaitFor([&] { return g_pDeviceUser != nullptr; }, 2000));
            EXPECT_EQ(dlg.DeviceLink().LoginAsDeviceUser(), 1);
            ASSERT_NE(g_pLoginUser, nullptr);
            EXPECT_NE(g_pLoginUser, g_pDeviceUser);  // two records, two owners
            Exit(dlg);
        });
        EXPECT_EQ(g_pLoginUser, nullptr);
        EXPECT_EQ(g_pDeviceUser, nullptr);
    }
}

TEST_F(MainWindowTest, ASkinWithoutSetIniStillDressesTheFrame)
{
    QFile::remove(SkinIniPath());
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_GT(dlg.contentsMargins().top(), 0);
        EXPECT_GT(dlg.contentsMargins().left(), 0);
        const SkinLayout l = CSkinFrame::Of(&dlg, false)->Layout();
        EXPECT_FALSE(l.close.isEmpty());
        EXPECT_FALSE(l.min.isEmpty());
        EXPECT_TRUE(l.max.isEmpty());  // the login page can't be maximised
        Exit(dlg);
    });
}

TEST_F(MainWindowTest, MissingSkinFolderWearsTheBuiltInSkin)
{
    g_strSkinName = QStringLiteral("没有");
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_EQ(dlg.contentsMargins(), QMargins(4, 32, 4, 4));
        EXPECT_EQ(dlg.LoginPage()->geometry(), dlg.contentsRect());
        Exit(dlg);
    });
}

}  // namespace
