// Creating and editing users: fields, limits, the number check, device mode, the overwrite
// question, the device writes and every failure path.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/EditUserDlg.h"
#include "accounts/NewUserDlg.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "controls/BalloonTip.h"
#include "external/md5/Md5.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <QTimeEdit>

namespace {

UserRecord DeviceRecord(int number)
{
    UserRecord d{};
    d.number = number;
    d.sex = 0;  // synchronised from a pedometer: female
    d.age = 33;
    d.weight = 55;
    d.height = 160;
    d.stride = 99;
    d.targetCalories = 280;
    d.alarm = MakeAlarmTime(6, 30, 0);
    return d;
}

void FillNew(QWidget* dlg, const QString& number, const QString& name, const QString& height = QStringLiteral("170"))
{
    SetText(dlg, IDC_USER_NUMBER, number);
    SetText(dlg, IDC_USER_NAME, name);
    SetText(dlg, IDC_USER_AGE, QStringLiteral("28"));
    SetText(dlg, IDC_USER_WEIGHT, QStringLiteral("61"));
    SetText(dlg, IDC_USER_HEIGHT, height);
    SetText(dlg, IDC_USER_TARGET_KCAL, QStringLiteral("300"));
}

QCheckBox* WriteBox(QWidget* dlg)
{
    return GetDlgItemAs<QCheckBox>(dlg, IDC_WRITE_DEVICE);
}

}  // namespace

// The create and edit dialogs look at the connected pedometer's record.
class UserDlgTest : public AccountsTest {
protected:
    void TearDown() override
    {
        g_pDeviceUser = nullptr;
        AccountsTest::TearDown();
    }
    // Connects a pedometer holding DeviceRecord(number).
    UserRecord& ConnectDevice(int number)
    {
        m_device = DeviceRecord(number);
        g_pDeviceUser = &m_device;
        return m_device;
    }

    UserRecord m_device{};
};

class NewUserDlgTest : public UserDlgTest {};

TEST_F(NewUserDlgTest, StartsWithASuggestedNumberAndDefaults)
{
    CNewUserDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("创建新用户"));
    EXPECT_EQ(Text(&dlg, IDC_USER_NUMBER), QStringLiteral("10002"));  // the administrator holds 10001
    EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("允许使用"));
    EXPECT_EQ(GetDlgItemAs<QComboBox>(&dlg, IDC_USER_SEX)->currentIndex(), 0);
    EXPECT_EQ(GetDlgItemAs<QComboBox>(&dlg, IDC_USER_RIGHTS)->currentText(), QStringLiteral("普通用户"));
    EXPECT_EQ(GetDlgItemAs<QTimeEdit>(&dlg, IDC_USER_ALARM)->time(), QTime(19, 30, 0));
    EXPECT_FALSE(WriteBox(&dlg)->isEnabled());
    EXPECT_FALSE(WriteBox(&dlg)->isChecked());
    EXPECT_EQ(GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_PASSWORD)->maxLength(), 10);
    EXPECT_EQ(GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_CONFIRM)->maxLength(), 10);
}

TEST_F(NewUserDlgTest, PresetNumberIsShownAsItIs)
{
    CNewUserDlg dlg;
    dlg.SetPresetNumber(23456);
    dlg.show();
    EXPECT_EQ(Text(&dlg, IDC_USER_NUMBER), QStringLiteral("23456"));
}

TEST_F(NewUserDlgTest, SuggestedNumbersBelow10000AreNotShown)
{
    EXPECT_FALSE(ShowSuggestedNumber(1, 9999));
    EXPECT_FALSE(ShowSuggestedNumber(1, -1));
    EXPECT_FALSE(ShowSuggestedNumber(0, 12345));
    EXPECT_TRUE(ShowSuggestedNumber(1, 10000));
    CNewUserDlg dlg;
    dlg.SetPresetNumber(0);
    dlg.show();
    const int shown = Text(&dlg, IDC_USER_NUMBER).toInt();
    EXPECT_GE(shown, 10000);
    USER_Term(0, "508317");  // no suggestion at all: the box stays empty
    CNewUserDlg closed;
    closed.show();
    EXPECT_EQ(Text(&closed, IDC_USER_NUMBER), QString());
}

