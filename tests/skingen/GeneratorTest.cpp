// The icon file writer and the generator run on their own.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "tools/skingen/IcoFile.h"
#include "tools/skingen/SkinArt.h"

namespace {

QImage Sample(int size, QRgb fill)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = size / 4; y < size * 3 / 4; ++y)
        for (int x = size / 4; x < size * 3 / 4; ++x)
            img.setPixel(x, y, fill);
    img.setPixel(0, size - 1, qRgba(10, 20, 30, 128));  // half transparent
    return img;
}

QList<QImage> ReadAll(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QList<QImage> out;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        out.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return out;
}

QString SourceFile(const char* relative)
{
    return QStringLiteral(TRAVIMO_SOURCE_DIR "/") + QString::fromLatin1(relative);
}

QMap<QString, QByteArray> Digests(const QString& root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            out.insert(path.mid(root.size()), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return out;
}

}  // namespace

TEST(IcoFile, RoundTripsThroughQtsReader)
{
    const QList<QImage> images{Sample(16, qRgb(200, 0, 0)), Sample(32, qRgb(0, 120, 0)), Sample(48, qRgb(0, 0, 255))};
    const QByteArray bytes = IcoFile::Encode(images);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(IcoFile::EntrySizes(bytes), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const QList<QImage> back = ReadAll(bytes);
    ASSERT_EQ(back.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(back[i].size(), images[i].size());
        const int s = images[i].width();
        EXPECT_EQ(back[i].pixel(s / 2, s / 2), images[i].pixel(s / 2, s / 2));
        EXPECT_EQ(qAlpha(back[i].pixel(1, 1)), 0);
        EXPECT_EQ(qAlpha(back[i].pixel(0, s - 1)), 128);
    }
}

TEST(IcoFile, OddWidthsPadTheMaskRows)
{
    const QList<QImage> images{Sample(33, qRgb(1, 2, 3)), Sample(7, qRgb(4, 5, 6))};
    const QByteArray bytes = IcoFile::Encode(images);
    EXPECT_EQ(IcoFile::EntrySizes(bytes), (QList<QSize>{{33, 33}, {7, 7}}));
    const QList<QImage> back = ReadAll(bytes);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].pixel(16, 16), qRgb(1, 2, 3));
    EXPECT_EQ(back[1].pixel(3, 3), qRgb(4, 5, 6));
}

TEST(IcoFile, RefusesWhatTheFormatCannotHold)
{
    EXPECT_TRUE(IcoFile::Encode({}).isEmpty());
    EXPECT_TRUE(IcoFile::Encode({QImage()}).isEmpty());
    EXPECT_TRUE(IcoFile::Encode({Sample(16, 0xff000000), QImage(257, 16, QImage::Format_ARGB32)}).isEmpty());
    EXPECT_EQ(IcoFile::EntrySizes(IcoFile::Encode({QImage(256, 256, QImage::Format_ARGB32)})),
              (QList<QSize>{{256, 256}}));
    QTemporaryDir dir;
    EXPECT_FALSE(IcoFile::Write(dir.path() + "/missing/folder/x.ico", {Sample(16, 0xff000000)}));
}

TEST(IcoFile, DirectoryReaderRejectsDamagedFiles)
{
    const QByteArray good = IcoFile::Encode({Sample(16, qRgb(9, 9, 9)), Sample(32, qRgb(9, 9, 9))});
    ASSERT_EQ(IcoFile::EntrySizes(good).size(), 2);
    for (qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(6), qsizetype(21), qsizetype(38), good.size() - 1}) {
        EXPECT_TRUE(IcoFile::EntrySizes(good.left(cut)).isEmpty()) << cut;
    }
    QByteArray wrongType = good;
    wrongType[2] = 2;  // a cursor file
    EXPECT_TRUE(IcoFile::EntrySizes(wrongType).isEmpty());
    QByteArray noEntries = good;
    noEntries[4] = 0;
    noEntries[5] = 0;
    EXPECT_TRUE(IcoFile::EntrySizes(noEntries).isEmpty());
    QByteArray farOffset = good;
    farOffset[6 + 12 + 3] = char(0x7f);  // first entry's offset far past the end
    EXPECT_TRUE(IcoFile::EntrySizes(farOffset).isEmpty());
    EXPECT_TRUE(IcoFile::EntrySizes(QByteArray(64, '\xff')).isEmpty());
}

