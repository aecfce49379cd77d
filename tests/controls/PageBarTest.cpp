// The page tab bar: insertion and selection rules, command ids, layout and painting.

#include "TestImages.h"
#include "controls/PageBarWnd.h"
#include "controls/SkinButton.h"
#include "core/DlgItem.h"

#include <gtest/gtest.h>

#include <QPixmap>

namespace {

QIcon SolidIcon(QColor c)
{
    QPixmap pm(32, 32);
    pm.fill(c);
    return QIcon(pm);
}

class PageBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bar.resize(300, 200);
        m_bar.show();
    }
    QWidget* NewPage() { return new QWidget(&m_bar); }
    int Add(int index, QWidget* page, const QString& tip = QStringLiteral("页"))
    {
        return m_bar.AddPage(index, QString(), SolidIcon(Qt::red), tip, page);
    }
    CPageBarWnd m_bar;
};

}  // namespace

TEST_F(PageBarTest, FirstPageSelectedAndAnInsertBeforeItKeepsItShown)
{
    QWidget* a = NewPage();
    EXPECT_EQ(Add(0, a), 0);
    EXPECT_EQ(m_bar.GetCurSel(), 0);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->geometry(), QRect(45, 2, 300 - 43 - 4, 196));

    QWidget* b = NewPage();
    EXPECT_EQ(Add(0, b), 0);
    EXPECT_EQ(m_bar.GetCurSel(), 1);
    EXPECT_EQ(m_bar.Page(1), a);
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(b->isVisible());

    // Buttons stack in display order, 38 x 38, 43 apart; the shown page's ignores the mouse.
    EXPECT_EQ(m_bar.Button(0)->geometry(), QRect(2, 2, 38, 38));
    EXPECT_EQ(m_bar.Button(1)->geometry(), QRect(2, 45, 38, 38));
    EXPECT_FALSE(m_bar.Button(1)->IsMouseEnabled());
    EXPECT_TRUE(m_bar.Button(0)->IsMouseEnabled());
    EXPECT_EQ(m_bar.Button(0)->accessibleName(), QStringLiteral("页"));  // icon only: known by its tooltip

    // A resize keeps the shown page filling the page area.
    m_bar.resize(400, 250);
    EXPECT_EQ(a->geometry(), QRect(45, 2, 400 - 43 - 4, 246));
}

TEST_F(PageBarTest, AnIndexBeyondTheCountOrNegativeAppends)
{
    Add(0, NewPage());
    QWidget* c = NewPage();
    EXPECT_EQ(Add(99, c), 1);
    EXPECT_EQ(m_bar.Page(1), c);
    QWidget* d = NewPage();
    EXPECT_EQ(Add(-3, d), 2);
    EXPECT_EQ(m_bar.Page(2), d);
    EXPECT_EQ(m_bar.GetCurSel(), 0);
    EXPECT_FALSE(c->isVisible());
}

TEST_F(PageBarTest, CommandIdsFollowTheAddOrderAndOnlyKnownIdsSwitch)
{
    QWidget* a = NewPage();
    QWidget* b = NewPage();
    Add(0, a);
    Add(0, b);  // second call: id 1002, shown first in the strip
    EXPECT_EQ(CtrlId(m_bar.Button(0)), 1002);
    EXPECT_EQ(CtrlId(m_bar.Button(1)), 1001);

    m_bar.OnCommand(1050);  // no such entry
    m_bar.OnCommand(999);
    EXPECT_EQ(m_bar.GetCurSel(), 1);
    m_bar.Button(0)->click();
    EXPECT_EQ(m_bar.GetCurSel(), 0);
    EXPECT_TRUE(b->isVisible());
    EXPECT_FALSE(a->isVisible());
    m_bar.SelectPage(7);  // names no page
    EXPECT_EQ(m_bar.GetCurSel(), 0);
    EXPECT_TRUE(b->isVisible());
}

TEST_F(PageBarTest, TheHundredAndFirstButtonIsOutsideTheHandledRange)
{
    std::vector<QWidget*> pages;
    for (int i = 0; i < 101; ++i) {
        pages.push_back(NewPage());
        Add(-1, pages.back());
    }
    EXPECT_EQ(CtrlId(m_bar.Button(100)), 1101);
    EXPECT_EQ(CtrlId(m_bar.Button(99)), 1100);
    m_bar.Button(100)->click();
    EXPECT_EQ(m_bar.GetCurSel(), 0);
    m_bar.Button(99)->click();
    EXPECT_EQ(m_bar.GetCurSel(), 99);
}

TEST_F(PageBarTest, EmptyBarSaysAddAPageNearItsTopLeft)
{
    const QImage img = Shot(m_bar);
    // The text's dark pixels all lie right of and below (25, 25), within the first line.
    QRect ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 80)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 25);
    EXPECT_LE(ink.left(), 28);
    EXPECT_GE(ink.top(), 25);
    EXPECT_LE(ink.bottom(), 25 + 16);
    EXPECT_GT(ink.width(), 40);  // five characters, not a stray dot
}

TEST_F(PageBarTest, SelectedCellOpensIntoThePageArea)
{
    m_bar.SetTransparent(false);
    m_bar.SetPageColour(0xFFFDFF);
    m_bar.SetFrameColour(0x99A8AC);
    Add(-1, NewPage());
    Add(-1, NewPage());
    m_bar.SelectPage(1);
    for (int i = 0; i < 2; ++i)
        m_bar.Page(i)->hide();  // look at the bar's own paint
    const QImage img = Shot(m_bar);
    const int cell = CPageBarWnd::kCellSize;
    EXPECT_EQ(PixelRef(img, cell, 5), 0x99A8ACu);             // the frame beside the other cell
    EXPECT_EQ(PixelRef(img, cell, cell + 20), 0xFFFDFFu);     // open beside the selected cell
    EXPECT_EQ(PixelRef(img, 0, cell + 20), 0x99A8ACu);        // its left edge
    EXPECT_EQ(PixelRef(img, 20, cell), 0x99A8ACu);            // its top edge
    EXPECT_EQ(PixelRef(img, 20, 2 * cell - 1), 0x99A8ACu);    // its bottom edge
    EXPECT_EQ(PixelRef(img, 20, 2 * cell + 10), SysColour::BtnFace);  // the strip below
}
