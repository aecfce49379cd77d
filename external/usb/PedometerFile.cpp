#include "external/usb/PedometerFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t kRecordSize = sizeof(DeviceStepRecord);
constexpr size_t kCrcOffset = 60;
// 1900-01-01 and 9999-12-31 as OLE dates.
constexpr double kFirstOleDay = 2.0;
constexpr double kLastOleDay = 2958465.0;

void SetWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

uint32_t ReadU32(const char* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int32_t ReadI32(const char* p)
{
    int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void WriteU32(char* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }
void WriteI32(char* p, int32_t v) { std::memcpy(p, &v, sizeof v); }

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

// The CRC of a file with its CRC field counted as zero: its header, then its day records.
uint32_t FileCrc(const char* header, const char* days, size_t daysSize)
{
    const char zero[4] = {0, 0, 0, 0};
    uint32_t crc = Crc32(header, kCrcOffset);
    crc = Crc32(zero, 4, crc);
    crc = Crc32(header + kCrcOffset + 4, kPedometerHeaderSize - kCrcOffset - 4, crc);
    return Crc32(days, daysSize, crc);
}

// A file's size against what its header promises; false with the reason when they differ.
bool SizeMatches(size_t size, uint32_t count, QString* error)
{
    // count <= 1000, so this cannot overflow.
    const size_t expected = kPedometerHeaderSize + static_cast<size_t>(count) * kRecordSize;
    if (size == expected)
        return true;
    SetWhy(error, QStringLiteral("file size %1 does not match %2 days (%3 bytes expected)").arg(size).arg(count).arg(expected));
    return false;
}

// Reads the header of a file of `size` bytes: its day count, and the profile into out.
// Checks the layout only; CheckContent checks the values once the days are read.
bool ReadHeader(const char* p, size_t size, uint32_t& count, PedometerFile& out, QString* error)
{
    if (size < kPedometerHeaderSize) {
        SetWhy(error, QStringLiteral("file too short for a pedometer header (%1 bytes)").arg(size));
        return false;
    }
    if (std::memcmp(p, kPedometerMagic, sizeof kPedometerMagic) != 0) {
        SetWhy(error, QStringLiteral("not a pedometer file"));
        return false;
    }
    const uint32_t version = ReadU32(p + 8);
    if (version != kPedometerFileVersion) {
        SetWhy(error, QStringLiteral("unsupported pedometer file version %1").arg(version));
        return false;
    }
    if (ReadU32(p + 12) != kPedometerHeaderSize || ReadU32(p + 56) != kRecordSize) {
        SetWhy(error, QStringLiteral("unexpected header or record size"));
        return false;
    }
    count = ReadU32(p + 52);
    if (count > static_cast<uint32_t>(kPedometerMaxDays)) {
        SetWhy(error, QStringLiteral("%1 days is more than a pedometer holds").arg(count));
        return false;
    }
    if (!SizeMatches(size, count, error))
        return false;
    out.profile.id = ReadI32(p + 16);
    out.profile.sex = ReadI32(p + 20);
    out.profile.height = ReadI32(p + 24);
    out.profile.weight = ReadI32(p + 28);
    out.profile.age = ReadI32(p + 32);
    out.profile.targetCalories = ReadI32(p + 36);
    out.profile.alarmHour = ReadI32(p + 40);
    out.profile.alarmMinute = ReadI32(p + 44);
    out.profile.alarmSecond = ReadI32(p + 48);
    return true;
}

// The checksum over header and days, then the profile's and the days' values.
bool CheckContent(const char* header, const PedometerFile& f, QString* error)
{
    const size_t daysSize = f.days.size() * kRecordSize;
    if (FileCrc(header, reinterpret_cast<const char*>(f.days.data()), daysSize) != ReadU32(header + kCrcOffset)) {
        SetWhy(error, QStringLiteral("checksum mismatch"));
        return false;
    }
    if (!IsValidProfile(f.profile, error))
        return false;
    for (size_t i = 0; i < f.days.size(); ++i) {
        QString why;
        if (!IsValidDay(f.days[i], &why)) {
            SetWhy(error, QStringLiteral("day %1: %2").arg(i).arg(why));
            return false;
        }
    }
    return true;
}

}  // namespace

uint32_t Crc32(const char* data, size_t size, uint32_t crc)
{
    // zlib answers a null buffer with the initial value, not with crc carried on.
    if (size == 0)
        return crc;
    return static_cast<uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(data), size));
}

bool IsValidProfile(const PedometerProfile& p, QString* why)
{
    struct Check {
        const char* name;
        int32_t value, lo, hi;
    };
    const Check checks[] = {
        {"sex", p.sex, 0, 1},
        {"height", p.height, 0, 300},
        {"weight", p.weight, 0, 500},
        {"age", p.age, 0, 150},
        {"target calories", p.targetCalories, 0, 100000},
        {"alarm hour", p.alarmHour, 0, 23},
        {"alarm minute", p.alarmMinute, 0, 59},
        {"alarm second", p.alarmSecond, 0, 59},
    };
    for (const Check& c : checks) {
        if (!InRange(c.value, c.lo, c.hi)) {
            SetWhy(why, QStringLiteral("%1 %2 is outside %3..%4").arg(QLatin1String(c.name)).arg(c.value).arg(c.lo).arg(c.hi));
            return false;
        }
    }
    return true;
}