TEST(Generator, WritesTheSameBytesEveryRun)
{
    QTemporaryDir a, b;
    QStringList first, second;
    QString error;
    ASSERT_TRUE(SkinArt::WriteAll(a.path(), SourceFile("res/skin/Set.ini"), SourceFile("res/program/Graph.ini"),
                                  &first, &error))
        << qPrintable(error);
    ASSERT_TRUE(SkinArt::WriteAll(b.path() + "/", SourceFile("res/skin/Set.ini"),
                                  SourceFile("res/program/Graph.ini"), &second, &error))
        << qPrintable(error);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(first.contains("Skin/标准/Set.ini"));
    EXPECT_TRUE(first.contains("Skin/标准/title_left@2x.bmp"));
    EXPECT_TRUE(first.contains("Show@2x.bmp"));
    EXPECT_TRUE(first.contains("Photo/0.bmp"));
    const auto da = Digests(a.path());
    const auto db = Digests(b.path());
    EXPECT_EQ(da.size(), first.size());
    EXPECT_EQ(da, db);
}

TEST(Generator, TheBuiltInSkinIsTheSkinFolderOnly)
{
    const QByteArray qrc = SkinArt::BuiltinSkinQrc(QStringLiteral("/p/"), {"Skin/标准/Set.ini", "Skin/标准/MSNHome/Home.ico",
                                                                           "Show.bmp", "Photo/0.bmp", "Graph.ini"});
    EXPECT_TRUE(qrc.contains("prefix=\"/travimo/skin\""));
    EXPECT_TRUE(qrc.contains("<file alias=\"Set.ini\">/p/Skin/标准/Set.ini</file>"));
    EXPECT_TRUE(qrc.contains("<file alias=\"MSNHome/Home.ico\">/p/Skin/标准/MSNHome/Home.ico</file>"));
    EXPECT_FALSE(qrc.contains("Show.bmp"));
    EXPECT_FALSE(qrc.contains("Graph.ini"));
    EXPECT_EQ(qrc.count("<file "), 2);
}

TEST(Generator, ReportsWhatItCannotWrite)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    // A missing Set.ini to copy: the run fails and names the file.
    EXPECT_FALSE(SkinArt::WriteAll(dir.path(), dir.path() + "/nowhere.ini", SourceFile("res/program/Graph.ini"),
                                   &written, &error));
    EXPECT_TRUE(error.contains("Set.ini")) << qPrintable(error);
    // A program folder that is a file.
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    error.clear();
    EXPECT_FALSE(SkinArt::WriteAll(dir.path() + "/file", SourceFile("res/skin/Set.ini"),
                                   SourceFile("res/program/Graph.ini"), nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Generator, CaptionRowsRunFromEdgeToInnerEdge)
{
    // Outer edge darker than the highlight under it; the gradient darkens downwards.
    EXPECT_LT(SkinArt::CaptionRowColour(0).lightness(), SkinArt::CaptionRowColour(1).lightness());
    EXPECT_GT(SkinArt::CaptionRowColour(2).lightness(),
              SkinArt::CaptionRowColour(SkinArt::kCaptionHeight - 2).lightness());
    EXPECT_EQ(SkinArt::CaptionRowColour(-5), SkinArt::CaptionRowColour(0));
    EXPECT_EQ(SkinArt::CaptionRowColour(1000), SkinArt::CaptionRowColour(SkinArt::kCaptionHeight - 1));
    EXPECT_TRUE(SkinArt::ColumnHeader(11).isNull());
    EXPECT_TRUE(SkinArt::ColumnHeader(-1).isNull());
}
