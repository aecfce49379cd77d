// The Workbook stream of an Excel 97-2003 workbook (BIFF8): the globals
// (code page, window, fonts, cell formats, sheet list, shared strings) and one
// substream per sheet holding its text cells as references into the shared
// string table, and its number cells.
#include "output/export/ExportWriters.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

// Record types.
constexpr unsigned kBof = 0x0809;
constexpr unsigned kEof = 0x000A;
constexpr unsigned kCodePage = 0x0042;
constexpr unsigned kWindow1 = 0x003D;
constexpr unsigned kFont = 0x0031;
constexpr unsigned kXf = 0x00E0;
constexpr unsigned kStyle = 0x0293;
constexpr unsigned kBoundSheet = 0x0085;
constexpr unsigned kSst = 0x00FC;
constexpr unsigned kContinue = 0x003C;
constexpr unsigned kExtSst = 0x00FF;
constexpr unsigned kDimensions = 0x0200;
constexpr unsigned kLabelSst = 0x00FD;
constexpr unsigned kNumber = 0x0203;
constexpr unsigned kWindow2 = 0x023E;

// Longest record body; longer data goes on in CONTINUE records.
constexpr qsizetype kMaxRecordData = 8224;
// Excel expects 15 style formats before the first cell format.
constexpr int kStyleXfCount = 15;
constexpr unsigned kCellXf = kStyleXfCount;
constexpr unsigned kCodePageUtf16 = 1200;

// Appends one record whose body the callback writes.
template <typename Body>
void Record(QByteArray& out, unsigned type, Body&& body)
{
    const qsizetype start = out.size();
    PutU16(out, type);
    PutU16(out, 0);
    body();
    SetU16At(out, start + 2, static_cast<unsigned>(out.size() - start - 4));
}

void PutBof(QByteArray& out, unsigned kind)
{
    Record(out, kBof, [&] {
        PutU16(out, 0x0600);  // BIFF8
        PutU16(out, kind);    // 0x0005 globals, 0x0010 worksheet
        PutU16(out, 0x0DBB);  // build
        PutU16(out, 0x07CC);  // year
        PutU32(out, 0);       // file history
        PutU32(out, 6);       // lowest version that may read it
    });
}

void PutEof(QByteArray& out)
{
    Record(out, kEof, [] {});
}

// Texts are stored as 8-bit characters when every character is below 256,
// else as UTF-16; both forms start with the same flags byte.
bool FitsEightBits(const QChar* text, qsizetype n)
{
    return std::all_of(text, text + n, [](QChar c) { return c.unicode() < 0x100; });
}

void PutChars(QByteArray& out, const QChar* text, qsizetype n, bool eightBit)
{
    if (eightBit) {
        for (qsizetype i = 0; i < n; ++i)
            out.append(static_cast<char>(text[i].unicode()));
    } else {
        for (qsizetype i = 0; i < n; ++i)
            PutU16(out, text[i].unicode());
    }
}

// A name of at most 255 characters (font and sheet names).
void PutShortString(QByteArray& out, const QString& text)
{
    const bool eightBit = FitsEightBits(text.constData(), text.size());
    PutU8(out, static_cast<unsigned>(text.size()));
    PutU8(out, eightBit ? 0 : 1);
    PutChars(out, text.constData(), text.size(), eightBit);
}

void PutWindow1(QByteArray& out)
{
    Record(out, kWindow1, [&] {
        PutU16(out, 0x0168);  // left, in twips
        PutU16(out, 0x001E);  // top
        PutU16(out, 0x4A38);  // width
        PutU16(out, 0x2B5C);  // height
        PutU16(out, 0x0038);  // horizontal and vertical scroll bars, sheet tabs
        PutU16(out, 0);       // active sheet
        PutU16(out, 0);       // first visible tab
        PutU16(out, 1);       // selected sheets
        PutU16(out, 0x0258);  // tab bar width ratio, thousandths
    });
}

// Font indices 0 to 3 come from these records (index 4 is never used by Excel).
void PutFonts(QByteArray& out)
{
    const QString family = QStringLiteral("宋体");
    for (int i = 0; i < 4; ++i) {
        Record(out, kFont, [&] {
            PutU16(out, 240);     // 12 pt, in twentieths of a point
            PutU16(out, 0);       // no italic, strike-out, outline
            PutU16(out, 0x7FFF);  // automatic colour
            PutU16(out, 400);     // normal weight
            PutU16(out, 0);       // no super- or subscript
            PutU8(out, 0);        // not underlined
            PutU8(out, 0);        // family
            PutU8(out, 134);      // GB2312 character set, as the family expects
            PutU8(out, 0);
            PutShortString(out, family);
        });
    }
}

