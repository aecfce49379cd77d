#include "TestImages.h"
#include "controls/SkinListCtrl.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <random>

namespace {

struct Change {
    int row;
    unsigned oldState, newState;
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_list.resize(400, 300);
        m_list.InsertColumn(0, "编号", CSkinListCtrl::FormatLeft, 80);
        m_list.InsertColumn(1, "姓名", CSkinListCtrl::FormatLeft, 120);
        m_list.InsertColumn(2, "体重", CSkinListCtrl::FormatRight, 100);
        QObject::connect(&m_list, &CSkinListCtrl::ItemChanged,
                         [this](int row, unsigned o, unsigned n) { m_changes.push_back({row, o, n}); });
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i) {
            const int r = m_list.InsertItem(m_list.GetItemCount(), QString::number(1000 + i), 0);
            m_list.SetItemText(r, 1, QStringLiteral("用户%1").arg(i));
            m_list.SetItemText(r, 2, QString::number(50 + i));
        }
    }
    CSkinListCtrl m_list;
    std::vector<Change> m_changes;
};

}  // namespace

TEST_F(ListTest, ColumnsInsertDeleteAndRead)
{
    EXPECT_EQ(m_list.GetColumnCount(), 3);
    EXPECT_EQ(m_list.GetColumnText(1), QString("姓名"));
    EXPECT_EQ(m_list.GetColumnFormat(2), CSkinListCtrl::FormatRight);
    EXPECT_EQ(m_list.GetColumnWidth(0), 80);
    Fill(2);
    EXPECT_EQ(m_list.InsertColumn(1, "性别", CSkinListCtrl::FormatCenter, 40), 1);
    EXPECT_EQ(m_list.GetColumnText(2), QString("姓名"));
    EXPECT_EQ(m_list.GetColumnWidth(2), 120);
    EXPECT_EQ(m_list.GetColumnFormat(1), CSkinListCtrl::FormatCenter);
    EXPECT_EQ(m_list.GetItemText(0, 2), QString("用户0"));
    EXPECT_EQ(m_list.GetItemText(0, 1), QString());
    EXPECT_TRUE(m_list.DeleteColumn(1));
    EXPECT_EQ(m_list.GetColumnText(1), QString("姓名"));
    EXPECT_EQ(m_list.GetItemText(1, 1), QString("用户1"));
    EXPECT_EQ(m_list.GetColumnWidth(1), 120);
    EXPECT_FALSE(m_list.DeleteColumn(5));
    EXPECT_FALSE(m_list.DeleteColumn(-1));
    // Out of range reads are empty, as the export's eighth column needs.
    EXPECT_EQ(m_list.GetColumnText(7), QString());
    EXPECT_EQ(m_list.GetItemText(0, 7), QString());
    EXPECT_EQ(m_list.GetItemText(9, 0), QString());
    EXPECT_EQ(m_list.GetItemText(-1, 0), QString());
}

TEST_F(ListTest, RowsDataAndImages)
{
    int a = 1, b = 2;
    EXPECT_EQ(m_list.InsertItem(99, "x"), 0);  // clamped to the end
    EXPECT_EQ(m_list.InsertItem(0, "y", 0), 0);
    EXPECT_EQ(m_list.GetItemText(1, 0), QString("x"));
    EXPECT_TRUE(m_list.SetItemData(0, &a));
    EXPECT_TRUE(m_list.SetItemData(1, &b));
    EXPECT_EQ(m_list.GetItemDataAs<int>(1), &b);
    EXPECT_EQ(m_list.FindItemByData(&a), 0);
    EXPECT_EQ(m_list.GetItemData(5), nullptr);
    EXPECT_FALSE(m_list.SetItemData(5, &a));
    EXPECT_EQ(m_list.GetItemImage(0), 0);
    EXPECT_EQ(m_list.GetItemImage(1), -1);
    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_EQ(m_list.GetItemCount(), 1);
    EXPECT_EQ(m_list.GetItemDataAs<int>(0), &b);
    EXPECT_FALSE(m_list.DeleteItem(3));
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(a + b, 3);  // item data is never freed by the list
}

