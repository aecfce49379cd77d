// Opening refuses a store it cannot trust and leaves it as it is: cut short, damaged,
// empty or missing while copies exist. A write-ahead log left by a crash is part of the
// store, not damage. The data source keeps folders with ';' and '=' whole.
#include "tests/external/userdb/UserDbFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::string Init(const std::string& folder, std::string* errorOut = nullptr)
{
    std::string error;
    const int rc = USER_Init(ConnectionFor(folder), "KX300_User", "KX300_Data", error);
    if (errorOut)
        *errorOut = error;
    return std::to_string(rc);
}

int TextIdOf(int code)
{
    std::string detail;
    return USER_GetErrorTextId(code, detail);
}

TEST(UserDbPath, FoldersWithSemicolonsAndEqualSignsStayWhole)
{
    EXPECT_EQ(USER_StorePath(ConnectionFor("/d/v1;beta/")), "/d/v1;beta/User.db");
    EXPECT_EQ(USER_StorePath(ConnectionFor("/d/a=b;c=d/")), "/d/a=b;c=d/User.db");
    EXPECT_EQ(USER_StorePath(ConnectionFor("/d/x;Persist Security Info=True;y/")), "/d/x;Persist Security Info=True;y/User.db");
    EXPECT_EQ(USER_StorePath(ConnectionFor("/d/;/")), "/d/;/User.db");
    EXPECT_EQ(USER_StorePath("Data Source=/d/v1;beta/User.mdb"), "/d/v1;beta/User.db");
    // A key inside another value is not the key.
    EXPECT_EQ(USER_StorePath("Provider=My Data Source=x;Data Source=/d/User.mdb;"), "/d/User.db");
}

TEST(UserDbPath, QuotedValuesAreTakenAsTheyAre)
{
    EXPECT_EQ(USER_StorePath("Data Source=\"/d/q;\"\"x\"\"=1/User.mdb\";Persist Security Info=False"), "/d/q;\"x\"=1/User.db");
    EXPECT_EQ(USER_StorePath("Data Source = '/d/a;b/User.mdb' ;Mode=Share"), "/d/a;b/User.db");
    // Unclosed, or followed by something other than the next key: no store rather than a wrong one.
    EXPECT_EQ(USER_StorePath("Data Source=\"/d/unclosed/User.mdb;x=1"), "");
    EXPECT_EQ(USER_StorePath("Data Source=\"/d/User.mdb\"junk;x=1"), "");
    EXPECT_EQ(USER_StorePath("Data Source=\"\""), "");
}

TEST_F(UserDbTest, StoreOpensInFoldersWithSemicolonsAndEqualSigns)
{
    USER_Term(0, "508317");
    for (const char* name : {"v1;beta/", "a=b;c=d/", "x;Persist Security Info=True;y/"}) {
        ASSERT_TRUE(QDir().mkpath(PathOf(QString::fromUtf8(name))));
        std::string error;
        ASSERT_EQ(Init(m_folder + name, &error), "0") << name << ": " << error;
        EXPECT_EQ(USER_CreateUser(MakeUser(10002, name)), USER_OK);
        USER_Term(0, "508317");
        EXPECT_TRUE(QFileInfo::exists(PathOf(QString::fromUtf8(name) + "User.db"))) << name;
    }
    // Nothing landed beside those folders.
    EXPECT_EQ(QDir(Dir()).entryList({QStringLiteral("*.db")}, QDir::Files), QStringList{QStringLiteral("User.db")});
}

TEST_F(UserDbTest, StoreCutShortIsRefusedUntouchedAndTheNewestGoodCopyFound)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    StoreDays(10002, 0, 5);
    std::string copy;
    ASSERT_EQ(USER_Backup(BackupReason::Manual, copy), USER_OK);
    USER_Term(0, "508317");
    ASSERT_FALSE(QFileInfo::exists(PathOf("User.db-wal")));  // checkpointed when it closed
    const QByteArray whole = ReadFile("User.db");
    // Inside the last page (SQLite would read the rest as zeros), and a page and a bit.
    for (int cut : {100, 4096 + 7}) {
        WriteFile("User.db", whole.left(whole.size() - cut));
        std::string error;
        EXPECT_EQ(Init(m_folder, &error), std::to_string(USER_ERR_DAMAGED)) << cut;
        EXPECT_EQ(TextIdOf(USER_ERR_DAMAGED), 846) << error;
        EXPECT_NE(error.find(StorePath()), std::string::npos) << error;
        EXPECT_EQ(ReadFile("User.db"), whole.left(whole.size() - cut));
        EXPECT_EQ(QFileInfo(PathOf("User.db-wal")).size(), 0);
        UserRecord u{};
        EXPECT_EQ(USER_GetUser(10001, u), USER_ERR_NOT_OPEN);

        BackupInfo good;
        ASSERT_EQ(USER_NewestGoodBackup(StorePath(), good), USER_OK);
        EXPECT_EQ(good.path, copy);
        EXPECT_EQ(good.users, 2);
        EXPECT_EQ(good.days, 5);
    }
    WriteFile("User.db", whole);
    EXPECT_EQ(Init(m_folder), "0");
}