TEST_F(NewUserDlgTest, StrideFollowsHeightAndSex)
{
    CNewUserDlg dlg;
    dlg.show();
    auto* sex = GetDlgItemAs<QComboBox>(&dlg, IDC_USER_SEX);
    const struct {
        const char* height;
        const char* male;
        const char* female;
    } rows[] = {{"170", "70", "70"}, {"150", "62", "61"}, {"200", "83", "82"}};
    for (const auto& r : rows) {
        sex->setCurrentIndex(0);
        SetText(&dlg, IDC_USER_HEIGHT, QString::fromLatin1(r.height));
        EXPECT_EQ(Text(&dlg, IDC_USER_STRIDE), QString::fromLatin1(r.male)) << r.height;
        sex->setCurrentIndex(1);
        emit sex->activated(1);  // the user's choice
        EXPECT_EQ(Text(&dlg, IDC_USER_STRIDE), QString::fromLatin1(r.female)) << r.height;
    }
    // The user may still overwrite the suggestion.
    SetText(&dlg, IDC_USER_STRIDE, QStringLiteral("75"));
    EXPECT_EQ(Text(&dlg, IDC_USER_STRIDE), QStringLiteral("75"));
}

TEST_F(NewUserDlgTest, NumberCheckReportsATakenNumber)
{
    CNewUserDlg dlg;
    dlg.show();
    SetText(&dlg, IDC_USER_NUMBER, QStringLiteral("10001"));
    EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("?"));
    dlg.OnCheckNumber();
    EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("已经占用"));
    auto* number = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER);
    ExpectBalloon(QStringLiteral("ID已经被使用，请重新选择！"), number);
    EXPECT_EQ(number->selectedText(), QStringLiteral("10001"));
    SetText(&dlg, IDC_USER_NUMBER, QStringLiteral("10005"));
    dlg.OnCheckNumber();
    EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("允许使用"));
}

TEST_F(NewUserDlgTest, LeavingAChangedNumberBoxChecksIt)
{
    CNewUserDlg dlg;
    ASSERT_TRUE(ShowActive(&dlg));
    auto* number = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER);
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Tab);  // unchanged: no check
    QTest::qWait(20);
    EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("允许使用"));
    EXPECT_EQ(BalloonCount(), 0);

    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("10001"));
    QTest::keyClick(number, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(&dlg, IDC_NUMBER_STATUS) == QStringLiteral("已经占用"); }, 1000));
    ExpectBalloon(QStringLiteral("ID已经被使用，请重新选择！"), number);
    // The focus is back in the box with the number selected: typing replaces it.
    EXPECT_EQ(QApplication::focusWidget(), number);
    EXPECT_EQ(number->selectedText(), QStringLiteral("10001"));
    QTest::keyClicks(number, QStringLiteral("10007"));
    EXPECT_EQ(number->text(), QStringLiteral("10007"));
    EXPECT_EQ(VisibleBalloonCount(), 0);  // mended
    QTest::keyClick(number, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(&dlg, IDC_NUMBER_STATUS) == QStringLiteral("允许使用"); }, 1000));

    // Checked once: leaving again does not repeat it.
    number->setText(QStringLiteral("10001"));
    dlg.OnCheckNumber();
    CBalloonTip* shown = LastBalloon();
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Tab);
    QTest::qWait(20);
    EXPECT_EQ(LastBalloon(), shown);
}

TEST_F(NewUserDlgTest, InputErrorsInTheirOrder)
{
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("10002"), QString());
    dlg.accept();
    ExpectBalloon(QStringLiteral("请输入用户名！"), GetDlgItem(&dlg, IDC_USER_NAME));

    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Tom"));
    SetText(&dlg, IDC_USER_PASSWORD, QStringLiteral("pw"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("请确认您的密码！"), GetDlgItem(&dlg, IDC_USER_CONFIRM));

    SetText(&dlg, IDC_USER_CONFIRM, QStringLiteral("PW"));
    dlg.accept();
    ExpectBalloon(QStringLiteral("两次输入的密码不一致，请重新输入！"), GetDlgItem(&dlg, IDC_USER_PASSWORD));
    EXPECT_EQ(Text(&dlg, IDC_USER_PASSWORD), QString());
    EXPECT_EQ(Text(&dlg, IDC_USER_CONFIRM), QString());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(UserExists(10002));
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
}