TEST_F(ListTest, SelectionNotificationsCarryOldAndNewState)
{
    Fill(3);
    m_changes.clear();
    m_list.SetItemState(1, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                        CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
    ASSERT_EQ(m_changes.size(), 1u);
    EXPECT_EQ(m_changes[0].row, 1);
    EXPECT_EQ(m_changes[0].oldState, 0u);
    EXPECT_EQ(m_changes[0].newState, unsigned(CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused));
    EXPECT_EQ(m_list.GetSelectionMark(), 1);

    // Another row: the old one loses its bits first, then the new one gains them.
    m_changes.clear();
    m_list.show();
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, m_list.visualItemRect(m_list.topLevelItem(2)).center());
    ASSERT_EQ(m_changes.size(), 2u);
    EXPECT_EQ(m_changes[0].row, 1);
    EXPECT_EQ(m_changes[0].newState & CSkinListCtrl::StateSelected, 0u);
    EXPECT_EQ(m_changes[1].row, 2);
    EXPECT_EQ(m_changes[1].oldState & CSkinListCtrl::StateSelected, 0u);
    EXPECT_NE(m_changes[1].newState & CSkinListCtrl::StateSelected, 0u);
    EXPECT_EQ(m_list.GetSelectionMark(), 2);

    // Clearing every row's selection.
    m_changes.clear();
    m_list.SetItemState(-1, 0, CSkinListCtrl::StateSelected);
    EXPECT_EQ(m_list.GetSelectionMark(), -1);
    ASSERT_EQ(m_changes.size(), 1u);
    EXPECT_EQ(m_changes[0].row, 2);
    EXPECT_FALSE(m_list.SetItemState(7, 0, CSkinListCtrl::StateSelected));
}

TEST_F(ListTest, CheckBoxes)
{
    Fill(3);
    m_list.SetCheckBoxes(true);
    m_changes.clear();
    EXPECT_FALSE(m_list.GetCheck(0));
    EXPECT_TRUE(m_list.SetCheck(0, true));
    EXPECT_TRUE(m_list.GetCheck(0));
    ASSERT_EQ(m_changes.size(), 1u);
    EXPECT_EQ(m_changes[0].oldState & CSkinListCtrl::StateImageMask, unsigned(CSkinListCtrl::StateUnchecked));
    EXPECT_EQ(m_changes[0].newState & CSkinListCtrl::StateImageMask, unsigned(CSkinListCtrl::StateChecked));
    EXPECT_FALSE(m_list.SetCheck(10, true));

    // A click on the box ticks it.
    m_list.show();
    const QRect box = m_list.RowLayout(1).check;
    ASSERT_FALSE(box.isEmpty());
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(m_list.GetCheck(1));
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, box.center());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(m_list.GetCheck(1));
    // Space ticks the focused row.
    m_list.SetItemState(2, CSkinListCtrl::StateFocused | CSkinListCtrl::StateSelected,
                        CSkinListCtrl::StateFocused | CSkinListCtrl::StateSelected);
    QTest::keyClick(&m_list, Qt::Key_Space);
    EXPECT_TRUE(m_list.GetCheck(2));
}

