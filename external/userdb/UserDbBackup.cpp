// The store's copies: making a checked copy, naming, listing and pruning them,
// and the daily copy made in the background at the first opening of a day.
#include "external/userdb/UserDbBackup.h"

#include "external/userdb/UserDbCopies.h"
#include "external/userdb/UserDbInternal.h"
#include "external/userdb/UserDbState.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

namespace userdb {
namespace {

constexpr int kDailyCopiesKept = 14;
constexpr int64_t kEventCopyDays = 30;
constexpr int64_t kSecondsPerDay = 86400;

const char* const kReasonNames[] = {"daily", "delete", "erase", "migrate", "restore", "manual", "damaged"};

std::optional<BackupReason> ReasonFromName(const std::string& name)
{
    for (size_t i = 0; i < std::size(kReasonNames); ++i)
        if (name == kReasonNames[i])
            return static_cast<BackupReason>(i);
    return std::nullopt;
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "User" for ".../User.db": the start of every copy's name.
std::string StemOf(const std::string& storePath)
{
    std::string name = FileNameOf(storePath);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

// ".User-copy-": the name of a copy being made (MakeCopyFile) starts so.
std::string CopyFilePrefix(const std::string& storePath)
{
    std::string prefix(1, '.');
    prefix.append(StemOf(storePath)).append("-copy-");
    return prefix;
}

std::tm LocalTime(int64_t seconds)
{
    const time_t t = static_cast<time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

std::string CopyName(const std::string& stem, int64_t time, int sequence, BackupReason reason)
{
    const std::tm t = LocalTime(time);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "-%04d-%02d-%02dT%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    std::string name = stem + stamp;
    if (sequence > 1)
        name.append(".").append(std::to_string(sequence));
    name.append("-").append(BackupReasonName(reason)).append(".db");
    return name;
}

bool ReadNumber(const std::string& s, size_t at, size_t digits, int& value)
{
    if (at + digits > s.size())
        return false;
    value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// Reads "<stem>-yyyy-mm-ddThhmmss[.n]-<reason>.db"; false for any other name.
bool ParseCopyName(const std::string& stem, const std::string& name, StoreCopy& out)
{
    const std::string prefix = stem + "-";
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() < prefix.size() + 17 + 5)
        return false;
    const size_t at = prefix.size();
    std::tm t{};
    int year = 0, month = 0;
    if (!ReadNumber(name, at, 4, year) || name[at + 4] != '-' || !ReadNumber(name, at + 5, 2, month) ||
        name[at + 7] != '-' || !ReadNumber(name, at + 8, 2, t.tm_mday) || name[at + 10] != 'T' ||
        !ReadNumber(name, at + 11, 2, t.tm_hour) || !ReadNumber(name, at + 13, 2, t.tm_min) ||
        !ReadNumber(name, at + 15, 2, t.tm_sec))
        return false;
    if (month < 1 || month > 12 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 60)
        return false;
    size_t p = at + 17;
    out.sequence = 1;
    if (p < name.size() && name[p] == '.') {
        const size_t end = name.find('-', p);
        if (end == std::string::npos || end == p + 1 || end - p > 5 || !ReadNumber(name, p + 1, end - p - 1, out.sequence))
            return false;
        p = end;
    }
    if (name[p] != '-' || name.size() < p + 4 || name.compare(name.size() - 3, 3, ".db") != 0)
        return false;
    const std::optional<BackupReason> reason = ReasonFromName(name.substr(p + 1, name.size() - 3 - p - 1));
    if (!reason)
        return false;
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_isdst = -1;
    out.info.name = name;
    out.info.time = static_cast<int64_t>(std::mktime(&t));
    out.info.reason = *reason;
    return true;
}

bool SameLocalDay(int64_t a, int64_t b)
{
    const std::tm x = LocalTime(a);
    const std::tm y = LocalTime(b);
    return x.tm_year == y.tm_year && x.tm_yday == y.tm_yday;
}

std::string QuoteName(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Every (user number, day) a store file holds; nothing when it cannot be read.
std::optional<std::set<int64_t>> ReadDayKeys(const std::string& path)
{
    ReadConnection c(path);
    StoreFacts facts;
    if (!c.ok())
        return std::nullopt;
    FindStoreTables(c.db(), facts);
    if (facts.dataTable.empty())
        return std::nullopt;
    sqlite3_stmt* s = nullptr;
    const std::string sql = "SELECT number, day FROM " + QuoteName(facts.dataTable);
    std::set<int64_t> keys;
    int rc = sqlite3_prepare_v2(c.db(), sql.c_str(), -1, &s, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) {
        keys.insert((sqlite3_column_int64(s, 0) << 32) | (sqlite3_column_int64(s, 1) & 0xFFFFFFFF));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE)
        return std::nullopt;
    return keys;
}

std::string Why()
{
    return std::strerror(errno);
}

FileOutcome CannotWrite(const std::string& path)
{
    return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(path, Why()));
}

void RemoveStoreFiles(const std::string& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        unlink((path + suffix).c_str());
}

// Removes what a copy or restore cut off by a crash left (".User-copy-XXXXXX" and its journal)
// in a folder, once it is an hour old (by the file's own time: nothing still being written).
void RemoveStaleCopyFiles(const std::string& folder, const std::string& storePath)
{
    const std::string prefix = CopyFilePrefix(storePath);
    const time_t hourAgo = std::time(nullptr) - 3600;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (!entry)
            break;
        struct stat info {};
        const std::string path = folder + entry->d_name;
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0 && lstat(path.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < hourAgo)
            unlink(path.c_str());
    }
}

// Deletes the copies the keeping rules no longer keep; the caller holds the folder's lock.
void PruneLocked(const std::string& storePath, int64_t now)
{
    RemoveStaleCopyFiles(BackupFolderOf(storePath), storePath);
    RemoveStaleCopyFiles(storePath.substr(0, storePath.find_last_of('/') + 1), storePath);
    const std::vector<StoreCopy> copies = ScanCopies(storePath);  // newest first
    std::vector<const StoreCopy*> kept;
    std::vector<const StoreCopy*> candidates;
    int daily = 0;
    for (const StoreCopy& copy : copies) {
        bool keep = true;
        switch (copy.info.reason) {
        case BackupReason::Daily:
            keep = ++daily <= kDailyCopiesKept;
            break;
        case BackupReason::Manual:
        case BackupReason::Damaged:
            break;
        default:
            keep = now - copy.info.time <= kEventCopyDays * kSecondsPerDay;
            break;
        }
        (keep ? kept : candidates).push_back(&copy);
    }
    if (candidates.empty())
        return;
    // A candidate goes only when every day it holds is in the store or in a kept copy. Newest
    // first, so that of several copies holding a day that is gone elsewhere the newest stays.
    const std::set<int64_t> live = ReadDayKeys(storePath).value_or(std::set<int64_t>());
    std::map<const StoreCopy*, std::optional<std::set<int64_t>>> read;
    auto daysOf = [&read](const StoreCopy* copy) -> const std::optional<std::set<int64_t>>& {
        auto it = read.find(copy);
        if (it == read.end())
            it = read.emplace(copy, ReadDayKeys(copy->info.path)).first;
        return it->second;
    };
    for (const StoreCopy* candidate : candidates) {
        const std::optional<std::set<int64_t>>& days = daysOf(candidate);
        bool onlyCopy = !days;  // what cannot be read cannot be shown to be held elsewhere
        if (days) {
            std::set<int64_t> alone;
            std::set_difference(days->begin(), days->end(), live.begin(), live.end(), std::inserter(alone, alone.end()));
            for (size_t k = 0; k < kept.size() && !alone.empty(); ++k) {
                if (const auto& other = daysOf(kept[k]))
                    for (int64_t key : *other)
                        alone.erase(key);
            }
            onlyCopy = !alone.empty();
        }
        if (onlyCopy)
            kept.push_back(candidate);
        else
            unlink(candidate->info.path.c_str());
    }
}

// ---- the daily copy ------------------------------------------------------------

struct DailyBackup {
    std::thread thread;
    bool ran = false;
    FileOutcome outcome;
    std::string path;
    ~DailyBackup()
    {
        if (thread.joinable())
            thread.join();
    }
};
// Started and joined only under g_mutex.
DailyBackup g_daily;
std::atomic<int64_t> g_clock{0};

}  // namespace

// ---- shared with the restore -------------------------------------------------------

FolderLock::FolderLock(const std::string& folder) : m_fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd >= 0)
        flock(m_fd, LOCK_EX);
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        close(m_fd);
}

std::vector<StoreCopy> ScanCopies(const std::string& storePath)
{
    std::vector<StoreCopy> copies;
    const std::string folder = BackupFolderOf(storePath);
    const std::string stem = StemOf(storePath);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    if (!dir)
        return copies;
    while (const dirent* entry = readdir(dir.get())) {
        StoreCopy copy;
        struct stat info {};
        if (!ParseCopyName(stem, entry->d_name, copy))
            continue;
        copy.info.path = folder + copy.info.name;
        if (stat(copy.info.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        copy.info.bytes = info.st_size;
        copies.push_back(std::move(copy));
    }
    std::sort(copies.begin(), copies.end(), [](const StoreCopy& a, const StoreCopy& b) {
        return a.info.time != b.info.time ? a.info.time > b.info.time : a.sequence > b.sequence;
    });
    return copies;
}

bool SyncPath(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

FileOutcome CopyStoreFile(const std::string& from, const std::string& to)
{
    ReadConnection source(from);
    if (!source.ok())
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(from, source.Error()));
    sqlite3* target = nullptr;
    const int opened = sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(target, &sqlite3_close_v2);
    if (opened != SQLITE_OK)
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(to, SqlText(target)));
    sqlite3_busy_timeout(target, 5000);
    // The copy is synced once when it is complete (SyncPath), not at every step.
    Exec(target, "PRAGMA synchronous = OFF");
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source.db(), "main");
    if (!backup)
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(to, SqlText(target)));
    // All pages in one step: one read transaction on the source, so the copy is one state of it
    // however much another connection writes meanwhile (in WAL mode it is not held up).
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 50; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(100);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(from, sqlite3_errstr(rc)));
    // The pages carry the store's WAL mark; a copy is one self-contained file instead.
    if (!Exec(target, "PRAGMA journal_mode = DELETE"))
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(to, SqlText(target)));
    return {};
}

