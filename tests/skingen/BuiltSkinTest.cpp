// The default skin as the build lays it out in the program folder: every file the
// program looks for is there, loads, and has the size the pages are laid out for.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include "core/Profile.h"
#include "tools/skingen/IcoFile.h"
#include "tools/skingen/SkinArt.h"

namespace {

const QString kProgram = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/");
const QString kSkin = kProgram + QStringLiteral("Skin/标准/");
const QString kSetIni = kSkin + QStringLiteral("Set.ini");

QImage Bmp(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

QList<QImage> IconFrames(const QString& path)
{
    QList<QImage> frames;
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage img = reader.read();
        if (!img.isNull())
            frames.append(img.convertToFormat(QImage::Format_ARGB32));
    }
    return frames;
}

QList<int> IconWidths(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<int> widths;
    for (const QSize& s : IcoFile::EntrySizes(f.readAll()))
        widths.append(s.width());
    return widths;
}

struct Named {
    const char* section;
    const char* key;
    const char* file;  // the file the shipped Set.ini names
};

// Every key of the skin that names a file, with the file name the default skin uses.
const Named kFileKeys[] = {
    {"Title", "Icon", "App.ico"},
    {"Title", "LeftBmp", "title_left.bmp"},
    {"Title", "CenterBmp", "title_center.bmp"},
    {"Title", "RightBmp", "title_right.bmp"},
    {"Title", "CloseNormalBmp", "close_normal.bmp"},
    {"Title", "CloseOverBmp", "close_over.bmp"},
    {"Title", "ClsoeDownBmp", "close_down.bmp"},
    {"Title", "MaxNormalBmp", "max_normal.bmp"},
    {"Title", "MaxOverBmp", "max_over.bmp"},
    {"Title", "MaxDownBmp", "max_down.bmp"},
    {"Title", "MinNormalBmp", "min_normal.bmp"},
    {"Title", "MinOverBmp", "min_over.bmp"},
    {"Title", "MinDownBmp", "min_down.bmp"},
    {"Border", "LeftBmp", "Border_left.bmp"},
    {"Border", "BottomLeftBmp", "Border_bottom_left.bmp"},
    {"Border", "BottomCenterBmp", "Border_bottom_center.bmp"},
    {"Border", "BottomRightBmp", "Border_bottom_right.bmp"},
    {"Border", "RightBmp", "Border_right.bmp"},
    {"TrayIcon", "Normal", "TrayIcon_Normal.ico"},
    {"TrayIcon", "FindPedometer", "TrayIcon_FindPedometer.ico"},
    {"Page2", "BackBmp", "P2_back.bmp"},
    {"Page2", "LeftLog", "Logo01.bmp"},
    {"Page3", "BackBmp", "P3_back.bmp"},
    {"MSNHome", "Ico", "MSNHome/Home.ico"},
    {"MSNPdata", "Ico", "MSNPdata/Pdata.ico"},
    {"MSNUser", "Ico", "MSNUser/User.ico"},
    {"RightP1", "BackBmp", "RightP1_Back.bmp"},
    {"RightP1", "DataIcon", "RightP1/Data.ico"},
    {"RightP1", "PasswordIcon", "RightP1/Password.ico"},
    {"BigToolbar", "USBIcon", "BigToolbar_USB.ico"},
    {"BigToolbar", "UserIcon", "BigToolbar_User.ico"},
    {"BigToolbar", "PasswordIcon", "BigToolbar_Password.ico"},
    {"BigToolbar", "PrintIcon", "BigToolbar_Print.ico"},
    {"BigToolbar", "SettingIcon", "BigToolbar_Setting.ico"},
    {"BigToolbar", "LogoutIcon", "BigToolbar_Logout.ico"},
    {"BigToolbar", "LogoIcon", "BigToolbar_Logo.ico"},
};

int Key(const char* section, const char* key)
{
    return Profile::GetInt(kSetIni, QString::fromLatin1(section), QString::fromLatin1(key), -12345);
}

}  // namespace

TEST(BuiltSkin, EveryFileKeyNamesAFileThatLoads)
{
    ASSERT_TRUE(QFileInfo::exists(kSetIni)) << qPrintable(kSetIni);
    for (const Named& n : kFileKeys) {
        SCOPED_TRACE(std::string(n.section) + "/" + n.key);
        const QString value = Profile::GetString(kSetIni, QString::fromLatin1(n.section), QString::fromLatin1(n.key));
        EXPECT_EQ(value, QString::fromLatin1(n.file));
        const QString path = kSkin + value;
        if (value.endsWith(QLatin1String(".ico"))) {
            const QList<QImage> frames = IconFrames(path);
            ASSERT_FALSE(frames.isEmpty()) << qPrintable(path);
        } else {
            EXPECT_FALSE(Bmp(path).isNull()) << qPrintable(path);
        }
    }
}

