#include "external/userdb/UserDbState.h"

namespace userdb {

Store::~Store()
{
    for (auto& entry : statements)
        sqlite3_finalize(entry.second);
    if (db) {
        sqlite3_exec(db, "PRAGMA optimize", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
}

std::string SqlText(sqlite3* db)
{
    return db ? std::string(sqlite3_errmsg(db)) : std::string("out of memory");
}

int ReadError()
{
    return Fail(USER_ERR_GENERAL, StoreText::ReadFailed, SqlText(g_store ? g_store->db : nullptr));
}

int WriteError()
{
    return Fail(USER_ERR_GENERAL, StoreText::WriteFailed, SqlText(g_store ? g_store->db : nullptr));
}

// Table names cannot be bound as parameters; USER_Init checks them to be plain identifiers.
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

}  // namespace userdb
