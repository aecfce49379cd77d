#include "TestImages.h"
#include "controls/SkinHeaderCtrl.h"
#include "controls/SkinListCtrl.h"
#include "core/Globals.h"
#include "tests/support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Solid-colour skin pieces; the colours tell the pieces apart in a shot.
constexpr COLORREF kPieces[11] = {
    0x0000C0, 0x00C000, 0xC00000,  // normal: left, middle, right
    0x0000D0, 0x00D000, 0xD00000,  // hot
    0x0000E0, 0x00E000, 0xE00000,  // pressed
    0x404040, 0x808080,            // arrows
};
constexpr int kLw = 4, kRw = 5, kPieceH = 18;
constexpr QSize kArrow(7, 4);

QSize PieceSize(int i)
{
    if (i >= 9)
        return kArrow;
    switch (i % 3) {
    case 0:
        return QSize(kLw, kPieceH);
    case 1:
        return QSize(3, kPieceH);
    default:
        return QSize(kRw, kPieceH);
    }
}

void WritePieces(const QString& dir, int count)
{
    for (int i = 0; i < count; ++i) {
        QImage img(PieceSize(i), QImage::Format_RGB32);
        img.fill(ColorRefToQColor(kPieces[i]));
        ASSERT_TRUE(img.save(dir + QStringLiteral("ColumnHeader%1.bmp").arg(i), "BMP"));
    }
}

class TestHeader : public CSkinHeaderCtrl {
public:
    using CSkinHeaderCtrl::CSkinHeaderCtrl;
    QPoint cursor{-1000, -1000};

protected:
    QPoint CursorPos() const override { return cursor; }
};

class HeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_dir.path() + "/";
        WritePieces(m_folder, 11);
        m_model.setColumnCount(3);
        m_model.setHorizontalHeaderLabels({"编号", "姓名", "Weight"});
        m_header.setModel(&m_model);
        ASSERT_EQ(m_header.LoadImages(m_folder), 11);
        m_header.SetInsets(2, 2, 2, 2, 2);
        m_header.resize(400, 22);
        m_header.show();
    }
    // Sets the widths of the three columns; returns the left x of the middle one.
    int Widths(int a, int b, int c)
    {
        m_header.resizeSection(0, a);
        m_header.resizeSection(1, b);
        m_header.resizeSection(2, c);
        return a;
    }
    QTemporaryDir m_dir;
    QString m_folder;
    QStandardItemModel m_model;
    TestHeader m_header;
};

}  // namespace

TEST(HeaderLayout, EdgeWidths)
{
    HeaderColumnInput in;
    in.leftInset = 1;
    in.rightInset = 1;
    in.topInset = 2;
    in.lw = 4;
    in.rw = 5;
    in.normalMiddleHeight = 18;
    in.leftImage = QSize(4, 18);
    in.middleImage = QSize(3, 18);
    in.rightImage = QSize(5, 18);
    in.arrowImage = QSize(7, 4);

    // Narrower than the left piece: nothing of the skin.
    in.rect = QRect(100, 0, 3, 22);
    HeaderColumnLayout l = LayoutHeaderColumn(in);
    EXPECT_FALSE(l.drawLeft);
    EXPECT_FALSE(l.drawMiddle);
    EXPECT_FALSE(l.drawRight);
    EXPECT_FALSE(l.drawCaption);

    // Exactly lw + rw + L + R: both ends, no middle.
    in.rect = QRect(100, 0, 4 + 5 + 1 + 1, 22);
    l = LayoutHeaderColumn(in);
    EXPECT_TRUE(l.drawLeft);
    EXPECT_EQ(l.left, QRect(101, 2, 4, 18));
    EXPECT_TRUE(l.drawRight);
    EXPECT_EQ(l.right, QRect(105, 2, 5, 18));
    EXPECT_FALSE(l.drawMiddle);

    // One more pixel: a middle of width 1.
    in.rect = QRect(100, 0, 12, 22);
    l = LayoutHeaderColumn(in);
    EXPECT_TRUE(l.drawMiddle);
    EXPECT_EQ(l.middle, QRect(105, 2, 1, 18));
    EXPECT_EQ(l.right.left(), 106);
    EXPECT_FALSE(l.drawCaption);  // 12 is still too narrow for a caption

    in.rect = QRect(100, 0, 13, 22);
    l = LayoutHeaderColumn(in);
    EXPECT_TRUE(l.drawCaption);
    EXPECT_EQ(l.caption, QRect(104, 0, 5, 22));

    // Left piece but not wide enough for the right one.
    in.rect = QRect(100, 0, 6, 22);
    l = LayoutHeaderColumn(in);
    EXPECT_TRUE(l.drawLeft);
    EXPECT_FALSE(l.drawRight);

    // Sort arrow: 12 pixels left of the right piece, centred on the middle piece's height.
    in.rect = QRect(0, 0, 100, 22);
    in.sortColumn = true;
    l = LayoutHeaderColumn(in);
    EXPECT_TRUE(l.drawArrow);
    EXPECT_EQ(l.arrow, QRect(100 - 5 - 1 - 12, 2 + (18 - 4) / 2, 7, 4));

    // Missing images are skipped; the caption stays.
    in.leftImage = in.middleImage = in.rightImage = in.arrowImage = QSize();
    l = LayoutHeaderColumn(in);
    EXPECT_FALSE(l.drawLeft || l.drawMiddle || l.drawRight || l.drawArrow);
    EXPECT_TRUE(l.drawCaption);
}