TEST(BuiltSkin, TitleKeysKeepTheirSpellingAndNumbers)
{
    // The pressed close button is read under this spelling only.
    EXPECT_EQ(Profile::GetString(kSetIni, "Title", "ClsoeDownBmp"), "close_down.bmp");
    EXPECT_TRUE(Profile::GetString(kSetIni, "Title", "CloseDownBmp").isEmpty());
    // The caption text colour is a decimal string: white.
    EXPECT_EQ(Profile::GetString(kSetIni, "Title", "TextColor"), "16777215");
    EXPECT_EQ(Key("Title", "SbtnOffsetY"), 1);
    EXPECT_EQ(Key("Title", "SbtnOffsetR"), 5);
    EXPECT_EQ(Key("Title", "SbtnSapce"), 0);
    EXPECT_EQ(Key("Border", "TopRound"), SkinArt::kTopRound);
    EXPECT_EQ(Key("Border", "BottomRound"), SkinArt::kBottomRound);
}

TEST(BuiltSkin, FramePiecesFitTheCaptionAndBorders)
{
    const int caption = SkinArt::kCaptionHeight;
    EXPECT_EQ(Bmp(kSkin + "title_left.bmp").size(), QSize(SkinArt::kTitleSideWidth, caption));
    EXPECT_EQ(Bmp(kSkin + "title_center.bmp").size(), QSize(SkinArt::kTitleCentreWidth, caption));
    EXPECT_EQ(Bmp(kSkin + "title_right.bmp").size(), QSize(SkinArt::kTitleSideWidth, caption));
    for (const char* name : {"close", "max", "min"})
        for (const char* state : {"_normal", "_over", "_down"}) {
            const QString file = kSkin + name + state + ".bmp";
            EXPECT_EQ(Bmp(file).size(), QSize(SkinArt::kSysButtonSize, SkinArt::kSysButtonSize)) << qPrintable(file);
        }
    const int b = SkinArt::kBorderWidth;
    EXPECT_EQ(Bmp(kSkin + "Border_left.bmp").width(), b);
    EXPECT_EQ(Bmp(kSkin + "Border_right.bmp").width(), b);
    EXPECT_EQ(Bmp(kSkin + "Border_bottom_center.bmp").height(), b);
    EXPECT_EQ(Bmp(kSkin + "Border_bottom_left.bmp").size(), QSize(b, b));
    EXPECT_EQ(Bmp(kSkin + "Border_bottom_right.bmp").size(), QSize(b, b));
}

TEST(BuiltSkin, SystemButtonsBlendIntoTheCaption)
{
    // BMP has no transparency: a button's untouched corner must be the caption's own colour
    // on the rows it is drawn over, or a box would show around every button.
    const QImage centre = Bmp(kSkin + "title_center.bmp");
    const int top = SkinArt::kSysButtonTop;
    for (const char* name : {"close_normal", "max_normal", "min_normal"}) {
        const QImage button = Bmp(kSkin + name + ".bmp");
        for (int y : {0, SkinArt::kSysButtonSize - 1})
            EXPECT_EQ(button.pixel(0, y), centre.pixel(0, top + y)) << name << " row " << y;
    }
    // Side pieces and borders share the outer edge colour.
    const QImage left = Bmp(kSkin + "title_left.bmp");
    const QImage border = Bmp(kSkin + "Border_left.bmp");
    EXPECT_EQ(left.pixel(0, SkinArt::kCaptionHeight - 1), border.pixel(0, 0));
    const QImage right = Bmp(kSkin + "title_right.bmp");
    const QImage rborder = Bmp(kSkin + "Border_right.bmp");
    EXPECT_EQ(right.pixel(SkinArt::kTitleSideWidth - 1, SkinArt::kCaptionHeight - 1),
              rborder.pixel(SkinArt::kBorderWidth - 1, 0));
}

TEST(BuiltSkin, PagesHaveTheirLayoutSizes)
{
    EXPECT_EQ(Bmp(kSkin + "P2_back.bmp").size(), SkinArt::kLoginPage);
    EXPECT_EQ(Bmp(kSkin + "P3_back.bmp").size(), QSize(868, 500));
    EXPECT_EQ(Bmp(kSkin + "RightP1_Back.bmp").size(), SkinArt::kCard);
    EXPECT_EQ(Bmp(kProgram + "Show.bmp").size(), SkinArt::kShowPicture);
}

