// The user store brought back from a checked copy: offered when the program starts on a damaged
// store, and from the about box for an administrator.
#include "app/AboutDlg.h"
#include "app/StoreRecovery.h"
#include "core/Globals.h"
#include "external/userdb/UserDbBackup.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

class StoreRecoveryTest : public ShellFixture {
protected:
    QString Connection() const { return UserConnectionString(Dir()); }

    // A store holding user 20001 and a checked copy of it; then user 20002 after the copy.
    void MakeStoreWithACopy()
    {
        std::string error;
        ASSERT_EQ(USER_Init(Connection().toStdString(), "KX300_User", "KX300_Data", error), 0) << error;
        ASSERT_EQ(AddUser(20001, "Kim"), 1);
        std::string copy;
        ASSERT_EQ(USER_Backup(BackupReason::Manual, copy), USER_OK);
        ASSERT_EQ(AddUser(20002, "Lee"), 1);
    }
    static int AddUser(int number, const char* name)
    {
        UserRecord r{};
        r.number = number;
        SetRecordName(r, name);
        r.weight = 60;
        return USER_CreateUser(r);
    }
    static bool Exists(int number)
    {
        UserRecord r{};
        return USER_GetUser(number, r) == 1;
    }
    // Cuts the store short inside its last page.
    void Damage()
    {
        QFile f(Dir() + "User.db");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() - 100));
    }
};

TEST_F(StoreRecoveryTest, StartingOnADamagedStoreOffersTheNewestGoodCopy)
{
    MakeStoreWithACopy();
    USER_Term(0, "508317");
    Damage();
    m_dialogs.boxAnswer = QMessageBox::Yes;
    CMainDlg dlg;
    Run(dlg, [&] {
        ASSERT_TRUE(WaitForLoginPage(dlg));
        EXPECT_TRUE(Exists(20001));
        EXPECT_FALSE(Exists(20002));  // made after the copy
        Exit(dlg);
    });
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_TRUE(m_dialogs.messages[0].contains(QStringLiteral("手动备份"))) << m_dialogs.messages[0].toStdString();
}

TEST_F(StoreRecoveryTest, DecliningTheCopyLeavesTheDamagedStoreAsItWas)
{
    MakeStoreWithACopy();
    USER_Term(0, "508317");
    Damage();
    const QByteArray damaged = ReadFile("User.db");
    m_dialogs.boxAnswer = QMessageBox::No;
    CMainDlg dlg;
    const int result = Run(dlg, [] {});
    EXPECT_TRUE(dlg.InitFailed());
    EXPECT_NE(result, QDialog::Accepted);
    ASSERT_EQ(m_dialogs.messages.size(), 2);  // the offer, then the error that ends the program
    EXPECT_TRUE(m_dialogs.messages[1].startsWith(QStringLiteral("Error: ")));
    EXPECT_EQ(ReadFile("User.db"), damaged);
}

TEST_F(StoreRecoveryTest, TheAboutBoxShowsTheDataFolderAndRestoresOnlyForAnAdministrator)
{
    MakeStoreWithACopy();
    {
        CAboutDlg about(nullptr, Connection());
        auto* folder = about.findChild<QLabel*>(QStringLiteral("dataFolder"));
        ASSERT_NE(folder, nullptr);
        EXPECT_TRUE(folder->text().contains(Dir().chopped(1))) << folder->text().toStdString();
        EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("restore")), nullptr);  // nobody logged in
    }
    UserRecord admin{};
    ASSERT_EQ(USER_GetUser(10001, admin), 1);
    SetLoginUser(admin);
    CAboutDlg about(nullptr, Connection());
    auto* restore = about.findChild<QPushButton*>(QStringLiteral("restore"));
    ASSERT_NE(restore, nullptr);
    m_dialogs.boxAnswer = QMessageBox::Yes;
    m_dialogs.runDialog = [](QDialog& d) {
        auto& dlg = dynamic_cast<CRestoreDlg&>(d);
        EXPECT_EQ(dlg.List()->topLevelItemCount(), 1);
        dlg.OnRestore();
        return dlg.result();
    };
    restore->click();
    EXPECT_EQ(about.RestoreOutcome(), CAboutDlg::Restore::Restored);
    EXPECT_TRUE(Exists(20001));   // the store is open again, as the copy had it
    EXPECT_FALSE(Exists(20002));
    std::vector<BackupInfo> copies;
    USER_ListBackups(USER_StorePath(Connection().toStdString()), copies, false);
    EXPECT_TRUE(std::any_of(copies.begin(), copies.end(), [](const BackupInfo& c) { return c.reason == BackupReason::Restore; }));
    USER_Term(0, "508317");
}

}  // namespace