TEST_F(HeaderTest, IsTwentyTwoPixelsHigh)
{
    EXPECT_EQ(m_header.sizeHint().height(), 22);
    CSkinListCtrl list;
    list.InsertColumn(0, "a");
    list.resize(200, 200);
    list.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(list.GetHeaderCtrl()->height(), 22);
    EXPECT_EQ(list.GetHeaderCtrl()->HeaderHeight(), 22);
}

TEST_F(HeaderTest, PaintsThePiecesWithTheirWidthRules)
{
    const int x1 = Widths(100, 11, 100);  // middle column: exactly lw + rw + 1 + 1
    QImage img = Shot(m_header);
    const int y = 10;
    EXPECT_EQ(PixelRef(img, x1, y), 0xFFFFFFu);         // half the between inset
    EXPECT_EQ(PixelRef(img, x1 + 1, y), kPieces[0]);    // left piece
    EXPECT_EQ(PixelRef(img, x1 + 4, y), kPieces[0]);
    EXPECT_EQ(PixelRef(img, x1 + 5, y), kPieces[2]);    // right piece follows directly: no middle
    EXPECT_EQ(PixelRef(img, x1 + 9, y), kPieces[2]);
    EXPECT_EQ(PixelRef(img, x1 + 10, y), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, x1 + 1, 1), 0xFFFFFFu);     // above the top inset
    EXPECT_EQ(PixelRef(img, x1 + 1, 2), kPieces[0]);
    EXPECT_EQ(PixelRef(img, x1 + 1, 19), kPieces[0]);
    EXPECT_EQ(PixelRef(img, x1 + 1, 20), 0xFFFFFFu);

    // Narrower than the left piece: background only.
    Widths(100, 3, 100);
    img = Shot(m_header);
    for (int x = 100; x < 103; ++x)
        EXPECT_EQ(PixelRef(img, x, y), 0xFFFFFFu) << x;

    // Wide: middle stretched between the ends; first column starts at its own inset.
    Widths(60, 11, 100);
    img = Shot(m_header);
    const int y3 = 3;  // above the captions' ink
    EXPECT_EQ(PixelRef(img, 1, y3), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, 2, y3), kPieces[0]);
    EXPECT_EQ(PixelRef(img, 6, y3), kPieces[1]);
    EXPECT_EQ(PixelRef(img, 53, y3), kPieces[1]);
    EXPECT_EQ(PixelRef(img, 54, y3), kPieces[2]);   // 60 - rw - R(1)
    EXPECT_EQ(PixelRef(img, 58, y3), kPieces[2]);
    // Last column ends at its own inset (2).
    EXPECT_EQ(PixelRef(img, 71 + 100 - 3, y3), kPieces[2]);
    EXPECT_EQ(PixelRef(img, 71 + 100 - 2, y3), 0xFFFFFFu);
}

TEST_F(HeaderTest, SortArrowSitsLeftOfTheRightPiece)
{
    Widths(100, 100, 100);
    m_header.SetSortIndicator(1, 1);
    QImage img = Shot(m_header);
    const int ax = 200 - kRw - 1 - 12;
    const int ay = 2 + (kPieceH - kArrow.height()) / 2;
    EXPECT_EQ(PixelRef(img, ax, ay), kPieces[9]);
    EXPECT_EQ(PixelRef(img, ax + 6, ay + 3), kPieces[9]);
    EXPECT_EQ(PixelRef(img, ax - 1, ay), kPieces[1]);
    EXPECT_EQ(PixelRef(img, ax, ay - 1), kPieces[1]);

    m_header.SetSortIndicator(1, 0);
    img = Shot(m_header);
    EXPECT_EQ(PixelRef(img, ax, ay), kPieces[10]);

    m_header.SetSortIndicator(-1, 0);
    img = Shot(m_header);
    EXPECT_EQ(PixelRef(img, ax, ay), kPieces[1]);
}