TEST_F(NewUserDlgTest, CreatesAUserWithPasswordAndReportsIt)
{
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("10002"), QStringLiteral("王小明"));
    GetDlgItemAs<QComboBox>(&dlg, IDC_USER_RIGHTS)->setCurrentIndex(1);
    GetDlgItemAs<QTimeEdit>(&dlg, IDC_USER_ALARM)->setTime(QTime(6, 5, 4));
    SetText(&dlg, IDC_USER_PASSWORD, QStringLiteral("pw"));
    SetText(&dlg, IDC_USER_CONFIRM, QStringLiteral("pw"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(m_dialogs.messages, QStringList{QStringLiteral("创建新用户成功!")});
    EXPECT_TRUE(m_deviceCalls.empty());
    const UserRecord stored = StoredUser(10002);
    EXPECT_EQ(RecordName(stored), "王小明");
    EXPECT_EQ(stored.sex, 1);
    EXPECT_EQ(stored.age, 28);
    EXPECT_EQ(stored.weight, 61);
    EXPECT_EQ(stored.height, 170);
    EXPECT_EQ(stored.stride, 70);
    EXPECT_EQ(stored.targetCalories, 300);
    EXPECT_EQ(stored.rights, 1);
    EXPECT_EQ(stored.photo, 0);
    EXPECT_EQ(RecordPassword(stored), PasswordDigest("pw"));
    int h = 0, m = 0, s = 0;
    SplitAlarmTime(stored.alarm, h, m, s);
    EXPECT_EQ(QTime(h, m, s), QTime(6, 5, 4));
    EXPECT_EQ(dlg.GetNewUser()->number, 10002);
}

TEST_F(NewUserDlgTest, NoPasswordMakesAnEmptyDigest)
{
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("10002"), QStringLiteral("Tom"));
    dlg.accept();
    EXPECT_EQ(RecordPassword(StoredUser(10002)), "");
    UserRecord t{};
    EXPECT_EQ(USER_Login("Tom", "", t), 1);
}

TEST_F(NewUserDlgTest, ExistingNumberKeepsTheDialogOpen)
{
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("10001"), QStringLiteral("Tom"));
    dlg.accept();
    auto* number = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER);
    ExpectBalloon(QStringLiteral("该用户已经存在，请选择其它用户名。"), number);
    EXPECT_EQ(number->selectedText(), QStringLiteral("10001"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
}

TEST_F(NewUserDlgTest, OtherStoreFailureShowsTheStoreTextAndKeepsTheDialogOpen)
{
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("10002"), QStringLiteral("Tom"));
    USER_Term(0, "508317");  // the store went away: it refuses the user
    dlg.accept();
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QString::fromStdString(USER_GetErrorMsg(USER_ERR_NOT_OPEN)));
    EXPECT_FALSE(m_dialogs.messages[0].isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.GetNewUser()->number, 0);
}

TEST_F(NewUserDlgTest, BlankPedometerTicksTheWriteBoxAndAsksNothing)
{
    UserRecord& device = ConnectDevice(kBlankDeviceId);
    CNewUserDlg dlg;
    dlg.SetDeviceMode(1);
    dlg.show();
    EXPECT_TRUE(WriteBox(&dlg)->isEnabled());
    EXPECT_TRUE(WriteBox(&dlg)->isChecked());
    // The profile comes from the pedometer; the height's suggestion replaces its stride.
    EXPECT_EQ(GetDlgItemAs<QComboBox>(&dlg, IDC_USER_SEX)->currentIndex(), 1);
    EXPECT_EQ(Text(&dlg, IDC_USER_AGE), QStringLiteral("33"));
    EXPECT_EQ(Text(&dlg, IDC_USER_HEIGHT), QStringLiteral("160"));
    EXPECT_EQ(Text(&dlg, IDC_USER_STRIDE), QStringLiteral("66"));  // 160 x 0.413 = 66.08
    EXPECT_EQ(GetDlgItemAs<QTimeEdit>(&dlg, IDC_USER_ALARM)->time(), QTime(6, 30, 0));

    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Ann"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(m_dialogs.messages, QStringList{QStringLiteral("创建新用户并烧录成功!")});
    const std::vector<std::string> expected = {"SetID 10002", "SetSHW 0 160 55 33 1", "SetDayTargetCalorie 280",
                                               "SetAlarmClock 6:30:0"};
    EXPECT_EQ(m_deviceCalls, expected);
    // Device mode: the pedometer now belongs to the new user.
    EXPECT_EQ(device.number, 10002);
    EXPECT_EQ(RecordName(device), "Ann");
}

