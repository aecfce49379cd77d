#pragma once
// The virtual pedometer's file: what a pedometer holds, stored in one file.
//
// Format, version 1. All integers little-endian; records 4-byte packed.
//
//   offset  width   field
//   0       8       magic "TRVMPEDO"
//   8       uint32  version (1)
//   12      uint32  header size (64 for version 1)
//   16      int32   ID (user number; 999999 or <= 0 = never initialised)
//   20      int32   sex (1 = male, 0 = female)
//   24      int32   height, cm (0 .. 300)
//   28      int32   weight, kg (0 .. 500)
//   32      int32   age, years (0 .. 150)
//   36      int32   daily target, kcal (0 .. 100000)
//   40      int32   alarm hour (0 .. 23)
//   44      int32   alarm minute (0 .. 59)
//   48      int32   alarm second (0 .. 59)
//   52      uint32  day count (0 .. 1000)
//   56      uint32  record size (14440 = sizeof(DeviceStepRecord))
//   60      uint32  CRC-32 (IEEE, as zlib) of the whole file with this field read as 0
//   64      day count x 14440 bytes: the day records, laid out as DeviceStepRecord
//
// The file size must be exactly header size + day count x record size. A day
// must carry a finite date between 1900-01-01 and 9999-12-31, steps >= 0 and
// finite, non-negative kilocalories. Anything else makes the whole file
// unreadable: a pedometer that cannot be read is not half-imported.

#include "external/records/Records.h"

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "the pedometer file and DeviceStepRecord are little-endian byte images");

constexpr char kPedometerMagic[8] = {'T', 'R', 'V', 'M', 'P', 'E', 'D', 'O'};
constexpr uint32_t kPedometerFileVersion = 1;
constexpr uint32_t kPedometerHeaderSize = 64;
constexpr int kPedometerMaxDays = 1000;
constexpr qint64 kPedometerMaxFileSize =
    kPedometerHeaderSize + static_cast<qint64>(kPedometerMaxDays) * sizeof(DeviceStepRecord);
// Pedometer files in the port folder end with this (temporary files of an atomic write do not).
inline const QString kPedometerSuffix = QStringLiteral(".ped");

// The settings a pedometer keeps besides its day records.
struct PedometerProfile {
    int32_t id = kBlankDeviceId;
    int32_t sex = 1;
    int32_t height = 170;
    int32_t weight = 60;
    int32_t age = 30;
    int32_t targetCalories = 300;
    int32_t alarmHour = 7;
    int32_t alarmMinute = 0;
    int32_t alarmSecond = 0;

    friend bool operator==(const PedometerProfile&, const PedometerProfile&) = default;
};

struct PedometerFile {
    PedometerProfile profile;
    std::vector<DeviceStepRecord> days;
};

// Whether the pedometer would accept these settings (ranges of the table above); why not in *why.
bool IsValidProfile(const PedometerProfile& p, QString* why = nullptr);
// Whether a day record is plausible enough to hand to the program; why not in *why.
bool IsValidDay(const DeviceStepRecord& day, QString* why = nullptr);
// A pedometer ID that means "never initialised".
inline bool IsBlankPedometerId(int32_t id) { return id == kBlankDeviceId || id <= 0; }

// zlib's CRC-32 (IEEE); pass the previous result to continue.
uint32_t Crc32(const char* data, size_t size, uint32_t crc = 0);

// The file's bytes; empty when the content cannot be stored (invalid profile or day, too many days).
QByteArray EncodePedometerFile(const PedometerFile& file, QString* error = nullptr);
// Parses a file's bytes; on failure returns false, leaves out unchanged and says why.
bool DecodePedometerFile(const QByteArray& bytes, PedometerFile& out, QString* error = nullptr);

// Reads a pedometer file (refusing oversized files before reading them).
bool LoadPedometerFile(const QString& path, PedometerFile& out, QString* error = nullptr);
// Writes a pedometer file atomically: readers see the old or the new file, never a mix.
bool SavePedometerFile(const QString& path, const PedometerFile& file, QString* error = nullptr);
