// The skinned frame: geometry, painting from bitmaps, mouse handling, page backgrounds.

#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

const QColor kTitleLeft(200, 0, 0), kTitleCenter(0, 160, 0), kTitleRight(0, 0, 200);
const QColor kCloseN(10, 10, 10), kCloseH(60, 60, 60), kCloseP(110, 110, 110);
const QColor kMaxN(10, 100, 10), kMaxH(60, 150, 60), kMaxP(110, 200, 110);
const QColor kMinN(100, 10, 10), kMinH(150, 60, 60), kMinP(200, 110, 110);
const QColor kLeft(255, 255, 0), kRight(0, 255, 255), kBL(255, 0, 255), kBC(128, 64, 0), kBR(64, 0, 128);
const QColor kPage(250, 250, 250);

// The test skin: caption 30 high, borders 3 (left), 5 (right), 6 (bottom); buttons 16 x 14.
class SkinFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override { WS_FreeSkin(); }

    QString Bmp(const QString& name, QSize size, const QColor& color)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(color);
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(img.save(path, "BMP"));
        return path;
    }

    void Dress(QWidget* w, unsigned style = WS_STYLE_CAPTION)
    {
        WS_SetTitleTextColor(w, 0x00FFFFFF);
        WS_SetTitleBmp(w, Bmp("tl.bmp", {8, 30}, kTitleLeft), Bmp("tc.bmp", {10, 30}, kTitleCenter),
                       Bmp("tr.bmp", {8, 30}, kTitleRight));
        WS_SetSysbtnParameter(w, 8, 13, 10);
        WS_SetClosebtnBmp(w, Bmp("cn.bmp", {16, 14}, kCloseN), Bmp("ch.bmp", {16, 14}, kCloseH),
                          Bmp("cp.bmp", {16, 14}, kCloseP));
        WS_SetMaxbtnBmp(w, Bmp("xn.bmp", {16, 14}, kMaxN), Bmp("xh.bmp", {16, 14}, kMaxH), Bmp("xp.bmp", {16, 14}, kMaxP));
        WS_SetMinbtnBmp(w, Bmp("mn.bmp", {16, 14}, kMinN), Bmp("mh.bmp", {16, 14}, kMinH), Bmp("mp.bmp", {16, 14}, kMinP));
        WS_SetBorderBmp(w, Bmp("bl.bmp", {3, 20}, kLeft), Bmp("bbl.bmp", {4, 6}, kBL), Bmp("bbc.bmp", {10, 6}, kBC),
                        Bmp("bbr.bmp", {7, 6}, kBR), Bmp("br.bmp", {5, 20}, kRight));
        WS_SetStyle(w, style);
    }

    // A window with a page filling its client area, sized around a 200 x 100 page.
    std::unique_ptr<QWidget> MakeWindow(unsigned style = WS_STYLE_CAPTION, QWidget** pageOut = nullptr)
    {
        auto w = std::make_unique<QWidget>();
        Dress(w.get(), style);
        auto* page = new QWidget(w.get());
        page->setAutoFillBackground(true);
        QPalette pal = page->palette();
        pal.setColor(QPalette::Window, kPage);
        page->setPalette(pal);
        QRect r(0, 0, 200, 100);
        WS_CalcWindowRect(w.get(), r, 0);
        w->resize(r.size());
        page->setGeometry(w->contentsRect());
        if (pageOut)
            *pageOut = page;
        return w;
    }

    static QColor Pixel(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

    QTemporaryDir m_dir;
};

TEST_F(SkinFixture, CalcWindowRectGrowsByWhatIsPainted)
{
    QWidget w;
    Dress(&w);
    QRect r(10, 20, 200, 100);
    ASSERT_EQ(WS_CalcWindowRect(&w, r, 0), 1);
    EXPECT_EQ(r, QRect(10 - 3, 20 - 30, 200 + 3 + 5, 100 + 30 + 6));
    // Round trip: the window's client rectangle after sizing is the rectangle we started from.
    w.resize(r.size());
    EXPECT_EQ(w.contentsRect().size(), QSize(200, 100));
    EXPECT_EQ(w.contentsRect().topLeft(), QPoint(3, 30));

    // A window never skinned is left alone and reports it.
    QWidget plain;
    QRect q(0, 0, 50, 50);
    EXPECT_EQ(WS_CalcWindowRect(&plain, q, 0), 0);
    EXPECT_EQ(q, QRect(0, 0, 50, 50));
    EXPECT_EQ(WS_CalcWindowRect(nullptr, q, 0), 0);
}