TEST_F(NewUserDlgTest, PedometerOfAnotherUserAsksBeforeOverwriting)
{
    for (int id : {10001, 999998}) {
        m_dialogs.messages.clear();
        m_deviceCalls.clear();
        UserRecord& device = ConnectDevice(id);
        CNewUserDlg dlg;
        dlg.show();
        WriteBox(&dlg)->setChecked(true);
        FillNew(&dlg, QStringLiteral("20000"), QStringLiteral("Bob"));
        m_dialogs.boxAnswer = QMessageBox::No;
        dlg.accept();
        ASSERT_EQ(m_dialogs.messages.size(), 1) << id;
        EXPECT_EQ(m_dialogs.messages[0], QStringLiteral("原计步器中的ID为 %1, 您确定写入新的ID: 20000吗?").arg(id));
        // "No": nothing saved, nothing written, the dialog stays.
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_FALSE(UserExists(20000));
        EXPECT_TRUE(m_deviceCalls.empty());
        EXPECT_EQ(device.number, id);

        m_dialogs.boxAnswer = QMessageBox::Yes;
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_TRUE(UserExists(20000));
        EXPECT_EQ(m_deviceCalls.size(), 4u);
        EXPECT_EQ(m_dialogs.messages.last(), QStringLiteral("创建新用户并烧录成功!"));
        EXPECT_EQ(device.number, id);  // not device mode: the pedometer record is not replaced
        ASSERT_EQ(USER_DeleteUser("Bob"), 1);
    }
}

TEST_F(NewUserDlgTest, PedometerHolding10000IsOverwrittenWithoutAQuestion)
{
    ConnectDevice(10000);
    CNewUserDlg dlg;
    dlg.show();
    EXPECT_FALSE(WriteBox(&dlg)->isChecked());
    WriteBox(&dlg)->setChecked(true);
    FillNew(&dlg, QStringLiteral("20000"), QStringLiteral("Bob"));
    dlg.accept();
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("创建新用户并烧录成功!")});
    EXPECT_EQ(m_deviceCalls.front(), "SetID 20000");
}

TEST_F(NewUserDlgTest, UntickedBoxWritesNothing)
{
    ConnectDevice(10001);
    CNewUserDlg dlg;
    dlg.show();
    FillNew(&dlg, QStringLiteral("20000"), QStringLiteral("Bob"));
    dlg.accept();
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("创建新用户成功!")});
    EXPECT_TRUE(m_deviceCalls.empty());
}

TEST_F(NewUserDlgTest, DeviceModeClosesWithoutSavingWhenThePedometerIsRemoved)
{
    ConnectDevice(kBlankDeviceId);
    CNewUserDlg dlg;
    dlg.SetDeviceMode(1);
    dlg.show();
    FillNew(&dlg, QStringLiteral("20000"), QStringLiteral("Bob"));
    QTest::qWait(1100);
    EXPECT_TRUE(dlg.isVisible());  // still connected: stays
    g_pDeviceUser = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.isVisible(); }, 3000));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(UserExists(20000));
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
}

TEST_F(NewUserDlgTest, WriteBoxFollowsThePedometerOutsideDeviceMode)
{
    CNewUserDlg dlg;
    dlg.show();
    EXPECT_FALSE(WriteBox(&dlg)->isEnabled());
    ConnectDevice(10001);
    EXPECT_TRUE(QTest::qWaitFor([&] { return WriteBox(&dlg)->isEnabled(); }, 3000));
    g_pDeviceUser = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !WriteBox(&dlg)->isEnabled(); }, 3000));
    EXPECT_TRUE(dlg.isVisible());  // without device mode the dialog stays
}

