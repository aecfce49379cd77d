// The user store against plain SQLite doing the same reads and writes.
//   BM_Import365     365 days for one user through USER_InsertData, one call a day;
//                    raw: the same rows inserted in one transaction (WAL, synchronous FULL)
//   BM_ImportBatch   365 and 1000 days for one user through one USER_InsertDataBatch;
//                    raw: the same rows inserted in one transaction (WAL, synchronous FULL)
//   BM_ReadMonth     one month through 31 USER_GetData2 calls, analysis included;
//                    raw: 31 lookups of the (number, day) index
//   BM_UserList      pages 1 and 500 of 100 000 users, with and without a keyword;
//                    raw: the page read by seeking the number index past the previous
//                    page's last number (what a reader that kept its place would do)
//   BM_Backup        a checked copy of a store of 10 users x 365 days (USER_Backup: online
//                    backup, integrity_check of the copy, fsync, pruning);
//                    raw: the store file's bytes copied into a new file and synced
//   BM_OpenChecked   USER_Init + USER_Term of that store, with its quick_check and size check
//                    (no daily copy due), its file in the page cache or not (cold);
//                    raw: reading the store file once
//   BM_OpenDailyDue  USER_Init of that store when the daily copy is due: how long start-up
//                    waits (the copy runs in the background, waited for untimed);
//                    raw: USER_Init when none is due
#include "BenchRatio.h"

#include "external/userdb/UserDb.h"
#include "external/userdb/UserDbBackup.h"
#include "external/userdb/UserDbInternal.h"

#include <fcntl.h>
#include <unistd.h>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int32_t kUser = 10002;
constexpr int kPageSize = 20;

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/travimo-bench-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp");
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string Connection(const std::string& folder)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;\t\t\t\t\t\tData Source=" + folder +
           "/User.mdb;Persist Security Info=False;\t\t\t\t\t\t\t\tJet OLEDB:Database Password=508317";
}

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(what);
}

