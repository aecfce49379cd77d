// travimo-store end to end: run as a separate process on a data folder, as a person
// helping someone else would, while the test process may hold the store open.
#include "tests/external/userdb/UserDbFixture.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

class StoreToolTest : public UserDbTest {
protected:
    void SetUp() override
    {
        UserDbTest::SetUp();
        ASSERT_EQ(USER_CreateUser(MakeUser(10002, "Lena")), USER_OK);
        StoreDays(10002, 0, 3);
        USER_Term(0, "508317");
    }

    // Runs the tool on this test's folder (--folder), unless args name a folder or the default
    // is asked for; the desktop's data location lies inside the test's folder either way.
    ToolRun Tool(QStringList args, const QString& workingFolder = QString(), bool defaultFolder = false)
    {
        if (!defaultFolder && !args.join(QLatin1Char(' ')).contains(QStringLiteral("--folder")))
            args << QStringLiteral("--folder") << Dir();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), PathOf(QStringLiteral("share")));
        return RunTool(QStringLiteral(TRAVIMO_STORE_TOOL), args, workingFolder.isEmpty() ? Dir() : workingFolder,
                       environment);
    }
};

TEST_F(StoreToolTest, BackupListCheckAndRestoreRoundTrip)
{
    const ToolRun backup = Tool({QStringLiteral("backup")});
    ASSERT_EQ(backup.status, 0) << backup.err.toStdString();
    const std::vector<BackupInfo> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(backup.out.contains(QString::fromStdString(copies[0].path))) << backup.out.toStdString();

    const ToolRun list = Tool({QStringLiteral("list")});
    ASSERT_EQ(list.status, 0);
    EXPECT_TRUE(list.out.contains(QString::fromStdString(copies[0].name)));
    EXPECT_TRUE(list.out.contains(QStringLiteral("manual")));
    EXPECT_TRUE(list.out.contains(QStringLiteral("2 users")));
    EXPECT_TRUE(list.out.contains(QStringLiteral("3 days"))) << list.out.toStdString();

    const ToolRun check = Tool({QStringLiteral("check")});
    EXPECT_EQ(check.status, 0);
    EXPECT_TRUE(check.out.contains(QStringLiteral("sound")));

    ASSERT_EQ(Reopen(), 0);
    ASSERT_EQ(USER_DeleteUser("Lena"), USER_OK);
    USER_Term(0, "508317");
    // By the name list shows, from another folder, the data folder given.
    const ToolRun restore = Tool({QStringLiteral("restore"), QString::fromStdString(copies[0].name), QStringLiteral("--folder"), Dir()},
                                 QDir::tempPath());
    ASSERT_EQ(restore.status, 0) << restore.err.toStdString();
    EXPECT_TRUE(restore.out.contains(QStringLiteral("kept as"))) << restore.out.toStdString();
    ASSERT_EQ(Reopen(), 0);
    UserRecord u{};
    EXPECT_EQ(USER_GetUser(10002, u), USER_OK);
}

TEST_F(StoreToolTest, RefusalsSayWhyInEnglishAndFail)
{
    ASSERT_EQ(Tool({QStringLiteral("backup")}).status, 0);
    const QByteArray store = ReadFile("User.db");
    WriteFile("letter.db", QByteArray("Dear store,\n").repeated(400));
    ToolRun r = Tool({QStringLiteral("restore"), QStringLiteral("letter.db")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("This backup is damaged and cannot be restored"))) << r.err.toStdString();
    EXPECT_EQ(ReadFile("User.db"), store);

    // The program has the store open.
    ASSERT_EQ(Reopen(), 0);
    r = Tool({QStringLiteral("restore"), QString::fromStdString(Copies()[0].name)});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("in use"))) << r.err.toStdString();
    USER_Term(0, "508317");

    // A store cut short: not sound, and the copy to restore is named.
    WriteFile("User.db", ReadFile("User.db").chopped(100));
    r = Tool({QStringLiteral("check")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("cut short"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("travimo-store restore User-"))) << r.out.toStdString();
}

TEST_F(StoreToolTest, WrongUsageExitsWithTwo)
{
    for (const QStringList& args : {QStringList{QStringLiteral("frob")}, QStringList{QStringLiteral("restore")},
                                    QStringList{QStringLiteral("list"), QStringLiteral("extra")},
                                    QStringList{QStringLiteral("check"), QStringLiteral("--colour")},
                                    QStringList{QStringLiteral("check"), QStringLiteral("--folder")}}) {
        const ToolRun r = Tool(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("travimo-store help"))) << r.err.toStdString();
    }
    const ToolRun help = Tool({QStringLiteral("help")});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"backup", "restore FILE", "check", "list", "--folder DIR"})
        EXPECT_TRUE(help.out.contains(QLatin1String(command))) << command;
    EXPECT_EQ(Tool({QStringLiteral("list"), QStringLiteral("--folder"), PathOf("absent")}).status, 1);
}

TEST_F(StoreToolTest, WithoutAFolderItWorksOnTheProgramsDataFolder)
{
    const QString program = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR) + QLatin1Char('/');
    if (QFileInfo::exists(program + QStringLiteral("User.db")) || QFileInfo::exists(program + QStringLiteral("portable")))
        GTEST_SKIP() << "the build's program folder is a data folder itself";
    // No store in the program folder: the per-user data folder.
    ASSERT_TRUE(QDir().mkpath(PathOf("share/Travimo")));
    ASSERT_TRUE(QFile::copy(PathOf("User.db"), PathOf("share/Travimo/User.db")));
    const ToolRun r = Tool({QStringLiteral("backup")}, QDir::tempPath(), true);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(PathOf("share/Travimo/Backup")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(PathOf("Backup")));
}

TEST_F(StoreToolTest, DataFolderMayHoldSemicolons)
{
    ASSERT_TRUE(QDir().mkpath(PathOf("v1;beta")));
    ASSERT_TRUE(QFile::copy(PathOf("User.db"), PathOf("v1;beta/User.db")));
    const ToolRun r = Tool({QStringLiteral("backup"), QStringLiteral("--folder=") + PathOf("v1;beta")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(PathOf("v1;beta/Backup")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(PathOf("Backup")));
}

}  // namespace