class EditUserDlgTest : public UserDlgTest {
protected:
    void SetUp() override
    {
        UserDlgTest::SetUp();
        ASSERT_EQ(AddUser(10002, "Lily", "abc"), 1);
        ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    }
};

TEST_F(EditUserDlgTest, FillsFromTheRecordWithASuggestedStride)
{
    UserRecord r = StoredUser(10002);
    r.stride = 99;
    CEditUserDlg dlg;
    dlg.SetUser(&r);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("修改用户信息"));
    EXPECT_EQ(Text(&dlg, IDC_USER_NUMBER), QStringLiteral("10002"));
    EXPECT_TRUE(GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER)->isReadOnly());
    EXPECT_EQ(Text(&dlg, IDC_USER_NAME), QStringLiteral("Lily"));
    EXPECT_EQ(Text(&dlg, IDC_USER_STRIDE), QStringLiteral("70"));  // 170 x 0.415 replaces 99
    EXPECT_EQ(GetDlgItemAs<QTimeEdit>(&dlg, IDC_USER_ALARM)->time(), QTime(7, 15, 0));
    EXPECT_EQ(GetDlgItem(&dlg, IDC_USER_PASSWORD), nullptr);  // no password or rights here
    EXPECT_EQ(GetDlgItem(&dlg, IDC_USER_RIGHTS), nullptr);
}

TEST_F(EditUserDlgTest, NobodyLoggedInFillsNothing)
{
    ReleaseLoginUser();
    UserRecord r = StoredUser(10002);
    CEditUserDlg dlg;
    dlg.SetUser(&r);
    dlg.show();
    EXPECT_EQ(Text(&dlg, IDC_USER_NAME), QString());
}