TEST_F(SkinFixture, PageSitsFlushInsideThePaintedFrame)
{
    QWidget* page = nullptr;
    auto w = MakeWindow(WS_STYLE_CAPTION, &page);
    const QImage img = w->grab().toImage();
    const QRect p = page->geometry();
    ASSERT_EQ(img.size(), QSize(208, 136));
    const int midX = p.center().x();
    const int midY = p.center().y();
    // Every side of the page touches frame art, not window background.
    EXPECT_EQ(Pixel(img, midX, p.top() - 1), kTitleCenter);
    EXPECT_EQ(Pixel(img, midX, p.top()), kPage);
    EXPECT_EQ(Pixel(img, p.left() - 1, midY), kLeft);
    EXPECT_EQ(Pixel(img, p.left(), midY), kPage);
    EXPECT_EQ(Pixel(img, p.right() + 1, midY), kRight);
    EXPECT_EQ(Pixel(img, p.right(), midY), kPage);
    EXPECT_EQ(Pixel(img, midX, p.bottom() + 1), kBC);
    EXPECT_EQ(Pixel(img, midX, p.bottom()), kPage);
    // Caption ends and bottom corners at their own size, at the window's corners.
    EXPECT_EQ(Pixel(img, 0, 0), kTitleLeft);
    EXPECT_EQ(Pixel(img, 7, 29), kTitleLeft);
    EXPECT_EQ(Pixel(img, 207, 0), kTitleRight);
    EXPECT_EQ(Pixel(img, 200, 29), kTitleRight);
    EXPECT_EQ(Pixel(img, 0, 135), kBL);
    EXPECT_EQ(Pixel(img, 3, 130), kBL);
    EXPECT_EQ(Pixel(img, 207, 135), kBR);
    EXPECT_EQ(Pixel(img, 201, 130), kBR);
}

TEST_F(SkinFixture, ButtonsArePlacedFromTheRightAndMaximiseOnlyWhenAllowed)
{
    QWidget w;
    Dress(&w);
    const SkinLayout plain = LayoutSkinFrame(CSkinFrame::Of(&w, false)->Images(), WS_STYLE_CAPTION, QSize(300, 200));
    EXPECT_EQ(plain.close, QRect(300 - 13 - 16, 8, 16, 14));
    EXPECT_TRUE(plain.max.isEmpty());
    EXPECT_EQ(plain.min, QRect(300 - 13 - 16 - 10 - 16, 8, 16, 14));

    const SkinLayout full = LayoutSkinFrame(CSkinFrame::Of(&w, false)->Images(),
                                            WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX, QSize(300, 200));
    EXPECT_EQ(full.max, QRect(300 - 13 - 16 - 10 - 16, 8, 16, 14));
    EXPECT_EQ(full.min, QRect(300 - 13 - 3 * 16 - 2 * 10, 8, 16, 14));
}

TEST_F(SkinFixture, HitTestFindsCaptionButtonsAndBordersOnlyWhenResizable)
{
    QWidget w;
    Dress(&w);
    const SkinImages& im = CSkinFrame::Of(&w, false)->Images();
    const QSize size(300, 200);
    const SkinLayout fixed = LayoutSkinFrame(im, WS_STYLE_CAPTION, size);
    EXPECT_EQ(SkinHitTest(fixed, {100, 5}), SkinHit::Caption);
    EXPECT_EQ(SkinHitTest(fixed, fixed.close.center()), SkinHit::CloseButton);
    EXPECT_EQ(SkinHitTest(fixed, fixed.min.center()), SkinHit::MinButton);
    EXPECT_EQ(SkinHitTest(fixed, {1, 100}), SkinHit::Client);  // border of a fixed frame: nothing to drag
    EXPECT_EQ(SkinHitTest(fixed, {150, 100}), SkinHit::Client);
    EXPECT_EQ(SkinHitTest(fixed, {-1, 5}), SkinHit::Client);
    EXPECT_EQ(SkinHitTest(fixed, {300, 5}), SkinHit::Client);

    const SkinLayout sizing = LayoutSkinFrame(im, WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX, size);
    EXPECT_EQ(SkinHitTest(sizing, sizing.max.center()), SkinHit::MaxButton);
    EXPECT_EQ(SkinHitTest(sizing, {1, 100}), SkinHit::Left);
    EXPECT_EQ(SkinHitTest(sizing, {297, 100}), SkinHit::Right);
    EXPECT_EQ(SkinHitTest(sizing, {150, 197}), SkinHit::Bottom);
    EXPECT_EQ(SkinHitTest(sizing, {1, 199}), SkinHit::BottomLeft);
    EXPECT_EQ(SkinHitTest(sizing, {299, 199}), SkinHit::BottomRight);
    EXPECT_EQ(SkinHitTest(sizing, {150, 100}), SkinHit::Client);

    // A bare frame (no caption style) has nothing to hit.
    const SkinLayout bare = LayoutSkinFrame(im, 0, size);
    EXPECT_EQ(SkinHitTest(bare, {100, 5}), SkinHit::Client);
    EXPECT_EQ(SkinFrameMargins(im, 0), QMargins());
}

