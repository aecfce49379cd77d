#pragma once
// The writers behind WriteWorkbook, one per format, and the byte helpers the
// binary ones share. Callers outside this folder use ExportBook.h.

#include "output/export/ExportBook.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <vector>

// The Workbook stream of an Excel 97-2003 file (BIFF8) holding the sheets.
// The workbook must have passed CheckWorkbook for ExportFormat::Xls.
QByteArray BiffWorkbookStream(const ExportWorkbook& book);
// An OLE2 compound file whose only stream is "Workbook" with these bytes.
QByteArray CompoundFileWithWorkbook(const QByteArray& workbookStream);
// The first sheet as CSV: UTF-8 with a byte order mark, RFC 4180 quoting, CRLF.
QByteArray CsvBytes(const ExportSheet& sheet);
// Writes an .xlsx file through libxlsxwriter and saves it to path.
ExportResult WriteXlsxWorkbook(const QString& path, const ExportWorkbook& book);

// "Cannot save <path>: <reason>".
ExportResult SaveFailure(const QString& path, const QString& reason);
// Why nothing can be saved at path (a folder, or a missing folder); empty if it may.
QString CheckDestination(const QString& path);
// Saves bytes to path through a temporary file beside it that is renamed into
// place, so a failure leaves an existing file untouched.
ExportResult SaveBytes(const QString& path, const QByteArray& bytes);

// The text with every lone surrogate (half a character, which readers reject)
// replaced by U+FFFD; the text itself when it has none.
QString WholeCharacters(const QString& text);

// Which cells of a sheet are stored as numbers.
class NumberCells {
public:
    explicit NumberCells(const ExportSheet& sheet);
    // Whether the cell is a number, and its value.
    bool Parse(qsizetype column, const QString& text, double& value) const;

private:
    std::vector<bool> m_columns;
};

// ---- little-endian byte building ------------------------------------------------

inline void PutU8(QByteArray& out, unsigned v)
{
    out.append(static_cast<char>(v & 0xFF));
}
inline void PutU16(QByteArray& out, unsigned v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
    out.append(b, 2);
}
inline void PutU32(QByteArray& out, uint32_t v)
{
    const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.append(b, 4);
}
inline void PutF64(QByteArray& out, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(out, static_cast<uint32_t>(bits));
    PutU32(out, static_cast<uint32_t>(bits >> 32));
}
inline void SetU16At(QByteArray& out, qsizetype at, unsigned v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void SetU32At(QByteArray& out, qsizetype at, uint32_t v)
{
    SetU16At(out, at, v & 0xFFFF);
    SetU16At(out, at + 2, v >> 16);
}