TEST_F(ListTest, SortsWithAnyComparisonWithoutFault)
{
    // Many equal numbers with a comparison that never answers 0 (larger first,
    // -1 for equal values both ways round), then mixed values and a random one.
    std::vector<double> values;
    for (int i = 0; i < 300; ++i)
        values.push_back(i % 3 == 0 ? 5.0 : 5.0);
    for (int i = 0; i < 300; ++i)
        values.push_back((i * 7919) % 101 - 50 + (i % 2 ? 0.5 : 0));
    for (size_t i = 0; i < values.size(); ++i) {
        m_list.InsertItem(static_cast<int>(i), QString::number(values[i]));
        m_list.SetItemData(static_cast<int>(i), &values[i]);
    }
    auto neverEqual = [](void* a, void* b) { return *static_cast<double*>(a) >= *static_cast<double*>(b) ? -1 : 1; };
    ASSERT_TRUE(m_list.SortItems(neverEqual));
    EXPECT_EQ(m_list.GetItemCount(), 600);
    for (int r = 1; r < 600; ++r)
        EXPECT_GE(*m_list.GetItemDataAs<double>(r - 1), *m_list.GetItemDataAs<double>(r)) << r;

    std::mt19937 rng(7);
    ASSERT_TRUE(m_list.SortItems([&](void*, void*) { return static_cast<int>(rng() % 3) - 1; }));
    EXPECT_EQ(m_list.GetItemCount(), 600);
    std::vector<void*> seen;
    for (int r = 0; r < 600; ++r)
        seen.push_back(m_list.GetItemData(r));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());  // every row still there once

    // The C-style comparison with a parameter, ascending texts.
    static auto textCompare = [](intptr_t a, intptr_t b, intptr_t dir) {
        const double va = *reinterpret_cast<double*>(a), vb = *reinterpret_cast<double*>(b);
        return dir ? (va < vb ? -1 : 1) : (va >= vb ? -1 : 1);
    };
    ASSERT_TRUE(m_list.SortItems(+[](intptr_t a, intptr_t b, intptr_t d) { return textCompare(a, b, d); }, 1));
    for (int r = 1; r < 600; ++r)
        EXPECT_LE(*m_list.GetItemDataAs<double>(r - 1), *m_list.GetItemDataAs<double>(r));
    // Texts went along with their rows.
    EXPECT_EQ(m_list.GetItemText(0, 0), QString::number(*m_list.GetItemDataAs<double>(0)));
}

TEST_F(ListTest, SortKeepsTheSelectedRowSelected)
{
    Fill(5);
    int tags[5] = {4, 2, 0, 3, 1};
    for (int i = 0; i < 5; ++i)
        m_list.SetItemData(i, &tags[i]);
    m_list.SetItemState(0, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                        CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
    m_changes.clear();
    m_list.SortItemsByIndex([&](int a, int b) { return tags[a] - tags[b]; });
    EXPECT_EQ(m_list.GetSelectionMark(), 4);
    EXPECT_EQ(*m_list.GetItemDataAs<int>(4), 4);
    EXPECT_EQ(m_list.GetItemText(4, 0), QString("1000"));
    // Moving rows is no state change for the host.
    for (const Change& c : m_changes)
        EXPECT_EQ(c.oldState & CSkinListCtrl::StateSelected, c.newState & CSkinListCtrl::StateSelected);
}

TEST(ListRowLayout, InsetsAndBox)
{
    ListRowInput in;
    in.row = QRect(0, 44, 300, 22);
    in.columnLeft = {0, 100, 200};
    in.columnWidth = {100, 100, 100};
    in.firstLeftInset = 12;
    in.lastRightInset = 2;
    in.betweenInset = 2;
    in.iconSize = QSize(16, 16);
    const ListRowLayout l = LayoutListRow(in);
    EXPECT_EQ(l.box, QRect(14, 46, 300 - 2 - 12 - 4, 18));
    EXPECT_EQ(l.icon, QRect(12, 47, 16, 16));
    ASSERT_EQ(l.text.size(), 3u);
    EXPECT_EQ(l.text[0], QRect(16 + 15, 44, 100 - 31 - 4, 22));
    EXPECT_EQ(l.text[1], QRect(104, 44, 100 - 8, 22));
    EXPECT_EQ(l.text[2], QRect(204, 44, 100 - 4 - 5, 22));
    EXPECT_TRUE(l.check.isNull());

    in.checkBoxes = true;
    const ListRowLayout c = LayoutListRow(in);
    EXPECT_EQ(c.check.left(), 12);
    EXPECT_EQ(c.icon.left(), 28);
    EXPECT_EQ(c.text[0].left(), 16 + 16 + 15);

    // A column narrower than its insets gets an empty text rectangle.
    in.columnWidth = {5, 100, 100};
    EXPECT_EQ(LayoutListRow(in).text[0].width(), 0);
}

TEST_F(ListTest, SelectedRowPaintsItsBox)
{
    m_list.SetRowHeight(22);
    m_list.SetHeaderInsets(12, 2, 2, 2, 2);
    Fill(4);
    m_list.show();
    m_list.SetItemState(1, CSkinListCtrl::StateSelected, CSkinListCtrl::StateSelected);
    QCoreApplication::processEvents();
    const QRect row = m_list.visualItemRect(m_list.topLevelItem(1));
    EXPECT_EQ(row.height(), 22);
    QImage img(m_list.viewport()->size(), QImage::Format_RGB32);
    m_list.viewport()->render(&img);
    const int y = row.top();
    // Frame: 1 pixel at the box edge (x = 12 + 2, y = top + 2); fill inside.
    EXPECT_EQ(PixelRef(img, 13, y + 10), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, 14, y + 10), 0xE6E0BFu);
    EXPECT_EQ(PixelRef(img, 15, y + 10), 0xFFFAF2u);
    EXPECT_EQ(PixelRef(img, 60, y + 1), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, 60, y + 2), 0xE6E0BFu);
    EXPECT_EQ(PixelRef(img, 60, y + 3), 0xFFFAF2u);
    EXPECT_EQ(PixelRef(img, 60, y + 19), 0xE6E0BFu);
    EXPECT_EQ(PixelRef(img, 60, y + 20), 0xFFFFFFu);
    const int right = 300 - 2 - 2 - 1;  // last pixel of the box
    EXPECT_EQ(PixelRef(img, right, y + 10), 0xE6E0BFu);
    EXPECT_EQ(PixelRef(img, right + 1, y + 10), 0xFFFFFFu);
    // An unselected row has no box.
    EXPECT_EQ(PixelRef(img, 14, y + 22 + 10), 0xFFFFFFu);

    m_list.SetSelectionColours(0x0000FF, 0x00FF00, 0xFF0000);
    m_list.viewport()->render(&img);
    EXPECT_EQ(PixelRef(img, 14, y + 10), 0xFF0000u);
    EXPECT_EQ(PixelRef(img, 15, y + 10), 0x00FF00u);
}

