// The login page and the login dialog against a real store.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/LoginDlg.h"
#include "accounts/LoginPageDlg.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "core/StringTable.h"
#include "controls/BalloonTip.h"
#include "controls/PictureFrame.h"
#include "external/md5/Md5.h"
#include "external/records/WndMessage.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types a user name and a password into the login dialog and presses OK.
void Submit(CLoginDlg& dlg, const QString& name, const QString& password = QString())
{
    SetText(&dlg, IDC_USER_NAME, name);
    SetText(&dlg, IDC_PASSWORD, password);
    dlg.accept();
}

// The other-user path runs the real dialog, filled and confirmed without a modal loop.
QString g_typedName;
QString g_typedPassword;
int RunLoginDialogTyped(QDialog& dialog)
{
    auto& dlg = dynamic_cast<CLoginDlg&>(dialog);
    dlg.show();
    Submit(dlg, g_typedName, g_typedPassword);
    return dlg.result();
}

}  // namespace

class LoginPageTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        // The store seeds the administrator 10001 "Admin" without a password; 10002 has one.
        ASSERT_EQ(AddUser(10002, "Lily", "abc"), 1);
        ASSERT_EQ(AddUser(10003, "Third", "x"), 1);
    }
    void TearDown() override
    {
        m_dialogs.runDialog = nullptr;
        AccountsTest::TearDown();
    }
};

TEST_F(LoginPageTest, TwoSlotsFromTheFirstPageVerticallyCentred)
{
    CLoginPageDlg page;
    EXPECT_EQ(page.FilledSlots(), 2);  // page size 2: the third user is not shown
    EXPECT_FALSE(page.Picture(0)->isHidden());
    EXPECT_FALSE(page.Picture(1)->isHidden());
    EXPECT_TRUE(page.Picture(2)->isHidden());
    EXPECT_EQ(page.NameLabel(0)->text(), QStringLiteral("Admin"));
    EXPECT_EQ(page.NameLabel(1)->text(), QStringLiteral("Lily"));
    const QRect p0 = page.Picture(0)->geometry();
    const QRect p1 = page.Picture(1)->geometry();
    EXPECT_EQ(p0.top(), (page.height() - 2 * (p0.height() + 8)) / 2);
    EXPECT_EQ(p1.top(), p0.top() + p0.height() + 8);
    EXPECT_EQ(p1.left(), p0.left());
    EXPECT_EQ(page.NameLabel(1)->pos(), QPoint(p1.right() + 1 + 8, p1.top() + 5));
    EXPECT_EQ(page.Picture(1)->GetUser()->number, 10002);
    EXPECT_EQ(page.Picture(1)->GetTipText(), QStringLiteral("Lily"));
    EXPECT_EQ(page.Picture(1)->GetCornerSize(), 5);
    EXPECT_TRUE(page.Picture(1)->GetStretch());
    EXPECT_EQ(page.Picture(1)->GetRingColour(), 0xFFFFFFu);
    EXPECT_EQ(page.Picture(1)->GetHoverRing2(), 0x800000u);
    EXPECT_EQ(page.Picture(1)->GetPath(), Dir() + QStringLiteral("Photo/0.bmp"));
    // Nothing selected yet: no password box.
    EXPECT_TRUE(page.PasswordEdit()->isHidden());
    EXPECT_TRUE(page.LoginButton()->isHidden());
    EXPECT_TRUE(page.RightsLabel()->isHidden());
    EXPECT_EQ(page.PasswordEdit()->maxLength(), 10);
}

TEST_F(LoginPageTest, OneUserSitsInTheMiddleAndNoneShowsNoSlot)
{
    USER_Term(0, "508317");  // a store that returns nothing
    CLoginPageDlg empty;
    EXPECT_EQ(empty.FilledSlots(), 0);
    for (int i = 0; i < CLoginPageDlg::kSlots; ++i)
        EXPECT_TRUE(empty.Picture(i)->isHidden());
    EXPECT_FALSE(GetDlgItem(&empty, IDC_OTHER_USER)->isHidden());
    EXPECT_FALSE(GetDlgItem(&empty, IDC_LOGIN_EXIT)->isHidden());
}

