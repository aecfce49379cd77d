// Changing a password: own change with the old password, an administrator's change without,
// the checks in their order and the result messages.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/PasswordDlg.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "external/md5/Md5.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

// The dialog about a record, shown.
struct ShownPasswordDlg : CPasswordDlg {
    explicit ShownPasswordDlg(UserRecord* user)
    {
        SetUser(user);
        show();
    }
};

}  // namespace

class PasswordDlgTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        ASSERT_EQ(AddUser(10002, "Lily", "abc"), 1);
        ASSERT_EQ(AddUser(10003, "Max", ""), 1);
    }
    QLineEdit* Edit(QWidget* dlg, int id) { return GetDlgItemAs<QLineEdit>(dlg, id); }
    // Types the old password, the new one and its confirmation, then presses OK.
    void Submit(CPasswordDlg& dlg, const QString& oldPassword, const QString& newPassword, const QString& confirm)
    {
        Edit(&dlg, IDC_OLD_PASSWORD)->setText(oldPassword);
        Edit(&dlg, IDC_USER_PASSWORD)->setText(newPassword);
        Edit(&dlg, IDC_USER_CONFIRM)->setText(confirm);
        dlg.accept();
    }
};

TEST_F(PasswordDlgTest, ShowsTheUserAndEnablesTheOldBoxOnlyWithADigest)
{
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    ShownPasswordDlg dlg(g_pLoginUser);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("修改密码"));
    EXPECT_EQ(Text(&dlg, IDC_USER_NUMBER), QStringLiteral("10002"));
    EXPECT_EQ(Text(&dlg, IDC_USER_NAME), QStringLiteral("Lily"));
    EXPECT_TRUE(Edit(&dlg, IDC_OLD_PASSWORD)->isEnabled());
    auto* rights = GetDlgItemAs<QComboBox>(&dlg, IDC_USER_RIGHTS);
    EXPECT_FALSE(rights->isEnabled());
    EXPECT_EQ(rights->currentText(), QStringLiteral("普通用户"));
    // Timer 1 moves the focus to the old password.
    dlg.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Edit(&dlg, IDC_OLD_PASSWORD)->hasFocus(); }, 2000));

    UserRecord max = StoredUser(10003);
    ShownPasswordDlg other(&max);
    EXPECT_FALSE(Edit(&other, IDC_OLD_PASSWORD)->isEnabled());
}

