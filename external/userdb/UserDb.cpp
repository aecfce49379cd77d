// The user store on one SQLite file.
//
// Layout (schema version in PRAGMA user_version, our mark in application_id):
//   <user table>  one row per user, number is the key, name is unique; the
//                 password column is only written by create and change-password.
//   <data table>  one row per (number, day): day is yyyymmdd, the 14440-byte
//                 device record is kept whole as a blob beside the weight and
//                 stride the user had when it was stored (the analysis uses them).
// WAL journal, foreign keys on, every write one IMMEDIATE transaction, every
// value bound as a parameter; only the two checked table names are spliced in.
#include "external/userdb/UserDb.h"

#include "external/userdb/UserDbInternal.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <compare>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace {

// ---- process-wide state ------------------------------------------------------

// A cached prepared statement, reset and unbound when the use ends, so that a
// failed step never leaves a statement holding a read transaction open.
class StmtUse {
public:
    explicit StmtUse(sqlite3_stmt* s) : m_stmt(s) {}
    ~StmtUse()
    {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    StmtUse(const StmtUse&) = delete;
    StmtUse& operator=(const StmtUse&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

private:
    sqlite3_stmt* m_stmt;
};

struct Store {
    sqlite3* db = nullptr;
    std::string path;
    std::string userTable;  // already quoted
    std::string dataTable;  // already quoted
    std::map<std::string, sqlite3_stmt*> statements;

    Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    ~Store()
    {
        for (auto& entry : statements)
            sqlite3_finalize(entry.second);
        if (db) {
            sqlite3_exec(db, "PRAGMA optimize", nullptr, nullptr, nullptr);
            sqlite3_close_v2(db);
        }
    }
};

std::mutex g_mutex;
std::unique_ptr<Store> g_store;
int g_lastCode = USER_OK;
std::string g_lastText;

constexpr int kDataVersion = 1;      // the newest schema this library knows
constexpr int kApplicationId = 0x5452564D;  // marks our stores
constexpr int32_t kAdminNumber = 10001;
constexpr int32_t kFirstNewNumber = 10001;

int Fail(int code, std::string text)
{
    g_lastCode = code;
    g_lastText = std::move(text);
    return code;
}

int Succeed(int code = USER_OK)
{
    g_lastCode = code;
    g_lastText.clear();
    return code;
}

std::string SqlText(sqlite3* db)
{
    return db ? std::string(sqlite3_errmsg(db)) : std::string("out of memory");
}

int StoreError(const char* what)
{
    return Fail(USER_ERR_GENERAL, std::string("数据库错误（") + what + "）：" + SqlText(g_store ? g_store->db : nullptr));
}

// Expands {U} and {D} to the quoted table names. Table names cannot be bound as
// parameters; they are checked to be plain identifiers in USER_Init.
std::string ExpandTables(const char* sql, const Store& store)
{
    std::string out;
    for (const char* p = sql; *p; ++p) {
        if (p[0] == '{' && (p[1] == 'U' || p[1] == 'D') && p[2] == '}') {
            out += p[1] == 'U' ? store.userTable : store.dataTable;
            p += 2;
        } else {
            out.push_back(*p);
        }
    }
    return out;
}

sqlite3_stmt* Prepare(const char* sql)
{
    Store& store = *g_store;
    auto it = store.statements.find(sql);
    if (it != store.statements.end())
        return it->second;
    const std::string text = ExpandTables(sql, store);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(store.db, text.c_str(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    store.statements.emplace(sql, stmt);
    return stmt;
}

bool Exec(sqlite3* db, const std::string& sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One write transaction; rolled back unless committed.
class Transaction {
public:
    Transaction() { m_open = Exec(g_store->db, "BEGIN IMMEDIATE"); }
    ~Transaction()
    {
        if (m_open)
            Exec(g_store->db, "ROLLBACK");
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool ok() const { return m_open; }
    bool Commit()
    {
        if (!m_open || !Exec(g_store->db, "COMMIT"))
            return false;
        m_open = false;
        return true;
    }

private:
    bool m_open = false;
};

// ---- record helpers ----------------------------------------------------------

bool ValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= s.size() && extra > 0)
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        // No overlong forms, UTF-16 surrogates or values beyond U+10FFFF.
        const unsigned char second = extra ? static_cast<unsigned char>(s[i + 1]) : 0;
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
            return false;
        i += extra + 1;
    }
    return true;
}

bool ValidDigest(const std::string& digest)
{
    if (digest.empty())
        return true;
    if (digest.size() != static_cast<size_t>(kDigestChars))
        return false;
    return std::all_of(digest.begin(), digest.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// Checks the fields the store relies on; the text says what is wrong.
int CheckUser(const UserRecord& user)
{
    if (user.number <= 0)
        return Fail(USER_ERR_INVALID, "用户号码必须是正数");
    if (strnlen(user.name, sizeof user.name) > static_cast<size_t>(kNameMaxBytes))
        return Fail(USER_ERR_INVALID, "用户名太长（最多 10 个字节）");
    const std::string name = RecordName(user);
    if (name.empty())
        return Fail(USER_ERR_INVALID, "用户名不能为空");
    if (!ValidUtf8(name))
        return Fail(USER_ERR_INVALID, "用户名含有无效的字符");
    return USER_OK;
}

void BindText(sqlite3_stmt* s, int index, const std::string& text)
{
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void BindProfile(sqlite3_stmt* s, const UserRecord& u)
{
    // Parameters 1..14: every column except the password.
    const std::string name = RecordName(u);
    sqlite3_bind_int(s, 1, u.number);
    BindText(s, 2, name);
    sqlite3_bind_int(s, 3, u.sex);
    sqlite3_bind_int(s, 4, u.age);
    sqlite3_bind_int(s, 5, u.weight);
    sqlite3_bind_int(s, 6, u.height);
    sqlite3_bind_int(s, 7, u.stride);
    sqlite3_bind_int(s, 8, u.photo);
    sqlite3_bind_int(s, 9, u.reserved);
    sqlite3_bind_int(s, 10, u.rights);
    sqlite3_bind_int(s, 11, u.targetSteps);
    sqlite3_bind_int(s, 12, u.targetDistance);
    sqlite3_bind_int(s, 13, u.targetCalories);
    sqlite3_bind_int(s, 14, u.alarm);
}

void CopyText(sqlite3_stmt* s, int column, char* field, size_t fieldSize)
{
    std::memset(field, 0, fieldSize);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    const int bytes = sqlite3_column_bytes(s, column);
    if (text && bytes > 0)
        std::memcpy(field, text, std::min(static_cast<size_t>(bytes), fieldSize - 1));
}

// Reads a row selected as number, name, sex, ..., alarm (the table's column order).
void ReadUser(sqlite3_stmt* s, UserRecord& u)
{
    std::memset(&u, 0, sizeof u);
    u.number = sqlite3_column_int(s, 0);
    CopyText(s, 1, u.name, sizeof u.name);
    u.sex = sqlite3_column_int(s, 2);
    u.age = sqlite3_column_int(s, 3);
    u.weight = sqlite3_column_int(s, 4);
    u.height = sqlite3_column_int(s, 5);
    u.stride = sqlite3_column_int(s, 6);
    u.photo = sqlite3_column_int(s, 7);
    u.reserved = sqlite3_column_int(s, 8);
    CopyText(s, 9, u.password, sizeof u.password);
    u.rights = sqlite3_column_int(s, 10);
    u.targetSteps = sqlite3_column_int(s, 11);
    u.targetDistance = sqlite3_column_int(s, 12);
    u.targetCalories = sqlite3_column_int(s, 13);
    u.alarm = sqlite3_column_int(s, 14);
}

// Every column of the user table, in the order ReadUser expects.
#define USER_COLUMNS                                                                                       \
    "number, name, sex, age, weight, height, stride, photo, reserved, password, rights, target_steps, " \
    "target_distance, target_calories, alarm"

// Steps a bound single-user query: 1 found (read into out when given), 0 absent, negative on a store error.
int StepOneUser(const StmtUse& s, UserRecord* out)
{
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE)
        return 0;
    if (rc != SQLITE_ROW)
        return StoreError("查询用户");
    if (out)
        ReadUser(s.get(), *out);
    return 1;
}

int FindUserByNumber(int32_t number, UserRecord* out)
{
    StmtUse s(Prepare("SELECT " USER_COLUMNS " FROM {U} WHERE number = ?1"));
    if (!s)
        return StoreError("查询用户");
    sqlite3_bind_int(s.get(), 1, number);
    return StepOneUser(s, out);
}

int FindUserByName(const std::string& name, UserRecord* out)
{
    StmtUse s(Prepare("SELECT " USER_COLUMNS " FROM {U} WHERE name = ?1"));
    if (!s)
        return StoreError("查询用户");
    BindText(s.get(), 1, name);
    return StepOneUser(s, out);
}

// The user with that number: USER_OK, or the failure with its text (no such user, store error).
int RequireUserByNumber(int32_t number, UserRecord* out)
{
    const int rc = FindUserByNumber(number, out);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NOT_FOUND, "找不到号码为 " + std::to_string(number) + " 的用户");
    return USER_OK;
}

// Runs a statement whose only parameter ?1 is a user number: USER_OK, or the store's
// error about what (taken while the statement still holds it).
int ExecForNumber(const char* sql, int32_t number, const char* what)
{
    StmtUse s(Prepare(sql));
    if (!s)
        return StoreError(what);
    sqlite3_bind_int(s.get(), 1, number);
    if (sqlite3_step(s.get()) != SQLITE_DONE)
        return StoreError(what);
    return USER_OK;
}

// Adds a user row with the given password digest; false when the store refuses it.
bool InsertUser(const UserRecord& user, const std::string& digest)
{
    StmtUse s(Prepare("INSERT INTO {U} (number, name, sex, age, weight, height, stride, photo, reserved, rights, "
                      "target_steps, target_distance, target_calories, alarm, password) "
                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)"));
    if (!s)
        return false;
    BindProfile(s.get(), user);
    BindText(s.get(), 15, digest);
    return sqlite3_step(s.get()) == SQLITE_DONE;
}

// ---- opening -------------------------------------------------------------------

bool EqualsNoCase(const std::string& a, const char* b)
{
    const size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool ValidIdentifier(const std::string& name)
{
    if (name.empty() || name.size() > 64)
        return false;
    if (!(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

std::string Trim(const std::string& s)
{
    const char* ws = " \t\r\n";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return std::string();
    const size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

int QueryInt(sqlite3* db, const char* sql, int& value)
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            value = sqlite3_column_int(s, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(s);
    return rc;
}

int InitFail(std::string& error, std::string text)
{
    g_store.reset();
    error = text;
    Fail(USER_ERR_GENERAL, std::move(text));
    return USER_ERR_GENERAL;
}

// Schema steps: entry v brings a store from version v to v + 1.
const char* const kMigrations[] = {
    // 0 -> 1
    "CREATE TABLE {U} ("
    " number INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE,"
    " sex INTEGER NOT NULL DEFAULT 0,"
    " age INTEGER NOT NULL DEFAULT 0,"
    " weight INTEGER NOT NULL DEFAULT 0,"
    " height INTEGER NOT NULL DEFAULT 0,"
    " stride INTEGER NOT NULL DEFAULT 0,"
    " photo INTEGER NOT NULL DEFAULT 0,"
    " reserved INTEGER NOT NULL DEFAULT 0,"
    " password TEXT NOT NULL DEFAULT '',"
    " rights INTEGER NOT NULL DEFAULT 0,"
    " target_steps INTEGER NOT NULL DEFAULT 0,"
    " target_distance INTEGER NOT NULL DEFAULT 0,"
    " target_calories INTEGER NOT NULL DEFAULT 0,"
    " alarm INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE {D} ("
    " id INTEGER PRIMARY KEY,"
    " number INTEGER NOT NULL REFERENCES {U}(number) ON DELETE CASCADE ON UPDATE CASCADE,"
    " day INTEGER NOT NULL,"  // yyyymmdd
    " weight INTEGER NOT NULL,"
    " stride INTEGER NOT NULL,"
    " steps INTEGER NOT NULL,"
    " calories REAL NOT NULL,"
    " record BLOB NOT NULL,"
    " UNIQUE (number, day));",
};
constexpr int kMigrationCount = static_cast<int>(sizeof kMigrations / sizeof kMigrations[0]);
static_assert(kMigrationCount == kDataVersion);

bool SeedAdministrator()
{
    UserRecord admin{};
    admin.number = kAdminNumber;
    SetRecordName(admin, "Admin");
    admin.sex = 1;
    admin.age = 30;
    admin.weight = 65;
    admin.height = 170;
    admin.stride = 70;
    admin.rights = 1;
    admin.targetSteps = 10000;
    admin.targetDistance = 7000;
    admin.targetCalories = 300;
    admin.alarm = MakeAlarmTime(7, 0, 0);
    return InsertUser(admin, std::string());
}

// Brings the store to kDataVersion inside one transaction; empty text on success.
std::string Migrate(Store& store)
{
    if (!Exec(store.db, "BEGIN IMMEDIATE"))
        return "无法写入用户数据库：" + SqlText(store.db);
    int version = 0;
    if (QueryInt(store.db, "PRAGMA user_version", version) != SQLITE_OK) {
        const std::string text = SqlText(store.db);
        Exec(store.db, "ROLLBACK");
        return "无法读取数据库版本：" + text;
    }
    const int from = version;
    std::string failure;
    for (; version < kDataVersion && failure.empty(); ++version) {
        const std::string sql = ExpandTables(kMigrations[version], store);
        if (!Exec(store.db, sql))
            failure = "升级用户数据库失败：" + SqlText(store.db);
    }
    if (failure.empty() && from == 0 && !SeedAdministrator())
        failure = "无法创建内置管理员：" + SqlText(store.db);
    if (failure.empty() && from != kDataVersion) {
        if (!Exec(store.db, "PRAGMA user_version = " + std::to_string(kDataVersion)) ||
            !Exec(store.db, "PRAGMA application_id = " + std::to_string(kApplicationId)))
            failure = "无法写入数据库版本：" + SqlText(store.db);
    }
    if (failure.empty() && !Exec(store.db, "COMMIT"))
        failure = "无法写入用户数据库：" + SqlText(store.db);
    if (!failure.empty())
        Exec(store.db, "ROLLBACK");
    return failure;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// ---- day records -------------------------------------------------------------

constexpr double kOleFirstDay = 36526.0;  // 2000-01-01
constexpr double kOleEndDay = 73051.0;    // 2100-01-01

int DayKey(double oleDate)
{
    const Ymd d = OleDateToYmd(oleDate);
    return d.year * 10000 + d.month * 100 + d.day;
}

// Tuple that orders two records of the same day by how much of it they hold.
struct Fullness {
    int32_t steps;
    double calories;
    int activeSlots;
    auto operator<=>(const Fullness&) const = default;
};

Fullness FullnessOf(const DeviceStepRecord& r)
{
    int active = 0;
    for (double v : r.slotKcal)
        active += v > 0.0 ? 1 : 0;
    return {r.steps, r.calories, active};
}

}  // namespace

// ---- helpers shared with the tests -------------------------------------------

std::string UserDbPathFromConnection(const std::string& connection)
{
    // Find "Data Source=" in any letter case; the value runs to the next ';'.
    static const char kKey[] = "data source";
    std::string lower(connection);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t pos = 0;
    while ((pos = lower.find(kKey, pos)) != std::string::npos) {
        size_t p = pos + sizeof kKey - 1;
        while (p < lower.size() && (lower[p] == ' ' || lower[p] == '\t'))
            ++p;
        if (p < lower.size() && lower[p] == '=') {
            const size_t begin = p + 1;
            const size_t end = connection.find(';', begin);
            std::string path = Trim(connection.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
            if (path.empty())
                return std::string();
            const size_t slash = path.find_last_of('/');
            const size_t dot = path.find_last_of('.');
            if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
                path.erase(dot);
            if (path.empty() || path.back() == '/')
                return std::string();
            return path + ".db";
        }
        pos += 1;
    }
    return std::string();
}

int CheckDayRecord(const DeviceStepRecord& day, std::string& error)
{
    if (day.date.status != 0) {
        error = "计步数据的日期无效（状态 " + std::to_string(day.date.status) + "）";
        return USER_ERR_BAD_DAY;
    }
    if (!std::isfinite(day.date.dt) || day.date.dt < kOleFirstDay || day.date.dt >= kOleEndDay) {
        error = "计步数据的日期不在 2000-01-01 至 2099-12-31 之间";
        return USER_ERR_BAD_DAY;
    }
    if (day.steps < 0) {
        error = "计步数据的步数不能为负数";
        return USER_ERR_BAD_DAY;
    }
    if (!std::isfinite(day.calories) || day.calories < 0.0) {
        error = "计步数据的总热量不是有效的非负数";
        return USER_ERR_BAD_DAY;
    }
    for (int s = 0; s < kSlotsPerDay; ++s) {
        const double v = day.slotKcal[s];
        if (!std::isfinite(v) || v < 0.0 || day.slotValues[s] < 0) {
            error = "计步数据第 " + std::to_string(s + 1) + " 个时段的数值不是有效的非负数";
            return USER_ERR_BAD_DAY;
        }
    }
    for (int s = 0; s <= kSlotsPerDay; ++s) {
        const double v = day.slotValues2[s];
        if (!std::isfinite(v) || v < 0.0) {
            error = "计步数据第 " + std::to_string(s + 1) + " 个时段的数值不是有效的非负数";
            return USER_ERR_BAD_DAY;
        }
    }
    return USER_OK;
}

// ---- operations --------------------------------------------------------------

int USER_Init(const std::string& connection, const std::string& userTable, const std::string& dataTable, std::string& error)
{
    std::lock_guard lock(g_mutex);
    g_store.reset();
    error.clear();

    if (!ValidIdentifier(userTable) || !ValidIdentifier(dataTable) || EqualsNoCase(userTable, dataTable.c_str()))
        return InitFail(error, "数据表名称无效");
    const std::string path = UserDbPathFromConnection(connection);
    if (path.empty())
        return InitFail(error, "连接字符串中没有数据源（Data Source）");

    const std::string folder = FolderOf(path);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return InitFail(error, "用户数据库所在的文件夹不存在：" + folder);
    // The store keeps its write-ahead log beside the file, so the folder must be writable.
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return InitFail(error, "用户数据库所在的文件夹不可写：" + folder);
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode))
        return InitFail(error, "用户数据库不是普通文件：" + path);
    if (exists && access(path.c_str(), R_OK | W_OK) != 0)
        return InitFail(error, "用户数据库文件不可读写：" + path);

    auto store = std::make_unique<Store>();
    store->path = path;
    store->userTable = "\"" + userTable + "\"";
    store->dataTable = "\"" + dataTable + "\"";
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &store->db, flags, nullptr) != SQLITE_OK) {
        const std::string text = SqlText(store->db);
        return InitFail(error, "无法打开用户数据库 " + path + "：" + text);
    }
    sqlite3_extended_result_codes(store->db, 1);
    sqlite3_busy_timeout(store->db, 5000);

    // Reading the schema is the first touch of the file: a file that is not a
    // database fails here, before anything is written to it.
    int tables = 0;
    int rc = QueryInt(store->db, "SELECT count(*) FROM sqlite_master", tables);
    if (rc != SQLITE_OK) {
        const std::string text = SqlText(store->db);
        if ((rc & 0xFF) == SQLITE_NOTADB || (rc & 0xFF) == SQLITE_CORRUPT)
            return InitFail(error, "文件 " + path + " 不是有效的用户数据库（" + text + "）");
        return InitFail(error, "无法读取用户数据库 " + path + "：" + text);
    }
    int version = 0;
    int appId = 0;
    if (QueryInt(store->db, "PRAGMA user_version", version) != SQLITE_OK ||
        QueryInt(store->db, "PRAGMA application_id", appId) != SQLITE_OK)
        return InitFail(error, "无法读取数据库版本：" + SqlText(store->db));
    if ((appId != 0 && appId != kApplicationId) || (version == 0 && tables > 0))
        return InitFail(error, "文件 " + path + " 是其他程序的数据库，不是本程序的用户数据库");
    if (version > kDataVersion)
        return InitFail(error, "用户数据库的版本（" + std::to_string(version) + "）比本程序支持的版本（" +
                                   std::to_string(kDataVersion) + "）新，请使用新版本的程序");
    if (version < 0)
        return InitFail(error, "用户数据库的版本无效（" + std::to_string(version) + "）");

    // WAL keeps a reader and a writer apart and survives a killed process;
    // FULL synchronisation syncs the log at every commit, so a stored day also
    // survives a power cut (NORMAL may lose the last commits then).
    sqlite3_stmt* s = nullptr;
    std::string mode;
    if (sqlite3_prepare_v2(store->db, "PRAGMA journal_mode = WAL", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        mode = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    if (mode != "wal")
        return InitFail(error, "无法打开用户数据库的日志：" + SqlText(store->db));
    if (!Exec(store->db, "PRAGMA synchronous = FULL") || !Exec(store->db, "PRAGMA foreign_keys = ON"))
        return InitFail(error, "无法设置用户数据库：" + SqlText(store->db));

    // Statements are prepared on the process-wide store, so it is set before
    // migrating; InitFail clears it again.
    g_store = std::move(store);
    const std::string failure = Migrate(*g_store);
    if (!failure.empty())
        return InitFail(error, failure);

    // Tables of an old store that another program version named differently would
    // show up here as a missing table: check both once.
    int probe = 0;
    if (QueryInt(g_store->db, ExpandTables("SELECT count(*) FROM {U} WHERE 0", *g_store).c_str(), probe) != SQLITE_OK ||
        QueryInt(g_store->db, ExpandTables("SELECT count(*) FROM {D} WHERE 0", *g_store).c_str(), probe) != SQLITE_OK)
        return InitFail(error, "用户数据库中没有所需的数据表：" + SqlText(g_store->db));
    Succeed();
    return 0;
}

int USER_Term(int /*flags*/, const std::string& /*password*/)
{
    std::lock_guard lock(g_mutex);
    if (!g_store)
        return Fail(USER_ERR_NOT_OPEN, std::string());
    g_store.reset();
    return Succeed();
}

#define REQUIRE_OPEN()                                  \
    std::lock_guard lock(g_mutex);                      \
    if (!g_store)                                       \
        return Fail(USER_ERR_NOT_OPEN, std::string())

int USER_Login(const std::string& name, const std::string& digest, UserRecord& out)
{
    REQUIRE_OPEN();
    UserRecord found{};
    const int rc = FindUserByName(name, &found);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NO_USER, "用户不存在");
    if (RecordPassword(found) != digest)
        return Fail(USER_ERR_WRONG_PASSWORD, "密码不正确");
    out = found;
    return Succeed();
}

int USER_GetUser(int32_t number, UserRecord& out)
{
    REQUIRE_OPEN();
    UserRecord found{};
    if (const int rc = RequireUserByNumber(number, &found); rc != USER_OK)
        return rc;
    out = found;
    return Succeed();
}

int USER_GetUserList(int page, int pageSize, std::vector<std::unique_ptr<UserRecord>>& out, const std::string& keyword)
{
    REQUIRE_OPEN();
    if (page < 1 || pageSize < 1)
        return Fail(USER_ERR_INVALID, "页码和每页记录数必须大于 0");
    const long long offset = static_cast<long long>(page - 1) * pageSize;
    // instr() compares bytes literally, so '%', '_', quotes and backslashes in a
    // keyword are ordinary characters.
    StmtUse s(keyword.empty()
                  ? Prepare("SELECT " USER_COLUMNS " FROM {U} ORDER BY number LIMIT ?1 OFFSET ?2")
                  : Prepare("SELECT " USER_COLUMNS " FROM {U} "
                            "WHERE instr(name, ?3) > 0 OR instr(CAST(number AS TEXT), ?3) > 0 "
                            "ORDER BY number LIMIT ?1 OFFSET ?2"));
    if (!s)
        return StoreError("查询用户列表");
    sqlite3_bind_int(s.get(), 1, pageSize);
    sqlite3_bind_int64(s.get(), 2, offset);
    if (!keyword.empty())
        BindText(s.get(), 3, keyword);
    std::vector<std::unique_ptr<UserRecord>> rows;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        auto record = std::make_unique<UserRecord>();
        ReadUser(s.get(), *record);
        rows.push_back(std::move(record));
    }
    if (rc != SQLITE_DONE)
        return StoreError("查询用户列表");
    const int count = static_cast<int>(rows.size());
    for (auto& r : rows)
        out.push_back(std::move(r));
    Succeed();
    return count;
}

int USER_CreateUser(const UserRecord& user)
{
    REQUIRE_OPEN();
    if (const int rc = CheckUser(user); rc != USER_OK)
        return rc;
    if (!ValidDigest(RecordPassword(user)) || strnlen(user.password, sizeof user.password) >= sizeof user.password)
        return Fail(USER_ERR_INVALID, "密码摘要无效");
    Transaction tx;
    if (!tx.ok())
        return StoreError("开始事务");
    int rc = FindUserByNumber(user.number, nullptr);
    if (rc < 0)
        return rc;
    if (rc > 0)
        return Fail(USER_ERR_EXISTS, "号码 " + std::to_string(user.number) + " 已被其他用户使用");
    rc = FindUserByName(RecordName(user), nullptr);
    if (rc < 0)
        return rc;
    if (rc > 0)
        return Fail(USER_ERR_EXISTS, "该用户已经存在，请选择其它用户名");
    if (!InsertUser(user, RecordPassword(user)))
        return StoreError("添加用户");
    if (!tx.Commit())
        return StoreError("保存用户");
    return Succeed();
}

int USER_EditUser(const UserRecord& user)
{
    REQUIRE_OPEN();
    if (const int rc = CheckUser(user); rc != USER_OK)
        return rc;
    Transaction tx;
    if (!tx.ok())
        return StoreError("开始事务");
    int rc = RequireUserByNumber(user.number, nullptr);
    if (rc != USER_OK)
        return rc;
    UserRecord holder{};
    rc = FindUserByName(RecordName(user), &holder);
    if (rc < 0)
        return rc;
    if (rc > 0 && holder.number != user.number)
        return Fail(USER_ERR_EXISTS, "该用户名已被其他用户使用");
    {
        // The password column is left alone: only USER_EditPassword changes it.
        StmtUse s(Prepare("UPDATE {U} SET name = ?2, sex = ?3, age = ?4, weight = ?5, height = ?6, stride = ?7, "
                          "photo = ?8, reserved = ?9, rights = ?10, target_steps = ?11, target_distance = ?12, "
                          "target_calories = ?13, alarm = ?14 WHERE number = ?1"));
        if (!s)
            return StoreError("修改用户");
        BindProfile(s.get(), user);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            return StoreError("修改用户");
    }
    if (!tx.Commit())
        return StoreError("保存用户");
    return Succeed();
}

int USER_DeleteUser(const std::string& name)
{
    REQUIRE_OPEN();
    Transaction tx;
    if (!tx.ok())
        return StoreError("开始事务");
    UserRecord found{};
    const int rc = FindUserByName(name, &found);
    if (rc < 0)
        return rc;
    if (rc == 0)
        return Fail(USER_ERR_NOT_FOUND, "用户 " + name + " 不存在");
    if (found.number == kAdminNumber)
        return Fail(USER_ERR_BUILTIN, "内置管理员不能删除");
    if (const int failed = ExecForNumber("DELETE FROM {D} WHERE number = ?1", found.number, "删除计步数据");
        failed != USER_OK)
        return failed;
    if (const int failed = ExecForNumber("DELETE FROM {U} WHERE number = ?1", found.number, "删除用户");
        failed != USER_OK)
        return failed;
    if (!tx.Commit())
        return StoreError("删除用户");
    return Succeed();
}

int USER_EditPassword(int32_t number, const std::string& oldDigest, const std::string& newDigest)
{
    REQUIRE_OPEN();
    if (!ValidDigest(newDigest))
        return Fail(USER_ERR_INVALID, "新密码摘要无效");
    Transaction tx;
    if (!tx.ok())
        return StoreError("开始事务");
    UserRecord found{};
    if (const int rc = RequireUserByNumber(number, &found); rc != USER_OK)
        return rc;
    if (RecordPassword(found) != oldDigest)
        return Fail(USER_ERR_WRONG_PASSWORD, "原密码不正确");
    {
        StmtUse s(Prepare("UPDATE {U} SET password = ?2 WHERE number = ?1"));
        if (!s)
            return StoreError("修改密码");
        sqlite3_bind_int(s.get(), 1, number);
        BindText(s.get(), 2, newDigest);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            return StoreError("修改密码");
    }
    if (!tx.Commit())
        return StoreError("修改密码");
    return Succeed();
}

int USER_GetNumForNewUser(int32_t& number)
{
    REQUIRE_OPEN();
    const int first = FindUserByNumber(kFirstNewNumber, nullptr);
    if (first < 0)
        return first;
    long long candidate = kFirstNewNumber;
    if (first > 0) {
        // The first used number (in order) whose successor is free ends the first run.
        StmtUse s(Prepare("SELECT u.number + 1 FROM {U} AS u WHERE u.number >= ?1 AND NOT EXISTS "
                          "(SELECT 1 FROM {U} AS v WHERE v.number = u.number + 1) ORDER BY u.number LIMIT 1"));
        if (!s)
            return StoreError("查找空闲号码");
        sqlite3_bind_int(s.get(), 1, kFirstNewNumber);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW)
            return StoreError("查找空闲号码");
        candidate = sqlite3_column_int64(s.get(), 0);
    }
    if (candidate >= kBlankDeviceId)
        return Fail(USER_ERR_NO_FREE_NUMBER, "没有可用的用户号码");
    number = static_cast<int32_t>(candidate);
    return Succeed();
}

int USER_NumberIsUnuse(int32_t number)
{
    // Any failure answers "in use": a caller must never take a number it could not check.
    std::lock_guard lock(g_mutex);
    if (!g_store) {
        Fail(USER_ERR_NOT_OPEN, std::string());
        return 0;
    }
    const int rc = FindUserByNumber(number, nullptr);
    if (rc < 0)
        return 0;
    Succeed();
    return rc == 0 ? 1 : 0;
}

int USER_InsertData(int32_t number, int32_t weight, int32_t stride, const DeviceStepRecord& day, std::string& error)
{
    std::lock_guard lock(g_mutex);
    error.clear();
    auto refuse = [&](int code, std::string text) {
        error = text;
        return Fail(code, std::move(text));
    };
    if (!g_store)
        return refuse(USER_ERR_NOT_OPEN, "用户数据库没有打开");
    std::string why;
    if (CheckDayRecord(day, why) != USER_OK)
        return refuse(USER_ERR_BAD_DAY, why);
    const int key = DayKey(day.date.dt);

    Transaction tx;
    if (!tx.ok()) {
        StoreError("开始事务");
        error = g_lastText;
        return USER_ERR_GENERAL;
    }
    auto storeFailure = [&](const char* what) {
        StoreError(what);
        error = g_lastText;
        return USER_ERR_GENERAL;
    };
    if (const int rc = RequireUserByNumber(number, nullptr); rc != USER_OK) {
        error = g_lastText;
        return rc;
    }

    bool replace = false;
    {
        StmtUse s(Prepare("SELECT record FROM {D} WHERE number = ?1 AND day = ?2"));
        if (!s)
            return storeFailure("查询计步数据");
        sqlite3_bind_int(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, key);
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_ROW) {
            const void* blob = sqlite3_column_blob(s.get(), 0);
            const int bytes = sqlite3_column_bytes(s.get(), 0);
            if (bytes == static_cast<int>(sizeof(DeviceStepRecord)) && blob) {
                if (std::memcmp(blob, &day, sizeof day) == 0)
                    return refuse(USER_ERR_ALREADY_STORED, "该日的计步数据已经保存过了");
                DeviceStepRecord stored;
                std::memcpy(&stored, blob, sizeof stored);
                // A later read of the same day holds at least as much; a stale
                // copy never overwrites a fuller one.
                if (FullnessOf(day) < FullnessOf(stored))
                    return refuse(USER_ERR_ALREADY_STORED, "该日已保存了更完整的计步数据");
            }
            replace = true;  // a damaged stored copy is replaced too
        } else if (rc != SQLITE_DONE) {
            return storeFailure("查询计步数据");
        }
    }
    {
        StmtUse s(replace ? Prepare("UPDATE {D} SET weight = ?3, stride = ?4, steps = ?5, calories = ?6, record = ?7 "
                                    "WHERE number = ?1 AND day = ?2")
                          : Prepare("INSERT INTO {D} (number, day, weight, stride, steps, calories, record) "
                                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
        if (!s)
            return storeFailure("保存计步数据");
        sqlite3_bind_int(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, key);
        sqlite3_bind_int(s.get(), 3, weight);
        sqlite3_bind_int(s.get(), 4, stride);
        sqlite3_bind_int(s.get(), 5, day.steps);
        sqlite3_bind_double(s.get(), 6, day.calories);
        sqlite3_bind_blob(s.get(), 7, &day, static_cast<int>(sizeof day), SQLITE_STATIC);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            return storeFailure("保存计步数据");
    }
    if (!tx.Commit())
        return storeFailure("保存计步数据");
    return Succeed();
}

int USER_GetData2(int32_t number, double day, StepRecord& out, std::string& error)
{
    std::lock_guard lock(g_mutex);
    error.clear();
    auto refuse = [&](int code, std::string text) {
        error = text;
        return Fail(code, std::move(text));
    };
    if (!g_store)
        return refuse(USER_ERR_NOT_OPEN, "用户数据库没有打开");
    if (!std::isfinite(day) || day < kOleFirstDay || day >= kOleEndDay)
        return refuse(USER_ERR_NO_DATA, "该日没有计步数据");
    StmtUse s(Prepare("SELECT record, weight FROM {D} WHERE number = ?1 AND day = ?2"));
    if (!s) {
        StoreError("读取计步数据");
        error = g_lastText;
        return USER_ERR_GENERAL;
    }
    sqlite3_bind_int(s.get(), 1, number);
    sqlite3_bind_int(s.get(), 2, DayKey(day));
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE)
        return refuse(USER_ERR_NO_DATA, "该日没有计步数据");
    if (rc != SQLITE_ROW) {
        StoreError("读取计步数据");
        error = g_lastText;
        return USER_ERR_GENERAL;
    }
    const void* blob = sqlite3_column_blob(s.get(), 0);
    if (!blob || sqlite3_column_bytes(s.get(), 0) != static_cast<int>(sizeof(DeviceStepRecord)))
        return refuse(USER_ERR_GENERAL, "该日保存的计步数据已损坏");
    std::memcpy(&out.day, blob, sizeof out.day);
    AnalyseExercise(out.day, sqlite3_column_int(s.get(), 1), out);
    return Succeed();
}

std::string USER_GetErrorMsg(int code)
{
    std::lock_guard lock(g_mutex);
    // The operation that returned the code last left a more precise text.
    if (code == g_lastCode && !g_lastText.empty())
        return g_lastText;
    switch (code) {
    case USER_OK:
        return "操作成功";
    case USER_ERR_ALREADY_STORED:
        return "该日的计步数据已经保存过了";
    case USER_ERR_GENERAL:
        return "用户数据库出错";
    case USER_ERR_NOT_OPEN:
        return "用户数据库没有打开";
    case USER_ERR_EXISTS:
        return "该用户已经存在，请选择其它用户名";
    case USER_ERR_WRONG_PASSWORD:
        return "原密码不正确";
    case USER_ERR_NOT_FOUND:
        return "找不到该用户";
    case USER_ERR_INVALID:
        return "用户资料不正确";
    case USER_ERR_BAD_DAY:
        return "计步数据不正确";
    case USER_ERR_BUILTIN:
        return "内置管理员不能删除";
    case USER_ERR_NO_FREE_NUMBER:
        return "没有可用的用户号码";
    case USER_ERR_NO_DATA:
        return "该日没有计步数据";
    default:
        return "未知错误（代码 " + std::to_string(code) + "）";
    }
}

void AnalyseExercise(const DeviceStepRecord& day, int32_t weight, StepRecord& out)
{
    out.exerciseStart.clear();
    out.exerciseSlots.clear();
    out.exerciseKcal.clear();
    out.effectiveCount = 0;
    out.effectiveMinutes = 0;
    out.effectiveKcal = 0.0;
    out.longestMinutes = 0;

    // 3 METs: weight x 0.1002 kcal per 2 minutes. A slot without any energy never
    // counts, so an unknown weight (0) does not turn a still day into exercise.
    const double threshold = static_cast<double>(weight) * 0.1002;
    auto counts = [&](int s) { return day.slotKcal[s] >= threshold && day.slotKcal[s] > 0.0; };
    constexpr int kMinSlots = 5;  // 10 minutes

    int s = 0;
    while (s < kSlotsPerDay) {
        if (!counts(s)) {
            ++s;
            continue;
        }
        const int start = s;
        double kcal = 0.0;
        while (s < kSlotsPerDay && counts(s))
            kcal += day.slotKcal[s++];
        const int length = s - start;
        if (length < kMinSlots)
            continue;
        const double thousandths = std::round(kcal * 1000.0);
        out.exerciseStart.push_back(static_cast<uint32_t>(start));
        out.exerciseSlots.push_back(static_cast<uint32_t>(length));
        out.exerciseKcal.push_back(thousandths >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(thousandths));
        out.effectiveCount += 1;
        out.effectiveMinutes += length * 2;
        out.effectiveKcal += kcal;
        out.longestMinutes = std::max(out.longestMinutes, length * 2);
    }
}