TEST_F(LoginPageTest, ClickOnUserWithoutPasswordLogsInAtOnce)
{
    CLoginPageDlg page;
    page.SelectSlot(0);
    EXPECT_TRUE(page.PasswordEdit()->isHidden());
    ASSERT_EQ(m_main.calls, 1);
    EXPECT_EQ(m_main.password, QString());
    EXPECT_EQ(m_main.number, 10001);
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(g_pLoginUser->number, 10001);
    EXPECT_STREQ(g_pLoginUser->password, "");
}

TEST_F(LoginPageTest, ClickOnUserWithPasswordOpensTheBoxUnderTheSlot)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    EXPECT_EQ(m_main.calls, 0);
    EXPECT_EQ(page.SelectedUser()->number, 10002);
    const QRect name = page.NameLabel(1)->geometry();
    const QRect rights = page.RightsLabel()->geometry();
    const QRect edit = page.PasswordEdit()->geometry();
    const QRect button = page.LoginButton()->geometry();
    EXPECT_TRUE(page.RightsLabel()->isVisible());
    EXPECT_EQ(page.RightsLabel()->text(), QStringLiteral("普通用户"));
    EXPECT_EQ(rights.topLeft(), QPoint(name.left(), name.bottom() + 1 + 2));
    EXPECT_EQ(edit.topLeft(), QPoint(rights.left(), rights.bottom() + 1 + 2));
    EXPECT_EQ(button.topLeft(), QPoint(edit.right() + 1 + 5, edit.top()));
    EXPECT_TRUE(page.PasswordEdit()->isVisible());
    EXPECT_TRUE(page.LoginButton()->isVisible());
    // Every control stays inside the page.
    EXPECT_TRUE(page.rect().contains(button));

    // A user without password hides the box again (and logs in).
    page.SelectSlot(0);
    EXPECT_TRUE(page.PasswordEdit()->isHidden());
    EXPECT_TRUE(page.RightsLabel()->isHidden());
}

TEST_F(LoginPageTest, RightPasswordHandsTheDigestToTheMainWindow)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    page.PasswordEdit()->setText(QStringLiteral("abc"));
    page.OnOK();
    ASSERT_EQ(m_main.calls, 1);
    EXPECT_EQ(m_main.password, QString::fromStdString(PasswordDigest("abc")));
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(g_pLoginUser->number, 10002);
    EXPECT_EQ(RecordPassword(*g_pLoginUser), PasswordDigest("abc"));
}

TEST_F(LoginPageTest, WrongPasswordClearsTheBoxAndLogsNobodyIn)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    page.PasswordEdit()->setText(QStringLiteral("ABC"));
    page.OnOK();
    EXPECT_EQ(m_main.calls, 0);
    EXPECT_EQ(g_pLoginUser, nullptr);
    ExpectBalloon(QStringLiteral("密码不正确，请重新输入！"), page.PasswordEdit());
    EXPECT_EQ(page.PasswordEdit()->text(), QString());
}

TEST_F(LoginPageTest, EmptyPasswordAsksForIt)
{
    CLoginPageDlg page;
    page.show();
    page.OnOK();  // nothing selected: nothing happens
    EXPECT_EQ(BalloonCount(), 0);
    page.SelectSlot(1);
    page.OnOK();
    ExpectBalloon(QStringLiteral("请输入您的密码！"), page.PasswordEdit());
    EXPECT_EQ(m_main.calls, 0);
}

