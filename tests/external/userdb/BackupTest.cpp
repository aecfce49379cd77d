// Checked copies of the store: what they hold, when they are made (daily, before a user is
// deleted), that one taken while another process writes is one consistent state, and which
// ones pruning keeps.
#include "tests/external/userdb/UserDbFixture.h"
#include "tests/external/userdb/probe/CrashDay.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <signal.h>
#include <utime.h>

#include <map>
#include <set>

namespace {

// One value of a query on a copy.
std::string CopyQuery(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string result = "<error>";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            result = sqlite3_column_text(s, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0)) : "";
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return result;
}

std::vector<std::string> NamesOf(const std::vector<BackupInfo>& copies)
{
    std::vector<std::string> names;
    for (const BackupInfo& c : copies)
        names.push_back(c.name);
    return names;
}

TEST_F(UserDbTest, CopyHoldsTheStoreAndIsNamedByTimeAndReason)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    StoreDays(10002, 0, 4);
    SetClockForTests(LocalNoon(2026, 12, 8) + 3723);  // 13:02:03
    std::string path;
    ASSERT_EQ(USER_Backup(BackupReason::Erase, path), USER_OK) << USER_GetErrorMsg(USER_ERR_BACKUP_FAILED);
    EXPECT_EQ(path, m_folder + "Backup/User-2026-12-08T130203-erase.db");
    std::string second;
    ASSERT_EQ(USER_Backup(BackupReason::Erase, second), USER_OK);
    EXPECT_EQ(second, m_folder + "Backup/User-2026-12-08T130203.2-erase.db");

    // A whole store of its own: checked, no log beside it, nothing left of the making.
    EXPECT_EQ(CopyQuery(path, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(CopyQuery(path, "PRAGMA journal_mode"), "delete");
    EXPECT_EQ(CopyQuery(path, "SELECT name FROM KX300_User WHERE number = 10002"), "Lena");
    EXPECT_EQ(QDir(PathOf("Backup")).entryList(QDir::Files | QDir::Hidden).size(), 2);

    const std::vector<BackupInfo> copies = Copies();
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].path, second);  // newest first
    EXPECT_EQ(copies[1].time, LocalNoon(2026, 12, 8) + 3723);
    EXPECT_EQ(copies[1].reason, BackupReason::Erase);
    EXPECT_EQ(copies[1].users, 2);
    EXPECT_EQ(copies[1].days, 4);
    EXPECT_EQ(copies[1].bytes, QFileInfo(QString::fromStdString(path)).size());

    // Closed, the store is copied all the same (the store-keeping tool).
    USER_Term(0, "508317");
    std::string closed;
    ASSERT_EQ(USER_BackupStore(StorePath(), BackupReason::Manual, closed), USER_OK);
    EXPECT_EQ(CopyQuery(closed, "SELECT count(*) FROM KX300_Data"), "4");
    EXPECT_EQ(USER_Backup(BackupReason::Manual, closed), USER_ERR_NOT_OPEN);
}

TEST_F(UserDbTest, WhatAnInterruptedCopyLeftIsRemovedOnceItIsOld)
{
    const QByteArray partial(70000, 'p');
    WriteFile("Backup/.User-copy-old111", partial);
    WriteFile(".User-copy-old222", partial);  // a restore's, beside the store
    WriteFile("Backup/.User-copy-new333", partial);
    const time_t twoHoursAgo = std::time(nullptr) - 7200;
    const utimbuf old{twoHoursAgo, twoHoursAgo};
    ASSERT_EQ(utime(PathOf("Backup/.User-copy-old111").toLocal8Bit().constData(), &old), 0);
    ASSERT_EQ(utime(PathOf(".User-copy-old222").toLocal8Bit().constData(), &old), 0);
    std::string path;
    ASSERT_EQ(USER_Backup(BackupReason::Manual, path), USER_OK);
    EXPECT_FALSE(QFileInfo::exists(PathOf("Backup/.User-copy-old111")));
    EXPECT_FALSE(QFileInfo::exists(PathOf(".User-copy-old222")));
    EXPECT_TRUE(QFileInfo::exists(PathOf("Backup/.User-copy-new333")));  // may still be written
}