TEST_F(ListTest, RowHeightZeroKeepsTheListsOwnHeight)
{
    Fill(2);
    m_list.show();
    m_list.SetRowHeight(0);
    QCoreApplication::processEvents();
    const int own = m_list.visualItemRect(m_list.topLevelItem(0)).height();
    EXPECT_GT(own, 0);
    m_list.SetRowHeight(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_list.visualItemRect(m_list.topLevelItem(0)).height(), 40);
    m_list.SetRowHeight(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_list.visualItemRect(m_list.topLevelItem(0)).height(), own);
}

TEST_F(ListTest, ClicksAndHeaderSignals)
{
    Fill(3);
    m_list.show();
    QSignalSpy dbl(&m_list, &CSkinListCtrl::ItemDoubleClicked);
    QSignalSpy right(&m_list, &CSkinListCtrl::ItemRightClicked);
    QSignalSpy column(&m_list, &CSkinListCtrl::ColumnClicked);
    const QPoint p = m_list.visualItemRect(m_list.topLevelItem(2)).center();
    QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, p);
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl.at(0).at(0).toInt(), 2);
    QTest::mouseClick(m_list.viewport(), Qt::RightButton, {}, p);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toInt(), 2);
    QTest::mouseClick(m_list.viewport(), Qt::RightButton, {}, QPoint(50, 250));
    EXPECT_EQ(right.at(1).at(0).toInt(), -1);
    QTest::mouseClick(m_list.GetHeaderCtrl()->viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    ASSERT_EQ(column.count(), 1) << m_list.GetHeaderCtrl()->sectionsClickable() << m_list.GetHeaderCtrl()->isVisible()
                                 << m_list.GetHeaderCtrl()->logicalIndexAt(150) << m_list.GetHeaderCtrl()->PressedItem();
    EXPECT_EQ(column.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(m_list.EnsureVisible(2));
    EXPECT_FALSE(m_list.EnsureVisible(3));
}