TEST_F(HeaderTest, HotAndPressedColumnsUseTheirPieces)
{
    Widths(100, 100, 100);
    m_header.cursor = m_header.mapToGlobal(QPoint(150, 10));
    QTest::mouseMove(&m_header, QPoint(150, 10));
    EXPECT_EQ(m_header.HotItem(), 1);
    EXPECT_TRUE(m_header.IsTracking());
    QImage img = Shot(m_header);
    EXPECT_EQ(PixelRef(img, 102, 10), kPieces[3]);
    EXPECT_EQ(PixelRef(img, 150, 10), kPieces[4]);
    EXPECT_EQ(PixelRef(img, 196, 10), kPieces[5]);
    EXPECT_EQ(PixelRef(img, 2, 10), kPieces[0]);

    QTest::mousePress(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedItem(), 1);
    img = Shot(m_header);
    EXPECT_EQ(PixelRef(img, 150, 10), kPieces[7]);
    QTest::mouseRelease(m_header.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(m_header.PressedItem(), -1);

    // The mouse leaves: the next 100 ms check clears the highlight.
    m_header.cursor = m_header.mapToGlobal(QPoint(150, 200));
    QTRY_COMPARE_WITH_TIMEOUT(m_header.HotItem(), -1, 2000);
    EXPECT_FALSE(m_header.IsTracking());
    EXPECT_EQ(PixelRef(Shot(m_header), 150, 10), kPieces[1]);
}

TEST_F(HeaderTest, LoadingStopsAtTheFirstMissingImage)
{
    QTemporaryDir partial;
    WritePieces(partial.path() + "/", 5);  // 0 ... 4 only
    QFile::copy(m_folder + "ColumnHeader9.bmp", partial.path() + "/ColumnHeader9.bmp");
    TestHeader h;
    EXPECT_EQ(h.LoadImages(partial.path() + "/"), 5);
    EXPECT_FALSE(h.Image(4).isNull());
    EXPECT_TRUE(h.Image(5).isNull());
    EXPECT_TRUE(h.Image(9).isNull());  // after the gap: not loaded
    EXPECT_TRUE(h.Image(-1).isNull());
    EXPECT_TRUE(h.Image(11).isNull());

    // A corrupt first image: nothing at all; the header shows background and captions.
    QTemporaryDir broken;
    QFile f(broken.path() + "/ColumnHeader0.bmp");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM\x10\x00garbage");
    f.close();
    EXPECT_EQ(m_header.LoadImages(broken.path() + "/"), 0);
    Widths(100, 100, 100);
    const QImage img = Shot(m_header);
    EXPECT_EQ(PixelRef(img, 150, 3), 0xFFFFFFu);
    bool captionInk = false;
    for (int x = 5; x < 60 && !captionInk; ++x)
        for (int yy = 4; yy < 18 && !captionInk; ++yy)
            captionInk = qGray(img.pixel(x, yy)) < 128;
    EXPECT_TRUE(captionInk);
}

TEST_F(HeaderTest, CaptionFollowsAlignmentAndNeedsThirteenPixels)
{
    m_model.setHeaderData(2, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
    m_model.setHeaderData(2, Qt::Horizontal, "88", Qt::DisplayRole);
    Widths(12, 100, 200);
    QImage img = Shot(m_header);
    auto inkBetween = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = 3; y < 19; ++y)
                if (qGray(img.pixel(x, y)) < 100 && PixelRef(img, x, y) != kPieces[0] && PixelRef(img, x, y) != kPieces[1] &&
                    PixelRef(img, x, y) != kPieces[2])
                    return true;
        return false;
    };
    EXPECT_FALSE(inkBetween(0, 12));           // 12 pixels: no caption
    EXPECT_FALSE(inkBetween(112, 112 + 150));  // right-aligned: the left part is empty
    EXPECT_TRUE(inkBetween(112 + 150, 312));
}

namespace {
class SkinnedListTest : public ProgramFolderTest {};
}  // namespace

TEST_F(SkinnedListTest, ListLoadsTheCurrentSkinsHeaderImages)
{
    CopyStandardFiles();
    g_strSkinName = QStringLiteral("标准");
    if (!QFileInfo::exists(SkinFolder() + "ColumnHeader0.bmp"))
        GTEST_SKIP() << "the default skin has not been drawn into the build folder";
    CSkinListCtrl list;
    int loaded = 0;
    for (int i = 0; i < CSkinHeaderCtrl::kImageCount; ++i)
        loaded += list.GetHeaderCtrl()->Image(i).isNull() ? 0 : 1;
    EXPECT_EQ(loaded, CSkinHeaderCtrl::kImageCount);
    EXPECT_EQ(list.GetHeaderCtrl()->BackColour(), SysColour::Window);

    // Without the skin folder: the built-in skin's images, and the list still works.
    g_strSkinName = QStringLiteral("none");
    CSkinListCtrl bare;
    EXPECT_EQ(bare.GetHeaderCtrl()->Image(0).size(), list.GetHeaderCtrl()->Image(0).size());
    bare.InsertColumn(0, "a");
    bare.InsertItem(0, "x");
    bare.resize(100, 80);
    (void)Shot(bare);
}

TEST_F(HeaderTest, SetHotItemMarksAColumnUntilTheMouseLeaves)
{
    Widths(100, 100, 100);
    m_header.SetHotItem(2);
    EXPECT_EQ(PixelRef(Shot(m_header), 250, 10), kPieces[4]);
    m_header.SetHotItem(7);
    EXPECT_EQ(m_header.HotItem(), -1);
    m_header.SetPressedItem(0);
    EXPECT_EQ(PixelRef(Shot(m_header), 50, 3), kPieces[7]);
}