TEST_F(PasswordDlgTest, OwnChangeChecksInOrder)
{
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    ShownPasswordDlg dlg(g_pLoginUser);
    QLineEdit* oldBox = Edit(&dlg, IDC_OLD_PASSWORD);
    QLineEdit* newBox = Edit(&dlg, IDC_USER_PASSWORD);
    QLineEdit* confirmBox = Edit(&dlg, IDC_USER_CONFIRM);

    dlg.accept();
    ExpectBalloon(QStringLiteral("请输入您的旧密码！"), oldBox);

    oldBox->setText(QStringLiteral("wrong"));
    newBox->setText(QStringLiteral("new1"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("请确认您的密码！"), confirmBox);

    confirmBox->setText(QStringLiteral("NEW1"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("两次输入的密码不一致，请重新输入！"), newBox);
    EXPECT_EQ(newBox->text(), QString());
    EXPECT_EQ(confirmBox->text(), QString());
    EXPECT_EQ(oldBox->text(), QStringLiteral("wrong"));

    newBox->setText(QStringLiteral("new1"));
    confirmBox->setText(QStringLiteral("new1"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("您的旧密码不正确，请重新输入！"), oldBox);
    EXPECT_EQ(oldBox->text(), QString());  // only the old box is cleared
    EXPECT_EQ(newBox->text(), QStringLiteral("new1"));
    EXPECT_EQ(confirmBox->text(), QStringLiteral("new1"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
    EXPECT_EQ(RecordPassword(StoredUser(10002)), PasswordDigest("abc"));
}

TEST_F(PasswordDlgTest, OwnChangeSucceedsAndASecondChangeUsesTheNewPassword)
{
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    {
        ShownPasswordDlg dlg(g_pLoginUser);
        Submit(dlg, QStringLiteral("abc"), QStringLiteral("new1"), QStringLiteral("new1"));
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    ASSERT_EQ(m_dialogs.messages, QStringList{QStringLiteral("修改密码成功！请记住您的新密码。")});
    EXPECT_EQ(RecordPassword(StoredUser(10002)), PasswordDigest("new1"));
    EXPECT_EQ(RecordPassword(*g_pLoginUser), PasswordDigest("new1"));

    ShownPasswordDlg again(g_pLoginUser);
    Submit(again, QStringLiteral("new1"), QStringLiteral("new2"), QStringLiteral("new2"));
    EXPECT_EQ(m_dialogs.messages.last(), QStringLiteral("修改密码成功！请记住您的新密码。"));
    EXPECT_EQ(RecordPassword(StoredUser(10002)), PasswordDigest("new2"));
}

TEST_F(PasswordDlgTest, UserWithoutPasswordSetsOneWithoutAnOldOne)
{
    ASSERT_EQ(LoginAttempt("Max", ""), 1);
    ShownPasswordDlg dlg(g_pLoginUser);
    Submit(dlg, QString(), QStringLiteral("m"), QStringLiteral("m"));
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("修改密码成功！请记住您的新密码。")});
    EXPECT_EQ(RecordPassword(StoredUser(10003)), PasswordDigest("m"));
}

TEST_F(PasswordDlgTest, EmptyNewPasswordRemovesIt)
{
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    ShownPasswordDlg dlg(g_pLoginUser);
    Submit(dlg, QStringLiteral("abc"), QString(), QString());
    EXPECT_EQ(RecordPassword(StoredUser(10002)), "");
    EXPECT_EQ(LoginAttempt("Lily", ""), 1);  // a single click logs in now
}

TEST_F(PasswordDlgTest, AdministratorIsNeverAskedForTheOldPassword)
{
    ASSERT_EQ(LoginAttempt("Admin", ""), 1);
    UserRecord lily = StoredUser(10002);
    ShownPasswordDlg dlg(&lily);
    EXPECT_TRUE(Edit(&dlg, IDC_OLD_PASSWORD)->isEnabled());
    Submit(dlg, QStringLiteral("rubbish"), QStringLiteral("set"), QStringLiteral("set"));  // the old one is ignored
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("修改密码成功！请记住您的新密码。")});
    EXPECT_EQ(RecordPassword(StoredUser(10002)), PasswordDigest("set"));
    EXPECT_EQ(RecordPassword(lily), PasswordDigest("set"));
    EXPECT_EQ(RecordPassword(*g_pLoginUser), "");  // the administrator's own record is not touched
}

TEST_F(PasswordDlgTest, StoreRefusalShowsItsTextAndCloses)
{
    ASSERT_EQ(LoginAttempt("Admin", ""), 1);
    UserRecord stale = StoredUser(10002);
    SetRecordPassword(stale, PasswordDigest("outdated"));  // the store holds another digest
    ShownPasswordDlg dlg(&stale);
    Submit(dlg, QString(), QStringLiteral("x"), QStringLiteral("x"));
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QString::fromStdString(USER_GetErrorMsg(USER_ERR_WRONG_PASSWORD)));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(RecordPassword(StoredUser(10002)), PasswordDigest("abc"));
    EXPECT_EQ(RecordPassword(stale), PasswordDigest("outdated"));
}

TEST_F(PasswordDlgTest, NobodyLoggedInFillsNothing)
{
    UserRecord lily = StoredUser(10002);
    ShownPasswordDlg dlg(&lily);
    EXPECT_EQ(Text(&dlg, IDC_USER_NUMBER), QString());
}

TEST_F(PasswordDlgTest, UserWithoutPasswordStartsInTheNewPasswordBox)
{
    ASSERT_EQ(LoginAttempt("Max", ""), 1);
    CPasswordDlg dlg;
    dlg.SetUser(g_pLoginUser);
    ASSERT_TRUE(ShowActive(&dlg));
    EXPECT_EQ(QApplication::focusWidget(), Edit(&dlg, IDC_USER_PASSWORD));
    QTest::qWait(200);  // the dialog's timer leaves it there
    EXPECT_EQ(QApplication::focusWidget(), Edit(&dlg, IDC_USER_PASSWORD));
}

// Balloons go with their reason: a newer fault replaces them, mending the box ends them, and
// none floats over the message box that reports the change.
TEST_F(PasswordDlgTest, BalloonsLastOnlyAsLongAsTheirReason)
{
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    AnswerBoxesOnScreen();
    CPasswordDlg dlg;
    dlg.SetUser(g_pLoginUser);
    ASSERT_TRUE(ShowActive(&dlg));
    QLineEdit* oldBox = Edit(&dlg, IDC_OLD_PASSWORD);
    QLineEdit* newBox = Edit(&dlg, IDC_USER_PASSWORD);
    QLineEdit* confirmBox = Edit(&dlg, IDC_USER_CONFIRM);

    // "Confirm your password", then the user empties the password instead: both reasons are gone.
    QTest::keyClicks(oldBox, QStringLiteral("abc"));
    QTest::keyClicks(newBox, QStringLiteral("n"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("请确认您的密码！"), confirmBox);
    QTest::keyClick(newBox, Qt::Key_Backspace);
    EXPECT_EQ(VisibleBalloonCount(), 0);

    // Faults one after the other, set without typing: one balloon, the newest.
    oldBox->clear();
    dlg.accept();
    oldBox->setText(QStringLiteral("bad"));
    newBox->setText(QStringLiteral("n1"));
    dlg.accept();
    confirmBox->setText(QStringLiteral("n2"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("两次输入的密码不一致，请重新输入！"), newBox);
    EXPECT_EQ(VisibleBalloonCount(), 1);
    newBox->setText(QStringLiteral("n1"));
    confirmBox->setText(QStringLiteral("n1"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("您的旧密码不正确，请重新输入！"), oldBox);
    EXPECT_EQ(VisibleBalloonCount(), 1);

    // Typing the right old password mends it; the success box opens with no balloon over it.
    QTest::keyClicks(oldBox, QStringLiteral("abc"));
    EXPECT_EQ(VisibleBalloonCount(), 0);
    dlg.accept();
    EXPECT_EQ(m_shownBoxes, QStringList{QStringLiteral("修改密码成功！请记住您的新密码。")});
    EXPECT_EQ(m_balloonsOverBoxes, 0);
}

// A balloon that is still up when a message box opens goes at once.
TEST_F(PasswordDlgTest, AMessageBoxEndsTheBalloonsOfItsDialog)
{
    ASSERT_EQ(LoginAttempt("Admin", ""), 1);
    UserRecord lily = StoredUser(10002);
    AnswerBoxesOnScreen();
    CPasswordDlg dlg;
    dlg.SetUser(&lily);
    ASSERT_TRUE(ShowActive(&dlg));
    ShowErrorBalloon(Edit(&dlg, IDC_USER_PASSWORD), QStringLiteral("left over"));
    Submit(dlg, QString(), QString(), QString());
    EXPECT_EQ(m_shownBoxes.size(), 1);
    EXPECT_EQ(m_balloonsOverBoxes, 0);
}