FileOutcome PlaceAmongCopies(const std::string& from, const std::string& storePath, BackupReason reason, int64_t now,
                             std::string& pathOut)
{
    const std::string folder = BackupFolderOf(storePath);
    const std::string stem = StemOf(storePath);
    struct stat info {};
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const std::string path = folder + CopyName(stem, now, sequence, reason);
        if (lstat(path.c_str(), &info) == 0)
            continue;
        if (rename(from.c_str(), path.c_str()) != 0)
            return CannotWrite(path);
        // A store set aside as it is keeps its log beside it.
        if (reason == BackupReason::Damaged && access((from + "-wal").c_str(), F_OK) == 0 &&
            rename((from + "-wal").c_str(), (path + "-wal").c_str()) != 0)
            return CannotWrite(path + "-wal");
        SyncPath(folder);
        pathOut = path;
        return {};
    }
    errno = EEXIST;
    return CannotWrite(folder);
}

FileOutcome MakeCopyFile(const std::string& folder, const std::string& storePath, std::string& tempOut)
{
    tempOut = folder + CopyFilePrefix(storePath) + "XXXXXX";
    const int fd = mkstemp(tempOut.data());
    if (fd < 0)
        return CannotWrite(folder);
    // Readable by whom the store is (mkstemp makes it private); a restored store keeps that.
    struct stat store {};
    const mode_t mode = stat(storePath.c_str(), &store) == 0 ? store.st_mode & 0666 : 0644;
    fchmod(fd, mode);
    close(fd);
    return {};
}