TEST_F(UserDbTest, DamagedPagesAreRefusedUntouched)
{
    USER_Term(0, "508317");
    QByteArray bytes = ReadFile("User.db");
    ASSERT_GE(bytes.size(), 3 * 4096);
    // The user table's root page (page 2) overwritten.
    bytes.replace(4096, 4096, QByteArray(4096, '\x55'));
    WriteFile("User.db", bytes);
    std::string error;
    EXPECT_EQ(Init(m_folder, &error), std::to_string(USER_ERR_DAMAGED));
    EXPECT_EQ(TextIdOf(USER_ERR_DAMAGED), 845) << error;
    EXPECT_EQ(ReadFile("User.db"), bytes);
    BackupInfo good;
    EXPECT_EQ(USER_NewestGoodBackup(StorePath(), good), USER_ERR_NOT_FOUND);
    EXPECT_EQ(TextIdOf(USER_ERR_NOT_FOUND), 857);
}

TEST_F(UserDbTest, PagesHeldOnlyByTheWriteAheadLogArePresent)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    StoreDays(10002, 0, 3);
    ASSERT_EQ(Reopen(), 0);  // checkpointed: the file holds everything so far
    StoreDays(10002, 3, 40);
    // What a killed program leaves: the file and its log, copied while the store is open.
    for (const char* name : {"crash/", "cut/"}) {
        ASSERT_TRUE(QDir().mkpath(PathOf(name)));
        ASSERT_TRUE(QFile::copy(PathOf("User.db"), PathOf(QString(name) + "User.db")));
        ASSERT_TRUE(QFile::copy(PathOf("User.db-wal"), PathOf(QString(name) + "User.db-wal")));
    }
    const qint64 fileSize = QFileInfo(PathOf("crash/User.db")).size();
    ASSERT_LT(fileSize, 40 * static_cast<qint64>(sizeof(DeviceStepRecord)));  // the new days are in the log only
    USER_Term(0, "508317");

    std::string error;
    ASSERT_EQ(Init(m_folder + "crash/", &error), "0") << error;
    StepRecord out;
    EXPECT_EQ(USER_GetData2(10002, OleDateFromYmd(2024, 1, 1) + 42, out, error), USER_OK) << error;
    USER_Term(0, "508317");

    // Cut to two pages: checkpointed pages the log does not hold are gone.
    const QByteArray cut = ReadFile("cut/User.db").left(2 * 4096);
    const QByteArray log = ReadFile("cut/User.db-wal");
    WriteFile("cut/User.db", cut);
    EXPECT_EQ(Init(m_folder + "cut/", &error), std::to_string(USER_ERR_DAMAGED));
    EXPECT_EQ(TextIdOf(USER_ERR_DAMAGED), 846) << error;
    EXPECT_EQ(ReadFile("cut/User.db"), cut);
    EXPECT_EQ(ReadFile("cut/User.db-wal"), log);
}

TEST_F(UserDbTest, EmptyOrMissingStoreWithCopiesIsNotMadeAnew)
{
    ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
    std::string copy;
    ASSERT_EQ(USER_Backup(BackupReason::Manual, copy), USER_OK);
    USER_Term(0, "508317");
    std::string error;

    WriteFile("User.db", QByteArray());
    EXPECT_EQ(Init(m_folder, &error), std::to_string(USER_ERR_STORE_MISSING));
    EXPECT_EQ(TextIdOf(USER_ERR_STORE_MISSING), 848) << error;
    EXPECT_NE(error.find(m_folder + "Backup/"), std::string::npos) << error;
    EXPECT_EQ(QFileInfo(PathOf("User.db")).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(PathOf("User.db-wal")));

    QFile::remove(PathOf("User.db"));
    EXPECT_EQ(Init(m_folder, &error), std::to_string(USER_ERR_STORE_MISSING));
    EXPECT_EQ(TextIdOf(USER_ERR_STORE_MISSING), 847) << error;
    EXPECT_FALSE(QFileInfo::exists(PathOf("User.db")));
    BackupInfo good;
    ASSERT_EQ(USER_NewestGoodBackup(StorePath(), good), USER_OK);
    EXPECT_EQ(good.path, copy);

    // A log without its store is never replayed into a new one.
    WriteFile("User.db-wal", QByteArray(5000, 'x'));
    QDir(PathOf("Backup")).removeRecursively();
    EXPECT_EQ(Init(m_folder, &error), std::to_string(USER_ERR_DAMAGED));
    EXPECT_FALSE(QFileInfo::exists(PathOf("User.db")));
    QFile::remove(PathOf("User.db-wal"));

    // Only other files in the backup folder (and a damaged store set aside, which cannot be
    // restored), and an empty store: a first start.
    WriteFile("Backup/notes.txt", "mine");
    WriteFile("Backup/User-yesterday-daily.db", "not a copy's name");
    WriteFile("Backup/User-2026-01-01T120000-damaged.db", "what was left");
    WriteFile("User.db", QByteArray());
    ASSERT_EQ(Init(m_folder, &error), "0") << error;
    UserRecord admin{};
    EXPECT_EQ(USER_GetUser(10001, admin), USER_OK);
    EXPECT_EQ(USER_GetUser(10002, admin), USER_ERR_NOT_FOUND);
}

}  // namespace