TEST_F(LoginPageTest, FailedAttemptReleasesThePreviousLoginButNeverThePedometerRecord)
{
    // Logged in through the pedometer: the logged-in record is a copy of the pedometer's.
    UserRecord device{};
    device.number = 10001;
    g_pDeviceUser = &device;
    SetLoginUser(device);
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    page.PasswordEdit()->setText(QStringLiteral("wrong"));
    page.OnOK();
    EXPECT_EQ(g_pLoginUser, nullptr);
    EXPECT_EQ(g_pDeviceUser, &device);  // untouched (releasing it would be a fault ASan reports)

    // A heap record of an earlier page login is released by the next attempt.
    ASSERT_EQ(LoginAttempt("Admin", ""), 1);
    UserRecord* earlier = g_pLoginUser;
    ASSERT_NE(earlier, &device);
    page.OnOK();  // the box was cleared: asks for the password, no attempt
    EXPECT_EQ(g_pLoginUser, earlier);
    page.PasswordEdit()->setText(QStringLiteral("nope"));
    page.OnOK();
    EXPECT_EQ(g_pLoginUser, nullptr);
}

TEST_F(LoginPageTest, OtherUserLoginThroughTheDialog)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    g_typedName = QStringLiteral("Third");
    g_typedPassword = QStringLiteral("x");
    m_dialogs.runDialog = RunLoginDialogTyped;
    page.OnOtherUser();
    EXPECT_TRUE(page.PasswordEdit()->isHidden());
    EXPECT_TRUE(page.RightsLabel()->isHidden());
    ASSERT_EQ(m_main.calls, 1);
    EXPECT_EQ(m_main.password, QString());  // the other-user path hands over no password
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(g_pLoginUser->number, 10003);
    EXPECT_EQ(RecordPassword(*g_pLoginUser), PasswordDigest("x"));
}

TEST_F(LoginPageTest, OtherUserCancelledLeavesTheLoginAlone)
{
    ASSERT_EQ(LoginAttempt("Admin", ""), 1);
    UserRecord* before = g_pLoginUser;
    CLoginPageDlg page;
    m_dialogs.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
    page.OnOtherUser();
    EXPECT_EQ(g_pLoginUser, before);
    EXPECT_EQ(m_main.calls, 0);
}

class LanguageSwitchTest : public LoginPageTest {
protected:
    void SetUp() override
    {
        LoginPageTest::SetUp();
        WriteFile(QStringLiteral("Language.ini"),
                  "[Default]\nIndex=0\nCount=3\nShowCombo=1\n"
                  "[Language0]\nName=简体中文\nDll=Chinese.lng\n"
                  "[Language1]\nName=English\nDll=English.lng\n"
                  "[Language2]\nName=Broken\nDll=Missing.lng\n");
        WriteFile(QStringLiteral("Language/Chinese.lng"), BuiltinTableAsPack(QStringLiteral("简体中文")));
        WriteFile(QStringLiteral("Language/English.lng"),
                  "[Pack]\nName=English\n[Strings]\n110=Administrator\n111=Normal user\n190=Select language\n"
                  "191=Other user\n192=Exit\n193=Log in\n");
    }
};

TEST_F(LanguageSwitchTest, ComboListsTheLanguagesAndSelectsTheStartOne)
{
    CLoginPageDlg page;
    auto* combo = GetDlgItemAs<QComboBox>(&page, IDC_LANGUAGE);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("English"));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(Text(&page, IDC_LANGUAGE_LABEL), QStringLiteral("使用语言："));
}

TEST_F(LanguageSwitchTest, SwitchRelabelsThePageAndRemembersTheChoice)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    page.OnLanguageChange(1);
    EXPECT_EQ(page.RightsLabel()->text(), QStringLiteral("Normal user"));
    EXPECT_TRUE(page.RightsLabel()->isVisible());
    EXPECT_EQ(Text(&page, IDC_LANGUAGE_LABEL), QStringLiteral("Select language"));
    EXPECT_EQ(Text(&page, IDC_OTHER_USER), QStringLiteral("Other user"));
    EXPECT_EQ(Text(&page, IDC_LOGIN_EXIT), QStringLiteral("Exit"));
    EXPECT_EQ(Text(&page, IDOK), QStringLiteral("Log in"));
    EXPECT_EQ(page.NameLabel(1)->text(), QStringLiteral("Lily"));  // names are not touched
    EXPECT_EQ(Profile::GetString(LanguageIniPath(), "Default", "Index"), QStringLiteral("1"));
    EXPECT_EQ(g_nLanguage, 0);
    // Longer texts still fit their buttons and stay on the page.
    auto* other = GetDlgItem(&page, IDC_OTHER_USER);
    EXPECT_GE(other->width(), QFontMetrics(other->font()).horizontalAdvance(QStringLiteral("Other user")));
    EXPECT_TRUE(page.rect().contains(other->geometry()));

    // Back to Chinese: label 1087 now reads string 190, not the template's text.
    page.OnLanguageChange(0);
    EXPECT_EQ(Text(&page, IDC_LANGUAGE_LABEL), QStringLiteral("请选择语言"));
    EXPECT_EQ(page.RightsLabel()->text(), QStringLiteral("普通用户"));
}

