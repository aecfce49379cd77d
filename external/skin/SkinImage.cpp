#include "external/skin/SkinImage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

#include <cmath>
#include <limits>

namespace {

constexpr qreal kDoubleSizeRatio = 1.5;  // from here on the @2x file is the better fit

quint32 U32(const QByteArray& d, int at)
{
    return quint32(uchar(d[at])) | (quint32(uchar(d[at + 1])) << 8) | (quint32(uchar(d[at + 2])) << 16) |
           (quint32(uchar(d[at + 3])) << 24);
}

quint16 U16(const QByteArray& d, int at)
{
    return quint16(uchar(d[at]) | (uchar(d[at + 1]) << 8));
}

bool IsIconName(const QString& path)
{
    return path.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".cur"), Qt::CaseInsensitive);
}

// One image of a file that exists and is not a BMP cut short; from an icon file the entry
// closest to `pixels` (the smallest not below it, else the largest).
QImage Decode(const QString& path, int pixels)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || !BmpDataComplete(f.read(64), info.size()))
            return {};
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QImage best;
    const bool icon = reader.format() == "ico" || reader.format() == "cur";
    const int count = icon ? std::max(1, reader.imageCount()) : 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage img = reader.read();
        if (img.isNull() || img.width() <= 0 || img.height() <= 0)
            continue;
        const bool bigEnough = img.width() >= pixels;
        const bool better = best.isNull() ||
                            (bigEnough ? best.width() < pixels || img.width() < best.width()
                                       : best.width() < pixels && img.width() > best.width());
        if (better)
            best = std::move(img);
    }
    return best;
}

struct UsableEntry {
    qint64 size = -1;
    QDateTime modified;
    bool usable = false;
};

}  // namespace

bool BmpDataComplete(const QByteArray& head, qint64 fileSize)
{
    if (!head.startsWith("BM"))
        return true;
    if (head.size() < 26)
        return false;
    const qint64 offBits = U32(head, 10);
    const quint32 dibSize = U32(head, 14);
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    qint64 sizeImage = 0;
    if (dibSize == 12) {  // the old core header: 16-bit sizes, never compressed
        width = U16(head, 18);
        height = U16(head, 20);
        bitCount = U16(head, 24);
    } else if (dibSize >= 40 && head.size() >= 54) {
        width = qint32(U32(head, 18));
        height = qint32(U32(head, 22));
        bitCount = U16(head, 28);
        compression = U32(head, 30);
        sizeImage = U32(head, 34);
    } else {
        return false;
    }
    height = std::abs(height);  // negative: rows stored top-down
    if (width <= 0 || height <= 0 || bitCount <= 0 || bitCount > 32 || offBits < 14 + qint64(dibSize))
        return false;
    qint64 pixelBytes = 0;
    if (compression == 0 || compression == 3 || compression == 6) {  // plain rows (bit fields only mask them)
        const qint64 stride = (width * bitCount + 31) / 32 * 4;
        if (height > std::numeric_limits<qint64>::max() / stride)
            return false;
        pixelBytes = stride * height;
    } else {
        // Run-length and embedded formats: only the header's own count says how much follows.
        if (sizeImage <= 0)
            return false;
        pixelBytes = sizeImage;
    }
    return offBits + pixelBytes <= fileSize;
}

bool ImageFileUsable(const QString& path)
{
    static QHash<QString, UsableEntry> cache;
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    UsableEntry& e = cache[path];
    const QDateTime modified = info.lastModified();
    if (e.size != info.size() || e.modified != modified) {
        e.size = info.size();
        e.modified = modified;
        e.usable = !Decode(path, 16).isNull();
    }
    return e.usable;
}

QString DoubleSizeName(const QString& path)
{
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    if (dot <= slash + 1)
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QImage LoadImageFile(const QString& path, qreal ratio, int iconSize)
{
    if (path.isEmpty())
        return {};
    if (IsIconName(path)) {
        const int logical = std::max(1, iconSize);
        QImage icon = Decode(path, int(std::ceil(logical * std::max<qreal>(1.0, ratio))));
        if (!icon.isNull())
            icon.setDevicePixelRatio(qreal(icon.width()) / logical);
        return icon;
    }
    if (ratio >= kDoubleSizeRatio) {
        const QString big = DoubleSizeName(path);
        const QSize one = QImageReader(path).size();
        if (one.isValid() && ImageFileUsable(big)) {
            QImage img = Decode(big, 0);
            if (img.size() == one * 2) {
                img.setDevicePixelRatio(2.0);
                return img;
            }
        }
    }
    return Decode(path, 0);
}

QPixmap LoadSkinBitmap(const QString& path, qreal ratio)
{
    const QImage img = LoadImageFile(path, ratio);
    return img.isNull() ? QPixmap() : QPixmap::fromImage(img);
}

QSize LogicalSize(const QImage& image)
{
    return image.isNull() ? QSize() : (image.deviceIndependentSize()).toSize();
}

QSize LogicalSize(const QPixmap& pixmap)
{
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}