// usedAttributes: for a style, the attributes it leaves to the cell format;
// for a cell format, those it does not take from its style.
void PutXf(QByteArray& out, unsigned font, bool style, unsigned usedAttributes)
{
    Record(out, kXf, [&] {
        PutU16(out, font);
        PutU16(out, 0);                        // "General" number format
        PutU16(out, style ? 0xFFF5 : 0x0001);  // locked; a style has no parent
        PutU8(out, 0x20);                      // aligned to the bottom
        PutU8(out, 0);                         // no rotation
        PutU8(out, 0);                         // no indent
        PutU8(out, usedAttributes);
        PutU32(out, 0);       // no borders
        PutU32(out, 0);       // no border colours, no pattern
        PutU16(out, 0x20C0);  // automatic pattern colours
    });
}

void PutFormats(QByteArray& out)
{
    // Styles 1-2 use font 1, 3-4 font 2, the rest font 0, and all but Normal
    // leave everything except the font to the cell: Excel's own layout.
    for (int i = 0; i < kStyleXfCount; ++i)
        PutXf(out, i == 1 || i == 2 ? 1 : (i == 3 || i == 4 ? 2 : 0), true, i == 0 ? 0 : 0xF4);
    PutXf(out, 0, false, 0);
    Record(out, kStyle, [&] {
        PutU16(out, 0x8000);  // built-in style on format 0
        PutU8(out, 0);        // "Normal"
        PutU8(out, 0xFF);
    });
}

// The shared strings, in order of first use, and how often cells refer to them.
struct SharedStrings {
    std::vector<QString> texts;
    QHash<QString, uint32_t> index;
    uint32_t references = 0;

    uint32_t Add(const QString& cell)
    {
        ++references;
        const QString text = WholeCharacters(cell);
        const auto it = index.constFind(text);
        if (it != index.constEnd())
            return it.value();
        const auto n = static_cast<uint32_t>(texts.size());
        index.insert(text, n);
        texts.push_back(text);
        return n;
    }
};

// SST with CONTINUE records, then EXTSST pointing into it every few strings.
// A string's length and flags never straddle two records; its characters may,
// and the record carrying the rest starts with the flags byte again.
void PutSharedStrings(QByteArray& out, const SharedStrings& sst)
{
    const qsizetype count = static_cast<qsizetype>(sst.texts.size());
    const qsizetype perBucket = std::max<qsizetype>(8, (count + 127) / 128);
    QByteArray ext;
    PutU16(ext, static_cast<unsigned>(perBucket));

    qsizetype recordStart = out.size();
    PutU16(out, kSst);
    PutU16(out, 0);
    PutU32(out, sst.references);
    PutU32(out, static_cast<uint32_t>(count));
    const auto room = [&] { return kMaxRecordData - (out.size() - recordStart - 4); };
    const auto nextRecord = [&] {
        SetU16At(out, recordStart + 2, static_cast<unsigned>(out.size() - recordStart - 4));
        recordStart = out.size();
        PutU16(out, kContinue);
        PutU16(out, 0);
    };

    for (qsizetype i = 0; i < count; ++i) {
        const QString& text = sst.texts[static_cast<size_t>(i)];
        const qsizetype n = text.size();
        const bool eightBit = FitsEightBits(text.constData(), n);
        const qsizetype charSize = eightBit ? 1 : 2;
        if (room() < 3 + (n ? charSize : 0))
            nextRecord();
        if (i % perBucket == 0) {
            PutU32(ext, static_cast<uint32_t>(out.size()));                 // stream position
            PutU16(ext, static_cast<unsigned>(out.size() - recordStart));  // within its record
            PutU16(ext, 0);
        }
        PutU16(out, static_cast<unsigned>(n));
        PutU8(out, eightBit ? 0 : 1);
        qsizetype done = 0;
        while (done < n) {
            const qsizetype fit = room() / charSize;
            if (fit == 0) {
                nextRecord();
                PutU8(out, eightBit ? 0 : 1);
                continue;
            }
            const qsizetype take = std::min(fit, n - done);
            PutChars(out, text.constData() + done, take, eightBit);
            done += take;
        }
    }
    SetU16At(out, recordStart + 2, static_cast<unsigned>(out.size() - recordStart - 4));
    Record(out, kExtSst, [&] { out.append(ext); });
}

