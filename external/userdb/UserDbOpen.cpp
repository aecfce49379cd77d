// Opening and closing the user store: the connection string's data source, the
// checks that refuse a store that cannot be trusted, the schema and its migrations.
#include "external/userdb/UserDb.h"

#include "external/userdb/UserDbBackup.h"
#include "external/userdb/UserDbState.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace userdb;

namespace {

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

constexpr const char* kBlanks = " \t\r\n";

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string::npos)
        return std::string();
    const size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

int InitFail(std::string& error, int code, StoreText text, std::string detail = std::string())
{
    g_store.reset();
    Fail(code, text, std::move(detail));
    error = LastText();
    return code;
}

int InitFail(std::string& error, const FileOutcome& outcome)
{
    return InitFail(error, outcome.code, outcome.text, outcome.detail);
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

// Brings the store to kDataVersion inside one transaction; empty on success,
// otherwise SQLite's message.
std::string Migrate(Store& store)
{
    if (!Exec(store.db, "BEGIN IMMEDIATE"))
        return SqlText(store.db);
    int version = 0;
    bool ok = QueryInt(store.db, "PRAGMA user_version", version) == SQLITE_OK;
    const int from = version;
    for (; ok && version < kDataVersion; ++version)
        ok = Exec(store.db, ExpandTables(kMigrations[version], store));
    if (ok && from == 0)
        ok = SeedAdministrator();
    if (ok && from != kDataVersion)
        ok = Exec(store.db, "PRAGMA user_version = " + std::to_string(kDataVersion)) &&
             Exec(store.db, "PRAGMA application_id = " + std::to_string(kApplicationId));
    if (ok && Exec(store.db, "COMMIT"))
        return std::string();
    const std::string failure = SqlText(store.db);
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

// ---- the data source -----------------------------------------------------------

// Where the value of the "Data Source" key begins (the key in any letter case, at the start
// or after a ';', blanks around '='); npos when there is none.
size_t DataSourceValueStart(const std::string& connection)
{
    static const char kKey[] = "data source";
    std::string lower(connection);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (size_t pos = lower.find(kKey); pos != std::string::npos; pos = lower.find(kKey, pos + 1)) {
        const size_t before = pos == 0 ? std::string::npos : lower.find_last_not_of(kBlanks, pos - 1);
        if (before != std::string::npos && lower[before] != ';')
            continue;
        size_t p = lower.find_first_not_of(kBlanks, pos + sizeof kKey - 1);
        if (p != std::string::npos && lower[p] == '=')
            return p + 1;
    }
    return std::string::npos;
}

// A "key=value" option of the connection string that may follow the data source. It never
// holds a '/', while whatever follows a ';' inside the data source path does: the path is
// "<folder>/<file>", so a ';' in a folder name is followed by the rest of the path.
bool IsTrailingOption(const std::string& segment)
{
    const size_t eq = segment.find('=');
    return eq != std::string::npos && !Trim(segment.substr(0, eq)).empty() && segment.find('/') == std::string::npos;
}

// The data source's value: quoted ('...' or "...", a doubled quote standing for one), or
// everything up to the options that end the string. False when a quote is not closed or
// something other than the next option follows it.
bool DataSourceValue(const std::string& connection, size_t start, std::string& value)
{
    size_t p = connection.find_first_not_of(kBlanks, start);
    if (p == std::string::npos) {
        value.clear();
        return true;
    }
    const char quote = connection[p];
    if (quote == '"' || quote == '\'') {
        value.clear();
        for (++p; p < connection.size(); ++p) {
            if (connection[p] != quote) {
                value.push_back(connection[p]);
            } else if (p + 1 < connection.size() && connection[p + 1] == quote) {
                value.push_back(quote);
                ++p;
            } else {
                const size_t next = connection.find_first_not_of(kBlanks, p + 1);
                return next == std::string::npos || connection[next] == ';';
            }
        }
        return false;
    }
    size_t end = connection.size();
    while (end > p) {
        const size_t semi = connection.rfind(';', end - 1);
        if (semi == std::string::npos || semi < p)
            break;
        const std::string segment = connection.substr(semi + 1, end - semi - 1);
        if (!Trim(segment).empty() && !IsTrailingOption(segment))
            break;
        end = semi;
    }
    value = Trim(connection.substr(p, end - p));
    return true;
}

}  // namespace

int userdb::QueryInt(sqlite3* db, const std::string& sql, int& value)
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
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

std::string userdb::PathAndWhy(const std::string& path, const std::string& why)
{
    return path + " (" + why + ")";
}

std::string USER_StorePath(const std::string& connection)
{
    const size_t start = DataSourceValueStart(connection);
    std::string path;
    if (start == std::string::npos || !DataSourceValue(connection, start, path) || path.empty())
        return std::string();
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        path.erase(dot);
    if (path.empty() || path.back() == '/')
        return std::string();
    return path + ".db";
}

// ---- operations --------------------------------------------------------------

int USER_Init(const std::string& connection, const std::string& userTable, const std::string& dataTable, std::string& error)
{
    std::lock_guard lock(g_mutex);
    g_store.reset();
    JoinDailyBackup();
    error.clear();

    if (!ValidIdentifier(userTable) || !ValidIdentifier(dataTable) || EqualsNoCase(userTable, dataTable.c_str()))
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitTableNames);
    const std::string path = USER_StorePath(connection);
    if (path.empty())
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitNoDataSource);

    const std::string folder = FolderOf(path);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitNoFolder, folder);
    // The store keeps its write-ahead log beside the file, so the folder must be writable.
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitFolderReadOnly, folder);
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode))
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitFileUnusable, path);
    if (exists && access(path.c_str(), R_OK | W_OK) != 0)
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitFileUnusable, path);

    // A missing or empty store is made anew only on a first start. With copies in the backup
    // folder the store was lost, and a new one would hide that: the program offers a copy.
    const bool blank = !exists || info.st_size == 0;
    if (blank) {
        struct stat wal {};
        if (stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0)
            return InitFail(error, USER_ERR_DAMAGED, StoreText::StoreDamagedAt, path + "-wal");
        if (HasBackups(path))
            return InitFail(error, USER_ERR_STORE_MISSING,
                            exists ? StoreText::StoreEmptyBackups : StoreText::StoreMissingBackups, BackupFolderOf(path));
    } else if (const FileOutcome checked = CheckStoreFile(path, CheckDepth::Quick); !checked.ok()) {
        // Checked on a read-only connection, so a refused store is left exactly as it was.
        return InitFail(error, checked);
    }

    auto store = std::make_unique<Store>();
    store->path = path;
    store->userTable = "\"" + userTable + "\"";
    store->dataTable = "\"" + dataTable + "\"";
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &store->db, flags, nullptr) != SQLITE_OK) {
        const std::string text = SqlText(store->db);
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, text));
    }
    sqlite3_extended_result_codes(store->db, 1);
    sqlite3_busy_timeout(store->db, 5000);
    int version = 0;
    if (QueryInt(store->db, "PRAGMA user_version", version) != SQLITE_OK)
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, SqlText(store->db)));

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
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitCannotConfigure, SqlText(store->db));
    if (!Exec(store->db, "PRAGMA synchronous = FULL") || !Exec(store->db, "PRAGMA foreign_keys = ON"))
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitCannotConfigure, SqlText(store->db));

    // An upgrade rewrites the schema: the store as it was is copied first.
    if (version > 0 && version < kDataVersion) {
        std::string copy;
        if (const FileOutcome made = MakeBackup(path, BackupReason::Migrate, Now(), copy); !made.ok())
            return InitFail(error, made);
    }
    // Statements are prepared on the process-wide store, so it is set before
    // migrating; InitFail clears it again.
    g_store = std::move(store);
    const std::string failure = Migrate(*g_store);
    if (!failure.empty())
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitCannotMigrate, failure);

    // Tables of an old store that another program version named differently would
    // show up here as a missing table: check both once.
    int probe = 0;
    if (QueryInt(g_store->db, ExpandTables("SELECT count(*) FROM {U} WHERE 0", *g_store), probe) != SQLITE_OK ||
        QueryInt(g_store->db, ExpandTables("SELECT count(*) FROM {D} WHERE 0", *g_store), probe) != SQLITE_OK)
        return InitFail(error, USER_ERR_GENERAL, StoreText::InitMissingTables, SqlText(g_store->db));
    Succeed();
    // A store made just now holds nothing worth a copy yet.
    StartDailyBackupIfDue(path, !blank);
    return 0;
}

int USER_Term(int /*flags*/, const std::string& /*password*/)
{
    std::lock_guard lock(g_mutex);
    JoinDailyBackup();
    if (!g_store)
        return Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen);
    g_store.reset();
    return Succeed();
}
