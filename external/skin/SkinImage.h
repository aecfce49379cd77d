#pragma once
// The one loader of the program's bitmaps and icons (skin pieces, page backgrounds, the
// start-up picture, user pictures). It refuses what would paint garbage: a file that is
// missing, does not decode, or is a BMP shorter than the pixel data its header promises
// (the decoder would leave the missing rows as whatever memory held). At a device-pixel
// ratio of 1.5 or more it takes "<name>@2x.<ext>" beside the file when that one is usable
// and exactly twice the size, so a skin without such files keeps working.

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

// Whether the first bytes of a file (`head`, 54 or more for a BMP) and its length promise
// no more than the file holds. Anything that is not a BMP passes; a BMP whose header is
// damaged or whose pixel data would run past the end does not.
bool BmpDataComplete(const QByteArray& head, qint64 fileSize);

// Whether a file exists, decodes, and is not a BMP cut short. Remembered per path, size
// and modification time, so asking again is cheap.
bool ImageFileUsable(const QString& path);

// "<folder>/<name>@2x.<ext>" for "<folder>/<name>.<ext>".
QString DoubleSizeName(const QString& path);

// The image of a file for a device-pixel ratio: the @2x file (ratio 2) when the ratio is
// at least 1.5 and that file is usable and twice the 1x size, else the file itself (ratio 1).
// From an icon file it takes the image closest to (and preferably not smaller than)
// iconSize x ratio, with the ratio that gives it iconSize logical pixels.
// A null image when nothing usable is there.
QImage LoadImageFile(const QString& path, qreal ratio = 1.0, int iconSize = 16);
QPixmap LoadSkinBitmap(const QString& path, qreal ratio = 1.0);

// The logical size of an image (its pixels divided by its device-pixel ratio).
QSize LogicalSize(const QImage& image);
QSize LogicalSize(const QPixmap& pixmap);