struct Extent {
    uint32_t firstRow = 0, endRow = 0;
    unsigned firstColumn = 0, endColumn = 0;
};

Extent UsedExtent(const ExportSheet& sheet)
{
    Extent e;
    bool any = false;
    for (size_t r = 0; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (row[c].isEmpty())
                continue;
            const auto rr = static_cast<uint32_t>(r);
            const auto cc = static_cast<unsigned>(c);
            if (!any) {
                e = {rr, rr + 1, cc, cc + 1};
                any = true;
            }
            e.endRow = rr + 1;
            e.firstColumn = std::min(e.firstColumn, cc);
            e.endColumn = std::max(e.endColumn, cc + 1);
        }
    }
    return e;
}

QByteArray SheetStream(const ExportSheet& sheet, bool selected, SharedStrings& sst)
{
    QByteArray out;
    PutBof(out, 0x0010);
    const Extent e = UsedExtent(sheet);
    const NumberCells numbers(sheet);
    Record(out, kDimensions, [&] {
        PutU32(out, e.firstRow);
        PutU32(out, e.endRow);
        PutU16(out, e.firstColumn);
        PutU16(out, e.endColumn);
        PutU16(out, 0);
    });
    for (size_t r = 0; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString& text = row[c];
            if (text.isEmpty())
                continue;
            double value = 0.0;
            if (numbers.Parse(c, text, value)) {
                Record(out, kNumber, [&] {
                    PutU16(out, static_cast<unsigned>(r));
                    PutU16(out, static_cast<unsigned>(c));
                    PutU16(out, kCellXf);
                    PutF64(out, value);
                });
                continue;
            }
            const uint32_t index = sst.Add(text);
            Record(out, kLabelSst, [&] {
                PutU16(out, static_cast<unsigned>(r));
                PutU16(out, static_cast<unsigned>(c));
                PutU16(out, kCellXf);
                PutU32(out, index);
            });
        }
    }
    Record(out, kWindow2, [&] {
        // Grid, headers, zeros, automatic grid colour, outline symbols; the
        // first sheet is the selected and shown one.
        PutU16(out, selected ? 0x06B6 : 0x00B6);
        PutU16(out, 0);     // top row
        PutU16(out, 0);     // left column
        PutU16(out, 0x40);  // grid colour: automatic
        PutU16(out, 0);
        PutU16(out, 0);     // page-break preview zoom: default
        PutU16(out, 0);     // normal view zoom: default
        PutU32(out, 0);
    });
    PutEof(out);
    return out;
}

}  // namespace

QByteArray BiffWorkbookStream(const ExportWorkbook& book)
{
    // Sheets first: they fill the shared string table the globals carry.
    SharedStrings sst;
    std::vector<QByteArray> sheets;
    sheets.reserve(book.sheets.size());
    for (size_t i = 0; i < book.sheets.size(); ++i)
        sheets.push_back(SheetStream(book.sheets[i], i == 0, sst));

    QByteArray out;
    PutBof(out, 0x0005);
    Record(out, kCodePage, [&] { PutU16(out, kCodePageUtf16); });
    PutWindow1(out);
    PutFonts(out);
    PutFormats(out);
    std::vector<qsizetype> offsetAt;
    for (const ExportSheet& sheet : book.sheets) {
        Record(out, kBoundSheet, [&] {
            offsetAt.push_back(out.size());
            PutU32(out, 0);  // stream position of the sheet's BOF, set below
            PutU8(out, 0);   // visible
            PutU8(out, 0);   // worksheet
            PutShortString(out, sheet.name);
        });
    }
    PutSharedStrings(out, sst);
    PutEof(out);

    qsizetype total = out.size();
    for (const QByteArray& s : sheets)
        total += s.size();
    out.reserve(total);
    for (size_t i = 0; i < sheets.size(); ++i) {
        SetU32At(out, offsetAt[i], static_cast<uint32_t>(out.size()));
        out.append(sheets[i]);
    }
    return out;
}