TEST_F(UserDbTest, DeletingAUserCopiesTheStoreFirstOrNotAtAll)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(10003, "Omar")), USER_OK);
    StoreDays(10002, 0, 3);
    ASSERT_EQ(USER_DeleteUser("Lena"), USER_OK);
    std::vector<BackupInfo> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].reason, BackupReason::Delete);
    EXPECT_EQ(CopyQuery(copies[0].path, "SELECT count(*) FROM KX300_Data WHERE number = 10002"), "3");
    // Refused deletions copy nothing.
    EXPECT_EQ(USER_DeleteUser("Admin"), USER_ERR_BUILTIN);
    EXPECT_EQ(USER_DeleteUser("Nobody"), USER_ERR_NOT_FOUND);
    EXPECT_EQ(Copies().size(), 1u);

    // No copy can be made (a file where the folder should be): nothing is deleted.
    QDir(PathOf("Backup")).removeRecursively();
    WriteFile("Backup", "in the way");
    EXPECT_EQ(USER_DeleteUser("Omar"), USER_ERR_BACKUP_FAILED);
    std::string detail;
    EXPECT_EQ(USER_GetErrorTextId(USER_ERR_BACKUP_FAILED, detail), 849);
    UserRecord u{};
    EXPECT_EQ(USER_GetUser(10003, u), USER_OK);
}

TEST_F(UserDbTest, FirstOpeningOfADayMakesTheDailyCopyInTheBackground)
{
    std::string path;
    EXPECT_EQ(WaitForDailyBackup(path), 0);  // a store made just now is not copied
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    SetClockForTests(LocalNoon(2026, 3, 1));
    ASSERT_EQ(Reopen(), 0);
    ASSERT_EQ(WaitForDailyBackup(path), USER_OK);
    EXPECT_EQ(path, m_folder + "Backup/User-2026-03-01T120000-daily.db");
    EXPECT_EQ(CopyQuery(path, "SELECT count(*) FROM KX300_User"), "2");

    SetClockForTests(LocalNoon(2026, 3, 1) + 5 * 3600);
    ASSERT_EQ(Reopen(), 0);
    EXPECT_EQ(WaitForDailyBackup(path), 0);
    SetClockForTests(LocalNoon(2026, 3, 2) - 11 * 3600);  // 01:00 the next day
    ASSERT_EQ(Reopen(), 0);
    EXPECT_EQ(WaitForDailyBackup(path), USER_OK);
    EXPECT_EQ(Copies().size(), 2u);
}

// The writer process stores batches of 25 days (CrashDay.h) from the first day on. A consistent
// state holds every batch up to some point and nothing after it.
void ExpectConsistentCrashState(const std::string& copy)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT record FROM KX300_Data WHERE number = ?1", -1, &s, nullptr), SQLITE_OK);
    sqlite3_bind_int(s, 1, kCrashUser);
    std::map<int, int> versions;
    int written = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ASSERT_EQ(sqlite3_column_bytes(s, 0), static_cast<int>(sizeof(DeviceStepRecord)));
        DeviceStepRecord day;
        std::memcpy(&day, sqlite3_column_blob(s, 0), sizeof day);
        const int index = static_cast<int>(day.date.dt - OleDateFromYmd(2001, 1, 1));
        const int version = (day.steps - index) / 1000;
        const DeviceStepRecord expected = MakeCrashDay(index, version);
        EXPECT_EQ(std::memcmp(&day, &expected, sizeof day), 0) << copy << " day " << index;
        versions[index] = version;
        written += version;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    EXPECT_EQ(written % 25, 0) << copy;
    for (int index = 0; index < kCrashDays; ++index) {
        if (index >= written)
            EXPECT_EQ(versions.count(index), 0u) << copy << " day " << index;
        else
            EXPECT_EQ(versions[index], (written - 1 - index) / kCrashDays + 1) << copy << " day " << index;
    }
}

TEST_F(UserDbTest, CopyTakenWhileAnotherProcessWritesIsOneState)
{
    USER_Term(0, "508317");
    QProcess writer;
    const QString folder = QString::fromStdString(m_folder.substr(0, m_folder.size() - 1));
    writer.start(QStringLiteral(USERDB_PROBE), {QStringLiteral("batch"), folder, QStringLiteral("0")});
    ASSERT_TRUE(writer.waitForStarted());
    auto reportedLines = [&writer] {
        writer.waitForReadyRead(100);
        return writer.peek(1 << 20).count('\n');
    };
    while (reportedLines() < 200) {
        ASSERT_EQ(writer.state(), QProcess::Running) << writer.readAllStandardError().toStdString();
    }
    std::vector<std::string> copies;
    for (int i = 0; i < 6; ++i) {
        std::string path;
        const qint64 before = reportedLines();
        ASSERT_EQ(USER_BackupStore(StorePath(), BackupReason::Manual, path), USER_OK) << USER_GetErrorMsg(USER_ERR_BACKUP_FAILED);
        copies.push_back(path);
        // The writer went on meanwhile.
        while (reportedLines() < before + 25) {
            ASSERT_EQ(writer.state(), QProcess::Running);
        }
    }
    kill(static_cast<pid_t>(writer.processId()), SIGKILL);
    writer.waitForFinished();
    std::set<std::string> distinct;
    for (const std::string& copy : copies) {
        ExpectConsistentCrashState(copy);
        distinct.insert(CopyQuery(copy, "SELECT sum(steps) FROM KX300_Data"));
    }
    EXPECT_GT(distinct.size(), 1u) << "every copy caught the same state";
}