TEST(BuiltSkin, LogoSitsSeamlesslyInTheLoginPanel)
{
    const QImage page = Bmp(kSkin + "P2_back.bmp");
    const QImage logo = Bmp(kSkin + "Logo01.bmp");
    const int x = Key("Page2", "LeftLogX");
    const int y = Key("Page2", "LeftLogY");
    ASSERT_FALSE(logo.isNull());
    EXPECT_LE(x + logo.width(), SkinArt::kLoginPanelWidth);
    EXPECT_LE(y + logo.height(), page.height());
    // The logo carries the page's background, so its edges match the page under it.
    for (int i = 0; i < logo.width(); i += 7) {
        EXPECT_EQ(logo.pixel(i, 0), page.pixel(x + i, y)) << "top " << i;
        EXPECT_EQ(logo.pixel(i, logo.height() - 1), page.pixel(x + i, y + logo.height() - 1)) << "bottom " << i;
    }
    // And it is not just background.
    int differing = 0;
    for (int j = 0; j < logo.height(); ++j)
        for (int i = 0; i < logo.width(); ++i)
            differing += logo.pixel(i, j) != page.pixel(x + i, y + j);
    EXPECT_GT(differing, logo.width() * logo.height() / 8);
}

TEST(BuiltSkin, UserCardLayoutFitsItsBackground)
{
    const QImage card = Bmp(kSkin + "RightP1_Back.bmp");
    const QRect box(Key("RightP1", "HEADX"), Key("RightP1", "HEADY"), Key("RightP1", "HEADWEIGHT"),
                    Key("RightP1", "HEADHEIGHT"));
    // The frame drawn around the picture reaches two pixels outside the box.
    EXPECT_TRUE(card.rect().contains(box.adjusted(-2, -2, 2, 2))) << box.x() << "," << box.y();
    for (const char* item : {"ID", "Name", "Sex", "Age", "Weight", "Steplong"}) {
        SCOPED_TRACE(item);
        const QString p = QString::fromLatin1(item);
        const int x = Profile::GetInt(kSetIni, "RightP1", p + "X", -1);
        const int y = Profile::GetInt(kSetIni, "RightP1", p + "Y", -1);
        const int size = Profile::GetInt(kSetIni, "RightP1", p + "FontSize", -1);
        EXPECT_GT(x, 0);
        EXPECT_GT(y, 0);
        EXPECT_GT(size, 0);
        // Lines stay above the band of the two buttons at the bottom.
        EXPECT_LT(y + size, card.height() - 36);
        EXPECT_FALSE(Profile::GetString(kSetIni, "RightP1", p + "FontName").isEmpty());
        EXPECT_FALSE(Profile::GetString(kSetIni, "RightP1", p + "TextColor").isEmpty());
    }
}

TEST(BuiltSkin, ElevenColumnHeaderImagesInTheSkinFolder)
{
    const QImage middle = Bmp(kSkin + "ColumnHeader1.bmp");
    for (int i = 0; i <= 10; ++i) {
        const QImage img = Bmp(kSkin + QStringLiteral("ColumnHeader%1.bmp").arg(i));
        ASSERT_FALSE(img.isNull()) << i;
        EXPECT_EQ(img.height(), SkinArt::kHeaderImageHeight) << i;
        const int expected = i >= 9 ? SkinArt::kSortArrowWidth
                                    : (i % 3 == 1 ? SkinArt::kHeaderMiddleWidth : SkinArt::kHeaderEndWidth);
        EXPECT_EQ(img.width(), expected) << i;
    }
    // The arrows are copied over the normal middle piece: their background must be its colour.
    for (int i : {9, 10}) {
        const QImage arrow = Bmp(kSkin + QStringLiteral("ColumnHeader%1.bmp").arg(i));
        for (int y = 0; y < arrow.height(); ++y) {
            EXPECT_EQ(arrow.pixel(0, y), middle.pixel(0, y)) << i << " row " << y;
            EXPECT_EQ(arrow.pixel(arrow.width() - 1, y), middle.pixel(0, y)) << i << " row " << y;
        }
    }
    // Ascending points up: its widest row lies lower than the descending arrow's.
    auto widestRow = [&](int index) {
        const QImage a = Bmp(kSkin + QStringLiteral("ColumnHeader%1.bmp").arg(index));
        int best = -1, bestCount = -1;
        for (int y = 0; y < a.height(); ++y) {
            int count = 0;
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != middle.pixel(0, y);
            if (count > bestCount) {
                bestCount = count;
                best = y;
            }
        }
        return best;
    };
    EXPECT_GT(widestRow(9), widestRow(10));
}

