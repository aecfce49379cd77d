// A pedometer's days into the user store, against raw SQLite in the same run.
//   BM_ImportPedometer/days:365 and /days:1000
//     lib: a pedometer file (written by the device library's own writer) lies in a port
//          folder; USB_Init finds it, the device library reads and transfers its days and
//          announces it (0x715); every day is then stored with one USER_InsertDataBatch.
//     raw: the same records inserted by plain SQLite into a table of the same shape in one
//          transaction (WAL, synchronous FULL) - the least any store of these days must do.
//   Each iteration starts from an empty store with the user in it (not timed).
#include "BenchRatio.h"

#include "external/records/WndMessage.h"
#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int32_t kUser = 10002;
constexpr int kWeight = 62;
constexpr int kStride = 68;

void Check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what);
}

// Ends the wait for the pedometer when it arrives.
class ArrivalWatcher : public QObject {
public:
    QEventLoop wait;
    bool event(QEvent* e) override
    {
        if (e->type() == MessageType(WM_DEVICE_ARRIVED)) {
            wait.quit();
            return true;
        }
        return QObject::event(e);
    }
};

// The raw limit: one transaction of plain inserts into a day table like the store's.
class RawDays {
public:
    explicit RawDays(const std::string& path)
    {
        Check(sqlite3_open(path.c_str(), &m_db) == SQLITE_OK, "raw open");
        Check(sqlite3_exec(m_db,
                           "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                           "CREATE TABLE days (id INTEGER PRIMARY KEY, number INTEGER NOT NULL, day INTEGER NOT NULL,"
                           " weight INTEGER NOT NULL, stride INTEGER NOT NULL, steps INTEGER NOT NULL,"
                           " calories REAL NOT NULL, record BLOB NOT NULL, UNIQUE (number, day));",
                           nullptr, nullptr, nullptr) == SQLITE_OK,
              "raw schema");
        Check(sqlite3_prepare_v2(m_db, "INSERT INTO days (number, day, weight, stride, steps, calories, record) "
                                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1, &m_insert, nullptr) == SQLITE_OK,
              "raw prepare");
    }
    ~RawDays()
    {
        sqlite3_finalize(m_insert);
        sqlite3_close(m_db);
    }
    RawDays(const RawDays&) = delete;
    RawDays& operator=(const RawDays&) = delete;

    void InsertAll(const std::vector<DeviceStepRecord>& days)
    {
        Check(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK, "raw begin");
        for (const DeviceStepRecord& r : days) {
            const Ymd d = OleDateToYmd(r.date.dt);
            sqlite3_bind_int(m_insert, 1, kUser);
            sqlite3_bind_int(m_insert, 2, d.year * 10000 + d.month * 100 + d.day);
            sqlite3_bind_int(m_insert, 3, kWeight);
            sqlite3_bind_int(m_insert, 4, kStride);
            sqlite3_bind_int(m_insert, 5, r.steps);
            sqlite3_bind_double(m_insert, 6, r.calories);
            sqlite3_bind_blob(m_insert, 7, &r, sizeof r, SQLITE_STATIC);
            Check(sqlite3_step(m_insert) == SQLITE_DONE, "raw insert");
            sqlite3_reset(m_insert);
        }
        Check(sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, "raw commit");
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
};

// A store in its own folder holding the pedometer's user and no days.
class EmptyStore {
public:
    EmptyStore()
    {
        Check(m_dir.isValid(), "temporary folder");
        const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_dir.path().toStdString() +
                                       "/User.mdb;Persist Security Info=False";
        std::string error;
        Check(USER_Init(connection, "KX300_User", "KX300_Data", error) == 0, error);
        UserRecord u{};
        u.number = kUser;
        SetRecordName(u, "bench");
        u.weight = kWeight;
        u.stride = kStride;
        Check(USER_CreateUser(u) == USER_OK, "create user");
    }
    ~EmptyStore() { USER_Term(0, "508317"); }
    EmptyStore(const EmptyStore&) = delete;
    EmptyStore& operator=(const EmptyStore&) = delete;
    std::string RawPath() const { return m_dir.filePath(QStringLiteral("raw.db")).toStdString(); }

private:
    QTemporaryDir m_dir;
};

// Plugs the pedometer in (USB_Init finds it in the port folder), waits for its
// arrival and stores its days in one batch; returns how many were stored. The
// device library stays started (USB_Term is the caller's, after the timing).
int ImportPedometer(const QString& port, ArrivalWatcher& watcher)
{
    USB_SetPortFolder(port);
    QTimer::singleShot(60000, &watcher.wait, &QEventLoop::quit);
    USB_Init(&watcher, nullptr);
    watcher.wait.exec();
    std::vector<const DeviceStepRecord*> days;
    for (int i = 0; i < USB_GetDataCount(); ++i)
        days.push_back(USB_GetData(i));
    std::vector<int> results;
    std::string error;
    return USER_InsertDataBatch(kUser, kWeight, kStride, days, results, error);
}

void BM_ImportPedometer(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    // Days up to well before today, as a pedometer worn for a long time holds them.
    PedometerFile file;
    file.profile.id = kUser;
    file.profile.weight = kWeight;
    file.days = GenerateDays(2023, 1, 1, count, kWeight, 7);
    QTemporaryDir portDir;
    Check(portDir.isValid(), "port folder");
    const QString port = portDir.path() + QStringLiteral("/USB/");
    Check(QDir().mkpath(port), "port folder");
    QString why;
    Check(SavePedometerFile(port + QStringLiteral("walker.ped"), file, &why), why.toStdString());

    BenchRatio ratio;
    for (auto _ : state) {
        EmptyStore store;
        RawDays raw(store.RawPath());
        ArrivalWatcher watcher;
        int stored = 0;
        const double seconds = ratio.Both([&] { stored = ImportPedometer(port, watcher); }, [&] { raw.InsertAll(file.days); });
        USB_Term();
        if (stored != count)
            state.SkipWithError("not every day was stored");
        state.SetIterationTime(seconds);
    }
    ratio.Report(state);
}
BENCHMARK(BM_ImportPedometer)->ArgName("days")->Arg(365)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
