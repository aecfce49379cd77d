#pragma once
// What the user store's source files share: the open store, its cached
// statements, write transactions and the last failure. Only the library
// includes this header.

#include "external/userdb/UserDb.h"
#include "external/userdb/UserDbBackup.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace userdb {

// The store's texts, numbered as the program's string table numbers them. The
// first thirteen are the texts of the result codes; the others say precisely
// what failed. "<r>" in a text stands for a detail (a path, a number, SQLite's
// message).
enum class StoreText : int {
    Ok = kUserDbFirstTextId,
    AlreadyStored,
    General,
    NotOpen,
    Exists,
    WrongPassword,
    NotFound,
    Invalid,
    BadDay,
    Builtin,
    NoFreeNumber,
    NoData,
    UnknownCode,
    ReadFailed,
    WriteFailed,
    NameTooLong,
    NameEmpty,
    NumberTaken,
    NameTaken,
    NoSuchName,
    NoSuchNumber,
    LoginPassword,
    DayDateInvalid,
    DayOutOfRange,
    DayBadValues,
    FullerDayStored,
    StoredDayDamaged,
    InitTableNames,
    InitNoDataSource,
    InitNoFolder,
    InitFolderReadOnly,
    InitFileUnusable,
    InitCannotOpen,
    InitNotAStore,
    InitForeignDatabase,
    InitNewerVersion,
    InitCannotConfigure,
    InitCannotMigrate,
    InitMissingTables,
    DayInFuture,
    // The store's files, copies and restore.
    Damaged = kUserDbFileFirstTextId,
    MissingWithBackups,
    InUse,
    BadBackup,
    BackupFailed,
    StoreDamagedAt,
    StoreCutShort,
    StoreMissingBackups,
    StoreEmptyBackups,
    BackupCannotWrite,
    BackupCheckFailed,
    RestoreDamagedCopy,
    RestoreForeignCopy,
    StoreInUseAt,
    RestoreCannotReplace,
    NoSuchFile,
    FileEmpty,
    NoGoodBackup,
};
static_assert(static_cast<int>(StoreText::DayInFuture) == kUserDbLastTextId);
static_assert(static_cast<int>(StoreText::NoGoodBackup) == kUserDbFileLastTextId);

constexpr int kDataVersion = 1;             // the newest schema this library knows
constexpr int kApplicationId = 0x5452564D;  // marks our stores

// The built-in (Chinese) text of a store text, with "<r>" filled by detail.
std::string RenderText(StoreText text, const std::string& detail);
// The text of a result code when nothing more precise is known.
StoreText TextOfCode(int code);

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
    ~Store();
};

struct LastFailure {
    int code = USER_OK;
    StoreText text = StoreText::Ok;
    std::string detail;
};

// The built-in administrator, seeded into a new store.
bool SeedAdministrator();

// Every USER_* operation holds g_mutex while it runs.
inline std::mutex g_mutex;
inline std::unique_ptr<Store> g_store;
inline LastFailure g_last;

// Records the failure as the last one and returns its code.
int Fail(int code, StoreText text, std::string detail = std::string());
int Succeed(int code = USER_OK);
// The last failure's text, as USER_GetErrorMsg gives it.
std::string LastText();

std::string SqlText(sqlite3* db);
// A failed read or write of the open store, with SQLite's message.
int ReadError();
int WriteError();

// Expands {U} and {D} to the quoted table names.
std::string ExpandTables(const char* sql, const Store& store);
// The cached statement for sql on the open store; null when it cannot be prepared.
sqlite3_stmt* Prepare(const char* sql);
bool Exec(sqlite3* db, const std::string& sql);

// One write transaction on the open store; rolled back unless committed.
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

// The user with that number: USER_OK, or the failure (no such user, store error).
int RequireUserByNumber(int32_t number, UserRecord* out);

// ---- the store's files -------------------------------------------------------------
// Work on store files (checks, copies, restore) also runs outside g_mutex (the daily copy
// runs on its own thread), so it reports its outcome instead of setting the last failure;
// Report turns an outcome into the last failure.
struct FileOutcome {
    int code = USER_OK;
    StoreText text = StoreText::Ok;
    std::string detail;
    bool ok() const { return code == USER_OK; }
};
FileOutcome FileFailure(int code, StoreText text, std::string detail);
int Report(const FileOutcome& outcome);
// "<path> (<why>)"
std::string PathAndWhy(const std::string& path, const std::string& why);

// A read-only connection to a store file, closed with the object. Read-only, so that a
// closing connection never checkpoints or deletes the write-ahead log of a store it checks.
class ReadConnection {
public:
    explicit ReadConnection(const std::string& path);
    ~ReadConnection();
    ReadConnection(const ReadConnection&) = delete;
    ReadConnection& operator=(const ReadConnection&) = delete;
    sqlite3* db() const { return m_db; }
    bool ok() const { return m_ok; }
    std::string Error() const { return SqlText(m_db); }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};
int QueryInt(sqlite3* db, const std::string& sql, int& value);

// What a check found besides its verdict.
struct StoreFacts {
    int version = 0;
    int tables = 0;          // tables in the schema
    std::string userTable;   // our two tables, found by their columns (names may differ); empty when absent
    std::string dataTable;
};
enum class CheckDepth { Quick, Full };  // quick_check at every opening, integrity_check for copies
// Checks a store file without changing it: that SQLite opens it as a store of ours (or as an
// empty database), not newer than this library, every page present in the file or its
// write-ahead log, and quick_check / integrity_check "ok".
FileOutcome CheckStoreFile(const std::string& path, CheckDepth depth, StoreFacts* facts = nullptr);
// Finds our two tables in an open database by their columns.
void FindStoreTables(sqlite3* db, StoreFacts& facts);

// "<folder of the store>/Backup/"
std::string BackupFolderOf(const std::string& storePath);
// Makes a checked copy of the store file into its backup folder as made at `now`, then deletes
// the copies that the keeping rules (UserDbBackup.h) no longer keep at `now`. pathOut gets the
// copy's path.
FileOutcome MakeBackup(const std::string& storePath, BackupReason reason, int64_t now, std::string& pathOut);
// Seconds since 1970: the clock, or what a test set (SetClockForTests).
int64_t Now();
// The daily copy: started by USER_Init on the first opening of a day when wanted (not for a
// store made just now), joined by USER_Term.
void StartDailyBackupIfDue(const std::string& storePath, bool wanted);
void JoinDailyBackup();
// Whether the store's backup folder holds copies (what a missing store could be restored from;
// a damaged store set aside is none).
bool HasBackups(const std::string& storePath);

}  // namespace userdb