bool IsValidDay(const DeviceStepRecord& day, QString* why)
{
    const double dt = day.date.dt;
    if (!std::isfinite(dt) || dt < kFirstOleDay || dt > kLastOleDay) {
        SetWhy(why, QStringLiteral("day date out of range"));
        return false;
    }
    if (day.steps < 0) {
        SetWhy(why, QStringLiteral("negative step count"));
        return false;
    }
    for (double v : day.slotValues2) {
        if (!std::isfinite(v)) {
            SetWhy(why, QStringLiteral("non-finite slot value"));
            return false;
        }
    }
    for (double v : day.slotKcal) {
        if (!std::isfinite(v) || v < 0) {
            SetWhy(why, QStringLiteral("invalid slot kilocalories"));
            return false;
        }
    }
    if (!std::isfinite(day.calories) || day.calories < 0) {
        SetWhy(why, QStringLiteral("invalid day calories"));
        return false;
    }
    return true;
}

QByteArray EncodePedometerFile(const PedometerFile& file, QString* error)
{
    if (!IsValidProfile(file.profile, error))
        return {};
    if (file.days.size() > static_cast<size_t>(kPedometerMaxDays)) {
        SetWhy(error, QStringLiteral("a pedometer holds at most %1 days").arg(kPedometerMaxDays));
        return {};
    }
    for (const DeviceStepRecord& d : file.days) {
        if (!IsValidDay(d, error))
            return {};
    }
    QByteArray bytes(static_cast<qsizetype>(kPedometerHeaderSize + file.days.size() * kRecordSize), '\0');
    char* p = bytes.data();
    std::memcpy(p, kPedometerMagic, sizeof kPedometerMagic);
    WriteU32(p + 8, kPedometerFileVersion);
    WriteU32(p + 12, kPedometerHeaderSize);
    const PedometerProfile& pr = file.profile;
    WriteI32(p + 16, pr.id);
    WriteI32(p + 20, pr.sex);
    WriteI32(p + 24, pr.height);
    WriteI32(p + 28, pr.weight);
    WriteI32(p + 32, pr.age);
    WriteI32(p + 36, pr.targetCalories);
    WriteI32(p + 40, pr.alarmHour);
    WriteI32(p + 44, pr.alarmMinute);
    WriteI32(p + 48, pr.alarmSecond);
    WriteU32(p + 52, static_cast<uint32_t>(file.days.size()));
    WriteU32(p + 56, static_cast<uint32_t>(kRecordSize));
    if (!file.days.empty())
        std::memcpy(p + kPedometerHeaderSize, file.days.data(), file.days.size() * kRecordSize);
    WriteU32(p + kCrcOffset, FileCrc(p, p + kPedometerHeaderSize, file.days.size() * kRecordSize));
    return bytes;
}

bool DecodePedometerFile(const QByteArray& bytes, PedometerFile& out, QString* error)
{
    const char* p = bytes.constData();
    PedometerFile f;
    uint32_t count = 0;
    if (!ReadHeader(p, static_cast<size_t>(bytes.size()), count, f, error))
        return false;
    f.days.resize(count);
    if (count)
        std::memcpy(f.days.data(), p + kPedometerHeaderSize, count * kRecordSize);
    if (!CheckContent(p, f, error))
        return false;
    out = std::move(f);
    return true;
}

bool LoadPedometerFile(const QString& path, PedometerFile& out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetWhy(error, QStringLiteral("cannot open: %1").arg(file.errorString()));
        return false;
    }
    const qint64 size = file.size();
    if (size > kPedometerMaxFileSize) {
        SetWhy(error, QStringLiteral("file of %1 bytes is larger than any pedometer").arg(size));
        return false;
    }
    // The days are read straight into their records: a full pedometer is 14 MB.
    char header[kPedometerHeaderSize] = {};
    const qint64 got = file.read(header, sizeof header);
    // A header cut short is judged by what was read, a whole one by the file's size.
    const size_t seen = got == static_cast<qint64>(sizeof header) ? static_cast<size_t>(size) : static_cast<size_t>(std::max<qint64>(got, 0));
    PedometerFile f;
    uint32_t count = 0;
    if (!ReadHeader(header, seen, count, f, error))
        return false;
    f.days.resize(count);
    const qint64 daysSize = static_cast<qint64>(count * kRecordSize);
    qint64 read = daysSize ? file.read(reinterpret_cast<char*>(f.days.data()), daysSize) : 0;
    // A file that shrank or grew while being read does not match its header any more.
    char extra;
    if (read >= 0 && file.read(&extra, 1) == 1)
        ++read;
    if (!SizeMatches(kPedometerHeaderSize + static_cast<size_t>(read < 0 ? 0 : read), count, error))
        return false;
    if (!CheckContent(header, f, error))
        return false;
    out = std::move(f);
    return true;
}

bool SavePedometerFile(const QString& path, const PedometerFile& file, QString* error)
{
    const QByteArray bytes = EncodePedometerFile(file, error);
    if (bytes.isEmpty())
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        SetWhy(error, QStringLiteral("cannot write: %1").arg(out.errorString()));
        return false;
    }
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        SetWhy(error, QStringLiteral("cannot write: %1").arg(out.errorString()));
        return false;
    }
    return true;
}