TEST_F(EditUserDlgTest, EmptyNameIsRefused)
{
    CEditUserDlg dlg;
    dlg.SetUser(g_pLoginUser);
    dlg.show();
    SetText(&dlg, IDC_USER_NAME, QString());
    dlg.accept();
    ExpectBalloon(QStringLiteral("请输入用户名！"), GetDlgItem(&dlg, IDC_USER_NAME));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(EditUserDlgTest, OwnEditKeepsTheDigestsInMemory)
{
    UserRecord device = StoredUser(10002);  // the same user's pedometer is connected
    g_pDeviceUser = &device;
    const std::string digest = PasswordDigest("abc");
    CEditUserDlg dlg;
    dlg.SetUser(g_pLoginUser);
    dlg.show();
    SetText(&dlg, IDC_USER_WEIGHT, QStringLiteral("58"));
    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Lilian"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("修改新用户成功!")});
    EXPECT_EQ(g_pLoginUser->weight, 58);
    EXPECT_EQ(RecordName(*g_pLoginUser), "Lilian");
    EXPECT_EQ(RecordPassword(*g_pLoginUser), digest);
    EXPECT_EQ(device.weight, 58);
    EXPECT_EQ(RecordPassword(device), digest);
    const UserRecord stored = StoredUser(10002);
    EXPECT_EQ(stored.weight, 58);
    EXPECT_EQ(RecordPassword(stored), digest);  // the store keeps its digest too
    // Logging in again still works with the password.
    EXPECT_EQ(LoginAttempt("Lilian", digest), 1);
}

TEST_F(EditUserDlgTest, OtherUsersRecordLeavesTheLoginAlone)
{
    ASSERT_EQ(AddUser(10003, "Max", ""), 1);
    UserRecord other = StoredUser(10003);
    const UserRecord loginBefore = *g_pLoginUser;
    CEditUserDlg dlg;
    dlg.SetUser(&other);
    dlg.show();
    SetText(&dlg, IDC_USER_AGE, QStringLiteral("44"));
    dlg.accept();
    EXPECT_EQ(other.age, 44);
    EXPECT_EQ(g_pLoginUser->age, loginBefore.age);
}

TEST_F(EditUserDlgTest, WritesThePedometerAndReportsTheOutcome)
{
    ConnectDevice(10002);
    CEditUserDlg dlg;
    dlg.SetUser(g_pLoginUser);
    dlg.show();
    EXPECT_TRUE(WriteBox(&dlg)->isEnabled());
    WriteBox(&dlg)->setChecked(true);
    dlg.accept();
    // 10002 holds a user number: the question comes first.
    ASSERT_EQ(m_dialogs.messages.size(), 2);
    EXPECT_EQ(m_dialogs.messages[0], QStringLiteral("原计步器中的ID为 10002, 您确定写入新的ID: 10002吗?"));
    EXPECT_EQ(m_dialogs.messages[1], QStringLiteral("修改新用户并烧录成功!"));
    EXPECT_EQ(m_deviceCalls.size(), 4u);
}

TEST_F(EditUserDlgTest, FailedWriteIsReported)
{
    ConnectDevice(kBlankDeviceId);
    m_shwResult = 0;
    CEditUserDlg dlg;
    dlg.SetUser(g_pLoginUser);
    dlg.show();
    WriteBox(&dlg)->setChecked(true);
    dlg.accept();
    EXPECT_EQ(m_dialogs.messages, QStringList{QStringLiteral("修改新用户成功，但烧写资料出现错误!")});
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(EditUserDlgTest, NoToTheQuestionKeepsTheDialogAndTheSavedEdit)
{
    ConnectDevice(10009);
    CEditUserDlg dlg;
    dlg.SetUser(g_pLoginUser);
    dlg.show();
    WriteBox(&dlg)->setChecked(true);
    SetText(&dlg, IDC_USER_WEIGHT, QStringLiteral("77"));
    m_dialogs.boxAnswer = QMessageBox::No;
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(m_deviceCalls.empty());
    EXPECT_EQ(StoredUser(10002).weight, 77);
    EXPECT_EQ(m_dialogs.messages.size(), 1);
}

TEST_F(EditUserDlgTest, FailedSaveShowsTheStoreTextAndChangesNoRecord)
{
    UserRecord ghost = StoredUser(10002);
    ghost.number = 55555;  // no such user in the store
    const UserRecord before = ghost;
    ConnectDevice(kBlankDeviceId);
    CEditUserDlg dlg;
    dlg.SetUser(&ghost);
    dlg.show();
    WriteBox(&dlg)->setChecked(true);
    SetText(&dlg, IDC_USER_AGE, QStringLiteral("50"));
    dlg.accept();
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QString::fromStdString(USER_GetErrorMsg(USER_ERR_NOT_FOUND)));
    EXPECT_FALSE(m_dialogs.messages[0].isEmpty());
    EXPECT_EQ(m_deviceCalls.size(), 4u);  // the wanted write still happens
    EXPECT_EQ(ghost.age, before.age);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(NewUserDlgTest, CancelledDeviceModeDialogEndsOnce)
{
    ConnectDevice(kBlankDeviceId);
    CNewUserDlg dlg;
    dlg.SetDeviceMode(1);
    int finished = 0;
    QObject::connect(&dlg, &QDialog::finished, [&] { ++finished; });
    dlg.show();
    dlg.reject();
    g_pDeviceUser = nullptr;  // the pedometer goes after the dialog was cancelled
    QTest::qWait(1300);
    EXPECT_EQ(finished, 1);
}

// Enter in a changed number box creates the user; the message box that reports it takes the
// focus, and that must not run the number check on the user just stored.
TEST_F(NewUserDlgTest, NoNumberCheckAfterTheUserIsCreated)
{
    AnswerBoxesOnScreen();
    CNewUserDlg dlg;
    ASSERT_TRUE(ShowActive(&dlg));
    auto* number = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER);
    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Tom"));
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("10005"));
    ASSERT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("?"));
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(UserExists(10005));
    EXPECT_EQ(m_shownBoxes, QStringList{QStringLiteral("创建新用户成功!")});
    QTest::qWait(50);
    EXPECT_EQ(VisibleBalloonCount(), 0);
    EXPECT_NE(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("已经占用"));
}

