// The chart page's day list menu: "Export this month…" writes the month shown.
#include "tests/charts/DayPageFixture.h"

#include "tests/support/TestDialogs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

TEST_F(DayDetailTest, DayListMenuExportsTheShownMonth)
{
    Store(QuietDay(2026, 3, 1));
    Store(QuietDay(2026, 3, 3, 245, 13));
    Store(QuietDay(2026, 4, 2));
    OpenPage();
    Pick(QDate(2026, 3, 3));

    TestDialogService dialogs;
    dialogs.boxAnswer = QMessageBox::Ok;
    const QTemporaryDir out;
    dialogs.saveFileName = [&](const QString&, const QStringList&, int& filter) {
        filter = 0;  // CSV
        return out.filePath("month");
    };
    // The menu key on the list opens the menu; its one entry is chosen.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("导出本月数据…"));
        menu->setActiveAction(menu->actions()[0]);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    CSkinListCtrl* list = page->GetDayList();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(4, 4), list->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(list, &key);

    EXPECT_EQ(dialogs.messages, QStringList{"共导出记录 2 条。"});
    EXPECT_TRUE(dialogs.savePrompts.value(0).endsWith("/小明-2026-03"));
    QFile csv(out.filePath("month.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);  // headings, two days, the end
    EXPECT_TRUE(lines[1].startsWith("2026-03-01,1000,0.70,"));
    EXPECT_TRUE(lines[2].startsWith("2026-03-03,1000,0.70,"));
}
