// The login page and the account dialogs by keyboard and screen reader: Tab goes as the eye
// reads, the focus shows from the start, every control has a name, and a user's picture is a
// button that Enter, Space and assistive technology press.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/EditUserDlg.h"
#include "accounts/LoginDlg.h"
#include "accounts/LoginPageDlg.h"
#include "accounts/NewUserDlg.h"
#include "accounts/PasswordDlg.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "controls/PictureFrame.h"
#include "external/md5/Md5.h"
#include "res/resource.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

// The controls Tab should visit, in reading order: rows top to bottom (tops within 8 pixels
// make one row), each row left to right.
std::vector<QWidget*> ReadingOrder(QWidget* window)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && !w->isWindow())
            controls.push_back(w);
    }
    auto top = [window](QWidget* w) { return w->mapTo(window, QPoint(0, 0)).y(); };
    auto left = [window](QWidget* w) { return w->mapTo(window, QPoint(0, 0)).x(); };
    std::sort(controls.begin(), controls.end(), [&](QWidget* a, QWidget* b) { return top(a) < top(b); });
    for (size_t row = 0; row < controls.size();) {
        size_t end = row + 1;
        while (end < controls.size() && top(controls[end]) - top(controls[row]) <= 8)
            ++end;
        std::sort(controls.begin() + row, controls.begin() + end,
                  [&](QWidget* a, QWidget* b) { return left(a) < left(b); });
        row = end;
    }
    return controls;
}

// Where Tab goes from the first control, once round (at most 40 presses).
std::vector<QWidget*> TabRound(QWidget* first)
{
    std::vector<QWidget*> visited;
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 40; ++i) {
        QWidget* w = QApplication::focusWidget();
        if (!w || (!visited.empty() && w == visited.front()))
            break;
        visited.push_back(w);
        QTest::keyClick(w, Qt::Key_Tab);
    }
    return visited;
}

std::string Describe(const std::vector<QWidget*>& controls)
{
    std::string out;
    for (QWidget* w : controls)
        out += std::string(w->metaObject()->className()) + "#" + std::to_string(CtrlId(w)) + " ";
    return out;
}

void ExpectTabInReadingOrder(QWidget* window, const char* what)
{
    ASSERT_TRUE(ShowActive(window)) << what;
    const std::vector<QWidget*> expected = ReadingOrder(window);
    ASSERT_FALSE(expected.empty()) << what;
    const std::vector<QWidget*> visited = TabRound(expected.front());
    EXPECT_EQ(visited, expected) << what << "\n tab:     " << Describe(visited) << "\n reading: " << Describe(expected);
}

// Every control a person can reach has a name for assistive technology.
void ExpectNamedControls(QWidget* window, const char* what)
{
    for (QWidget* w : ReadingOrder(window)) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << what;
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << what << ": " << w->metaObject()->className() << " #" << CtrlId(w) << " has no name";
    }
}

}  // namespace

class KeyboardTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        // The store seeds 10001 "Admin" without a password; Lily has one.
        ASSERT_EQ(AddUser(10002, "Lily", "abc"), 1);
    }
    void TearDown() override
    {
        g_pDeviceUser = nullptr;
        AccountsTest::TearDown();
    }
};

TEST_F(KeyboardTest, TabFollowsTheReadingOrderInEveryDialog)
{
    UserRecord device{};
    device.number = kBlankDeviceId;
    g_pDeviceUser = &device;  // the write box takes part
    {
        CNewUserDlg dlg;
        ExpectTabInReadingOrder(&dlg, "create dialog");
        ExpectNamedControls(&dlg, "create dialog");
    }
    ASSERT_EQ(LoginAttempt("Lily", PasswordDigest("abc")), 1);
    {
        CEditUserDlg dlg;
        dlg.SetUser(g_pLoginUser);
        ExpectTabInReadingOrder(&dlg, "edit dialog");
        ExpectNamedControls(&dlg, "edit dialog");
    }
    {
        CPasswordDlg dlg;
        dlg.SetUser(g_pLoginUser);
        ExpectTabInReadingOrder(&dlg, "password dialog");
        ExpectNamedControls(&dlg, "password dialog");
    }
    {
        UserRecord t{};
        CLoginDlg dlg(&t);
        ExpectTabInReadingOrder(&dlg, "login dialog");
        ExpectNamedControls(&dlg, "login dialog");
    }
    for (int slot : {0, 1}) {
        CLoginPageDlg page;
        ASSERT_TRUE(ShowActive(&page));
        page.SelectSlot(slot);  // Lily's password box stands under her slot; Admin logs in, the page stays
        ExpectTabInReadingOrder(&page, slot == 1 ? "login page, Lily chosen" : "login page");
        ExpectNamedControls(&page, "login page");
    }
}

