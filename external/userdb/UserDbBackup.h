#pragma once
// The user store's copies: checked backups beside the store, listing, pruning, restoring one,
// and checking a store file.
//
// Copies live in the folder Backup/ beside the store file, one complete store each, named by
// local time and reason so that they sort by time:
//   <store name>-<yyyy>-<mm>-<dd>T<hhmmss>[.<n>]-<reason>.db   e.g. User-2026-12-08T101500-daily.db
// (".n" only when a copy of that second and reason exists already). A copy gets its name only
// after integrity_check passed on it; a copy that fails is deleted and the failure reported.
// Copies are made with SQLite's online backup in one read transaction, so a copy taken while
// another connection or process writes holds one consistent state of the store.
//
// After each copy the folder is pruned: the newest 14 daily copies stay, and every copy made
// before a destructive action for 30 days; manual copies and damaged stores set aside stay
// until a person removes them. A copy older than that is still kept while it is the only copy
// of a day (user number and date) that neither the store nor a kept copy holds.
//
// Every operation here sets the last failure (USER_GetErrorMsg, USER_GetErrorTextId).

#include "external/userdb/UserDb.h"

#include <cstdint>
#include <string>
#include <vector>

// Why a copy was made; its name says it.
enum class BackupReason {
    Daily,    // the first opening of a day
    Delete,   // before a user was deleted
    Erase,    // before a pedometer was erased
    Migrate,  // before the store's schema was upgraded
    Restore,  // the store a restore replaced
    Manual,   // asked for by a person
    Damaged,  // a damaged store a restore replaced, set aside as it was (not a checked copy)
};
// "daily", "delete", "erase", "migrate", "restore", "manual", "damaged"
const char* BackupReasonName(BackupReason reason);

struct BackupInfo {
    std::string path;
    std::string name;     // file name
    int64_t time = 0;     // seconds since 1970, from the name
    BackupReason reason = BackupReason::Manual;
    int64_t bytes = 0;
    int users = -1;       // -1: not counted, or the copy cannot be read
    int days = -1;
};

// The store's file name in its folder, and the store file a connection string names (what
// USER_Init opens): the "Data Source=" path with its extension replaced by ".db". The value may
// be quoted; unquoted it may hold ';' and '=' (a folder "v1;beta/" is kept whole). Empty when
// the string names no file.
constexpr const char* kUserDbFileName = "User.db";
std::string USER_StorePath(const std::string& connection);
// "<store folder>/Backup/"
std::string USER_BackupFolder(const std::string& storePath);

// Makes a checked copy of the open store (between USER_Init and USER_Term). The program calls
// it with BackupReason::Erase before erasing a pedometer. USER_OK and the copy's path, or
// USER_ERR_NOT_OPEN / USER_ERR_BACKUP_FAILED.
int USER_Backup(BackupReason reason, std::string& pathOut);
// The same for a store file that need not be open here (the store-keeping tool; another
// process may have it open and write to it meanwhile).
int USER_BackupStore(const std::string& storePath, BackupReason reason, std::string& pathOut);

// The copies in the store's backup folder, newest first (other files are left out). With
// counts, each copy is opened to count its users and days (cheap: an index each).
// USER_OK (also for no folder), or negative when the folder cannot be read.
int USER_ListBackups(const std::string& storePath, std::vector<BackupInfo>& out, bool counts = true);

// Checks a store file in depth (integrity_check) without changing it: USER_OK, USER_ERR_DAMAGED
// (damaged, cut short), USER_ERR_NOT_FOUND (missing), or USER_ERR_GENERAL (empty, not a store of
// ours, newer than this program); the text says which.
int USER_CheckStore(const std::string& path);

// The newest copy that passes USER_CheckStore, for the program to offer after USER_Init failed
// with USER_ERR_DAMAGED or USER_ERR_STORE_MISSING: USER_OK and the copy, or USER_ERR_NOT_FOUND.
int USER_NewestGoodBackup(const std::string& storePath, BackupInfo& out);

// Replaces the store file by a copy (any file, not only one of the backup folder) after checking
// it in depth. The replaced store is kept first as one more copy ("restore"; when it fails its
// check it is moved aside as it is, "damaged"; an empty file is dropped); keptPath gets its path
// (empty when there was none). The store must be closed: while this process (USER_Init) or
// another one has it open the restore is refused with USER_ERR_IN_USE. A damaged or foreign copy
// is refused with USER_ERR_BAD_BACKUP. Nothing is changed unless the result is USER_OK.
int USER_RestoreBackup(const std::string& storePath, const std::string& backupPath, std::string& keptPath);
