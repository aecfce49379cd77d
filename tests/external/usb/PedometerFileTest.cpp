// The pedometer file: round trip, hostile and truncated files, and a seeded
// random mutation run over the reader.

#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"
#include "tests/external/usb/fuzz/SeedFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <random>

namespace {

PedometerFile SampleFile(int days)
{
    PedometerFile f;
    f.profile = PedometerProfile{12345, 0, 162, 58, 41, 420, 6, 45, 30};
    f.days = GenerateDays(2024, 2, 27, days, f.profile.weight, 99);
    return f;
}

void PutU32(QByteArray& b, int offset, uint32_t v) { std::memcpy(b.data() + offset, &v, 4); }

// Recomputes the checksum so a mutation reaches the checks behind it.
void FixCrc(QByteArray& b)
{
    if (b.size() < 64)
        return;
    PutU32(b, 60, 0);
    PutU32(b, 60, Crc32(b.constData(), static_cast<size_t>(b.size())));
}

// A copy of the file with one 32-bit field changed and a matching checksum.
QByteArray WithField(const QByteArray& file, int offset, uint32_t v)
{
    QByteArray b = file;
    PutU32(b, offset, v);
    FixCrc(b);
    return b;
}

bool Decodes(const QByteArray& b)
{
    PedometerFile f;
    return DecodePedometerFile(b, f);
}

}  // namespace

TEST(PedometerFile, RoundTripKeepsProfileAndDaysByteForByte)
{
    const PedometerFile in = SampleFile(3);
    const QByteArray bytes = EncodePedometerFile(in);
    ASSERT_EQ(bytes.size(), 64 + 3 * 14440);
    EXPECT_EQ(QByteArray(bytes.constData(), 8), QByteArray("TRVMPEDO"));

    PedometerFile out;
    QString why;
    ASSERT_TRUE(DecodePedometerFile(bytes, out, &why)) << why.toStdString();
    EXPECT_EQ(out.profile, in.profile);
    ASSERT_EQ(out.days.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(&out.days[i], &in.days[i], sizeof(DeviceStepRecord)), 0);
    EXPECT_EQ(EncodePedometerFile(out), bytes);
}

TEST(PedometerFile, HeaderFieldsSitAtTheirDocumentedOffsets)
{
    const QByteArray b = EncodePedometerFile(SampleFile(2));
    auto i32 = [&](int off) {
        int32_t v;
        std::memcpy(&v, b.constData() + off, 4);
        return v;
    };
    EXPECT_EQ(i32(8), 1);       // version
    EXPECT_EQ(i32(12), 64);     // header size
    EXPECT_EQ(i32(16), 12345);  // ID
    EXPECT_EQ(i32(20), 0);
    EXPECT_EQ(i32(24), 162);
    EXPECT_EQ(i32(28), 58);
    EXPECT_EQ(i32(32), 41);
    EXPECT_EQ(i32(36), 420);
    EXPECT_EQ(i32(40), 6);
    EXPECT_EQ(i32(44), 45);
    EXPECT_EQ(i32(48), 30);
    EXPECT_EQ(i32(52), 2);
    EXPECT_EQ(i32(56), 14440);
    // The first record's date follows the header.
    double dt;
    std::memcpy(&dt, b.constData() + 64, 8);
    EXPECT_EQ(dt, OleDateFromYmd(2024, 2, 27));
}

TEST(PedometerFile, CrcMatchesTheStandardCheckValue)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    // Nothing more to add carries the CRC on, whatever the pointer.
    EXPECT_EQ(Crc32(nullptr, 0, 0xCBF43926u), 0xCBF43926u);
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
}