std::string BackupFolderOf(const std::string& storePath)
{
    const size_t slash = storePath.find_last_of('/');
    return (slash == std::string::npos ? std::string() : storePath.substr(0, slash + 1)) + "Backup/";
}

int64_t Now()
{
    const int64_t fixed = g_clock.load();
    return fixed ? fixed : static_cast<int64_t>(std::time(nullptr));
}

bool HasBackups(const std::string& storePath)
{
    const std::vector<StoreCopy> copies = ScanCopies(storePath);
    return std::any_of(copies.begin(), copies.end(), [](const StoreCopy& c) { return c.info.reason != BackupReason::Damaged; });
}

FileOutcome MakeBackup(const std::string& storePath, BackupReason reason, int64_t now, std::string& pathOut)
{
    pathOut.clear();
    const std::string folder = BackupFolderOf(storePath);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return CannotWrite(folder);
    std::string temp;
    FileOutcome made = MakeCopyFile(folder, storePath, temp);
    if (!made.ok())
        return made;
    made = CopyStoreFile(storePath, temp);
    StoreFacts facts;
    if (made.ok()) {
        const FileOutcome checked = CheckStoreFile(temp, CheckDepth::Full, &facts);
        if (!checked.ok())
            made = FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCheckFailed, PathAndWhy(storePath, RenderText(checked.text, checked.detail)));
        else if (facts.userTable.empty() || facts.dataTable.empty())
            made = FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCheckFailed, PathAndWhy(storePath, "no tables"));
    }
    if (made.ok() && !SyncPath(temp))
        made = CannotWrite(temp);
    if (made.ok()) {
        FolderLock lock(folder);
        made = PlaceAmongCopies(temp, storePath, reason, now, pathOut);
        if (made.ok())
            PruneLocked(storePath, now);
    }
    if (!made.ok())
        RemoveStoreFiles(temp);
    return made;
}

