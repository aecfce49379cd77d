// Checking a store file without changing it, and what the checks share: the
// read-only connection, our two tables found by their columns, and the pages a
// write-ahead log holds (a store cut short may still be whole with its log).
#include "external/userdb/UserDbState.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace userdb {
namespace {

uint32_t BigEndian32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint32_t LittleEndian32(const unsigned char* p)
{
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[0]);
}

// Continues the log's running checksum over n bytes (a multiple of 8), read as 32-bit words
// in the byte order the log's magic number names.
void WalChecksum(bool bigEndian, const unsigned char* data, size_t n, uint32_t sum[2])
{
    for (size_t i = 0; i + 8 <= n; i += 8) {
        const uint32_t a = bigEndian ? BigEndian32(data + i) : LittleEndian32(data + i);
        const uint32_t b = bigEndian ? BigEndian32(data + i + 4) : LittleEndian32(data + i + 4);
        sum[0] += a + sum[1];
        sum[1] += b + sum[0];
    }
}

// The pages held by the committed frames of a write-ahead log: the frames SQLite's recovery
// keeps (salts matching the header, checksums chaining, up to the last commit frame).
std::set<uint32_t> CommittedWalPages(const std::string& walPath, uint32_t pageSize)
{
    std::set<uint32_t> committed;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(walPath.c_str(), "rb"), &std::fclose);
    unsigned char header[32];
    if (!file || std::fread(header, 1, sizeof header, file.get()) != sizeof header)
        return committed;
    const uint32_t magic = BigEndian32(header);
    if ((magic & ~1u) != 0x377f0682u || BigEndian32(header + 8) != pageSize)
        return committed;
    const bool bigEndian = (magic & 1u) != 0;
    uint32_t sum[2] = {0, 0};
    WalChecksum(bigEndian, header, 24, sum);
    if (sum[0] != BigEndian32(header + 24) || sum[1] != BigEndian32(header + 28))
        return committed;
    std::vector<unsigned char> frame(24 + pageSize);
    std::set<uint32_t> pending;
    while (std::fread(frame.data(), 1, frame.size(), file.get()) == frame.size()) {
        const uint32_t page = BigEndian32(frame.data());
        if (page == 0 || std::memcmp(frame.data() + 8, header + 16, 8) != 0)
            break;
        WalChecksum(bigEndian, frame.data(), 8, sum);
        WalChecksum(bigEndian, frame.data() + 24, pageSize, sum);
        if (sum[0] != BigEndian32(frame.data() + 16) || sum[1] != BigEndian32(frame.data() + 20))
            break;
        pending.insert(page);
        if (BigEndian32(frame.data() + 4) != 0) {  // a commit frame
            committed.insert(pending.begin(), pending.end());
            pending.clear();
        }
    }
    return committed;
}

// Every page the store counts must be whole in its file or in its log's committed frames.
// (SQLite reads a page beyond the end of the file as zeros, so quick_check alone may pass a
// store cut short inside an overflow page.)
FileOutcome CheckPagesPresent(const std::string& path, sqlite3* db)
{
    int pageSize = 0;
    int pageCount = 0;
    struct stat info {};
    if (QueryInt(db, "PRAGMA page_size", pageSize) != SQLITE_OK || QueryInt(db, "PRAGMA page_count", pageCount) != SQLITE_OK ||
        pageSize <= 0)
        return FileFailure(USER_ERR_DAMAGED, StoreText::StoreDamagedAt, PathAndWhy(path, SqlText(db)));
    if (stat(path.c_str(), &info) != 0)
        return FileFailure(USER_ERR_NOT_FOUND, StoreText::NoSuchFile, path);
    const int64_t whole = static_cast<int64_t>(info.st_size) / pageSize;
    if (whole >= pageCount)
        return {};
    const std::set<uint32_t> logged = CommittedWalPages(path + "-wal", static_cast<uint32_t>(pageSize));
    for (int64_t page = whole + 1; page <= pageCount; ++page) {
        if (!logged.count(static_cast<uint32_t>(page)))
            return FileFailure(USER_ERR_DAMAGED, StoreText::StoreCutShort,
                               PathAndWhy(path, std::to_string(info.st_size) + " / " +
                                                    std::to_string(static_cast<int64_t>(pageCount) * pageSize)));
    }
    return {};
}

// The size the file's header claims (page count × page size), read through the connection's
// own descriptor (a descriptor of our own would drop the process's locks on the file when
// closed); 0 when unknown.
int64_t ClaimedSize(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    unsigned char header[100];
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods ||
        file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK)
        return 0;
    const int64_t pageSize = ((header[16] << 8) | header[17]) == 1 ? 65536 : ((header[16] << 8) | header[17]);
    // The page count is valid when the change counter matches its "valid for" number.
    if (BigEndian32(header + 24) != BigEndian32(header + 92))
        return 0;
    return pageSize * BigEndian32(header + 28);
}

// Reads the file once from start to end through the connection's descriptor. The checks read
// pages in tree order, which on a cold cache costs a seek per page (0.7 s for a year of ten
// users); read in order first, the file is in the cache for them (0.04 s).
void ReadAhead(sqlite3* db, int64_t size)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return;
    std::vector<unsigned char> buffer(1 << 20);
    for (int64_t at = 0; at < size; at += static_cast<int64_t>(buffer.size())) {
        const int chunk = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(buffer.size()), size - at));
        if (file->pMethods->xRead(file, buffer.data(), chunk, at) != SQLITE_OK)
            return;
    }
}

