#pragma once
// What making copies and restoring one share. Only the library includes this header.

#include "external/userdb/UserDbBackup.h"
#include "external/userdb/UserDbState.h"

#include <string>
#include <vector>

namespace userdb {

struct StoreCopy {
    BackupInfo info;
    int sequence = 1;  // the ".n" of a name; 1 without
};

// The copies in the store's backup folder (names of ours only, no counts), newest first.
std::vector<StoreCopy> ScanCopies(const std::string& storePath);
// Fills the users and days of a copy (left -1 when it cannot be read).
void CountCopy(BackupInfo& info);

// An exclusive lock on a folder (flock), for naming and pruning copies: other threads and
// processes (the store-keeping tool) may make copies at the same time.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

// fsync of a file or folder.
bool SyncPath(const std::string& path);
// A new empty file in folder to copy the store into (".<name>-copy-XXXXXX").
FileOutcome MakeCopyFile(const std::string& folder, const std::string& storePath, std::string& tempOut);
// Copies the store file `from` into the file `to` with SQLite's online backup, in one read
// transaction; the copy is in rollback-journal mode and not yet synced.
FileOutcome CopyStoreFile(const std::string& from, const std::string& to);
// Moves the file `from` into the backup folder under the name of a copy made at `now` for the
// reason (a damaged store takes its write-ahead log along). The caller holds the folder's lock.
FileOutcome PlaceAmongCopies(const std::string& from, const std::string& storePath, BackupReason reason, int64_t now,
                             std::string& pathOut);

}  // namespace userdb
