// Restoring a copy: only a whole store of ours replaces the store, only while nobody has it
// open, and the replaced store is kept.
#include "tests/external/userdb/UserDbFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

class RestoreTest : public UserDbTest {
protected:
    // A store with Lena and three days of hers, copied; then Lena deleted and Omar added.
    void SetUp() override
    {
        UserDbTest::SetUp();
        ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
        StoreDays(10002, 0, 3);
        ASSERT_EQ(USER_Backup(BackupReason::Manual, m_copy), USER_OK);
        ASSERT_EQ(USER_DeleteUser("Lena"), USER_OK);
        ASSERT_EQ(USER_CreateUser(MakeUser(10003, "Omar")), USER_OK);
        USER_Term(0, "508317");
        m_store = ReadFile("User.db");
    }

    int Restore(const std::string& copy, std::string* keptOut = nullptr)
    {
        std::string kept;
        const int rc = USER_RestoreBackup(StorePath(), copy, kept);
        if (keptOut)
            *keptOut = kept;
        return rc;
    }
    // A refused restore changed nothing: the same store, the same copies.
    void ExpectNothingChanged(size_t copies)
    {
        EXPECT_EQ(ReadFile("User.db"), m_store);
        EXPECT_EQ(Copies().size(), copies);
        EXPECT_EQ(QDir(Dir()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("copy")), QStringList());
    }
    int TextId(int code)
    {
        std::string detail;
        return USER_GetErrorTextId(code, detail);
    }

    std::string m_copy;
    QByteArray m_store;
};

TEST_F(RestoreTest, RoundTripBringsTheCopyBackAndKeepsTheReplacedStore)
{
    std::string kept;
    ASSERT_EQ(Restore(m_copy, &kept), USER_OK) << USER_GetErrorMsg(USER_ERR_GENERAL);
    ASSERT_FALSE(kept.empty());
    EXPECT_NE(kept.find("-restore.db"), std::string::npos) << kept;
    EXPECT_FALSE(QFileInfo::exists(PathOf("User.db-wal")));

    ASSERT_EQ(Reopen(), 0);
    UserRecord u{};
    EXPECT_EQ(USER_GetUser(10002, u), USER_OK);
    EXPECT_EQ(USER_GetUser(10003, u), USER_ERR_NOT_FOUND);
    StepRecord day;
    std::string error;
    EXPECT_EQ(USER_GetData2(10002, OleDateFromYmd(2024, 1, 3), day, error), USER_OK) << error;
    StoreDays(10002, 3, 1);  // and it takes new days
    USER_Term(0, "508317");

    // The replaced store is a copy like the others: restoring it undoes the restore.
    ASSERT_EQ(Restore(kept), USER_OK);
    ASSERT_EQ(Reopen(), 0);
    EXPECT_EQ(USER_GetUser(10002, u), USER_ERR_NOT_FOUND);
    EXPECT_EQ(USER_GetUser(10003, u), USER_OK);
}

TEST_F(RestoreTest, DamagedForeignOrNewerCopiesAreRefused)
{
    const size_t copies = Copies().size();
    const QByteArray good = ReadFile(QString::fromStdString(m_copy.substr(m_folder.size())));
    QByteArray garbled = good;
    garbled.replace(4096, 4096, QByteArray(4096, '\x55'));  // the user table's root page
    WriteFile("garbled.db", garbled);
    WriteFile("cut.db", good.left(good.size() - 4096 - 100));
    WriteFile("letter.db", QByteArray("Dear store,\n").repeated(400));
    WriteFile("empty.db", QByteArray());
    const struct {
        const char* file;
        int code;
        int text;
    } cases[] = {
        {"garbled.db", USER_ERR_BAD_BACKUP, 851}, {"cut.db", USER_ERR_BAD_BACKUP, 851},
        {"letter.db", USER_ERR_BAD_BACKUP, 851},  {"empty.db", USER_ERR_BAD_BACKUP, 851},
        {"absent.db", USER_ERR_NOT_FOUND, 855},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Restore(m_folder + c.file), c.code) << c.file;
        EXPECT_EQ(TextId(c.code), c.text) << c.file << ": " << USER_GetErrorMsg(c.code);
        EXPECT_NE(USER_GetErrorMsg(c.code).find(c.file), std::string::npos) << USER_GetErrorMsg(c.code);
        ExpectNothingChanged(copies);
    }

    // Another program's database, and a store of ours without its tables.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_folder + "foreign.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(t TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(sqlite3_open((m_folder + "bare.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA application_id = 1414682189; PRAGMA user_version = 1; CREATE TABLE t(x)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    for (const char* file : {"foreign.db", "bare.db"}) {
        EXPECT_EQ(Restore(m_folder + file), USER_ERR_BAD_BACKUP) << file;
        EXPECT_EQ(TextId(USER_ERR_BAD_BACKUP), 852) << file;
        ExpectNothingChanged(copies);
    }

    // A copy of a newer program.
    WriteFile("newer.db", good);
    ASSERT_EQ(sqlite3_open((m_folder + "newer.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 9", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Restore(m_folder + "newer.db"), USER_ERR_BAD_BACKUP);
    EXPECT_EQ(TextId(USER_ERR_BAD_BACKUP), 635);
    ExpectNothingChanged(copies);
}

TEST_F(RestoreTest, OpenStoreIsNotReplaced)
{
    const size_t copies = Copies().size();
    ASSERT_EQ(Reopen(), 0);
    std::string path;
    WaitForDailyBackup(path);
    EXPECT_EQ(Restore(m_copy), USER_ERR_IN_USE);
    EXPECT_EQ(TextId(USER_ERR_IN_USE), 853);
    USER_Term(0, "508317");
    const size_t afterDaily = Copies().size();
    EXPECT_GE(afterDaily, copies);
    m_store = ReadFile("User.db");

    // Another process holding it open (the program while the tool restores).
    QProcess holder;
    holder.start(QStringLiteral(USERDB_PROBE), {QStringLiteral("hold"), QString::fromStdString(m_folder.substr(0, m_folder.size() - 1))});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), "ready");
    EXPECT_EQ(Restore(m_copy), USER_ERR_IN_USE);
    EXPECT_EQ(ReadFile("User.db"), m_store);
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(Restore(m_copy), USER_OK);
}

TEST_F(RestoreTest, DamagedStoreIsSetAsideAsItWas)
{
    const QByteArray cut = m_store.left(m_store.size() - 100);
    WriteFile("User.db", cut);
    ASSERT_EQ(Reopen(), USER_ERR_DAMAGED);
    BackupInfo newest;
    ASSERT_EQ(USER_NewestGoodBackup(StorePath(), newest), USER_OK);
    std::string kept;
    ASSERT_EQ(Restore(newest.path, &kept), USER_OK) << USER_GetErrorMsg(USER_ERR_GENERAL);
    EXPECT_NE(kept.find("-damaged.db"), std::string::npos) << kept;
    EXPECT_EQ(ReadFile(QString::fromStdString(kept.substr(m_folder.size()))), cut);
    ASSERT_EQ(Reopen(), 0);
    UserRecord u{};
    EXPECT_EQ(USER_GetUser(10002, u), USER_OK);  // the newest good copy: the one before Lena's deletion
    EXPECT_EQ(USER_GetUser(10003, u), USER_ERR_NOT_FOUND);
}

}  // namespace