TEST_F(SkinFixture, RoundedCornersCutTheRegionAndTheMask)
{
    const QRegion r = RoundedWindowRegion(QSize(100, 50), 6, 4);
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(99, 0)));
    EXPECT_FALSE(r.contains(QPoint(1, 1)));
    EXPECT_FALSE(r.contains(QPoint(0, 49)));
    EXPECT_FALSE(r.contains(QPoint(99, 49)));
    EXPECT_TRUE(r.contains(QPoint(6, 0)));
    EXPECT_TRUE(r.contains(QPoint(93, 0)));
    EXPECT_TRUE(r.contains(QPoint(0, 6)));
    EXPECT_TRUE(r.contains(QPoint(50, 25)));
    EXPECT_TRUE(r.contains(QPoint(4, 49)));
    EXPECT_TRUE(r.contains(QPoint(0, 45)));
    // Symmetric left/right.
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(r.contains(QPoint(x, y)), r.contains(QPoint(99 - x, y))) << x << "," << y;

    EXPECT_EQ(RoundedWindowRegion(QSize(100, 50), 0, 0), QRegion(0, 0, 100, 50));
    EXPECT_TRUE(RoundedWindowRegion(QSize(0, 50), 6, 4).isEmpty());
    // Radii larger than the window are limited, never inverted.
    const QRegion huge = RoundedWindowRegion(QSize(10, 10), 1000, -5);
    EXPECT_TRUE(huge.contains(QPoint(5, 5)));
    EXPECT_TRUE(huge.contains(QPoint(0, 9)));

    QWidget w;
    Dress(&w);
    WS_GetRound(&w, 6, 4);
    w.resize(120, 90);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.mask(), RoundedWindowRegion(QSize(120, 90), 6, 4));
    w.resize(140, 95);
    EXPECT_EQ(w.mask(), RoundedWindowRegion(QSize(140, 95), 6, 4));
    WS_GetRound(&w, 0, 0);
    EXPECT_TRUE(w.mask().isEmpty());
}

TEST_F(SkinFixture, MissingAndCorruptBitmapsDrawNothingForTheirPiece)
{
    QWidget w;
    Dress(&w);
    QFile bad(m_dir.filePath("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM\x10\x00\x00\x00garbage that is no bitmap");
    bad.close();
    QFile truncated(m_dir.filePath("cut.bmp"));
    const QString good = Bmp("good.bmp", {40, 30}, kTitleCenter);
    QFile g(good);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(g.read(60));
    truncated.close();

    WS_SetTitleBmp(&w, m_dir.filePath("absent.bmp"), bad.fileName(), truncated.fileName());
    WS_SetClosebtnBmp(&w, QString(), m_dir.filePath("nothing.bmp"), m_dir.path());  // a folder is no bitmap
    WS_SetTitleIcon(&w, bad.fileName());
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, Qt::black);
    w.setPalette(pal);
    QRect r(0, 0, 100, 60);
    WS_CalcWindowRect(&w, r, 0);
    w.resize(r.size());
    const QImage img = w.grab().toImage();
    // No caption art: the caption keeps room for the remaining buttons only and shows the background.
    EXPECT_EQ(w.contentsMargins().top(), 8 + 14 + 8);
    EXPECT_EQ(Pixel(img, 50, 2), QColor(Qt::black));
    EXPECT_EQ(Pixel(img, 1, 40), kLeft);
    const SkinLayout l = CSkinFrame::Of(&w, false)->Layout();
    EXPECT_TRUE(l.close.isEmpty());
    EXPECT_TRUE(l.icon.isEmpty());
}

