// The tray icon: creation where no notification area exists, texts cut to the
// icon record's limits, notifications and the menu.

#include "core/StringTable.h"
#include "app/SystemTray.h"
#include "external/records/WndMessage.h"
#include "res/resource.h"
#include "tests/support/TestDialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWidget>

namespace {

class MessageSink : public QWidget {
public:
    std::vector<std::tuple<int, uintptr_t, intptr_t>> received;

protected:
    bool event(QEvent* e) override
    {
        if (auto* m = dynamic_cast<CWndMessage*>(e)) {
            received.emplace_back(m->message(), m->wParam(), m->lParam());
            return true;
        }
        return QWidget::event(e);
    }
};

struct TrayOverride : TestDialogService {
    explicit TrayOverride(std::optional<bool> v) { trayAvailable = v; }
};

TEST(TrayText, CutsToCharactersWithoutSplittingOne)
{
    EXPECT_EQ(CutToChars(QString(200, QLatin1Char('a')), kTrayTipChars).size(), 127);
    EXPECT_EQ(CutToChars(QStringLiteral("短文本"), kTrayTipChars), QStringLiteral("短文本"));
    const QString chinese = QString(300, QChar(0x6B65));
    EXPECT_EQ(CutToChars(chinese, kTrayBalloonTextChars), QString(255, QChar(0x6B65)));
    // A character outside the basic plane is two UTF-16 units: kept whole or dropped whole.
    const QString wide = QString::fromUcs4(U"\U0001F463");
    QString text = QString(62, QLatin1Char('x')) + wide + wide;
    const QString cut = CutToChars(text, kTrayBalloonTitleChars);
    EXPECT_EQ(cut, QString(62, QLatin1Char('x')) + wide);
    EXPECT_EQ(CutToChars(QString(62, QLatin1Char('x')) + QStringLiteral("y") + wide, 63), QString(62, QLatin1Char('x')) + QStringLiteral("y"));
    EXPECT_EQ(CutToChars(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(CutToChars(QString(), 10), QString());
}

TEST(Tray, WithoutNotificationAreaNothingIsUsed)
{
    TrayOverride none(false);
    MessageSink parent;
    CSystemTray tray;
    EXPECT_FALSE(tray.Create(&parent, WM_TRAY_NOTIFY, QStringLiteral("Travimo -- 未登录"), QIcon(), IDR_TRAY_MENU));
    EXPECT_FALSE(tray.IsEnabled());
    tray.SetTooltipText(QStringLiteral("tip"));
    tray.ShowBalloon(QStringLiteral("text"), QStringLiteral("title"), 10000, NIIF_INFO);
    tray.SetIcon(QIcon());
    tray.TrackMenu(QPoint(10, 10));
    EXPECT_TRUE(tray.TooltipText().isEmpty());
    EXPECT_TRUE(tray.BalloonText().isEmpty());
    EXPECT_EQ(tray.OpenMenu(), nullptr);
    EXPECT_FALSE(tray.OnTrayNotification(IDR_TRAY_MENU, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(tray.Geometry().isEmpty());
    tray.RemoveIcon();
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.received.empty());
}

TEST(Tray, IconRecordKeepsCutTextsAndBalloonSettings)
{
    TrayOverride present(true);
    MessageSink parent;
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(&parent, WM_TRAY_NOTIFY, QString(300, QLatin1Char('t')), QIcon(), IDR_TRAY_MENU));
    EXPECT_EQ(tray.TooltipText().size(), 127);
    tray.SetTooltipText(QStringLiteral("Travimo -- 已登录"));
    EXPECT_EQ(tray.TooltipText(), QStringLiteral("Travimo -- 已登录"));
    tray.ShowBalloon(QString(400, QLatin1Char('b')), QString(100, QLatin1Char('h')), 10000, NIIF_INFO);
    EXPECT_EQ(tray.BalloonText().size(), 255);
    EXPECT_EQ(tray.BalloonTitle().size(), 63);
    EXPECT_EQ(tray.BalloonTimeout(), 10000);
    EXPECT_EQ(tray.BalloonIcon(), NIIF_INFO);
    tray.ShowBalloon(QString(), QString(), 10000, NIIF_INFO);  // hides it
    EXPECT_TRUE(tray.BalloonText().isEmpty());
    EXPECT_TRUE(tray.BalloonTitle().isEmpty());
    tray.RemoveIcon();
    EXPECT_FALSE(tray.IsEnabled());
    tray.SetTooltipText(QStringLiteral("after removal"));
    EXPECT_EQ(tray.TooltipText(), QStringLiteral("Travimo -- 已登录"));
}

TEST(Tray, DoubleClickSendsTheFirstCommandAndTheMenuPostsCommands)
{
    TrayOverride present(true);
    MessageSink parent;
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(&parent, WM_TRAY_NOTIFY, QStringLiteral("tip"), QIcon(), IDR_TRAY_MENU));
    EXPECT_FALSE(tray.OnTrayNotification(99, WM_LBUTTONDBLCLK));  // another icon's
    EXPECT_TRUE(parent.received.empty());
    EXPECT_TRUE(tray.OnTrayNotification(IDR_TRAY_MENU, WM_LBUTTONDBLCLK));
    ASSERT_EQ(parent.received.size(), 1u);
    EXPECT_EQ(parent.received[0], std::make_tuple(WM_COMMAND, uintptr_t(ID_TRAY_SHOWHIDE), intptr_t(0)));

    EXPECT_TRUE(tray.OnTrayNotification(IDR_TRAY_MENU, WM_RBUTTONUP));
    QMenu* menu = tray.OpenMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("显示/隐藏"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("退出(&X)"));
    EXPECT_EQ(menu->defaultAction(), actions[0]);
    EXPECT_TRUE(actions[0]->font().bold());
    actions[1]->trigger();
    EXPECT_EQ(parent.received.size(), 1u);  // posted, not sent: arrives after the menu's handler
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.received.size(), 2u);
    EXPECT_EQ(parent.received[1], std::make_tuple(WM_COMMAND, uintptr_t(ID_TRAY_EXIT), intptr_t(0)));
    menu->close();
}

}  // namespace
