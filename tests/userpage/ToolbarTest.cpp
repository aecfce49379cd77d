// The toolbar strip: the row from x = 150, a missing icon, the first layout and refresh.

#include "tests/userpage/UserPageFixture.h"

#include "controls/SkinButton.h"
#include "core/DlgItem.h"
#include "res/resource.h"
#include "userpage/ToolbarDlg.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

class ToolbarTest : public UserPageTest {};

// A page that paints its own background green over a magenta palette.
class GreenPage : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(10, 200, 30)); }
};

void ExpectRowFrom150(const CToolbarDlg& bar)
{
    int x = CToolbarDlg::kRowLeft;
    for (int id : CToolbarDlg::kRowOrder) {
        const CSkinButton* b = bar.Button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->x(), x) << id;
        EXPECT_EQ(b->y(), CToolbarDlg::kButtonTop) << id;
        EXPECT_EQ(b->size(), CToolbarDlg::kButtonSize) << id;
        x += b->width();
    }
}

}  // namespace

TEST_F(ToolbarTest, RowStartsAt150WhateverTheWidthAndShowsAfterItsTimer)
{
    QWidget host;
    host.resize(1200, 100);
    host.show();
    CToolbarDlg bar(&host);
    bar.hide();
    bar.setGeometry(8, 8, 852, CToolbarDlg::kHeight);
    EXPECT_FALSE(bar.Button(IDC_TB_USB)->isVisibleTo(&bar));  // hidden until the first layout
    QTRY_VERIFY_WITH_TIMEOUT(!bar.FirstLayoutPending(), 2000);
    EXPECT_TRUE(bar.isVisible());
    for (int id : CToolbarDlg::kRowOrder)
        EXPECT_TRUE(bar.Button(id)->isVisible()) << id;
    ExpectRowFrom150(bar);
    for (int w : {1184, 400, 60}) {
        bar.resize(w, CToolbarDlg::kHeight);
        ExpectRowFrom150(bar);
    }

    QSignalSpy commands(&bar, &CToolbarDlg::Command);
    bar.Button(IDC_TB_SETTINGS)->click();
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][0].toInt(), IDC_TB_SETTINGS);
    EXPECT_EQ(bar.Button(IDC_TB_USB)->text(), QStringLiteral("USB"));
    EXPECT_EQ(bar.Button(IDC_TB_USB)->GetTipText(), QStringLiteral("查看USB设备"));
    EXPECT_TRUE(bar.Button(IDC_TB_USB)->HasIcon());
}

TEST_F(ToolbarTest, AMissingIconKeepsTheButtonsPlace)
{
    const QString setIni = QStringLiteral("Skin/标准/Set.ini");
    QByteArray text = ReadFile(setIni);
    ASSERT_TRUE(text.contains("PrintIcon=BigToolbar_Print.ico"));
    WriteFile(setIni, text.replace("PrintIcon=BigToolbar_Print.ico", "PrintIcon=NoSuchIcon.ico"));
    CToolbarDlg bar;
    bar.resize(852, CToolbarDlg::kHeight);
    bar.LayoutButtons();
    // The skin's missing picture comes from the built-in skin; other keys keep theirs.
    EXPECT_TRUE(bar.Button(IDC_TB_PRINT)->HasIcon());
    EXPECT_TRUE(bar.Button(IDC_TB_SETTINGS)->HasIcon());
    ExpectRowFrom150(bar);
    // A button with no icon at all still holds its place in the row.
    bar.Button(IDC_TB_PRINT)->SetIconImage(QIcon(), CToolbarDlg::kIconSize, CToolbarDlg::kIconSize);
    ASSERT_FALSE(bar.Button(IDC_TB_PRINT)->HasIcon());
    bar.resize(900, CToolbarDlg::kHeight);
    ExpectRowFrom150(bar);
}

TEST_F(ToolbarTest, ButtonsShowThePagePaintedUnderTheStrip)
{
    GreenPage page;
    QPalette pal = page.palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    page.setPalette(pal);
    page.resize(900, 120);
    CToolbarDlg bar(&page);
    bar.setGeometry(8, 40, 852, CToolbarDlg::kHeight);
    page.show();
    bar.LayoutButtons();
    bar.Refresh();
    QImage shot(page.size(), QImage::Format_RGB32);
    page.render(&shot);
    // A button's corner, away from its icon and caption: the page's green, not a plain fill.
    const QPoint corner = bar.Button(IDC_TB_PRINT)->geometry().topLeft() + QPoint(8 + 2, 40 + 2);
    EXPECT_EQ(shot.pixel(corner) & 0xFFFFFF, qRgb(10, 200, 30) & 0xFFFFFF);
}