TEST_F(SkinFixture, HoverAndPressedStatesChangeThePaintedButton)
{
    auto w = MakeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const SkinLayout l = CSkinFrame::Of(w.get(), false)->Layout();
    const QPoint c = l.close.center();
    EXPECT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseN);

    QTest::mouseMove(w.get(), c);
    EXPECT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseH);
    EXPECT_EQ(Pixel(w->grab().toImage(), l.min.center().x(), l.min.center().y()), kMinN);

    QTest::mousePress(w.get(), Qt::LeftButton, {}, c);
    EXPECT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseP);
    // Dragged off the button it shows normal and releasing there does not close.
    QTest::mouseMove(w.get(), QPoint(60, 15));
    EXPECT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseN);
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, QPoint(60, 15));
    EXPECT_TRUE(w->isVisible());

    // Pressed and released on the button: the window closes (nobody handled the system command).
    QTest::mouseMove(w.get(), c);
    QTest::mousePress(w.get(), Qt::LeftButton, {}, c);
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, c);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SkinFixture, HoverEndsWhenTheMouseLeavesIntoThePage)
{
    QWidget* page = nullptr;
    auto w = MakeWindow(WS_STYLE_CAPTION, &page);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QPoint c = CSkinFrame::Of(w.get(), false)->Layout().close.center();
    QTest::mouseMove(w.get(), QPoint(60, 15));  // a move to where the mouse already is would not arrive
    QTest::mouseMove(w.get(), c);
    ASSERT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseH);
    // The page takes the mouse: the window gets no move of its own, yet the hover goes.
    QCursor::setPos(page->mapToGlobal(page->rect().center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return CSkinFrame::Of(w.get(), false)->Hot() == SkinHit::Client; }, 2000));
    EXPECT_EQ(Pixel(w->grab().toImage(), c.x(), c.y()), kCloseN);
}

// Records the system commands it receives; handles only those it is told to.
class CommandWindow : public QWidget {
public:
    std::vector<int> commands;
    bool handle = true;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == MessageType(WM_SYSCOMMAND)) {
            commands.push_back(static_cast<int>(static_cast<CWndMessage*>(e)->wParam()));
            return handle;
        }
        return QWidget::event(e);
    }
};

TEST_F(SkinFixture, ButtonsAndSystemMenuSendSystemCommandsFirst)
{
    CommandWindow w;
    Dress(&w, WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX);
    w.resize(300, 200);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const SkinLayout l = CSkinFrame::Of(&w, false)->Layout();
    QTest::mouseClick(&w, Qt::LeftButton, {}, l.close.center());
    QTest::mouseClick(&w, Qt::LeftButton, {}, l.min.center());
    QTest::mouseClick(&w, Qt::LeftButton, {}, l.max.center());
    EXPECT_EQ(w.commands, (std::vector<int>{SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE}));
    EXPECT_TRUE(w.isVisible());  // handled by the window: no default action

    QMenu* menu = WS_GetSystemMenu(&w);
    ASSERT_NE(menu, nullptr);
    menu->addAction(QStringLiteral("About"))->setData(0x10);
    menu->actions().first()->trigger();
    EXPECT_EQ(w.commands.back(), 0x10);
}

TEST_F(SkinFixture, CaptionDragMovesAndBordersResizeWithinLimits)
{
    auto w = MakeWindow(WS_STYLE_CAPTION | WS_STYLE_SIZEBOX | WS_STYLE_MAXIMIZEBOX);
    w->setMinimumSize(150, 120);
    w->move(100, 100);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QPoint start = w->pos();
    QTest::mousePress(w.get(), Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(w.get(), QPoint(90, 30));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(w->pos(), start + QPoint(30, 20));

    // Shrinking from the bottom-right corner stops at the minimum size.
    const QSize before = w->size();
    const QPoint corner(before.width() - 1, before.height() - 1);
    QTest::mousePress(w.get(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(w.get(), corner - QPoint(500, 500));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, corner - QPoint(500, 500));
    EXPECT_EQ(w->size(), QSize(150, 120));

    // Double-click on the caption maximises and restores a resizable window.
    QTest::mouseDClick(w.get(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_TRUE(w->isMaximized());
    QTest::mouseDClick(w.get(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_FALSE(w->isMaximized());
}

TEST_F(SkinFixture, FixedFrameDoesNotResizeOrMaximise)
{
    auto w = MakeWindow(WS_STYLE_CAPTION);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QSize before = w->size();
    const QPoint corner(before.width() - 1, before.height() - 1);
    QTest::mousePress(w.get(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(w.get(), corner + QPoint(40, 40));
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, corner + QPoint(40, 40));
    EXPECT_EQ(w->size(), before);
    QTest::mouseDClick(w.get(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_FALSE(w->isMaximized());
}

TEST(ResizeArithmetic, EdgesMoveOnlyTheirSidesAndRespectLimits)
{
    const QRect start(100, 100, 300, 200);
    const QSize minSize(200, 150), maxSize(400, 260);
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Right, {50, 9}, minSize, maxSize), QRect(100, 100, 350, 200));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Right, {500, 0}, minSize, maxSize), QRect(100, 100, 400, 200));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Left, {-50, 0}, minSize, maxSize), QRect(50, 100, 350, 200));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Left, {250, 0}, minSize, maxSize), QRect(200, 100, 200, 200));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Bottom, {0, -100}, minSize, maxSize), QRect(100, 100, 300, 150));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::BottomLeft, {-10, 30}, minSize, maxSize), QRect(90, 100, 310, 230));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::BottomRight, {10, 300}, minSize, maxSize), QRect(100, 100, 310, 260));
    EXPECT_EQ(ResizedGeometry(start, SkinHit::Caption, {10, 10}, minSize, maxSize), start);
}