TEST_F(KeyboardTest, TheAlarmBoxLeavesWithOneTab)
{
    CNewUserDlg dlg;
    ASSERT_TRUE(ShowActive(&dlg));
    QWidget* alarm = GetDlgItem(&dlg, IDC_USER_ALARM);
    alarm->setFocus(Qt::TabFocusReason);
    QTest::keyClick(alarm, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), GetDlgItem(&dlg, IDC_USER_PASSWORD));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), alarm);
    QTest::keyClick(alarm, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), GetDlgItem(&dlg, IDC_USER_TARGET_KCAL));
}

// The main window leaves its start-up picture by remaking its native window while it keeps the
// desktop's focus; the login page it then shows has its focus visible at once.
TEST_F(KeyboardTest, TheLoginPageShowsItsFocusFromTheStart)
{
    QDialog host;
    const Qt::WindowFlags normal = host.windowFlags();
    host.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);  // the start-up picture
    ASSERT_TRUE(ShowActive(&host));
    host.hide();
    host.setWindowFlags(normal | Qt::FramelessWindowHint);
    auto* page = new CLoginPageDlg(&host);
    host.resize(page->size());
    page->show();
    host.show();
    host.activateWindow();
    page->setFocus();
    // Before anything else happens: the first user's picture holds the focus, in an active window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == page->Picture(0); }, 1000))
        << "focus on " << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
    EXPECT_TRUE(host.isActiveWindow());
    EXPECT_TRUE(page->Picture(0)->hasFocus());
    EXPECT_EQ(page->Picture(0)->GetRingColour(), 0xD77800u);  // its focus ring
    EXPECT_EQ(page->Picture(1)->GetRingColour(), 0xFFFFFFu);

    // Enter on Lily's slot (Tab from Admin): the password box takes the focus, with its caret.
    QTest::keyClick(page->Picture(0), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), page->Picture(1));
    QTest::keyClick(page->Picture(1), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->PasswordEdit()->isVisible(); }, 1000));
    EXPECT_TRUE(page->PasswordEdit()->hasFocus());
    QTest::keyClicks(page->PasswordEdit(), QStringLiteral("abc"));
    QTest::keyClick(page->PasswordEdit(), Qt::Key_Return);
    EXPECT_EQ(m_main.calls, 1);
    EXPECT_EQ(m_main.number, 10002);
}

TEST_F(KeyboardTest, UserPicturesAreButtonsNamedAfterTheirUsers)
{
    CLoginPageDlg page;
    ASSERT_TRUE(ShowActive(&page));
    for (int slot : {0, 1}) {
        CPictureFrame* picture = page.Picture(slot);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(picture);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::Button);
        EXPECT_EQ(a->text(QAccessible::Name), page.NameLabel(slot)->text());
        EXPECT_TRUE(a->state().focusable);
        ASSERT_NE(a->actionInterface(), nullptr);
        EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    // Space on Lily's picture opens her password box; a screen reader's press on Admin's logs him in.
    page.Picture(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.Picture(1), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.PasswordEdit()->isVisible(); }, 1000));
    EXPECT_EQ(page.SelectedUser()->number, 10002);
    EXPECT_EQ(m_main.calls, 0);
    QAccessible::queryAccessibleInterface(page.Picture(0))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_main.calls == 1; }, 1000));
    EXPECT_EQ(m_main.number, 10001);
}

TEST_F(KeyboardTest, EnterPressesTheLoginPagesButtons)
{
    int dialogs = 0;
    m_dialogs.runDialog = [&dialogs](QDialog&) {
        ++dialogs;
        return int(QDialog::Rejected);
    };
    CLoginPageDlg page;
    ASSERT_TRUE(ShowActive(&page));
    QWidget* other = GetDlgItem(&page, IDC_OTHER_USER);
    other->setFocus(Qt::TabFocusReason);
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(dialogs, 1);  // the other-user login dialog
    page.SelectSlot(1);
    QTest::keyClicks(page.PasswordEdit(), QStringLiteral("abc"));
    page.LoginButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.LoginButton(), Qt::Key_Enter);
    EXPECT_EQ(m_main.calls, 1);
    EXPECT_EQ(m_main.number, 10002);
    m_dialogs.runDialog = nullptr;
}
