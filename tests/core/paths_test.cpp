#include "core/DeviceChoice.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "tests/support/ProgramFolder.h"

#include <QDir>
#include <QFile>

namespace {

TEST(ProgramPaths, ExactlyOneTrailingSeparator)
{
    EXPECT_EQ(FolderWithSeparator("/opt/travimo/Travimo"), "/opt/travimo/");
    EXPECT_EQ(FolderWithSeparator("/Travimo"), "/");
    EXPECT_EQ(FolderWithSeparator("/opt//travimo//Travimo"), "/opt//travimo/");
}

class StartupFiles : public ProgramFolderTest {};

TEST_F(StartupFiles, ProgramAtTheRootAndItsName)
{
    SetProgramPaths("/Travimo");
    EXPECT_EQ(g_strAppPath, "/");
    EXPECT_EQ(g_strAppName, "Travimo");
    EXPECT_EQ(ProgramIniPath(), "/Travimo.ini");
}

TEST_F(StartupFiles, RenamingTheProgramRenamesTheIniRead)
{
    const QString folder = Dir();
    WriteFile("Travimo.ini", "[App]\nSkinName=Blue\n");
    WriteFile("Pedo.ini", "[App]\nSkinName=Green\nWriteu=1\n");
    SetProgramPaths(folder + "Pedo");
    EXPECT_EQ(g_strAppPath, folder);
    ReadProgramIni();
    EXPECT_EQ(g_strSkinName, "Green");
    EXPECT_TRUE(g_bUserManagement);
    SetProgramPaths(folder + "Travimo");
    ReadProgramIni();
    EXPECT_EQ(g_strSkinName, "Blue");
    EXPECT_FALSE(g_bUserManagement);
    EXPECT_EQ(SkinIniPath(), folder + "Skin/Blue/Set.ini");
}

TEST_F(StartupFiles, MissingProgramIniGivesStandardSkinAndNoUserManagement)
{
    g_strSkinName = "leftover";
    g_bUserManagement = true;
    ReadProgramIni();
    EXPECT_EQ(g_strSkinName, "标准");
    EXPECT_FALSE(g_bUserManagement);
}

TEST(Writeu, OnlyTheFirstCharacterCounts)
{
    EXPECT_TRUE(WriteuIsOn("1"));
    EXPECT_TRUE(WriteuIsOn("1x"));
    EXPECT_TRUE(WriteuIsOn("10"));
    EXPECT_FALSE(WriteuIsOn("01"));
    EXPECT_FALSE(WriteuIsOn(" 1"));  // profile values are trimmed before this, a raw blank is not '1'
    EXPECT_FALSE(WriteuIsOn(""));
    EXPECT_FALSE(WriteuIsOn("yes"));
}

TEST_F(StartupFiles, WriteuReadThroughTheIni)
{
    WriteFile("Travimo.ini", "[App]\nWriteu=  1x  \n");
    ReadProgramIni();
    EXPECT_TRUE(g_bUserManagement);
    WriteFile("Travimo.ini", "[App]\nWriteu=01\n");
    ReadProgramIni();
    EXPECT_FALSE(g_bUserManagement);
}

}  // namespace

class DeviceChoiceFile : public ProgramFolderTest {};

TEST_F(DeviceChoiceFile, RememberedPerUserUntilForgotten)
{
    EXPECT_EQ(RememberedDeviceChoice(10002), 0);  // no file: ask
    EXPECT_FALSE(RememberDeviceChoice(10002, 4));  // synchronising is never remembered
    EXPECT_TRUE(RememberDeviceChoice(10002, 3));
    EXPECT_EQ(RememberedDeviceChoice(10002), 3);
    EXPECT_EQ(RememberedDeviceChoice(10003), 0);
    EXPECT_TRUE(QFile::exists(Dir() + "10002/Pedometer.ini"));
    WriteFile("10003/Pedometer.ini", "[Pedometer]\nChoice=7\n");  // a value no dialog gives
    EXPECT_EQ(RememberedDeviceChoice(10003), 0);
    EXPECT_TRUE(ForgetDeviceChoice(10002));
    EXPECT_EQ(RememberedDeviceChoice(10002), 0);
}

TEST_F(StartupFiles, DataLivesInTheProgramFolderOnlyWhenItIsMarkedOrHoldsAStore)
{
    const QString program = Dir() + "prog/";
    const QString perUser = Dir() + "home/.local/share/Travimo/";
    QDir().mkpath(program);
    EXPECT_EQ(ChooseDataFolder(program, perUser), perUser);  // a build or an installation: the user's folder
    WriteFile("prog/User.db", "x");
    EXPECT_EQ(ChooseDataFolder(program, perUser), program);  // an existing installation keeps its store
    QFile::remove(program + "User.db");
    WriteFile("prog/portable", "");
    EXPECT_EQ(ChooseDataFolder(program, perUser), program);  // carried on a stick
    // What the program writes follows the data folder; what it only reads stays with the program.
    EXPECT_EQ(DataFolder(), Dir());  // each test's folder is marked
    EXPECT_TRUE(PerUserDataFolder().endsWith("/Travimo/"));
}
