// The main window as a person meets it: kept on the screen, the start-up picture faded in and
// then held, a fatal error ending the program with a failure status, and dialogs that leave
// the tray usable, cannot be minimised, and go when the program is ended from the tray.

#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/Placement.h"
#include "app/StepApp.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinFrame.h"
#include "res/resource.h"
#include "tests/support/ProgramFolder.h"
#include "tests/app/ShellFixture.h"
#include "tests/support/TestDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

TEST(WindowPlacement, StaysInsideTheAreaAndShrinksOnlyAsFarAsItMust)
{
    const QRect area(0, 0, 800, 476);  // a 1600 x 1000 screen at 200 %, less a panel
    // The logged-in window (876 x 536) centred: it used to start at (-38, -30).
    EXPECT_EQ(CentredWindowRect({876, 536}, {530, 480}, area), QRect(0, 0, 800, 476));
    EXPECT_EQ(CentredWindowRect({448, 336}, {448, 336}, area), QRect(176, 70, 448, 336));
    // Moved back in from every side, at its own size when it fits.
    EXPECT_EQ(FitWindowRect(QRect(-300, -50, 400, 300), {}, area), QRect(0, 0, 400, 300));
    EXPECT_EQ(FitWindowRect(QRect(700, 400, 400, 300), {}, area), QRect(400, 176, 400, 300));
    EXPECT_EQ(FitWindowRect(QRect(10, 20, 400, 300), {}, area), QRect(10, 20, 400, 300));
    // Too large: as large as the area, but the minimum holds where the area allows it.
    EXPECT_EQ(FitWindowRect(QRect(5, 5, 2000, 2000), {530, 480}, QRect(0, 0, 1024, 768)), QRect(0, 0, 1024, 768));
    EXPECT_EQ(FitWindowRect(QRect(5, 5, 300, 300), {530, 480}, QRect(0, 0, 1024, 768)), QRect(5, 5, 530, 480));
    // A screen smaller than the minimum: the screen wins.
    EXPECT_EQ(FitWindowRect(QRect(0, 0, 876, 536), {530, 480}, QRect(0, 0, 500, 400)), QRect(0, 0, 500, 400));
    // A second screen to the right and below; an unknown (empty) area leaves the window alone.
    EXPECT_EQ(FitWindowRect(QRect(100, 100, 400, 300), {}, QRect(1920, 200, 1280, 1024)),
              QRect(1920, 200, 400, 300));
    EXPECT_EQ(FitWindowRect(QRect(-9, -9, 40, 40), {}, QRect()), QRect(-9, -9, 40, 40));
}

class ShellTest : public ShellFixture {
protected:
    static bool Inside(const QRect& outer, const QRect& inner) { return outer.contains(inner); }
};

TEST_F(ShellTest, EveryPlacementKeepsTheWindowOnTheScreen)
{
    m_dialogs.trayAvailable = true;
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        const QRect area = dlg.screen()->availableGeometry();
        EXPECT_TRUE(Inside(area, dlg.frameGeometry()));
        UserRecord user{};
        dlg.ShowUserPages(user, QString());
        // The offscreen screen is narrower than the logged-in window: it is shrunk, not pushed off.
        ASSERT_LT(area.width(), 876);
        EXPECT_TRUE(Inside(area, dlg.frameGeometry())) << dlg.frameGeometry().x() << "," << dlg.frameGeometry().y();
        EXPECT_EQ(dlg.width(), area.width());
        EXPECT_GE(dlg.height(), 480);
        EXPECT_EQ(dlg.UserPage()->geometry(), dlg.contentsRect());
        // Hidden in the tray after being dragged half off the screen: it comes back whole.
        dlg.move(area.right() - 100, area.bottom() - 50);
        SendMessage(&dlg, WM_SYSCOMMAND, SC_CLOSE);
        PostMessage(&dlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.isVisible(); }, 2000));
        EXPECT_TRUE(Inside(area, dlg.frameGeometry()));
        dlg.ShowLoginPage();
        EXPECT_TRUE(Inside(area, dlg.frameGeometry()));
        SendMessage(&dlg, WM_COMMAND, ID_TRAY_EXIT);
    });
}

