#include "IcoFile.h"

#include <QSaveFile>

namespace {

void PutU16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void PutU32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

quint16 GetU16(const QByteArray& d, qsizetype at)
{
    return quint16(uchar(d[at]) | (uchar(d[at + 1]) << 8));
}

quint32 GetU32(const QByteArray& d, qsizetype at)
{
    return quint32(uchar(d[at])) | (quint32(uchar(d[at + 1])) << 8) | (quint32(uchar(d[at + 2])) << 16)
        | (quint32(uchar(d[at + 3])) << 24);
}

// One entry: BITMAPINFOHEADER, bottom-up BGRA rows, then the 1-bit AND mask
// (bit set = transparent) with rows padded to 32 bits.
QByteArray EncodeEntry(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    out.reserve(40 + w * h * 4 + maskStride * h);
    PutU32(out, 40);
    PutU32(out, quint32(w));
    PutU32(out, quint32(h * 2));  // colour rows plus mask rows
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, quint32(w * h * 4 + maskStride * h));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            // Fully transparent pixels are stored as zero so the bytes do not depend
            // on whatever colour the painter left under alpha 0.
            const QRgb p = qAlpha(line[x]) == 0 ? 0 : line[x];
            out.append(char(qBlue(p)));
            out.append(char(qGreen(p)));
            out.append(char(qRed(p)));
            out.append(char(qAlpha(p)));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

}  // namespace

namespace IcoFile {

QByteArray Encode(const QList<QImage>& images)
{
    if (images.isEmpty() || images.size() > 0xffff)
        return {};
    QList<QByteArray> entries;
    for (const QImage& img : images) {
        if (img.isNull() || img.width() > 256 || img.height() > 256)
            return {};
        entries.append(EncodeEntry(img));
    }
    QByteArray out;
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage& img = images[i];
        out.append(char(img.width() == 256 ? 0 : img.width()));
        out.append(char(img.height() == 256 ? 0 : img.height()));
        out.append(char(0));  // no palette
        out.append(char(0));
        PutU16(out, 1);
        PutU16(out, 32);
        PutU32(out, quint32(entries[i].size()));
        PutU32(out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray& e : entries)
        out.append(e);
    return out;
}

bool Write(const QString& path, const QList<QImage>& images)
{
    const QByteArray bytes = Encode(images);
    if (bytes.isEmpty())
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bytes);
    return f.commit();
}

QList<QSize> EntrySizes(const QByteArray& data)
{
    if (data.size() < 6 || GetU16(data, 0) != 0 || GetU16(data, 2) != 1)
        return {};
    const int count = GetU16(data, 4);
    if (count == 0 || data.size() < 6 + 16 * qsizetype(count))
        return {};
    QList<QSize> sizes;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 6 + 16 * qsizetype(i);
        const int w = uchar(data[at]) == 0 ? 256 : uchar(data[at]);
        const int h = uchar(data[at + 1]) == 0 ? 256 : uchar(data[at + 1]);
        const quint64 length = GetU32(data, at + 8);
        const quint64 offset = GetU32(data, at + 12);
        if (length == 0 || offset + length > quint64(data.size()))
            return {};
        sizes.append(QSize(w, h));
    }
    return sizes;
}

}  // namespace IcoFile