void OpenStore(const std::string& folder)
{
    std::string error;
    Check(USER_Init(Connection(folder), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
    if (USER_NumberIsUnuse(kUser)) {
        UserRecord u{};
        u.number = kUser;
        SetRecordName(u, "bench");
        u.weight = 62;
        u.stride = 68;
        Check(USER_CreateUser(u) == USER_OK, "USER_CreateUser");
    }
}

// A realistic day: quiet nights, walking in the morning and evening.
DeviceStepRecord MakeDay(int index)
{
    DeviceStepRecord r;
    std::memset(&r, 0, sizeof r);
    r.date.dt = OleDateFromYmd(2023, 1, 1) + index;
    for (int s = 0; s < kSlotsPerDay; ++s) {
        const bool walking = (s >= 210 + index % 17 && s < 240 + index % 23) || (s >= 540 && s < 560 + index % 9);
        const bool awake = s >= 200 && s < 680;
        const double kcal = walking ? 7.0 + (s % 5) * 0.4 : awake ? 1.2 + (s % 3) * 0.1 : 0.0;
        r.slotKcal[s] = kcal;
        r.slotValues[s] = walking ? 180 + s % 20 : awake ? s % 15 : 0;
        r.slotValues2[s] = r.slotValues[s] * 0.68;
        r.steps += r.slotValues[s];
        r.calories += kcal;
    }
    return r;
}

int Key(const DeviceStepRecord& r)
{
    const Ymd d = OleDateToYmd(r.date.dt);
    return d.year * 10000 + d.month * 100 + d.day;
}

// Plain SQLite with the same settings and the same day table.
class RawStore {
public:
    explicit RawStore(const std::string& path)
    {
        Check(sqlite3_open(path.c_str(), &m_db) == SQLITE_OK, "raw open");
        Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON;"
             "CREATE TABLE IF NOT EXISTS days (id INTEGER PRIMARY KEY, number INTEGER NOT NULL, day INTEGER NOT NULL,"
             " weight INTEGER NOT NULL, stride INTEGER NOT NULL, steps INTEGER NOT NULL, calories REAL NOT NULL,"
             " record BLOB NOT NULL, UNIQUE (number, day));");
        Check(sqlite3_prepare_v2(m_db, "INSERT INTO days (number, day, weight, stride, steps, calories, record) "
                                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1, &m_insert, nullptr) == SQLITE_OK,
              "raw prepare insert");
        Check(sqlite3_prepare_v2(m_db, "SELECT record, weight FROM days WHERE number = ?1 AND day = ?2", -1, &m_select,
                                 nullptr) == SQLITE_OK,
              "raw prepare select");
    }
    ~RawStore()
    {
        sqlite3_finalize(m_insert);
        sqlite3_finalize(m_select);
        sqlite3_close(m_db);
    }
    RawStore(const RawStore&) = delete;
    RawStore& operator=(const RawStore&) = delete;

    void Exec(const char* sql) { Check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql); }

    // The raw limit of storing days: every day in one transaction, one sync at the commit.
    void InsertAll(const std::vector<DeviceStepRecord>& days)
    {
        Exec("BEGIN IMMEDIATE");
        for (const DeviceStepRecord& r : days) {
            sqlite3_bind_int(m_insert, 1, kUser);
            sqlite3_bind_int(m_insert, 2, Key(r));
            sqlite3_bind_int(m_insert, 3, 62);
            sqlite3_bind_int(m_insert, 4, 68);
            sqlite3_bind_int(m_insert, 5, r.steps);
            sqlite3_bind_double(m_insert, 6, r.calories);
            sqlite3_bind_blob(m_insert, 7, &r, sizeof r, SQLITE_STATIC);
            Check(sqlite3_step(m_insert) == SQLITE_DONE, "raw insert");
            sqlite3_reset(m_insert);
        }
        Exec("COMMIT");
    }
    bool Read(int key, StepRecord& out)
    {
        sqlite3_bind_int(m_select, 1, kUser);
        sqlite3_bind_int(m_select, 2, key);
        const bool found = sqlite3_step(m_select) == SQLITE_ROW && sqlite3_column_bytes(m_select, 0) == sizeof out.day;
        if (found)
            std::memcpy(&out.day, sqlite3_column_blob(m_select, 0), sizeof out.day);
        sqlite3_reset(m_select);
        return found;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_select = nullptr;
};

void BM_Import365(benchmark::State& state)
{
    std::vector<DeviceStepRecord> days;
    for (int i = 0; i < 365; ++i)
        days.push_back(MakeDay(i));
    BenchRatio ratio;
    for (auto _ : state) {
        TempFolder folder;
        OpenStore(folder.path());
        RawStore raw(folder.path() + "/raw.db");
        std::string error;
        auto lib = [&] {
            for (const DeviceStepRecord& d : days)
                Check(USER_InsertData(kUser, 62, 68, d, error) == USER_OK, "USER_InsertData");
        };
        auto base = [&] { raw.InsertAll(days); };
        const double seconds = ratio.Both(lib, base);
        state.SetIterationTime(seconds);
        USER_Term(0, "508317");
    }
    ratio.Report(state);
}
BENCHMARK(BM_Import365)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ImportBatch(benchmark::State& state)
{
    std::vector<DeviceStepRecord> days;
    for (int i = 0; i < state.range(0); ++i)
        days.push_back(MakeDay(i));
    std::vector<const DeviceStepRecord*> pointers;
    for (const DeviceStepRecord& d : days)
        pointers.push_back(&d);
    BenchRatio ratio;
    for (auto _ : state) {
        TempFolder folder;
        OpenStore(folder.path());
        RawStore raw(folder.path() + "/raw.db");
        std::vector<int> results;
        std::string error;
        auto lib = [&] {
            Check(USER_InsertDataBatch(kUser, 62, 68, pointers, results, error) == static_cast<int>(days.size()),
                  "USER_InsertDataBatch");
        };
        const double seconds = ratio.Both(lib, [&] { raw.InsertAll(days); });
        state.SetIterationTime(seconds);
        USER_Term(0, "508317");
    }
    ratio.Report(state);
}
BENCHMARK(BM_ImportBatch)->ArgName("days")->Arg(365)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReadMonth(benchmark::State& state)
{
    TempFolder folder;
    OpenStore(folder.path());
    RawStore raw(folder.path() + "/raw.db");
    std::string error;
    std::vector<DeviceStepRecord> year;
    for (int i = 0; i < 365; ++i) {
        year.push_back(MakeDay(i));
        Check(USER_InsertData(kUser, 62, 68, year.back(), error) == USER_OK, "USER_InsertData");
    }
    raw.InsertAll(year);
    const double first = OleDateFromYmd(2023, 7, 1);
    BenchRatio ratio;
    int effective = 0;
    for (auto _ : state) {
        auto lib = [&] {
            for (int d = 0; d < 31; ++d) {
                StepRecord out;
                Check(USER_GetData2(kUser, first + d, out, error) == USER_OK, "USER_GetData2");
                effective += out.effectiveCount;
            }
        };
        auto base = [&] {
            for (int d = 0; d < 31; ++d) {
                StepRecord out;
                Check(raw.Read(20230701 + d, out), "raw read");
                benchmark::DoNotOptimize(out.day.steps);
            }
        };
        const double seconds = ratio.Both(lib, base);
        state.SetIterationTime(seconds);
    }
    benchmark::DoNotOptimize(effective);
    ratio.Report(state);
    USER_Term(0, "508317");
}
BENCHMARK(BM_ReadMonth)->UseManualTime()->Unit(benchmark::kMillisecond);

// One store of 100 000 users shared by the list benchmarks.
struct UserListStore {
    TempFolder folder;
    sqlite3* db = nullptr;
    sqlite3_stmt* plain = nullptr;
    sqlite3_stmt* search = nullptr;

    UserListStore()
    {
        OpenStore(folder.path());
        USER_Term(0, "508317");
        Check(sqlite3_open((folder.path() + "/User.db").c_str(), &db) == SQLITE_OK, "raw open");
        Check(sqlite3_exec(db,
                           "WITH RECURSIVE c(n) AS (SELECT 20001 UNION ALL SELECT n + 1 FROM c WHERE n < 119998) "
                           "INSERT INTO KX300_User (number, name, sex, age, weight, height, stride, rights) "
                           "SELECT n, '用户' || n, 1 + n % 2, 20 + n % 50, 50 + n % 40, 150 + n % 40, 60 + n % 20, 0 FROM c",
                           nullptr, nullptr, nullptr) == SQLITE_OK,
              "fill users");
        const char* columns = "number, name, sex, age, weight, height, stride, photo, reserved, password, rights, "
                              "target_steps, target_distance, target_calories, alarm";
        Check(sqlite3_prepare_v2(db, (std::string("SELECT ") + columns + " FROM KX300_User WHERE number > ?2 "
                                      "ORDER BY number LIMIT ?1").c_str(),
                                 -1, &plain, nullptr) == SQLITE_OK,
              "prepare plain");
        Check(sqlite3_prepare_v2(db, (std::string("SELECT ") + columns + " FROM KX300_User WHERE number > ?2 AND "
                                      "(instr(name, ?3) > 0 OR instr(CAST(number AS TEXT), ?3) > 0) "
                                      "ORDER BY number LIMIT ?1").c_str(),
                                 -1, &search, nullptr) == SQLITE_OK,
              "prepare search");
        std::string error;
        Check(USER_Init(Connection(folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
    }
    ~UserListStore()
    {
        USER_Term(0, "508317");
        sqlite3_finalize(plain);
        sqlite3_finalize(search);
        sqlite3_close(db);
    }
    UserListStore(const UserListStore&) = delete;
    UserListStore& operator=(const UserListStore&) = delete;

    // The page of users numbered after `after`, read straight from SQLite into records the caller owns.
    int RawPage(int32_t after, const std::string& keyword, std::vector<std::unique_ptr<UserRecord>>& out)
    {
        sqlite3_stmt* s = keyword.empty() ? plain : search;
        sqlite3_bind_int(s, 1, kPageSize);
        sqlite3_bind_int(s, 2, after);
        if (!keyword.empty())
            sqlite3_bind_text(s, 3, keyword.data(), static_cast<int>(keyword.size()), SQLITE_STATIC);
        while (sqlite3_step(s) == SQLITE_ROW) {
            auto u = std::make_unique<UserRecord>();
            std::memset(u.get(), 0, sizeof *u);
            u->number = sqlite3_column_int(s, 0);
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
            std::strncpy(u->name, name ? name : "", sizeof u->name - 1);
            u->sex = sqlite3_column_int(s, 2);
            u->age = sqlite3_column_int(s, 3);
            u->weight = sqlite3_column_int(s, 4);
            u->height = sqlite3_column_int(s, 5);
            u->stride = sqlite3_column_int(s, 6);
            u->photo = sqlite3_column_int(s, 7);
            u->reserved = sqlite3_column_int(s, 8);
            const char* pw = reinterpret_cast<const char*>(sqlite3_column_text(s, 9));
            std::strncpy(u->password, pw ? pw : "", sizeof u->password - 1);
            u->rights = sqlite3_column_int(s, 10);
            u->targetSteps = sqlite3_column_int(s, 11);
            u->targetDistance = sqlite3_column_int(s, 12);
            u->targetCalories = sqlite3_column_int(s, 13);
            u->alarm = sqlite3_column_int(s, 14);
            out.push_back(std::move(u));
        }
        sqlite3_reset(s);
        return static_cast<int>(out.size());
    }
};

UserListStore& ListStore()
{
    static UserListStore store;
    return store;
}

void BM_UserList(benchmark::State& state)
{
    UserListStore& store = ListStore();
    std::string error;
    Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
    const int page = static_cast<int>(state.range(0));
    // "5" occurs in about half of the numbers and names, so page 500 exists.
    const std::string keyword = state.range(1) ? "5" : "";
    // Where the previous page ended, found once before timing.
    int32_t after = 0;
    if (page > 1) {
        std::vector<std::unique_ptr<UserRecord>> previous;
        Check(USER_GetUserList(page - 1, kPageSize, previous, keyword) == kPageSize, "previous page");
        after = previous.back()->number;
    }
    auto numbers = [](const std::vector<std::unique_ptr<UserRecord>>& rows) {
        std::vector<int32_t> n;
        for (const auto& r : rows)
            n.push_back(r->number);
        return n;
    };
    BenchRatio ratio;
    for (auto _ : state) {
        std::vector<std::unique_ptr<UserRecord>> lib, raw;
        auto libPage = [&] { Check(USER_GetUserList(page, kPageSize, lib, keyword) == kPageSize, "USER_GetUserList"); };
        auto rawPage = [&] { Check(store.RawPage(after, keyword, raw) == kPageSize, "raw page"); };
        const double seconds = ratio.Both(libPage, rawPage);
        if (numbers(lib) != numbers(raw))
            state.SkipWithError("pages differ");
        state.SetIterationTime(seconds);
    }
    ratio.Report(state);
}
BENCHMARK(BM_UserList)
    ->ArgNames({"page", "keyword"})
    ->Args({1, 0})
    ->Args({500, 0})
    ->Args({1, 1})
    ->Args({500, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One store of 10 users with 365 days each (about 53 MB) shared by the backup benchmarks.
struct YearStore {
    TempFolder folder;
    std::string path;

    YearStore() : path(folder.path() + "/User.db")
    {
        std::string error;
        Check(USER_Init(Connection(folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
        std::vector<DeviceStepRecord> days;
        for (int i = 0; i < 365; ++i)
            days.push_back(MakeDay(i));
        std::vector<const DeviceStepRecord*> pointers;
        for (const DeviceStepRecord& d : days)
            pointers.push_back(&d);
        for (int32_t number = 20001; number <= 20010; ++number) {
            UserRecord u{};
            u.number = number;
            SetRecordName(u, "user" + std::to_string(number));
            u.weight = 62;
            u.stride = 68;
            Check(USER_CreateUser(u) == USER_OK, "USER_CreateUser");
            std::vector<int> results;
            Check(USER_InsertDataBatch(number, 62, 68, pointers, results, error) == 365, "USER_InsertDataBatch");
        }
        USER_Term(0, "508317");
    }
    YearStore(const YearStore&) = delete;
    YearStore& operator=(const YearStore&) = delete;

    // The raw limit of a copy: the file's bytes into a new file, synced once.
    void RawCopy(const std::string& to) const
    {
        const int in = open(path.c_str(), O_RDONLY);
        const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        Check(in >= 0 && out >= 0, "raw copy open");
        std::vector<char> buffer(1 << 20);
        ssize_t n;
        while ((n = read(in, buffer.data(), buffer.size())) > 0)
            Check(write(out, buffer.data(), static_cast<size_t>(n)) == n, "raw copy write");
        Check(fsync(out) == 0, "raw copy fsync");
        close(in);
        close(out);
    }
    // Drops the store file's pages from the page cache: the first start of a day may find it cold.
    void Evict() const
    {
        const int fd = open(path.c_str(), O_RDONLY);
        Check(fd >= 0 && fdatasync(fd) == 0 && posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0, "evict");
        close(fd);
    }
    int64_t RawRead() const
    {
        const int in = open(path.c_str(), O_RDONLY);
        std::vector<char> buffer(1 << 20);
        int64_t total = 0;
        ssize_t n;
        while ((n = read(in, buffer.data(), buffer.size())) > 0)
            total += n;
        close(in);
        return total;
    }
};

YearStore& Year()
{
    static YearStore store;
    return store;
}

void BM_Backup(benchmark::State& state)
{
    YearStore& store = Year();
    std::string error;
    Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
    std::string daily;
    WaitForDailyBackup(daily);
    const std::string raw = store.folder.path() + "/raw-copy.db";
    BenchRatio ratio;
    for (auto _ : state) {
        std::string copy;
        const double seconds = ratio.Both([&] { Check(USER_Backup(BackupReason::Manual, copy) == USER_OK, "USER_Backup"); },
                                          [&] { store.RawCopy(raw); });
        state.SetIterationTime(seconds);
        std::filesystem::remove(copy);
        std::filesystem::remove(raw);
    }
    USER_Term(0, "508317");
    ratio.Report(state);
    state.counters["store_MB"] = static_cast<double>(std::filesystem::file_size(store.path)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Backup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OpenChecked(benchmark::State& state)
{
    YearStore& store = Year();
    std::string error;
    std::string daily;
    // Today's daily copy exists, so opening makes none.
    Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
    WaitForDailyBackup(daily);
    USER_Term(0, "508317");
    const bool cold = state.range(0) != 0;
    BenchRatio ratio;
    for (auto _ : state) {
        if (cold)
            store.Evict();
        const double seconds = ratio.Lib([&] {
            Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
            USER_Term(0, "508317");
        });
        if (cold)
            store.Evict();
        ratio.Raw([&] { benchmark::DoNotOptimize(store.RawRead()); });
        state.SetIterationTime(seconds);
    }
    ratio.Report(state);
}
BENCHMARK(BM_OpenChecked)->ArgName("cold")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_OpenDailyDue(benchmark::State& state)
{
    YearStore& store = Year();
    std::string error;
    BenchRatio ratio;
    int64_t day = 0;
    for (auto _ : state) {
        // Each iteration a new day: the first opening makes its daily copy.
        SetClockForTests(1767268800 + (++day) * 86400);
        const double seconds = ratio.Lib([&] {
            Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
        });
        std::string daily;
        Check(WaitForDailyBackup(daily) == USER_OK, "daily copy");
        USER_Term(0, "508317");
        ratio.Raw([&] {
            Check(USER_Init(Connection(store.folder.path()), "KX300_User", "KX300_Data", error) == 0, "USER_Init");
        });
        Check(WaitForDailyBackup(daily) == 0, "no second daily copy");
        USER_Term(0, "508317");
        state.SetIterationTime(seconds);
    }
    SetClockForTests(0);
    ratio.Report(state);
}
BENCHMARK(BM_OpenDailyDue)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

BENCHMARK_MAIN();
