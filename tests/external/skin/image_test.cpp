// The one image loader: bitmaps cut short are refused, @2x files are taken at high pixel
// densities when they fit, icons give the entry for the density; and at 200 % the default
// skin's caption and buttons are drawn from their own pixels, not enlarged.

#include "external/skin/Skin.h"
#include "external/skin/SkinFrame.h"
#include "external/skin/SkinImage.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

namespace {

QByteArray BmpBytes(QSize size, const QColor& colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(size, format);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buffer, "BMP"));
    return bytes;
}

void Put32(QByteArray& d, int at, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        d[at + i] = char((quint32(v) >> (8 * i)) & 0xff);
}

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

TEST(BmpHeader, PixelDataMustBeInTheFile)
{
    const QByteArray full = BmpBytes({33, 7}, Qt::red);
    EXPECT_TRUE(BmpDataComplete(full.left(64), full.size()));
    EXPECT_FALSE(BmpDataComplete(full.left(64), full.size() - 1));
    EXPECT_FALSE(BmpDataComplete(full.left(20), full.size()));  // header itself cut
    EXPECT_TRUE(BmpDataComplete("\x89PNG....", 8));           // not a bitmap: not this check's matter

    // Rows stored top-down (negative height) count the same.
    QByteArray topDown = full;
    Put32(topDown, 22, -7);
    EXPECT_TRUE(BmpDataComplete(topDown.left(64), topDown.size()));
    EXPECT_FALSE(BmpDataComplete(topDown.left(64), topDown.size() - 3));

    // Hostile headers: sizes that overflow, nonsense offsets, compression without a count.
    QByteArray huge = full;
    Put32(huge, 18, 0x7fffffff);
    Put32(huge, 22, 0x7fffffff);
    EXPECT_FALSE(BmpDataComplete(huge.left(64), huge.size()));
    QByteArray zero = full;
    Put32(zero, 18, 0);
    EXPECT_FALSE(BmpDataComplete(zero.left(64), zero.size()));
    QByteArray offset = full;
    Put32(offset, 10, 4);
    EXPECT_FALSE(BmpDataComplete(offset.left(64), offset.size()));
    QByteArray rle = full;
    Put32(rle, 30, 1);
    Put32(rle, 34, 0);
    EXPECT_FALSE(BmpDataComplete(rle.left(64), rle.size()));
    Put32(rle, 34, 40);
    EXPECT_TRUE(BmpDataComplete(rle.left(64), rle.size()));
}

TEST_F(ImageFiles, ABitmapCutShortIsRefusedNotPaintedFromLeftoverMemory)
{
    const QByteArray full = BmpBytes({64, 64}, QColor(10, 200, 30));
    const QString whole = Write("whole.bmp", full);
    const QString cut = Write("cut.bmp", full.left(full.size() / 2));
    EXPECT_TRUE(ImageFileUsable(whole));
    EXPECT_FALSE(LoadImageFile(whole).isNull());
    // Qt's own reader would return a full-size image with half its rows undefined.
    EXPECT_FALSE(ImageFileUsable(cut));
    EXPECT_TRUE(LoadImageFile(cut).isNull());
    EXPECT_TRUE(LoadSkinBitmap(cut, 2.0).isNull());
    // Garbage, a folder, nothing at all.
    EXPECT_FALSE(ImageFileUsable(Write("junk.bmp", QByteArray(300, '\x42'))));
    EXPECT_FALSE(ImageFileUsable(m_dir.path()));
    EXPECT_FALSE(ImageFileUsable(m_dir.filePath("absent.bmp")));
    // A file mended in place is looked at again.
    Write("cut.bmp", full);
    EXPECT_TRUE(ImageFileUsable(cut));
}

TEST_F(ImageFiles, DoubleSizeFilesAreTakenFromOneAndAHalfWhenTheyFit)
{
    const QString one = Write("p.bmp", BmpBytes({5, 3}, Qt::red));
    EXPECT_EQ(DoubleSizeName(one), m_dir.filePath("p@2x.bmp"));
    EXPECT_EQ(DoubleSizeName(QStringLiteral("/a.b/name")), QStringLiteral("/a.b/name@2x"));

    auto colourAt = [&](qreal ratio) { return LoadImageFile(one, ratio).pixelColor(0, 0); };
    EXPECT_EQ(colourAt(2.0), QColor(Qt::red));  // no @2x file: the 1x one, third-party skins keep working
    Write("p@2x.bmp", BmpBytes({10, 6}, Qt::blue));
    EXPECT_EQ(colourAt(1.0), QColor(Qt::red));
    EXPECT_EQ(colourAt(1.49), QColor(Qt::red));
    EXPECT_EQ(colourAt(1.5), QColor(Qt::blue));
    const QImage big = LoadImageFile(one, 2.0);
    EXPECT_EQ(big.size(), QSize(10, 6));
    EXPECT_EQ(big.devicePixelRatio(), 2.0);
    EXPECT_EQ(LogicalSize(big), QSize(5, 3));
    // An @2x file of the wrong size or cut short is passed over.
    Write("p@2x.bmp", BmpBytes({12, 6}, Qt::blue));
    EXPECT_EQ(colourAt(2.0), QColor(Qt::red));
    const QByteArray cut = BmpBytes({10, 6}, Qt::blue);
    Write("p@2x.bmp", cut.left(cut.size() - 10));
    EXPECT_EQ(colourAt(2.0), QColor(Qt::red));
}