class RetentionTest : public UserDbTest {
protected:
    // Makes a copy as of `day` days after the first day (local noon).
    std::string CopyOn(int day, BackupReason reason)
    {
        SetClockForTests(LocalNoon(2026, 1, 1) + day * kDay);
        std::string path;
        EXPECT_EQ(USER_Backup(reason, path), USER_OK);
        return path;
    }
    std::set<std::string> Kept() const
    {
        std::set<std::string> paths;
        for (const BackupInfo& c : Copies())
            paths.insert(c.path);
        return paths;
    }
};

TEST_F(RetentionTest, KeepsTheLastFourteenDailyCopies)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    StoreDays(10002, 0, 3);
    std::vector<std::string> daily;
    for (int day = 0; day < 20; ++day)
        daily.push_back(CopyOn(day, BackupReason::Daily));
    EXPECT_EQ(Kept(), std::set<std::string>(daily.begin() + 6, daily.end()));
}

TEST_F(RetentionTest, KeepsCopiesBeforeDestructiveActionsThirtyDaysAndManualOnesAlways)
{
    const std::string erase0 = CopyOn(0, BackupReason::Erase);
    const std::string restore0 = CopyOn(0, BackupReason::Restore);
    const std::string manual0 = CopyOn(0, BackupReason::Manual);
    const std::string erase10 = CopyOn(10, BackupReason::Erase);
    const std::string delete29 = CopyOn(29, BackupReason::Delete);
    const std::string daily35 = CopyOn(35, BackupReason::Daily);
    EXPECT_EQ(Kept(), (std::set<std::string>{manual0, erase10, delete29, daily35}));
    EXPECT_EQ(NamesOf(Copies()).front(), daily35.substr(daily35.find_last_of('/') + 1));
}

TEST_F(RetentionTest, NeverDeletesTheOnlyCopyOfADay)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    ASSERT_EQ(USER_CreateUser(MakeUser(10003, "Omar")), USER_OK);
    StoreDays(10002, 0, 3);
    StoreDays(10003, 0, 2);
    std::vector<std::string> daily;
    for (int day = 0; day < 3; ++day)
        daily.push_back(CopyOn(day, BackupReason::Daily));
    // Omar's days vanish without a copy of their own (by hand, outside the program).
    USER_Term(0, "508317");
    ASSERT_TRUE(RawExec("DELETE FROM KX300_Data WHERE number = 10003"));
    ASSERT_EQ(Reopen(), 0);
    std::string none;
    EXPECT_EQ(WaitForDailyBackup(none), 0);  // day 2 still: none due
    for (int day = 3; day < 20; ++day)
        daily.push_back(CopyOn(day, BackupReason::Daily));
    // Lena's deletion copies her days; her days and Omar's then live only in old copies.
    SetClockForTests(LocalNoon(2026, 1, 1) + 20 * kDay);
    ASSERT_EQ(USER_DeleteUser("Lena"), USER_OK);
    const std::string deleted = Copies().front().path;
    for (int day = 21; day < 60; ++day)
        daily.push_back(CopyOn(day, BackupReason::Daily));

    // The newest copy holding Omar's days (day 2) stays; of Lena's, the deletion copy.
    std::set<std::string> expected(daily.end() - 14, daily.end());
    expected.insert(daily[2]);
    expected.insert(deleted);
    EXPECT_EQ(Kept(), expected);
    EXPECT_EQ(CopyQuery(daily[2], "SELECT count(*) FROM KX300_Data WHERE number = 10003"), "2");

    // A copy that cannot be read cannot be shown to be held elsewhere: it stays.
    WriteFile(QString::fromStdString(daily[2].substr(m_folder.size())), "garbage");
    for (int day = 60; day < 62; ++day)
        CopyOn(day, BackupReason::Daily);
    EXPECT_EQ(Kept().count(daily[2]), 1u);
}

}  // namespace