TEST(PedometerFile, RefusesEveryKindOfDamagedFile)
{
    const QByteArray good = EncodePedometerFile(SampleFile(2));
    ASSERT_TRUE(Decodes(good));

    EXPECT_FALSE(Decodes(QByteArray()));
    EXPECT_FALSE(Decodes(good.left(63)));                 // shorter than a header
    EXPECT_FALSE(Decodes(good.left(64)));                 // header promising 2 days, none there
    EXPECT_FALSE(Decodes(good.left(good.size() - 1)));    // last byte missing
    EXPECT_FALSE(Decodes(good + QByteArray(1, '\0')));    // trailing byte
    EXPECT_FALSE(Decodes(QByteArray(good.size(), 'x')));  // garbage

    QByteArray flipped = good;
    flipped[5000] = static_cast<char>(flipped[5000] ^ 0x10);
    EXPECT_FALSE(Decodes(flipped));  // checksum

    const QByteArray version = WithField(good, 8, 2);
    QString why;
    PedometerFile f;
    EXPECT_FALSE(DecodePedometerFile(version, f, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("version"))) << why.toStdString();

    EXPECT_FALSE(Decodes(WithField(good, 52, 0xFFFFFFFFu)));  // would overflow a careless size computation
    EXPECT_FALSE(Decodes(WithField(good, 52, 1001)));         // too many days
    EXPECT_FALSE(Decodes(WithField(good, 56, 14436)));        // record size
    EXPECT_FALSE(Decodes(WithField(good, 40, 24)));           // alarm hour

    QByteArray nanDay = good;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(nanDay.data() + 64 + 8672 + 8 * 100, &nan, 8);
    FixCrc(nanDay);
    EXPECT_FALSE(Decodes(nanDay));

    QByteArray badDate = good;
    const double before1900 = -5.0;
    std::memcpy(badDate.data() + 64 + 14440, &before1900, 8);
    FixCrc(badDate);
    EXPECT_FALSE(Decodes(badDate));
}

TEST(PedometerFile, HoldsAtMostAThousandDays)
{
    PedometerFile f = SampleFile(0);
    f.days = GenerateDays(2020, 1, 1, 1000, 60, 1);
    const QByteArray full = EncodePedometerFile(f);
    ASSERT_EQ(full.size(), kPedometerMaxFileSize);
    EXPECT_TRUE(Decodes(full));
    f.days.push_back(f.days.back());
    QString why;
    EXPECT_TRUE(EncodePedometerFile(f, &why).isEmpty());
    EXPECT_FALSE(why.isEmpty());
}

TEST(PedometerFile, RefusesToStoreWhatItWouldNotRead)
{
    PedometerFile f = SampleFile(1);
    f.profile.height = 301;
    EXPECT_TRUE(EncodePedometerFile(f).isEmpty());
    f = SampleFile(1);
    f.days[0].calories = -1;
    EXPECT_TRUE(EncodePedometerFile(f).isEmpty());
}

TEST(PedometerFile, LoadRefusesOversizedFilesWithoutReadingThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ped"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Sparse: large on paper, nothing written.
    ASSERT_TRUE(file.resize(kPedometerMaxFileSize + 1));
    file.close();
    PedometerFile f;
    QString why;
    EXPECT_FALSE(LoadPedometerFile(path, f, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("larger"))) << why.toStdString();
    EXPECT_FALSE(LoadPedometerFile(dir.filePath(QStringLiteral("missing.ped")), f, &why));
}

TEST(PedometerFile, LoadJudgesAFileAsDecodeJudgesItsBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ped"));
    const QByteArray good = EncodePedometerFile(SampleFile(2));
    QByteArray flipped = good;
    flipped[64 + 14440 + 100] = static_cast<char>(flipped[64 + 14440 + 100] ^ 1);
    const QByteArray variants[] = {good, QByteArray(), good.left(63), good.left(64), good.left(good.size() - 1),
                                   good + QByteArray(1, '\0'), flipped, WithField(good, 52, 0xFFFFFFFFu),
                                   WithField(good, 40, 24), EncodePedometerFile(SampleFile(0))};
    for (const QByteArray& bytes : variants) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        PedometerFile loaded, decoded;
        QString loadWhy, decodeWhy;
        const bool ok = DecodePedometerFile(bytes, decoded, &decodeWhy);
        EXPECT_EQ(LoadPedometerFile(path, loaded, &loadWhy), ok) << bytes.size();
        EXPECT_EQ(loadWhy, decodeWhy) << bytes.size();
        if (ok) {
            EXPECT_EQ(loaded.profile, decoded.profile);
            ASSERT_EQ(loaded.days.size(), decoded.days.size());
            for (size_t i = 0; i < loaded.days.size(); ++i)
                EXPECT_EQ(std::memcmp(&loaded.days[i], &decoded.days[i], sizeof(DeviceStepRecord)), 0) << i;
        }
    }
}

