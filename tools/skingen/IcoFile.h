#pragma once
// Multi-size Windows icon files (.ico). Each entry is stored as a 32-bit
// BGRA device-independent bitmap with its AND mask, the form every icon
// reader understands (Qt's reader included).

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace IcoFile {

// The .ico bytes for the given images, in the given order. Images larger than
// 256 pixels on a side are refused (empty result), as the format cannot say so.
QByteArray Encode(const QList<QImage>& images);

// Writes Encode(images) to path; false when encoding or writing fails.
bool Write(const QString& path, const QList<QImage>& images);

// The entry sizes named by an icon file's directory; empty when the bytes are not
// a well-formed icon file (wrong header, directory or entries past the end).
QList<QSize> EntrySizes(const QByteArray& data);

}  // namespace IcoFile