TEST_F(ShellTest, TheStartupPictureFadesInAndThenHoldsItsFullTime)
{
    Timings().fade = 150;
    Timings().startupPicture = 250;
    CMainDlg dlg;
    QElapsedTimer clock;
    bool timerDuringFade = true;
    qint64 loginAfter = 0;
    clock.start();
    Run(dlg, [&] {
        // Still fading in: the holding time has not begun.
        QTest::qWait(60);
        timerDuringFade = dlg.IsTimerActive(kTimerStartup);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.LoginPage() != nullptr; }, 5000));
        loginAfter = clock.elapsed();
        SendMessage(&dlg, WM_COMMAND, ID_TRAY_EXIT);
    });
    EXPECT_FALSE(timerDuringFade);
    // Fade in, hold, fade out.
    EXPECT_GE(loginAfter, 150 + 250 + 150);
}

TEST_F(ShellTest, AFatalErrorEndsTheProgramWithAFailureStatus)
{
    WriteFile(QStringLiteral("User.db"), QByteArray(4096, '\x5a'));
    m_dialogs.boxAnswer = QMessageBox::Ok;
    EXPECT_EQ(CStepApp::RunMainWindow(), kExitFatalError);
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_TRUE(m_dialogs.messages[0].startsWith(QStringLiteral("Error: ")));
    QFile::remove(PathOf(QStringLiteral("User.db")));
    m_dialogs.boxAnswer.reset();
}

TEST_F(ShellTest, DialogsLeaveTheTrayUsableCannotBeMinimisedAndEndWithTheProgram)
{
    m_dialogs.trayAvailable = true;
    // A top-level window of its own, as the desktop's tray icon is.
    QWidget trayIcon;
    auto* button = new QPushButton(QStringLiteral("tray"), &trayIcon);
    button->setGeometry(0, 0, 60, 30);
    int trayClicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++trayClicks; });
    trayIcon.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&trayIcon));

    CMainDlg dlg;
    Qt::WindowFlags aboutFlags, boxFlags;
    bool shownWhileOpen = false, aboutBackFromMinimised = false;
    SkinLayout aboutFrame, boxFrame;
    QElapsedTimer clock;
    QTimer rescue;  // should the exit fail to end the dialogs, the test still ends (and fails)
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [] {
        while (QWidget* m = QApplication::activeModalWidget())
            m->close();
    });
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        QTimer::singleShot(0, &dlg, [&] {  // inside the about box's loop
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            aboutFlags = about->windowFlags();
            if (CSkinFrame* f = CSkinFrame::Of(about, false))
                aboutFrame = f->Layout();
            // A window manager that minimises it anyway: it comes straight back.
            about->showMinimized();
            aboutBackFromMinimised = QTest::qWaitFor([&] { return !about->isMinimized(); }, 2000) && !dlg.isMinimized();
            QTest::mouseClick(trayIcon.windowHandle(), Qt::LeftButton, {}, QPoint(20, 15));
            // The tray's show command reaches the window hidden behind the open dialog.
            dlg.hide();
            PostMessage(&dlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
            shownWhileOpen = QTest::qWaitFor([&] { return dlg.isVisible(); }, 2000);
            QTimer::singleShot(0, &dlg, [&] {  // inside a message box's loop, over the about box
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    boxFlags = box->windowFlags();
                    if (CSkinFrame* f = CSkinFrame::Of(box, false))
                        boxFrame = f->Layout();
                }
                // Exit from the tray: the open dialogs end first, then the program.
                clock.start();
                rescue.start(5000);
                SendMessage(&dlg, WM_COMMAND, ID_TRAY_EXIT);
            });
            ShowMessageBox(about, QStringLiteral("?"));
        });
        SendMessage(&dlg, WM_SYSCOMMAND, IDM_ABOUTBOX);
    });
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(trayClicks, 1);
    EXPECT_TRUE(shownWhileOpen);
    EXPECT_TRUE(aboutBackFromMinimised);
    // Both wear the skin's frame with a close button and nothing else.
    for (const SkinLayout& frame : {aboutFrame, boxFrame}) {
        EXPECT_FALSE(frame.close.isEmpty());
        EXPECT_TRUE(frame.min.isEmpty());
        EXPECT_TRUE(frame.max.isEmpty());
    }
    // Nor does the window manager's frame offer them.
    for (Qt::WindowFlags f : {aboutFlags, boxFlags}) {
        EXPECT_TRUE(f.testFlag(Qt::FramelessWindowHint));
        EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint));
    }
}

}  // namespace