TEST(PedometerFile, SaveThenLoadAndFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ped"));
    const PedometerFile in = SampleFile(2);
    ASSERT_TRUE(SavePedometerFile(path, in));
    PedometerFile bad = in;
    bad.profile.age = -1;
    EXPECT_FALSE(SavePedometerFile(path, bad));
    PedometerFile out;
    ASSERT_TRUE(LoadPedometerFile(path, out));
    EXPECT_EQ(out.profile, in.profile);
    EXPECT_EQ(out.days.size(), 2u);
}

// Thousands of seeded random mutations of a valid file: the reader must never
// crash or read out of bounds (the tests run under ASan/UBSan), and whatever it
// accepts must be a file it would write itself.
TEST(PedometerFile, SeededRandomMutationsNeverBreakTheReader)
{
    const QByteArray good = EncodePedometerFile(SampleFile(3));
    std::mt19937 rnd(20240601u);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray b = good;
        const int kind = static_cast<int>(rnd() % 6);
        const int edits = 1 + static_cast<int>(rnd() % 8);
        for (int e = 0; e < edits && !b.isEmpty(); ++e) {
            switch (kind) {
            case 0:  // flip a bit anywhere
                b[static_cast<qsizetype>(rnd() % b.size())] ^= static_cast<char>(1u << (rnd() % 8));
                break;
            case 1:  // overwrite a header word with something extreme
                PutU32(b, static_cast<int>(rnd() % 16) * 4, rnd() % 2 ? rnd() : (rnd() % 3) - 1u);
                break;
            case 2:  // truncate
                b.truncate(static_cast<qsizetype>(rnd() % b.size()));
                break;
            case 3:  // append junk
                b.append(QByteArray(static_cast<qsizetype>(rnd() % 20000), static_cast<char>(rnd())));
                break;
            case 4:  // scribble a double in the records
                if (b.size() > 72) {
                    const uint64_t bits = (static_cast<uint64_t>(rnd()) << 32) | rnd();
                    std::memcpy(b.data() + 64 + (rnd() % (b.size() - 72)), &bits, 8);
                }
                break;
            default:  // random bytes
                b[static_cast<qsizetype>(rnd() % b.size())] = static_cast<char>(rnd());
                break;
            }
        }
        if (rnd() % 2)
            FixCrc(b);
        PedometerFile f;
        if (DecodePedometerFile(b, f)) {
            ++accepted;
            ASSERT_LE(f.days.size(), static_cast<size_t>(kPedometerMaxDays));
            ASSERT_EQ(EncodePedometerFile(f), b) << "round " << round;
        }
    }
    // Some mutations (a changed profile value in range, a plausible double) are legitimate files.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
}

TEST(FuzzSeeds, CheckedInSeedsAreTheValidFilesTheSeedMakerWrites)
{
    for (const SeedPedometer& seed : SeedPedometers()) {
        QFile file(QStringLiteral(TRAVIMO_SOURCE_DIR "/tests/external/usb/fuzz/corpus/") + QLatin1String(seed.name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << seed.name << " is missing (see fuzz/SeedFiles.h)";
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(bytes, EncodePedometerFile(seed.file)) << seed.name << " is out of date (see fuzz/SeedFiles.h)";
        PedometerFile decoded;
        EXPECT_TRUE(DecodePedometerFile(bytes, decoded)) << seed.name;
    }
}