TEST(BuiltSkin, IconsCarrySeveralSizesWithTransparentCorners)
{
    struct IconFile {
        QString path;
        QList<int> widths;
    };
    // Every size the program draws an icon at, at 100 %, 150 % and 200 %.
    const QList<int> all{16, 24, 32, 48, 64, 96};
    const QList<IconFile> icons = {
        {kSkin + "App.ico", all},
        {kSkin + "TrayIcon_Normal.ico", all},
        {kSkin + "TrayIcon_FindPedometer.ico", all},
        {kSkin + "BigToolbar_USB.ico", all},
        {kSkin + "BigToolbar_Setting.ico", all},
        {kSkin + "MSNHome/Home.ico", all},
        {kSkin + "MSNUser/User.ico", all},
        {kSkin + "RightP1/Password.ico", all},
        {kProgram + "User.ico", all},
        {kProgram + "date.ico", all},
    };
    for (const IconFile& icon : icons) {
        SCOPED_TRACE(icon.path.toStdString());
        EXPECT_EQ(IconWidths(icon.path), icon.widths);
        const QList<QImage> frames = IconFrames(icon.path);
        ASSERT_EQ(frames.size(), icon.widths.size());
        for (const QImage& f : frames) {
            EXPECT_EQ(f.width(), f.height());
            const int last = f.width() - 1;
            // Transparent around the drawing (the pedometer and calendar use the corners least).
            EXPECT_EQ(qAlpha(f.pixel(0, last)), 0) << f.width();
            EXPECT_EQ(qAlpha(f.pixel(last, 0)) < 255, true) << f.width();
            int opaque = 0;
            for (int y = 0; y < f.height(); ++y)
                for (int x = 0; x < f.width(); ++x)
                    opaque += qAlpha(f.pixel(x, y)) == 255;
            EXPECT_GT(opaque, f.width() * f.height() / 8) << f.width();
        }
    }
}

TEST(BuiltSkin, TrayIconsDifferWhenAPedometerIsFound)
{
    const QList<QImage> normal = IconFrames(kSkin + "TrayIcon_Normal.ico");
    const QList<QImage> found = IconFrames(kSkin + "TrayIcon_FindPedometer.ico");
    ASSERT_EQ(normal.size(), found.size());
    for (int i = 0; i < normal.size(); ++i)
        EXPECT_NE(normal[i], found[i]) << normal[i].width();
}

TEST(BuiltSkin, UserPicturesAreSquareAndDistinct)
{
    QList<QImage> photos;
    for (int i = 0; i < SkinArt::kPhotoCount; ++i) {
        const QImage img = Bmp(kProgram + QStringLiteral("Photo/%1.bmp").arg(i));
        ASSERT_FALSE(img.isNull()) << i;
        EXPECT_EQ(img.size(), QSize(SkinArt::kPhotoSize, SkinArt::kPhotoSize)) << i;
        for (const QImage& earlier : photos)
            EXPECT_NE(img, earlier) << i;
        photos.append(img);
    }
}

TEST(BuiltSkin, EveryBitmapHasItsOwnDoubleSizeArt)
{
    QStringList bitmaps = QDir(kSkin).entryList({"*.bmp"}, QDir::Files);
    bitmaps.append(QStringLiteral("../../Show.bmp"));
    int ones = 0;
    for (const QString& name : bitmaps) {
        if (name.contains(QLatin1String("@2x")))
            continue;
        ++ones;
        SCOPED_TRACE(name.toStdString());
        const QImage one = Bmp(kSkin + name);
        const QImage two = Bmp(kSkin + name.left(name.size() - 4) + "@2x.bmp");
        ASSERT_EQ(two.size(), one.size() * 2);
        // Drawn anew rather than enlarged, except the straight border strips (bands of flat colour).
        const QImage enlarged = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const bool flat = name == "Border_left.bmp" || name == "Border_right.bmp" || name == "Border_bottom_center.bmp";
        if (!flat) {
            EXPECT_NE(two, enlarged);
        }
        // And the same picture: on average within a few steps of the 1x pixels (a pressed
        // glyph moves by half a pixel, which only the finer pixels can show).
        const QImage back = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 diff = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                diff += std::abs(qGray(back.pixel(x, y)) - qGray(one.pixel(x, y)));
        EXPECT_LT(double(diff) / (one.width() * one.height()), 20.0);
    }
    EXPECT_EQ(ones, 33);
}

TEST(BuiltSkin, GraphTemplateCarriesTheChartDefaults)
{
    const QString graph = kProgram + "Graph.ini";
    ASSERT_TRUE(QFileInfo::exists(graph));
    EXPECT_EQ(Profile::GetString(graph, "Bar", "Calorie"), "0");
    EXPECT_EQ(Profile::GetString(graph, "Bar", "2TargetColor"), "32768");
    EXPECT_EQ(Profile::GetString(graph, "Bar", "CurposLineColor"), "16711680");
}