TEST(IconEntries, TheEntryForTheDensityFillsTheLogicalSize)
{
    const QString ico = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Skin/标准/App.ico");
    if (!QFile::exists(ico))
        GTEST_SKIP() << "the default skin has not been drawn";
    const QImage at1 = LoadImageFile(ico, 1.0, 16);
    EXPECT_EQ(at1.width(), 16);
    EXPECT_EQ(LogicalSize(at1), QSize(16, 16));
    const QImage at15 = LoadImageFile(ico, 1.5, 16);
    EXPECT_EQ(at15.width(), 24);
    const QImage at2 = LoadImageFile(ico, 2.0, 16);
    EXPECT_EQ(at2.width(), 32);
    EXPECT_EQ(LogicalSize(at2), QSize(16, 16));
    EXPECT_EQ(LoadImageFile(ico, 2.0, 32).width(), 64);
    EXPECT_EQ(LoadImageFile(ico, 1.0, 20).width(), 24);   // the next larger entry, drawn down
    EXPECT_EQ(LoadImageFile(ico, 8.0, 16).width(), 96);   // the largest there is
}

// Run by the ctest entry SkinAtDoubleDensity, with QT_SCALE_FACTOR=2.
TEST(DoubleDensity, CaptionAndButtonsAreDrawnFromTheirOwnPixels)
{
    if (qApp->devicePixelRatio() < 1.5)
        GTEST_SKIP() << "runs at a device-pixel ratio of 2 (QT_SCALE_FACTOR=2)";
    const QString skin = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Skin/标准/");
    if (!QFile::exists(skin + "title_left@2x.bmp"))
        GTEST_SKIP() << "the default skin has not been drawn";
    QTemporaryDir oneX;  // the same skin without its @2x files, as a third-party skin would be
    for (const QString& name : QDir(skin).entryList(QDir::Files))
        if (!name.contains(QLatin1String("@2x")))
            QFile::copy(skin + name, oneX.filePath(name));

    auto dress = [](QWidget& w, const QString& f) {
        WS_SetTitleIcon(&w, f + "App.ico");
        WS_SetTitleBmp(&w, f + "title_left.bmp", f + "title_center.bmp", f + "title_right.bmp");
        WS_SetSysbtnParameter(&w, 8, 13, 10);
        WS_SetClosebtnBmp(&w, f + "close_normal.bmp", f + "close_over.bmp", f + "close_down.bmp");
        WS_SetMaxbtnBmp(&w, f + "max_normal.bmp", f + "max_over.bmp", f + "max_down.bmp");
        WS_SetMinbtnBmp(&w, f + "min_normal.bmp", f + "min_over.bmp", f + "min_down.bmp");
        WS_SetBorderBmp(&w, f + "Border_left.bmp", f + "Border_bottom_left.bmp", f + "Border_bottom_center.bmp",
                        f + "Border_bottom_right.bmp", f + "Border_right.bmp");
        WS_SetStyle(&w, WS_STYLE_CAPTION | WS_STYLE_MAXIMIZEBOX);
        w.resize(300, 120);
    };
    QWidget crisp, plain;
    dress(crisp, skin);
    dress(plain, oneX.path() + QLatin1Char('/'));
    ASSERT_EQ(crisp.devicePixelRatioF(), 2.0);
    const QImage shot = crisp.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage plainShot = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);

    // The 1x pixels, enlarged: what the window showed before it had @2x art.
    SkinImages one;
    for (auto [target, name] : {std::pair{&one.titleLeft, "title_left.bmp"}, {&one.titleCenter, "title_center.bmp"},
                                {&one.titleRight, "title_right.bmp"}})
        *target = LoadSkinBitmap(skin + name, 1.0);
    one.close[0] = LoadSkinBitmap(skin + "close_normal.bmp", 1.0);
    one.max[0] = LoadSkinBitmap(skin + "max_normal.bmp", 1.0);
    one.min[0] = LoadSkinBitmap(skin + "min_normal.bmp", 1.0);
    one.icon = QPixmap::fromImage(LoadImageFile(skin + "App.ico", 1.0, kCaptionIconSize));
    one.buttonTop = 8, one.buttonRight = 13, one.buttonSpacing = 10;
    const SkinLayout l = LayoutSkinFrame(one, WS_STYLE_CAPTION | WS_STYLE_MAXIMIZEBOX, crisp.size());
    QImage small(crisp.size(), QImage::Format_RGB32);
    small.fill(Qt::black);
    {
        QPainter p(&small);
        PaintSkinFrame(p, one, l, QString(), QFont(), SkinHit::Client, false);
    }
    const QImage enlarged = small.scaled(small.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    auto differing = [](const QImage& a, const QImage& b, const QRect& logical) {
        const QRect r(logical.topLeft() * 2, logical.size() * 2);
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return double(n) / (r.width() * r.height());
    };
    EXPECT_GT(differing(shot, enlarged, l.icon), 0.15);
    EXPECT_GT(differing(shot, enlarged, l.close), 0.05);
    EXPECT_GT(differing(shot, enlarged, l.max), 0.02);
    EXPECT_GT(differing(shot, enlarged, QRect(0, 0, 8, 32)), 0.05);  // the rounded corner and the rows
    // A skin without @2x files shows exactly its 1x pixels, enlarged, and keeps its layout.
    EXPECT_EQ(differing(plainShot, enlarged, l.close), 0.0);
    EXPECT_EQ(plain.contentsMargins(), crisp.contentsMargins());
    WS_FreeSkin();
}

}  // namespace