TEST_F(LanguageSwitchTest, FailedSwitchChangesNothing)
{
    CLoginPageDlg page;
    page.show();
    auto* combo = GetDlgItemAs<QComboBox>(&page, IDC_LANGUAGE);
    const QString exitBefore = Text(&page, IDC_LOGIN_EXIT);
    combo->setCurrentIndex(2);
    page.OnLanguageChange(2);
    EXPECT_EQ(Text(&page, IDC_LOGIN_EXIT), exitBefore);
    EXPECT_EQ(Text(&page, IDC_LANGUAGE_LABEL), QStringLiteral("使用语言："));
    EXPECT_EQ(Profile::GetString(LanguageIniPath(), "Default", "Index"), QStringLiteral("0"));
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(LanguageSwitchTest, HiddenComboWhenShowComboIsOff)
{
    Profile::WriteString(LanguageIniPath(), "Default", "ShowCombo", "0");
    CLoginPageDlg page;
    EXPECT_TRUE(GetDlgItem(&page, IDC_LANGUAGE)->isHidden());
    EXPECT_TRUE(GetDlgItem(&page, IDC_LANGUAGE_LABEL)->isHidden());
}

class LoginDlgTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        ASSERT_EQ(AddUser(10002, "Lily", "abc"), 1);
    }
};

TEST_F(LoginDlgTest, EmptyNameAsksForIt)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    dlg.accept();
    ExpectBalloon(QStringLiteral("请输入用户名！"), GetDlgItem(&dlg, IDC_USER_NAME));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(LoginDlgTest, UnknownNameIsSelectedWhole)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    Submit(dlg, QStringLiteral("Nobody"));
    auto* name = GetDlgItemAs<QLineEdit>(&dlg, IDC_USER_NAME);
    ExpectBalloon(QStringLiteral("不存在的用户名！"), name);
    EXPECT_EQ(name->selectedText(), QStringLiteral("Nobody"));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(LoginDlgTest, WrongPasswordKeepsTheText)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    Submit(dlg, QStringLiteral("Lily"), QStringLiteral("abd"));
    ExpectBalloon(QStringLiteral("密码不正确，请重新输入！"), GetDlgItem(&dlg, IDC_PASSWORD));
    EXPECT_EQ(Text(&dlg, IDC_PASSWORD), QStringLiteral("abd"));
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(LoginDlgTest, EmptyPasswordForAnAccountWithOneAsksToConfirm)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    Submit(dlg, QStringLiteral("Lily"));
    ExpectBalloon(QStringLiteral("请确认您的密码！"), GetDlgItem(&dlg, IDC_PASSWORD));
}

TEST_F(LoginDlgTest, RightPasswordFillsTheRecordAndCloses)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("用户登录"));
    dlg.show();
    Submit(dlg, QStringLiteral("Lily"), QStringLiteral("abc"));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(t.number, 10002);
    EXPECT_EQ(RecordPassword(t), PasswordDigest("abc"));
    EXPECT_EQ(BalloonCount(), 0);
}