// quick_check or integrity_check: empty when "ok", else the first problem.
std::string FirstProblem(sqlite3* db, CheckDepth depth, int& rc)
{
    sqlite3_stmt* s = nullptr;
    const char* sql = depth == CheckDepth::Full ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)";
    rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    std::string problem;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            problem = text ? text : "";
            rc = SQLITE_OK;
            if (problem == "ok")
                problem.clear();
        }
    }
    if (rc != SQLITE_OK)
        problem = SqlText(db);
    sqlite3_finalize(s);
    return problem;
}

}  // namespace

FileOutcome FileFailure(int code, StoreText text, std::string detail)
{
    return FileOutcome{code, text, std::move(detail)};
}

int Report(const FileOutcome& outcome)
{
    return outcome.ok() ? Succeed() : Fail(outcome.code, outcome.text, outcome.detail);
}

ReadConnection::ReadConnection(const std::string& path)
{
    m_ok = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    if (m_db) {
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 5000);
    }
}

ReadConnection::~ReadConnection()
{
    sqlite3_close_v2(m_db);
}

void FindStoreTables(sqlite3* db, StoreFacts& facts)
{
    sqlite3_stmt* s = nullptr;
    const char* sql = "SELECT m.name, group_concat(',' || p.name || ',', '') FROM sqlite_master AS m, "
                      "pragma_table_info(m.name) AS p WHERE m.type = 'table' GROUP BY m.name";
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return;
    }
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const auto* columns = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        if (!name || !columns)
            continue;
        const std::string all = columns;
        auto has = [&all](const char* column) { return all.find(std::string(",") + column + ",") != std::string::npos; };
        if (has("number") && has("name") && has("password"))
            facts.userTable = name;
        else if (has("number") && has("day") && has("record"))
            facts.dataTable = name;
    }
    sqlite3_finalize(s);
}

FileOutcome CheckStoreFile(const std::string& path, CheckDepth depth, StoreFacts* factsOut)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return FileFailure(USER_ERR_NOT_FOUND, StoreText::NoSuchFile, path);
    if (!S_ISREG(info.st_mode))
        return FileFailure(USER_ERR_GENERAL, StoreText::InitFileUnusable, path);
    if (info.st_size == 0)
        return FileFailure(USER_ERR_GENERAL, StoreText::FileEmpty, path);
    ReadConnection c(path);
    if (!c.ok())
        return FileFailure(USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, c.Error()));

    // Reading the schema is the first touch of the file: a file that is not a database fails here.
    StoreFacts facts;
    if (const int rc = QueryInt(c.db(), "SELECT count(*) FROM sqlite_master WHERE type = 'table'", facts.tables);
        rc != SQLITE_OK) {
        if ((rc & 0xFF) == SQLITE_NOTADB)
            return FileFailure(USER_ERR_GENERAL, StoreText::InitNotAStore, PathAndWhy(path, c.Error()));
        // SQLite itself refuses a file shorter by a whole page than its header says.
        if ((rc & 0xFF) == SQLITE_CORRUPT && ClaimedSize(c.db()) > static_cast<int64_t>(info.st_size))
            return FileFailure(USER_ERR_DAMAGED, StoreText::StoreCutShort,
                               PathAndWhy(path, std::to_string(info.st_size) + " / " + std::to_string(ClaimedSize(c.db()))));
        if ((rc & 0xFF) == SQLITE_CORRUPT)
            return FileFailure(USER_ERR_DAMAGED, StoreText::StoreDamagedAt, PathAndWhy(path, c.Error()));
        return FileFailure(USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, c.Error()));
    }
    int appId = 0;
    if (QueryInt(c.db(), "PRAGMA user_version", facts.version) != SQLITE_OK ||
        QueryInt(c.db(), "PRAGMA application_id", appId) != SQLITE_OK)
        return FileFailure(USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, c.Error()));
    if ((appId != 0 && appId != kApplicationId) || (facts.version == 0 && facts.tables > 0))
        return FileFailure(USER_ERR_GENERAL, StoreText::InitForeignDatabase, path);
    if (facts.version > kDataVersion)
        return FileFailure(USER_ERR_GENERAL, StoreText::InitNewerVersion, std::to_string(facts.version));
    if (facts.version < 0)
        return FileFailure(USER_ERR_GENERAL, StoreText::InitNotAStore,
                           PathAndWhy(path, "user_version " + std::to_string(facts.version)));

    if (FileOutcome pages = CheckPagesPresent(path, c.db()); !pages.ok())
        return pages;
    ReadAhead(c.db(), static_cast<int64_t>(info.st_size));
    int rc = SQLITE_OK;
    if (const std::string problem = FirstProblem(c.db(), depth, rc); !problem.empty()) {
        const int primary = rc & 0xFF;
        if (rc != SQLITE_OK && primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB)
            return FileFailure(USER_ERR_GENERAL, StoreText::InitCannotOpen, PathAndWhy(path, problem));
        return FileFailure(USER_ERR_DAMAGED, StoreText::StoreDamagedAt, PathAndWhy(path, problem));
    }
    FindStoreTables(c.db(), facts);
    if (factsOut)
        *factsOut = facts;
    return {};
}

}  // namespace userdb
