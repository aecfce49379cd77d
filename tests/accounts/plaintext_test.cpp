// User names that look like markup are shown as they were typed, everywhere: on the login page,
// in its tooltips and in every account dialog.
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
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QLabel>
#include <QTest>
#include <QTextDocument>

namespace {

const QString kHeading = QStringLiteral("<h1>X</h1>");  // 10 bytes: the longest name there is
const QString kBold = QStringLiteral("<b>Bo</b>");

// No label of the window interprets markup, and no tooltip carries a name as markup.
void ExpectNoMarkup(QWidget* window, const char* what)
{
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) {
            EXPECT_EQ(l->textFormat(), Qt::PlainText)
                << what << ": label #" << CtrlId(l) << " \"" << l->text().toStdString() << "\"";
        }
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString tip = w->toolTip();
        if (!Qt::mightBeRichText(tip))
            continue;
        QTextDocument shown;
        shown.setHtml(tip);
        for (const QString& name : {kHeading, kBold}) {
            if (tip.contains(name.toHtmlEscaped()) || tip.contains(name)) {
                EXPECT_TRUE(shown.toPlainText().contains(name)) << what << ": tooltip " << tip.toStdString();
            }
        }
    }
}

}  // namespace

class PlainTextTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        ASSERT_EQ(AddUser(10002, kHeading.toStdString(), "pw"), 1);
        UserRecord admin = StoredUser(10001);  // the login page shows the first two users
        SetRecordName(admin, kBold.toStdString());
        ASSERT_EQ(USER_EditUser(admin), 1);
    }
};

TEST_F(PlainTextTest, TheLoginPageShowsNamesAsTyped)
{
    CLoginPageDlg page;
    page.show();
    ASSERT_EQ(page.FilledSlots(), 2);
    page.SelectSlot(1);  // the rights label and the password box under the heading-named user
    for (int slot : {0, 1}) {
        const QString name = slot == 0 ? kBold : kHeading;
        EXPECT_EQ(page.NameLabel(slot)->text(), name);
        EXPECT_EQ(page.Picture(slot)->GetTipText(), name);
        EXPECT_EQ(page.Picture(slot)->accessibleName(), name);
    }
    // As plain text the heading-named label is one line of ten characters in the label's font.
    EXPECT_EQ(page.NameLabel(1)->sizeHint().height(), QLabel(QStringLiteral("X")).sizeHint().height());
    ExpectNoMarkup(&page, "login page");
}

TEST_F(PlainTextTest, TheAccountDialogsShowNamesAsTyped)
{
    {
        UserRecord t{};
        CLoginDlg dlg(&t);
        dlg.show();
        SetText(&dlg, IDC_USER_NAME, kBold);
        SetText(&dlg, IDC_PASSWORD, QStringLiteral("wrong"));
        dlg.accept();
        ExpectNoMarkup(&dlg, "login dialog");
    }
    {
        CNewUserDlg dlg;
        dlg.show();
        SetText(&dlg, IDC_USER_NAME, kHeading);
        dlg.OnCheckNumber();
        ExpectNoMarkup(&dlg, "create dialog");
    }
    ASSERT_EQ(LoginAttempt(kBold.toStdString(), ""), 1);
    UserRecord heading = StoredUser(10002);
    {
        CEditUserDlg dlg;
        dlg.SetUser(&heading);
        dlg.show();
        EXPECT_EQ(Text(&dlg, IDC_USER_NAME), kHeading);
        ExpectNoMarkup(&dlg, "edit dialog");
    }
    {
        CPasswordDlg dlg;
        dlg.SetUser(g_pLoginUser);
        dlg.show();
        EXPECT_EQ(Text(&dlg, IDC_USER_NAME), kBold);
        ExpectNoMarkup(&dlg, "password dialog");
    }
}
