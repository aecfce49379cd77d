#include "TestImages.h"
#include "controls/ColourCombo.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPainter>

TEST(ColourCombo, TwentyColoursInOrder)
{
    CColourCombo c;
    c.InitColours();
    ASSERT_EQ(c.count(), 20);
    ASSERT_EQ(c.Items().size(), 20u);
    EXPECT_EQ(c.itemText(0), QString("Black"));
    EXPECT_EQ(c.itemText(19), QString("More Colors"));
    EXPECT_EQ(c.Items()[16].name, QString("Money Green"));
    EXPECT_EQ(c.Items()[16].colour, ColorRefFromRgb(192, 220, 192));
    EXPECT_EQ(c.Items()[18].colour, ColorRefFromRgb(160, 160, 164));
    EXPECT_EQ(c.FirstColour(), 0u);
    EXPECT_EQ(c.currentIndex(), -1);
    // Filling twice does not double the list.
    c.InitColours();
    EXPECT_EQ(c.count(), 20);
}

TEST(ColourCombo, SelectionRules)
{
    CColourCombo c;
    c.InitColours();
    EXPECT_EQ(c.GetSelectedColour(), 0u);  // nothing selected: black
    c.SetSelectedColour(0x123456);         // not in the table
    EXPECT_EQ(c.currentIndex(), -1);
    c.SetSelectedColour(ColorRefFromRgb(255, 0, 0));
    EXPECT_EQ(c.currentIndex(), 9);
    EXPECT_EQ(c.GetSelectedColour(), ColorRefFromRgb(255, 0, 0));
    c.SetSelectedColour(0x654321);
    EXPECT_EQ(c.currentIndex(), 9);  // kept
    c.setCurrentIndex(19);
    EXPECT_EQ(c.GetSelectedColour(), ColorRefFromRgb(213, 233, 249));
    c.SetSelectedColour(0);
    EXPECT_EQ(c.currentIndex(), 0);
}

TEST(ColourCombo, SortedComboStillAnswersByPosition)
{
    CColourCombo c(nullptr, true);
    c.InitColours();
    EXPECT_EQ(c.itemText(0), QString("Aqua"));
    c.SetSelectedColour(ColorRefFromRgb(0, 0, 128));  // Navy: table position 4
    EXPECT_EQ(c.currentIndex(), 4);
    EXPECT_EQ(c.GetSelectedColour(), ColorRefFromRgb(0, 0, 128));
}

TEST(ColourCombo, SwatchAndFramePixels)
{
    const ColourItemLayout l = LayoutColourItem(QRect(0, 16, 150, 16));
    EXPECT_EQ(l.swatch, QRect(1, 17, 14, 14));
    EXPECT_EQ(l.text.left(), 20);

    CColourCombo c;
    c.InitColours();
    QImage img(150, 16, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        c.PaintItem(p, QRect(0, 0, 150, 16), 9, false);  // Red
    }
    EXPECT_EQ(PixelRef(img, 0, 8), SysColour::Window);
    EXPECT_EQ(PixelRef(img, 1, 8), 0u);    // black frame
    EXPECT_EQ(PixelRef(img, 14, 8), 0u);
    EXPECT_EQ(PixelRef(img, 5, 1), 0u);
    EXPECT_EQ(PixelRef(img, 5, 14), 0u);
    EXPECT_EQ(PixelRef(img, 2, 2), ColorRefFromRgb(255, 0, 0));
    EXPECT_EQ(PixelRef(img, 13, 13), ColorRefFromRgb(255, 0, 0));
    EXPECT_EQ(PixelRef(img, 15, 8), SysColour::Window);
    {
        QPainter p(&img);
        c.PaintItem(p, QRect(0, 0, 150, 16), 15, true);  // White, selected
    }
    EXPECT_EQ(PixelRef(img, 0, 8), SysColour::Highlight);
    EXPECT_EQ(PixelRef(img, 7, 7), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, 1, 8), 0u);
    // No item at a position outside the table: nothing drawn.
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        c.PaintItem(p, QRect(0, 0, 150, 16), 20, false);
        c.PaintItem(p, QRect(0, 0, 150, 16), -1, false);
    }
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::magenta));
}

TEST(ColourCombo, ItemHeightAndNameElided)
{
    CColourCombo c;
    c.InitColours();
    c.resize(60, 22);
    c.show();
    QStyleOptionViewItem opt;
    EXPECT_EQ(c.view()->itemDelegate()->sizeHint(opt, c.model()->index(0, 0)).height(), 16);
    // A narrow item elides the name rather than running past the edge.
    QImage img(40, 16, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        c.PaintItem(p, QRect(0, 0, 40, 16), 16, false);  // "Money Green"
    }
    (void)Shot(c);
}

TEST(ColourCombo, ListDropsDownBelowTheBox)
{
    QWidget host;
    host.resize(300, 400);
    auto* c = new CColourCombo(&host);
    c->setGeometry(10, 10, 150, 22);
    c->InitColours();
    c->SetSelectedColour(ColorRefFromRgb(255, 0, 0));
    host.show();
    c->showPopup();
    QWidget* popup = c->view()->window();
    ASSERT_NE(popup, &host);
    EXPECT_EQ(popup->y(), c->mapToGlobal(QPoint(0, c->height())).y());
    EXPECT_EQ(popup->x(), c->mapToGlobal(QPoint(0, 0)).x());
    c->hidePopup();
}