TEST_F(NewUserDlgTest, NumbersThePedometerCannotHoldAreRefused)
{
    EXPECT_FALSE(UserNumberFitsPedometer(0));
    EXPECT_FALSE(UserNumberFitsPedometer(-10002));
    EXPECT_FALSE(UserNumberFitsPedometer(kBlankDeviceId));
    EXPECT_FALSE(UserNumberFitsPedometer(1000000));
    EXPECT_TRUE(UserNumberFitsPedometer(1));
    EXPECT_TRUE(UserNumberFitsPedometer(999998));

    ConnectDevice(kBlankDeviceId);
    CNewUserDlg dlg;
    dlg.show();
    auto* number = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NUMBER);
    for (const QString& bad : {QStringLiteral("999999"), QStringLiteral("0"), QString()}) {
        FillNew(&dlg, bad, QStringLiteral("Bob"));
        dlg.accept();
        ExpectBalloon(QStringLiteral("计步器不能使用这个ID，请输入1到999998之间的数字！"), number);
        EXPECT_EQ(number->selectedText(), bad);
        EXPECT_TRUE(dlg.isVisible()) << bad.toStdString();
        SetText(&dlg, IDC_USER_NUMBER, bad);
        dlg.OnCheckNumber();
        EXPECT_EQ(Text(&dlg, IDC_NUMBER_STATUS), QStringLiteral("不可使用"));
    }
    EXPECT_FALSE(UserExists(kBlankDeviceId));
    EXPECT_TRUE(m_deviceCalls.empty());
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
    // Typing stops at six digits; the largest number the pedometer holds goes through.
    number->clear();
    QTest::keyClicks(number, QStringLiteral("9999989"));
    EXPECT_EQ(number->text(), QStringLiteral("999998"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(m_deviceCalls.front(), "SetID 999998");
}

// A pedometer's or a record's values are kept whole; typing stops where the pedometer's limits are.
TEST_F(NewUserDlgTest, APedometerAged104MakesAUserAged104)
{
    UserRecord& device = ConnectDevice(kBlankDeviceId);
    device.age = 104;
    device.weight = 250;
    device.targetCalories = 12345;
    CNewUserDlg dlg;
    dlg.SetDeviceMode(1);
    dlg.show();
    EXPECT_EQ(Text(&dlg, IDC_USER_AGE), QStringLiteral("104"));
    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Old"));
    dlg.accept();
    EXPECT_EQ(StoredUser(10002).age, 104);
    EXPECT_EQ(m_deviceCalls.at(1), "SetSHW 0 160 250 104 1");
    EXPECT_EQ(m_deviceCalls.at(2), "SetDayTargetCalorie 12345");
}

TEST_F(NewUserDlgTest, TypedFiguresStopAtThePedometersLimits)
{
    CNewUserDlg dlg;
    dlg.show();
    const struct {
        int id;
        const char* typed;
        const char* kept;
    } rows[] = {{IDC_USER_AGE, "151", "15"},       {IDC_USER_AGE, "150", "150"},
                {IDC_USER_HEIGHT, "301", "30"},    {IDC_USER_HEIGHT, "300", "300"},
                {IDC_USER_WEIGHT, "501", "50"},    {IDC_USER_WEIGHT, "500", "500"},
                {IDC_USER_TARGET_KCAL, "100001", "10000"}, {IDC_USER_TARGET_KCAL, "100000", "100000"},
                {IDC_USER_AGE, "4x2", "42"}};
    for (const auto& r : rows) {
        auto* box = GetDlgItemAs<QLineEdit>(&dlg, r.id);
        box->clear();
        QTest::keyClicks(box, QString::fromLatin1(r.typed));
        EXPECT_EQ(box->text(), QString::fromLatin1(r.kept)) << r.id << " " << r.typed;
    }
}

TEST_F(EditUserDlgTest, EditingAUserAged104KeepsTheAge)
{
    UserRecord r = StoredUser(10002);
    r.age = 104;
    ASSERT_EQ(USER_EditUser(r), 1);
    r = StoredUser(10002);
    CEditUserDlg dlg;
    dlg.SetUser(&r);
    dlg.show();
    EXPECT_EQ(Text(&dlg, IDC_USER_AGE), QStringLiteral("104"));
    SetText(&dlg, IDC_USER_WEIGHT, QStringLiteral("66"));
    dlg.accept();
    EXPECT_EQ(StoredUser(10002).age, 104);
    EXPECT_EQ(r.age, 104);
}