TEST_F(LoginDlgTest, OtherResultsLeaveTheDialogOpenSilently)
{
    USER_Term(0, "508317");  // the store answers "not open"
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    Submit(dlg, QStringLiteral("Lily"), QStringLiteral("abc"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(BalloonCount(), 0);
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
}

TEST_F(LoginPageTest, EnterInThePasswordBoxInsideADialogMakesOneAttempt)
{
    // The main window hosting the page is a dialog: Enter must not also press a default button.
    QDialog host;
    auto* page = new CLoginPageDlg(&host);
    host.resize(page->size());
    host.show();
    page->SelectSlot(1);
    page->PasswordEdit()->setFocus();
    QTest::keyClicks(page->PasswordEdit(), QStringLiteral("abd"));
    const int before = BalloonCount();
    QTest::keyClick(page->PasswordEdit(), Qt::Key_Return);
    EXPECT_EQ(BalloonCount(), before + 1);
    ExpectBalloon(QStringLiteral("密码不正确，请重新输入！"), page->PasswordEdit());
    EXPECT_TRUE(host.isVisible());
}

TEST_F(LoginPageTest, SlotWhoseLoginFailsShowsNothing)
{
    CLoginPageDlg page;
    page.show();
    ASSERT_EQ(LoginAttempt("Third", PasswordDigest("x")), 1);  // somebody was logged in
    ASSERT_EQ(USER_DeleteUser("Admin"), USER_ERR_BUILTIN);
    // The slot's user is renamed behind the page's back: its login now finds no such name.
    UserRecord admin = StoredUser(10001);
    SetRecordName(admin, "Renamed");
    ASSERT_EQ(USER_EditUser(admin), 1);
    page.SelectSlot(0);
    EXPECT_EQ(m_main.calls, 0);
    EXPECT_EQ(g_pLoginUser, nullptr);
    EXPECT_EQ(BalloonCount(), 0);
    EXPECT_TRUE(m_dialogs.messages.isEmpty());
    EXPECT_TRUE(page.PasswordEdit()->isHidden());
}

TEST_F(LoginPageTest, PictureClickMessageSelectsItsSlot)
{
    CLoginPageDlg page;
    page.show();
    // What the picture frame posts on a click: wParam = its value, lParam = the frame.
    PostMessage(&page, WM_PICTURE_CLICKED, 1, reinterpret_cast<intptr_t>(static_cast<CPictureFrame*>(page.Picture(1))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.SelectedUser() != nullptr; }, 2000));
    EXPECT_EQ(page.SelectedUser()->number, 10002);
    EXPECT_TRUE(page.PasswordEdit()->isVisible());
    // A message from no known frame changes nothing.
    PostMessage(&page, WM_PICTURE_CLICKED, 0, 12345);
    QTest::qWait(20);
    EXPECT_EQ(page.SelectedUser()->number, 10002);
}

TEST_F(LoginPageTest, ExitAsksTheHostingWindowToClose)
{
    QDialog host;
    auto* page = new CLoginPageDlg(&host);
    host.show();
    int closed = 0;
    QObject::connect(&host, &QDialog::finished, [&] { ++closed; });
    static_cast<QPushButton*>(GetDlgItem(page, IDC_LOGIN_EXIT))->click();
    EXPECT_EQ(closed, 0);  // posted, not sent: the click handler returns first
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed == 1; }, 2000));
}

namespace {

bool ImageHasColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

}  // namespace

TEST_F(LoginPageTest, NamesAndRightsAreDrawnInTheirColoursOnTheBackground)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    const QImage shot = page.grab().toImage();
    const QImage name = shot.copy(page.NameLabel(1)->geometry());
    const QImage rights = shot.copy(page.RightsLabel()->geometry());
    EXPECT_TRUE(ImageHasColour(name, qRgb(22, 22, 22)));
    EXPECT_TRUE(ImageHasColour(rights, qRgb(103, 125, 153)));
    EXPECT_FALSE(ImageHasColour(name, qRgb(103, 125, 153)));
    // Transparent labels: where no glyph is, the page's background shows through.
    CLoginPageDlg clean;  // the same page without a selection shows no rights label
    const QImage bare = clean.grab().toImage();
    const QPoint corner = page.RightsLabel()->geometry().bottomRight();
    EXPECT_EQ(shot.pixel(corner), bare.pixel(corner));
}
