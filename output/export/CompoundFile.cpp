// The OLE2 compound file around the Workbook stream (version 3, 512-byte
// sectors). Sector order: the stream, one directory sector, the FAT sectors,
// then DIFAT sectors when more than 109 FAT sectors are needed (files past
// about 7 MB). The stream is padded to 4096 bytes so that it is never a
// "small" stream and the file needs no mini stream.
#include "output/export/ExportWriters.h"

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype kSector = 512;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr qsizetype kMiniStreamCutoff = 4096;
constexpr uint32_t kEntriesPerFat = kSector / 4;
constexpr uint32_t kHeaderDifat = 109;
constexpr uint32_t kEntriesPerDifat = kSector / 4 - 1;  // the last one links on

uint32_t CeilDiv(uint32_t a, uint32_t b)
{
    return (a + b - 1) / b;
}

// One 128-byte directory entry.
void PutEntry(QByteArray& out, const QString& name, unsigned type, uint32_t child, uint32_t start, uint32_t size)
{
    const qsizetype begin = out.size();
    for (QChar c : name)
        PutU16(out, c.unicode());
    out.append(64 - (out.size() - begin), '\0');
    PutU16(out, name.isEmpty() ? 0 : static_cast<unsigned>((name.size() + 1) * 2));
    PutU8(out, type);  // 0 unused, 2 stream, 5 root
    PutU8(out, type ? 1 : 0);  // black; unused entries are all zeros
    PutU32(out, kNoStream);  // left sibling
    PutU32(out, kNoStream);  // right sibling
    PutU32(out, child);
    out.append(16 + 4 + 16, '\0');  // class id, state bits, creation and change times
    PutU32(out, start);
    PutU32(out, size);
    PutU32(out, 0);  // size, high half
}

}  // namespace

QByteArray CompoundFileWithWorkbook(const QByteArray& workbookStream)
{
    const qsizetype streamSize = std::max(workbookStream.size(), kMiniStreamCutoff);
    const auto streamSectors = static_cast<uint32_t>((streamSize + kSector - 1) / kSector);

    // The FAT must also describe its own sectors and the DIFAT's.
    uint32_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        const uint32_t total = streamSectors + 1 + fatSectors + difatSectors;
        const uint32_t needFat = CeilDiv(total, kEntriesPerFat);
        const uint32_t needDifat = needFat > kHeaderDifat ? CeilDiv(needFat - kHeaderDifat, kEntriesPerDifat) : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const uint32_t directory = streamSectors;
    const uint32_t firstFat = directory + 1;
    const uint32_t firstDifat = firstFat + fatSectors;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(firstDifat + difatSectors + 1) * kSector);

    // Header.
    out.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    out.append(16, '\0');  // class id
    PutU16(out, 0x003E);   // minor version
    PutU16(out, 0x0003);   // major version 3
    PutU16(out, 0xFFFE);   // little-endian
    PutU16(out, 9);        // 2^9-byte sectors
    PutU16(out, 6);        // 2^6-byte mini sectors
    out.append(6, '\0');
    PutU32(out, 0);  // directory sectors: always 0 in version 3
    PutU32(out, fatSectors);
    PutU32(out, directory);
    PutU32(out, 0);  // transactions
    PutU32(out, static_cast<uint32_t>(kMiniStreamCutoff));
    PutU32(out, kEndOfChain);  // no mini FAT
    PutU32(out, 0);
    PutU32(out, difatSectors ? firstDifat : kEndOfChain);
    PutU32(out, difatSectors);
    for (uint32_t i = 0; i < kHeaderDifat; ++i)
        PutU32(out, i < fatSectors ? firstFat + i : kFree);

    // The stream, padded to whole sectors.
    out.append(workbookStream);
    out.append(static_cast<qsizetype>(streamSectors) * kSector - workbookStream.size(), '\0');

    // Directory: the root, the stream, two unused entries.
    PutEntry(out, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    PutEntry(out, QStringLiteral("Workbook"), 2, kNoStream, 0, static_cast<uint32_t>(streamSize));
    PutEntry(out, QString(), 0, kNoStream, 0, 0);
    PutEntry(out, QString(), 0, kNoStream, 0, 0);

    // FAT.
    std::vector<uint32_t> fat(static_cast<size_t>(fatSectors) * kEntriesPerFat, kFree);
    for (uint32_t s = 0; s + 1 < streamSectors; ++s)
        fat[s] = s + 1;
    fat[streamSectors - 1] = kEndOfChain;
    fat[directory] = kEndOfChain;
    for (uint32_t i = 0; i < fatSectors; ++i)
        fat[firstFat + i] = kFatSector;
    for (uint32_t i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = kDifatSector;
    for (uint32_t v : fat)
        PutU32(out, v);

    // DIFAT: the FAT sectors beyond the header's 109, 127 to a sector.
    for (uint32_t d = 0; d < difatSectors; ++d) {
        for (uint32_t k = 0; k < kEntriesPerDifat; ++k) {
            const uint32_t i = kHeaderDifat + d * kEntriesPerDifat + k;
            PutU32(out, i < fatSectors ? firstFat + i : kFree);
        }
        PutU32(out, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    }
    return out;
}
