// Restoring a copy: checked first, put together beside the store, and only then
// swapped in, the replaced store kept as one more copy.
#include "external/userdb/UserDbBackup.h"

#include "external/userdb/UserDbCopies.h"
#include "external/userdb/UserDbState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

using namespace userdb;

namespace {

// SQLite's lock bytes: its connections lock the database file from kPendingByte on while they
// read or write, and the shared-memory file's dead-man switch byte while it is open at all
// (every connection in WAL mode, idle or not).
constexpr off_t kPendingByte = 0x40000000;
constexpr off_t kShmDeadManSwitch = 128;

// Whether another process holds a lock that a writer would wait for.
bool LockedByOtherProcess(const std::string& path, off_t start, off_t length)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = start;
    probe.l_len = length;
    const bool locked = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    close(fd);
    return locked;
}

// Only called while this process has no connection to the store: closing a descriptor of a
// file drops every POSIX lock the process holds on it, SQLite's included.
bool InUseElsewhere(const std::string& storePath)
{
    return LockedByOtherProcess(storePath + "-shm", kShmDeadManSwitch, 1) ||
           LockedByOtherProcess(storePath, kPendingByte, 512);
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat x {}, y {};
    if (stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0)
        return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
    return a == b;
}

FileOutcome CannotReplace(const std::string& path)
{
    return FileFailure(USER_ERR_GENERAL, StoreText::RestoreCannotReplace, PathAndWhy(path, std::strerror(errno)));
}

// The copy to restore, checked in depth: USER_ERR_BAD_BACKUP unless it is a whole store of ours.
FileOutcome CheckChosenCopy(const std::string& backupPath)
{
    StoreFacts facts;
    const FileOutcome checked = CheckStoreFile(backupPath, CheckDepth::Full, &facts);
    if (checked.code == USER_ERR_NOT_FOUND)
        return checked;
    if (checked.text == StoreText::InitNewerVersion)
        return FileFailure(USER_ERR_BAD_BACKUP, checked.text, checked.detail);
    if (checked.text == StoreText::InitForeignDatabase ||
        (checked.ok() && (facts.version < 1 || facts.userTable.empty() || facts.dataTable.empty())))
        return FileFailure(USER_ERR_BAD_BACKUP, StoreText::RestoreForeignCopy, backupPath);
    if (!checked.ok())
        return FileFailure(USER_ERR_BAD_BACKUP, StoreText::RestoreDamagedCopy,
                           checked.text == StoreText::FileEmpty ? backupPath : checked.detail);
    return {};
}

// Keeps the store that a restore replaces: a checked copy when it passes its check, else the
// files as they are (a damaged store may still be rescued by hand). An empty file holds nothing.
FileOutcome KeepReplacedStore(const std::string& storePath, int64_t now, std::string& keptPath)
{
    struct stat info {};
    if (stat(storePath.c_str(), &info) != 0 && errno == ENOENT)
        return {};
    struct stat wal {};
    const bool walHolds = stat((storePath + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
    if (info.st_size == 0 && !walHolds)
        return {};
    if (CheckStoreFile(storePath, CheckDepth::Quick).ok())
        return MakeBackup(storePath, BackupReason::Restore, now, keptPath);
    const std::string folder = BackupFolderOf(storePath);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return FileFailure(USER_ERR_BACKUP_FAILED, StoreText::BackupCannotWrite, PathAndWhy(folder, std::strerror(errno)));
    FolderLock lock(folder);
    return PlaceAmongCopies(storePath, storePath, BackupReason::Damaged, now, keptPath);
}

FileOutcome Restore(const std::string& storePath, const std::string& backupPath, std::string& keptPath)
{
    if (InUseElsewhere(storePath))
        return FileFailure(USER_ERR_IN_USE, StoreText::StoreInUseAt, storePath);
    if (FileOutcome chosen = CheckChosenCopy(backupPath); !chosen.ok())
        return chosen;

    // The copy is put together and checked beside the store before anything is changed.
    const size_t slash = storePath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string("./") : storePath.substr(0, slash + 1);
    std::string temp;
    FileOutcome step = MakeCopyFile(folder, storePath, temp);
    if (!step.ok())
        return FileFailure(USER_ERR_GENERAL, StoreText::RestoreCannotReplace, step.detail);
    step = CopyStoreFile(backupPath, temp);
    if (step.ok() && !CheckStoreFile(temp, CheckDepth::Quick).ok())
        step = FileFailure(USER_ERR_BAD_BACKUP, StoreText::RestoreDamagedCopy, backupPath);
    if (step.ok() && !SyncPath(temp))
        step = CannotReplace(temp);
    if (step.ok())
        step = KeepReplacedStore(storePath, Now(), keptPath);
    if (step.ok()) {
        // The old log must go before the new file arrives: SQLite would replay it into the copy.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            if (unlink((storePath + suffix).c_str()) != 0 && errno != ENOENT) {
                step = CannotReplace(storePath + suffix);
                break;
            }
        }
    }
    if (step.ok() && rename(temp.c_str(), storePath.c_str()) != 0)
        step = CannotReplace(storePath);
    if (!step.ok()) {
        for (const char* suffix : {"", "-journal"})
            unlink((temp + suffix).c_str());
        return step;
    }
    SyncPath(folder);
    return {};
}

}  // namespace

int USER_RestoreBackup(const std::string& storePath, const std::string& backupPath, std::string& keptPath)
{
    keptPath.clear();
    std::lock_guard lock(g_mutex);
    if (g_store && SameFile(g_store->path, storePath))
        return Fail(USER_ERR_IN_USE, StoreText::StoreInUseAt, storePath);
    return Report(Restore(storePath, backupPath, keptPath));
}
