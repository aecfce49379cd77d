#pragma once
// What the user store's source files share: the open store, its cached
// statements, write transactions and the last failure. Only the library
// includes this header.

#include "external/userdb/UserDb.h"

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
};
static_assert(static_cast<int>(StoreText::DayInFuture) == kUserDbLastTextId);

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

}  // namespace userdb