TEST_F(SkinFixture, HighPixelDensityKeepsLogicalSizeAndWholeBitmaps)
{
    QWidget w;
    Dress(&w, WS_STYLE_CAPTION | WS_STYLE_MAXIMIZEBOX);
    const SkinImages& im = CSkinFrame::Of(&w, false)->Images();
    const QSize size(208, 136);
    const SkinLayout l = LayoutSkinFrame(im, WS_STYLE_CAPTION | WS_STYLE_MAXIMIZEBOX, size);
    EXPECT_EQ(l.margins, QMargins(3, 30, 5, 6));

    QImage img(size * 2, QImage::Format_RGB32);
    img.setDevicePixelRatio(2.0);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        PaintSkinFrame(p, im, l, QString(), QFont(), SkinHit::Client, false);
    }
    // Device pixels: everything is twice as large, right and bottom edges included.
    EXPECT_EQ(img.pixelColor(0, 0), kTitleLeft);
    EXPECT_EQ(img.pixelColor(15, 59), kTitleLeft);
    EXPECT_EQ(img.pixelColor(16, 10), kTitleCenter);
    EXPECT_EQ(img.pixelColor(415, 0), kTitleRight);
    EXPECT_EQ(img.pixelColor(400, 59), kTitleRight);
    EXPECT_EQ(img.pixelColor(415, 271), kBR);
    EXPECT_EQ(img.pixelColor(402, 260), kBR);
    EXPECT_EQ(img.pixelColor(0, 271), kBL);
    EXPECT_EQ(img.pixelColor(5, 100), kLeft);
    EXPECT_EQ(img.pixelColor(6, 100), QColor(Qt::black));
    // The close button covers its whole logical rectangle in device pixels.
    const QRect c = l.close;
    EXPECT_EQ(img.pixelColor(2 * c.left(), 2 * c.top()), kCloseN);
    EXPECT_EQ(img.pixelColor(2 * c.right() + 1, 2 * c.bottom() + 1), kCloseN);
    EXPECT_EQ(img.pixelColor(2 * c.right() + 2, 2 * c.center().y()), kTitleCenter);
}

TEST_F(SkinFixture, PageBackgroundIsPaintedUnderItsChildren)
{
    QWidget page;
    page.resize(120, 80);
    QWidget* child = new QWidget(&page);
    child->setGeometry(60, 40, 20, 20);
    child->setAutoFillBackground(true);
    QPalette pal = child->palette();
    pal.setColor(QPalette::Window, kPage);
    child->setPalette(pal);
    EXPECT_EQ(WS_SetSkin(&page), 1);
    EXPECT_EQ(WS_SetBackBmp(&page, Bmp("back.bmp", {100, 60}, kBC)), 1);
    QImage img = page.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), kBC);
    EXPECT_EQ(img.pixelColor(99, 59), kBC);
    EXPECT_NE(img.pixelColor(110, 70), kBC);  // the bitmap at its own size, not stretched
    EXPECT_EQ(img.pixelColor(65, 45), kPage);

    // A missing background clears it without trouble.
    WS_SetBackBmp(&page, m_dir.filePath("missing.bmp"));
    img = page.grab().toImage();
    EXPECT_NE(img.pixelColor(0, 0), kBC);
    EXPECT_EQ(WS_SetSkin(nullptr), 0);
    EXPECT_EQ(WS_SetBackBmp(nullptr, QString()), 0);
}

TEST_F(SkinFixture, FreeSkinGivesWindowsBackTheirPlainFrame)
{
    QWidget w;
    Dress(&w);
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.contentsMargins(), QMargins(3, 30, 5, 6));
    EXPECT_EQ(WS_FreeSkin(), 1);
    EXPECT_FALSE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.contentsMargins(), QMargins());
    QRect r(0, 0, 10, 10);
    EXPECT_EQ(WS_CalcWindowRect(&w, r, 0), 0);
    // A child widget is no window: the frame operations refuse it.
    QWidget child(&w);
    EXPECT_EQ(WS_SetTitleBmp(&child, QString(), QString(), QString()), 0);
}

}  // namespace