void StartDailyBackupIfDue(const std::string& storePath, bool wanted)
{
    JoinDailyBackup();
    g_daily.ran = false;
    if (!wanted)
        return;
    const int64_t now = Now();
    for (const StoreCopy& copy : ScanCopies(storePath))
        if (copy.info.reason == BackupReason::Daily && SameLocalDay(copy.info.time, now))
            return;
    g_daily.ran = true;
    g_daily.outcome = FileOutcome{};
    g_daily.path.clear();
    // Its own connections; start-up goes on meanwhile.
    g_daily.thread = std::thread([storePath, now] { g_daily.outcome = MakeBackup(storePath, BackupReason::Daily, now, g_daily.path); });
}

void JoinDailyBackup()
{
    if (g_daily.thread.joinable())
        g_daily.thread.join();
}

}  // namespace userdb

using namespace userdb;

// ---- test hooks -----------------------------------------------------------------

void SetClockForTests(int64_t now)
{
    g_clock.store(now);
}

int WaitForDailyBackup(std::string& path)
{
    std::lock_guard lock(g_mutex);
    JoinDailyBackup();
    const bool ran = g_daily.ran;
    g_daily.ran = false;
    path = g_daily.path;
    if (!ran)
        return 0;
    return g_daily.outcome.ok() ? USER_OK : g_daily.outcome.code;
}

// ---- operations --------------------------------------------------------------

const char* BackupReasonName(BackupReason reason)
{
    const auto index = static_cast<size_t>(reason);
    return index < std::size(kReasonNames) ? kReasonNames[index] : "manual";
}

std::string USER_BackupFolder(const std::string& storePath)
{
    return BackupFolderOf(storePath);
}

int USER_Backup(BackupReason reason, std::string& pathOut)
{
    std::lock_guard lock(g_mutex);
    if (!g_store)
        return Fail(USER_ERR_NOT_OPEN, StoreText::NotOpen);
    return Report(MakeBackup(g_store->path, reason, Now(), pathOut));
}

int USER_BackupStore(const std::string& storePath, BackupReason reason, std::string& pathOut)
{
    const FileOutcome made = MakeBackup(storePath, reason, Now(), pathOut);
    std::lock_guard lock(g_mutex);
    return Report(made);
}

int USER_ListBackups(const std::string& storePath, std::vector<BackupInfo>& out, bool counts)
{
    out.clear();
    std::vector<StoreCopy> copies = ScanCopies(storePath);
    for (StoreCopy& copy : copies) {
        if (counts)
            CountCopy(copy.info);
        out.push_back(std::move(copy.info));
    }
    std::lock_guard lock(g_mutex);
    return Succeed();
}

void userdb::CountCopy(BackupInfo& info)
{
    ReadConnection c(info.path);
    StoreFacts facts;
    if (!c.ok())
        return;
    FindStoreTables(c.db(), facts);
    int users = -1;
    int days = -1;
    if (facts.userTable.empty() || facts.dataTable.empty() ||
        QueryInt(c.db(), "SELECT count(*) FROM " + QuoteName(facts.userTable), users) != SQLITE_OK ||
        QueryInt(c.db(), "SELECT count(*) FROM " + QuoteName(facts.dataTable), days) != SQLITE_OK)
        return;
    info.users = users;
    info.days = days;
}

int USER_CheckStore(const std::string& path)
{
    const FileOutcome checked = CheckStoreFile(path, CheckDepth::Full);
    std::lock_guard lock(g_mutex);
    return Report(checked);
}

int USER_NewestGoodBackup(const std::string& storePath, BackupInfo& out)
{
    FileOutcome found = FileFailure(USER_ERR_NOT_FOUND, StoreText::NoGoodBackup, BackupFolderOf(storePath));
    for (StoreCopy& copy : ScanCopies(storePath)) {
        StoreFacts facts;
        if (copy.info.reason == BackupReason::Damaged || !CheckStoreFile(copy.info.path, CheckDepth::Full, &facts).ok() ||
            facts.userTable.empty() || facts.dataTable.empty())
            continue;
        CountCopy(copy.info);
        out = std::move(copy.info);
        found = FileOutcome{};
        break;
    }
    std::lock_guard lock(g_mutex);
    return Report(found);
}
